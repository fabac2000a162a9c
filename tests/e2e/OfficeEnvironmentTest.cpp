// The Office environment a launch prepares, seen from outside: trusted locations, the Access
// object library registration and the COM server paths, with the real launchers and the
// stand-in Access installed in the test prefix.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/UniqueHandle.h"
#include "environment/ComponentPathTable.h"
#include "support/FixedValueSnapshot.h"
#include "support/LaunchFixture.h"

namespace {

const char kExitLine1[] = "Exiting Mallowbrook because we did one of the following:";
const char kExitLine2[] = "capture values, restore values, open keys, set trusted folder location.";
const char kLibraryKey[] = "TypeLib\\{4AFFC9A0-5F99-101B-AF4E-00AA003F0F07}";
const char kLibraryPathKey[] = "TypeLib\\{4AFFC9A0-5F99-101B-AF4E-00AA003F0F07}\\9.0\\0\\win32";
const char kCurVerKey[] = "Access.Application\\CurVer";
const char kAceCoreKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Components\\"
    "87FA5D886C9174D44BCEB5FA380DE229";
const char kAceCoreValue[] = "00004102110000000000000000F01FEC";

const std::map<int, std::string> kOfficeVersion = {{2002, "10.0"}, {2003, "11.0"}, {2007, "12.0"},
                                                   {2010, "14.0"}, {2013, "15.0"}, {2016, "16.0"}};

std::string progIdOf(int edition) {
    return "Access.Application." + kOfficeVersion.at(edition).substr(0, 2);
}

std::string trustedKey(int edition) {
    return "Software\\Microsoft\\Office\\" + kOfficeVersion.at(edition) + "\\Access\\Security\\Trusted Locations";
}

std::string accessFolderFor(int edition) {
    return "C:\\Mallowbrook Environment\\Office " + std::to_string(edition);
}

std::string commonFilesFolder() {
    char folder[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, folder, CSIDL_PROGRAM_FILES_COMMON, FALSE);
    return folder;
}

// Where 64-bit programs keep their common files, as the system tells 32-bit ones.
std::string commonFilesFolder64() {
    char folder[MAX_PATH] = {};
    GetEnvironmentVariableA("CommonProgramW6432", folder, MAX_PATH);
    return folder;
}

struct Location {
    std::string name;
    std::string path;
    DWORD valueCount;
};

// The trusted locations of an edition as the registry holds them, in enumeration order.
std::vector<Location> locationsOf(int edition) {
    std::vector<Location> found;
    const std::string key = trustedKey(edition);
    UniqueKey handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, handle.put()) != ERROR_SUCCESS)
        return found;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(handle.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        Location location{std::string(name, size), "", 0};
        const std::string subkey = key + "\\" + location.name;
        location.path = registryString(HKEY_CURRENT_USER, subkey, "Path");
        UniqueKey sub;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_READ, sub.put()) == ERROR_SUCCESS)
            RegQueryInfoKeyA(sub.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &location.valueCount,
                             nullptr, nullptr, nullptr, nullptr);
        found.push_back(location);
    }
    return found;
}

DWORD dwordOf(HKEY root, const std::string& key, const std::string& name) {
    DWORD number = 0xDEADBEEF, size = sizeof number;
    RegGetValueA(root, key.c_str(), name.c_str(), RRF_RT_REG_DWORD, nullptr, &number, &size);
    return number;
}

bool hasLine(const std::string& log, const std::string& line) {
    return log.find("\r\n" + line + "\r\n") != std::string::npos;
}

// Every test starts from a log file that does not exist, from no trusted locations of any
// edition and no object library registration (LaunchFixture takes the Office trees away);
// whatever the prefix held comes back afterwards.
class OfficeEnvironment : public LaunchFixture {
protected:
    // The stand-in Access of an edition in its own folder, with the object library beside it as a
    // real install has (without it the launch would stop at the "Registry Error" question).
    AccessInstall& installInOwnFolder(int edition) {
        return install(edition, AccessKind::Full, accessFolderFor(edition));
    }

    // Starts the launcher and waits for its end; the log of the run is returned.
    std::string launch(int edition, const std::string& arguments, DWORD* exitCode = nullptr) {
        removeFile(logFilePath());
        LauncherProcess run(launcherFor(edition), arguments);
        EXPECT_TRUE(run.started()) << launcherFor(edition);
        EXPECT_TRUE(run.waitForExit(30000)) << launcherFor(edition) << " " << arguments << " did not end";
        if (exitCode)
            *exitCode = run.exitCode();
        endStandinAccess();
        return log();
    }
};

}  // namespace

// ---- Trusted locations ------------------------------------------------------------------

TEST_F(OfficeEnvironment, TrustedFolderOptionRegistersAndEndsTheRunFrom2007On) {
    for (int edition : {2007, 2010, 2013, 2016}) {
        DWORD exitCode = 99;
        const std::string log =
            launch(edition, "-LOGGING -SUBFOLDERS -TRUSTEDFOLDER=\"C:\\Shared Data\\Apps\"", &exitCode);
        EXPECT_EQ(exitCode, 0u) << edition;
        EXPECT_TRUE(
            hasLine(log, std::to_string(edition) + " - setting trusting folder location to: C:\\Shared Data\\Apps"))
            << log;
        EXPECT_TRUE(hasLine(log, "SetTrustedFolderLocation: " + trustedKey(edition))) << log;
        EXPECT_TRUE(hasLine(log, kExitLine1)) << log;
        EXPECT_TRUE(hasLine(log, kExitLine2)) << log;
        EXPECT_EQ(log.find("Access.Application\\CurVer (before switch)"), std::string::npos) << "no launch: " << log;

        const auto locations = locationsOf(edition);
        ASSERT_EQ(locations.size(), 1u) << edition;
        EXPECT_EQ(locations[0].path, "C:\\Shared Data\\Apps\\") << edition;
        EXPECT_EQ(dwordOf(HKEY_CURRENT_USER, trustedKey(edition) + "\\" + locations[0].name, "AllowSubfolders"), 1u)
            << edition;

        // Registering it again finds the location that is there.
        launch(edition, "-LOGGING -TRUSTEDFOLDER=\"c:\\shared data\\apps\\\"");
        EXPECT_EQ(locationsOf(edition).size(), 1u) << edition;
    }
}

TEST_F(OfficeEnvironment, TrustedFolderOptionIsIgnoredBefore2007AndTheLaunchGoesOn) {
    for (int edition : {2002, 2003}) {
        const AccessInstall& access = installInOwnFolder(edition);
        ASSERT_TRUE(installedWithLibrary(access)) << edition;
        const std::string log = launch(edition, "-LOGGING -WAIT=100 -TRUSTEDFOLDER=\"C:\\Shared\" C:\\Apps\\Sales.mdb");
        EXPECT_EQ(access.receivedArguments().size(), 1u) << edition << " Access was not started: " << log;
        EXPECT_FALSE(hasLine(log, kExitLine1)) << log;
        EXPECT_EQ(log.find("setting trusting folder location"), std::string::npos) << log;
        EXPECT_EQ(log.find("SetTrustedFolderLocation"), std::string::npos) << log;
        for (int later : {2007, 2010, 2013, 2016})
            EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, trustedKey(later))) << edition << " wrote " << later;
        uninstall();
    }
}

TEST_F(OfficeEnvironment, DatabaseFolderIsTrustedInLowerCaseOnceForRepeatedLaunches) {
    const AccessInstall& access = installInOwnFolder(2016);
    ASSERT_TRUE(installedWithLibrary(access));
    for (int run = 0; run < 2; ++run) {
        const std::string log = launch(2016, "-LOGGING -WAIT=100 C:\\Apps\\Sales.ACCDB");
        EXPECT_TRUE(hasLine(log, "2016 - Making sure that: c:\\apps is a trusted folder")) << log;
    }
    EXPECT_EQ(access.receivedArguments().size(), 2u);
    const auto locations = locationsOf(2016);
    ASSERT_EQ(locations.size(), 1u) << "the second launch added another location";
    EXPECT_EQ(locations[0].path, "c:\\apps\\");
    EXPECT_EQ(locations[0].valueCount, 1u) << "only Path without -SUBFOLDERS";
}

TEST_F(OfficeEnvironment, BareDatabaseFileNameTrustsNoFolder) {
    const AccessInstall& access = installInOwnFolder(2013);
    ASSERT_TRUE(installedWithLibrary(access));
    const std::string log = launch(2013, "-LOGGING -WAIT=100 Sales.accdb");
    ASSERT_EQ(access.receivedArguments().size(), 1u) << log;
    EXPECT_EQ(log.find("Making sure that"), std::string::npos) << log;
    EXPECT_TRUE(locationsOf(2013).empty());
}

TEST_F(OfficeEnvironment, Access2007FolderIsTrustedWhenItHoldsUtilityAccda) {
    const AccessInstall& access = installInOwnFolder(2007);
    ASSERT_TRUE(installedWithLibrary(access));
    const std::string utility = access.folder() + "\\Utility.accda";

    ASSERT_TRUE(CreateDirectoryA(utility.c_str(), nullptr));  // a folder of that name does not count
    std::string log = launch(2007, "-LOGGING -WAIT=100 C:\\Apps\\Sales.accdb");
    EXPECT_EQ(log.find("executable dir"), std::string::npos) << log;
    EXPECT_EQ(locationsOf(2007).size(), 1u);
    RemoveDirectoryA(utility.c_str());

    InstalledFile file(standinAccessPath(), utility);
    ASSERT_TRUE(file.installed());
    log = launch(2007, "-LOGGING -WAIT=100 C:\\Apps\\Sales.accdb");
    EXPECT_TRUE(hasLine(log, "2007 - Making sure that executable dir: " + access.folder() + " is a trusted folder"))
        << log;
    std::vector<std::string> paths;
    for (const Location& location : locationsOf(2007))
        paths.push_back(location.path);
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{access.folder() + "\\", "c:\\apps\\"}));
}

// A database on the bench's share \\server\apps, and one under an Office policy that lets only
// locations set by policy count: Access starts either way, and the exit code tells the deployment.
TEST_F(OfficeEnvironment, NetworkFolderIsAllowedAndALocationVoidedByPolicyEndsWith8) {
    const std::string policyKey = "Software\\Policies\\Microsoft\\Office\\16.0\\Common\\Security\\Trusted Locations";
    const std::string voided = " has no effect: HKEY_LOCAL_MACHINE\\" + policyKey +
                               " [Allow User Locations] = 0: Office policy lets only trusted locations set by policy "
                               "count. Access opens databases there with their code disabled.";
    const AccessInstall& access = installInOwnFolder(2016);
    ASSERT_TRUE(installedWithLibrary(access));
    DWORD exitCode = 99;
    std::string log = launch(2016, "-LOGGING -WAIT=100 \\\\Server\\Apps\\Sales.accdb", &exitCode);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(hasLine(log,
                        "2016 - \\\\server\\apps is on a network share: trusted locations on the network "
                        "allowed (AllowNetworkLocations = 1)"))
        << log;
    EXPECT_EQ(registryDword(HKEY_CURRENT_USER, trustedKey(2016), "AllowNetworkLocations"), 1);

    ASSERT_TRUE(seed.setDword(HKEY_LOCAL_MACHINE, policyKey, "Allow User Locations", 0));
    log = launch(2016, "-LOGGING -WAIT=100 C:\\Apps\\Sales.accdb", &exitCode);
    EXPECT_EQ(exitCode, 8u);
    EXPECT_TRUE(hasLine(log, "2016 - The trusted location c:\\apps" + voided)) << log;
    EXPECT_EQ(access.receivedArguments().size(), 2u) << "Access was not started";

    // -TRUSTEDFOLDER under the same policy registers the folder as before, and says so the same way.
    log = launch(2016, "-LOGGING -TRUSTEDFOLDER=\"C:\\Shared\"", &exitCode);
    EXPECT_EQ(exitCode, 8u);
    EXPECT_TRUE(hasLine(log, "2016 - The trusted location C:\\Shared" + voided)) << log;
    std::vector<std::string> paths;
    for (const Location& location : locationsOf(2016))
        paths.push_back(location.path);
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{"C:\\Shared\\", "\\\\server\\apps\\", "c:\\apps\\"}));
}

// ---- Object library ---------------------------------------------------------------------

// CurVer before the launch, the launcher, and whether the switched CurVer and object library
// registration are still there after the run.
TEST_F(OfficeEnvironment, ObjectLibraryIsRegisteredAndStaysOnlyForAForwardSwitchBelow14) {
    const struct {
        const char* before;
        int edition;
        bool stays;
    } cases[] = {
        {"Access.Application.11", 2007, true},
        {"Access.Application.12", 2003, false},
        {"Access.Application.11", 2010, false},
        {"Access.Application.16", 2016, false},
    };
    for (const auto& c : cases) {
        const std::string name = std::string(c.before) + " -> " + std::to_string(c.edition);
        RemovedRegistryTree library(HKEY_CLASSES_ROOT, kLibraryKey);
        RegistrySeed seed;
        ASSERT_TRUE(seed.setString(HKEY_CLASSES_ROOT, kCurVerKey, "", c.before)) << name;
        ASSERT_TRUE(seed.setString(HKEY_CLASSES_ROOT, kLibraryPathKey, "", "C:\\Old Office\\MSACC.OLB")) << name;
        const AccessInstall& access = installInOwnFolder(c.edition);
        ASSERT_TRUE(access.installed()) << name;
        ASSERT_TRUE(installedWithLibrary(access)) << name;
        const std::string olb = access.folder() + "\\MSACC.OLB";

        const std::string log = launch(c.edition, "-LOGGING -WAIT=100 C:\\Apps\\Sales.mdb");
        const std::string year = std::to_string(c.edition);
        EXPECT_TRUE(hasLine(log, year + " - Current MsAcc.olb Path is: C:\\Old Office\\MSACC.OLB")) << log;
        EXPECT_TRUE(hasLine(log, year + " - Need to set MsAcc.olb Path to: " + olb)) << log;
        EXPECT_TRUE(hasLine(log, "Registering dll:" + olb)) << log;
        EXPECT_TRUE(hasLine(log, year + " - MsAcc.olb was successfully registered.")) << log;
        EXPECT_EQ(hasLine(log, "Not setting back object library"), c.stays) << name;

        EXPECT_EQ(registryString(HKEY_CLASSES_ROOT, kCurVerKey, ""), c.stays ? progIdOf(c.edition) : c.before) << name;
        EXPECT_EQ(registryString(HKEY_CLASSES_ROOT, kLibraryPathKey, ""), c.stays ? olb : "C:\\Old Office\\MSACC.OLB")
            << name;
        uninstall();
    }
}

TEST_F(OfficeEnvironment, FailedRegistrationAsksOnceAndNoMeansNoSecondAttempt) {
    AccessInstall access(2016, AccessKind::Full, accessFolderFor(2016));  // no MSACC.OLB beside it
    ASSERT_TRUE(access.installed());

    removeFile(logFilePath());
    LauncherProcess run(launcherFor(2016), "-LOGGING -WAIT=100 C:\\Apps\\Sales.accdb");
    ASSERT_TRUE(run.started());
    MessageBoxDriver boxes(run.id());
    MessageBoxInfo box = boxes.answer(IDNO, 15000);
    ASSERT_TRUE(box.window) << "no question was asked";
    EXPECT_EQ(box.title, "Registry Error");
    // Declining lets the launch go on without a second question.
    ASSERT_TRUE(run.waitForExit(30000)) << "the run did not end after No (a second box?)";
    endStandinAccess();
    const std::string log = readFile(logFilePath());
    EXPECT_EQ(textCount(log, "2016 - Failed to register MsAcc.olb"), 1u) << log;
    EXPECT_EQ(textCount(log, "2016 - Current MsAcc.olb Path is: "), 1u) << log;
    EXPECT_EQ(log.find("Even after repairing permissions"), std::string::npos) << log;
    EXPECT_EQ(access.receivedArguments().size(), 1u) << log;
}

// ---- COM servers --------------------------------------------------------------------------

TEST_F(OfficeEnvironment, ComServerPathsAreWrittenWhereKeysExistAndPutBackAtTheEnd) {
    const std::string stsList = "SOFTWARE\\Classes\\CLSID\\{252BFDA2-4B21-4872-ABA3-043945949BF8}\\InprocServer32";
    const std::string bitmap = "SOFTWARE\\Classes\\CLSID\\{2F7FC18E-292B-11D2-A795-DFAA798E9148}\\ToolboxBitmap32";
    const std::string aceDao = "SOFTWARE\\Classes\\CLSID\\{367E582C-F71C-4BF9-AA1B-9F62B793E9C5}\\InprocServer32";
    const std::string hevi = "SOFTWARE\\Classes\\CLSID\\{42042206-2D85-11D3-8CFF-005004838597}";
    RemovedRegistryTree noHevi(HKEY_LOCAL_MACHINE, hevi);
    RemovedRegistryTree noAceCore(HKEY_LOCAL_MACHINE, kAceCoreKey);
    RegistrySeed seed;
    ASSERT_TRUE(seed.setString(HKEY_LOCAL_MACHINE, stsList, "", "D:\\Old\\STSLIST.DLL"));
    ASSERT_TRUE(seed.setString(HKEY_LOCAL_MACHINE, bitmap, "", "D:\\Old\\MSRTEDIT.DLL, 101"));
    ASSERT_TRUE(seed.setString(HKEY_LOCAL_MACHINE, aceDao, "", "D:\\Old\\ACEDAO.DLL"));
    const AccessInstall& access = installInOwnFolder(2013);
    ASSERT_TRUE(installedWithLibrary(access));

    const std::string log = launch(2013, "-LOGGING -WAIT=100 C:\\Apps\\Sales.accdb");
    const std::string shared = commonFilesFolder() + "\\Microsoft Shared\\OFFICE15";
    for (const auto& written : {std::make_pair(stsList, access.folder() + "\\STSLIST.DLL"),
                                std::make_pair(bitmap, access.folder() + "\\MSRTEDIT.DLL, 101"),
                                std::make_pair(aceDao, shared + "\\ACEDAO.DLL"),
                                std::make_pair(hevi + "\\InprocServer32", access.folder() + "\\msohevi.DLL")})
        EXPECT_TRUE(
            hasLine(log, "Set string: HKEY_LOCAL_MACHINE - '" + written.first + "' / '' -> '" + written.second + "'"))
            << written.first << "\n"
            << log;

    // The restore at the end puts every recorded value back; the missing key stays missing.
    EXPECT_EQ(registryString(HKEY_LOCAL_MACHINE, stsList, ""), "D:\\Old\\STSLIST.DLL");
    EXPECT_EQ(registryString(HKEY_LOCAL_MACHINE, bitmap, ""), "D:\\Old\\MSRTEDIT.DLL, 101");
    EXPECT_EQ(registryString(HKEY_LOCAL_MACHINE, aceDao, ""), "D:\\Old\\ACEDAO.DLL");
    EXPECT_FALSE(registryKeyExists(HKEY_LOCAL_MACHINE, hevi));
    // ACECORE belongs to 2007 and 2010 only.
    EXPECT_EQ(log.find(kAceCoreValue), std::string::npos) << log;
    EXPECT_FALSE(registryKeyExists(HKEY_LOCAL_MACHINE, kAceCoreKey));
}

TEST_F(OfficeEnvironment, AceCoreIsPointedAtTheEditionFor2007And2010Only) {
    const struct {
        int edition;
        const char* officeFolder;  // empty: nothing written
    } cases[] = {{2007, "OFFICE12"}, {2010, "OFFICE14"}, {2016, ""}};
    for (const auto& c : cases) {
        RemovedRegistryTree noAceCore(HKEY_LOCAL_MACHINE, kAceCoreKey);
        ASSERT_TRUE(installedWithLibrary(installInOwnFolder(c.edition))) << c.edition;
        launch(c.edition, "-LOGGING -WAIT=100 C:\\Apps\\Sales.accdb");
        // The value did not exist when the run recorded it, so the key made for it stays.
        if (*c.officeFolder)
            EXPECT_EQ(registryString(HKEY_LOCAL_MACHINE, kAceCoreKey, kAceCoreValue),
                      commonFilesFolder() + "\\Microsoft Shared\\" + c.officeFolder + "\\ACECORE.DLL")
                << c.edition;
        else
            EXPECT_FALSE(registryKeyExists(HKEY_LOCAL_MACHINE, kAceCoreKey)) << c.edition;
        uninstall();
    }
}

// ---- 64-bit Access --------------------------------------------------------------------------

// A 64-bit Access 2016 where a 64-bit Access 2010 had registered itself: the switch points the
// registration a 64-bit Access reads at 2016, leaves the 32-bit view alone, and afterwards both
// views hold what they held before.
TEST_F(OfficeEnvironment, A64BitAccessIsSwitchedInThe64BitViewAndPutBack) {
    AccessInstall& access2016 = install(2016, AccessKind::Runtime64);
    AccessInstall& access2010 = install(2010, AccessKind::Runtime64);
    ASSERT_TRUE(installedWithLibrary(access2016));
    ASSERT_TRUE(access2010.installed());
    const std::string shared = commonFilesFolder64() + "\\Microsoft Shared\\";
    ASSERT_NE(shared, commonFilesFolder() + "\\Microsoft Shared\\");
    std::vector<std::unique_ptr<RemovedRegistryTree>> classes;
    for (const ComponentPathRow& row : kComponentPathRows)
        for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY})
            classes.push_back(std::make_unique<RemovedRegistryTree>(
                HKEY_LOCAL_MACHINE, std::string("SOFTWARE\\Classes\\CLSID\\") + row.classId, view));
    RegistrySeed registered2010;
    for (const ComponentPathRow& row : kComponentPathRows) {
        ASSERT_TRUE(registered2010.setString(HKEY_LOCAL_MACHINE, componentPathKey(row), "",
                                             componentPathValue(row, access2010.folder(), shared + "OFFICE14"),
                                             KEY_WOW64_64KEY));
        ASSERT_TRUE(
            registered2010.setString(HKEY_LOCAL_MACHINE, componentPathKey(row), "", "32-bit server", KEY_WOW64_32KEY));
    }
    ASSERT_TRUE(registered2010.setString(HKEY_CLASSES_ROOT, kCurVerKey, "", "Access.Application.14"));
    ASSERT_TRUE(registered2010.setString(HKEY_CLASSES_ROOT, std::string(kLibraryKey) + "\\9.0\\0\\win64", "",
                                         access2010.folder() + "\\MSACC.OLB"));
    ASSERT_TRUE(registered2010.setDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Office\\Common", "LastAccessInstall",
                                        14, KEY_WOW64_64KEY));
    const FixedValueSnapshot before32 = FixedValueSnapshot::take();
    const FixedValueSnapshot before64 = FixedValueSnapshot::take(KEY_WOW64_64KEY);

    standin.set("STANDIN_LIFETIME", "infinite");
    removeFile(logFilePath());
    LauncherProcess run(launcherFor(2016), "-LOGGING -WAIT=60000 C:\\Apps\\Sales.accdb");
    ASSERT_TRUE(run.started());
    HWND window = waitForAccessWindow();
    ASSERT_TRUE(window) << log();
    EXPECT_EQ(registryString(HKEY_CLASSES_ROOT, kCurVerKey, ""), "Access.Application.16");
    EXPECT_EQ(registryString(HKEY_CLASSES_ROOT, std::string(kLibraryKey) + "\\9.0\\0\\win64", ""),
              access2016.folder() + "\\MSACC.OLB");
    EXPECT_FALSE(registryKeyExists(HKEY_CLASSES_ROOT, kLibraryPathKey));
    EXPECT_EQ(
        registryDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Office\\Common", "LastAccessInstall", KEY_WOW64_64KEY),
        16);
    for (const ComponentPathRow& row : kComponentPathRows) {
        EXPECT_EQ(registryString(HKEY_LOCAL_MACHINE, componentPathKey(row), "", KEY_WOW64_64KEY),
                  componentPathValue(row, access2016.folder(), shared + "OFFICE16"))
            << componentPathKey(row);
        EXPECT_EQ(registryString(HKEY_LOCAL_MACHINE, componentPathKey(row), "", KEY_WOW64_32KEY), "32-bit server")
            << componentPathKey(row);
    }
    ASSERT_TRUE(waitForLog("Waiting just a little longer."));
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(run.waitForExit(20000));
    EXPECT_EQ(run.exitCode(), 0u) << log();
    EXPECT_EQ(access2016.receivedArguments().size(), 1u);

    const auto lost32 = FixedValueSnapshot::take().changedSince(before32);
    const auto lost64 = FixedValueSnapshot::take(KEY_WOW64_64KEY).changedSince(before64);
    EXPECT_TRUE(lost32.empty()) << describe(lost32);
    EXPECT_TRUE(lost64.empty()) << describe(lost64);
}
