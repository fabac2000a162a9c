// Registry permission repair as a user meets it: -OPENKEYS run by an administrator, and the
// "Registry Error" question when a write the launch needs does not stick. The tests that follow
// the helper run the "Probed" launchers, whose helper reports its command line and work through
// the probe (support/HelperProbeListener.h); the shipped launchers carry a helper without it.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/AsciiCase.h"
#include "environment/FreshTemporaryFolder.h"
#include "permission-helper/AclEngine.h"
#include "registry/FixedValueTable.h"
#include "registry/RegistryRoot.h"
#include "support/FixedValueSnapshot.h"
#include "support/HelperProbeListener.h"
#include "support/KeySecurity.h"
#include "support/LaunchFixture.h"

namespace {

const DWORD kExitMinusOne = 0xFFFFFFFF;
const char kCurVerKey[] = "Access.Application\\CurVer";
const char kObjectLibraryKey[] = "TypeLib\\{4AFFC9A0-5F99-101B-AF4E-00AA003F0F07}\\9.0\\0\\win32";
// Everything allowed except setting values: the write "visibly fails" while the key stays readable.
const char kNoSetValue[] = "D:(D;;0x2;;;WD)(A;;KA;;;WD)";
const char kMaintenanceExit[] =
    "Exiting Mallowbrook because we did one of the following:\r\n"
    "capture values, restore values, open keys, set trusted folder location.\r\n";
const char kQuestion[] =
    "The application has encountered an error writing to the registry.\n\n"
    "The application will not run properly until the registry permissions are reset.\n\n"
    "Do you want to repair the registry permissions now?";

const char* const kHelperFolderPrefix = FreshTemporaryFolder::kNamePrefix;
// How Windows sets up the machine's class keys: users may read, administrators and the system
// may do anything.
const char kWindowsDefault[] = "D:P(A;;KR;;;BU)(A;;KA;;;BA)(A;;KA;;;SY)";

// What -OPENKEYS leaves on a key that held only explicit entries.
std::string openedDacl(const char* protection = "") {
    return KeySecurity::normalize(std::string("D:") + protection + "(A;;" + KeySecurity::rightsText(kKeyChangeRights) +
                                  ";;;BU)(A;;KA;;;BA)(A;;KA;;;SY)");
}

// Every key of the fixed table given one DACL for the test, and its own back afterwards.
struct TableKeysSecured {
    struct Key {
        HKEY root;
        std::string path;
        std::string savedDacl;
    };
    std::vector<Key> keys;

    explicit TableKeysSecured(const std::string& sddl) {
        std::set<std::pair<Hive, std::string>> seen;
        for (const FixedValue& row : kFixedValues) {
            if (!seen.insert({row.hive, lowerCaseAscii(row.key)}).second)
                continue;
            keys.push_back({rootKey(row.hive), row.key, KeySecurity::dacl(rootKey(row.hive), row.key)});
            EXPECT_TRUE(KeySecurity::setDacl(keys.back().root, row.key, sddl)) << row.key;
        }
    }
    ~TableKeysSecured() {
        for (auto key = keys.rbegin(); key != keys.rend(); ++key)
            KeySecurity::setDacl(key->root, key->path, key->savedDacl);
    }
};

std::string temporaryFolderPath() {
    char folder[MAX_PATH + 1] = {};
    GetTempPathA(sizeof(folder), folder);
    return folder;
}

std::string temporaryHelperPath() {
    return temporaryFolderPath() + "MallowbrookPermissions.exe";
}

// The launcher's helper folders now in the temporary folder.
std::vector<std::string> helperFolders() {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((temporaryFolderPath() + kHelperFolderPrefix + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

std::string probed(const std::string& launcher) {
    return "Probed" + launcher;
}

void plantFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

class PermissionRepair : public LaunchFixture {
protected:
    // A registry value the launcher cannot change: it holds `value` and denies setting values.
    void lockValue(const std::string& key, const std::string& value) {
        ASSERT_TRUE(seed.setString(HKEY_CLASSES_ROOT, key, "", value));
        ASSERT_TRUE(KeySecurity::setDacl(HKEY_CLASSES_ROOT, key, kNoSetValue));
    }
};

}  // namespace

TEST_F(PermissionRepair, OpenKeysStartsTheHelperAndEndsAsAMaintenanceRun) {
    const struct {
        const char* program;
        const char* arguments;
        const char* helperCommandLine;
    } cases[] = {
        {"ProbedMallowbrook.exe", "-LOGGING -OPENKEYS -NOPROGRESS", "noprogress"},
        {"ProbedMallowbrook.exe", "-LOGGING -OPENKEYS", ""},
        {"ProbedMallowbrook2016.exe", "-logging -noprogress -openkeys \"C:\\Apps\\Demo.mdb\"", "noprogress"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.program) + " " + c.arguments);
        removeFile(logFilePath());
        HelperProbeListener probe(false);
        LauncherProcess run(c.program, c.arguments);
        ASSERT_TRUE(run.started());
        EXPECT_EQ(probe.next(), reportedCommandLine(c.helperCommandLine));
        EXPECT_EQ(probe.next(), "work starting");
        EXPECT_EQ(probe.next(60000), "work finished");
        ASSERT_TRUE(run.waitForExit(60000));
        EXPECT_EQ(run.exitCode(), 0u);
        // The helper ran once, and its folder is gone from the temporary folder.
        EXPECT_TRUE(probe.quietFor(300));
        EXPECT_TRUE(helperFolders().empty());
        const std::string text = log();
        EXPECT_TRUE(textHas(text, std::string("\r\n-openkeys\r\n") + kMaintenanceExit)) << text;
        EXPECT_EQ(textCount(text, "\r\n-openkeys\r\n"), 1u) << text;
        EXPECT_FALSE(textHas(text, "Exiting application")) << text;
    }
}

TEST_F(PermissionRepair, TheHelperRunsFromAFreshFolderAndAFileInTheTemporaryFolderIsLeftAlone) {
    // Whatever sits in the temporary folder could be started, or load its DLLs into the helper,
    // with administrator rights. Held open by its planter: it can be neither replaced nor
    // deleted, and it must not matter.
    const std::string planted = "not the helper that Mallowbrook carries";
    plantFile(temporaryHelperPath(), planted);
    UniqueFile holder(CreateFileA(temporaryHelperPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    std::vector<std::string> foldersSeen;
    for (int run = 0; run < 2; ++run) {
        HelperProbeListener probe(true);
        LauncherProcess launcher(probed("Mallowbrook.exe"), "-OPENKEYS -NOPROGRESS");
        ASSERT_TRUE(launcher.started());
        EXPECT_EQ(probe.next(), reportedCommandLine("noprogress"));
        ASSERT_EQ(probe.next(), "work starting");
        // While the helper works: one new folder, with the helper in it.
        const std::vector<std::string> folders = helperFolders();
        ASSERT_EQ(folders.size(), 1u);
        EXPECT_EQ(folders[0].size(), std::string(kHelperFolderPrefix).size() + 32) << folders[0];
        const std::string folder = temporaryFolderPath() + folders[0] + "\\";
        EXPECT_TRUE(fileExistsAt(folder + "MallowbrookPermissions.exe"));
        foldersSeen.push_back(folders[0]);
        probe.release();
        EXPECT_EQ(probe.next(60000), "work finished");
        probe.release();
        ASSERT_TRUE(launcher.waitForExit(60000));
        EXPECT_EQ(launcher.exitCode(), 0u);
        EXPECT_TRUE(helperFolders().empty());
    }
    EXPECT_NE(foldersSeen[0], foldersSeen[1]);
    holder.reset();
    EXPECT_EQ(readFile(temporaryHelperPath()), planted);
    removeFile(temporaryHelperPath());
}

TEST_F(PermissionRepair, OpenKeysGivesUsersTheKeysTheLauncherWrites) {
    // Each restricted as a locked-down machine might have it; a grant on the reduced keys
    // (ACCESS.APPLICATION, TYPELIB\{...}, CLSID\{...}) alone would leave them so.
    const char* keys[] = {kCurVerKey, kObjectLibraryKey, "CLSID\\{73A4C9C1-D68D-11D0-98BF-00A0C90DC8D9}\\LocalServer32",
                          ".mdb"};
    const std::string restricted = "D:(D;;KW;;;BG)(A;;KR;;;WD)(A;;KA;;;BA)";
    for (const char* key : keys) {
        ASSERT_TRUE(seed.setString(HKEY_CLASSES_ROOT, key, "", "x")) << key;
        ASSERT_TRUE(KeySecurity::setDacl(HKEY_CLASSES_ROOT, key, restricted)) << key;
    }
    LauncherProcess run("Mallowbrook.exe", "-LOGGING -OPENKEYS -NOPROGRESS");
    ASSERT_TRUE(run.started());
    ASSERT_TRUE(run.waitForExit(60000));
    EXPECT_EQ(run.exitCode(), 0u);
    for (const char* key : keys)
        EXPECT_EQ(KeySecurity::dacl(HKEY_CLASSES_ROOT, key), openedDacl()) << key;
    const std::string text = log();
    EXPECT_FALSE(textHas(text, "The permission helper")) << text;
}

TEST_F(PermissionRepair, AStandardUserLaunchesWithNoMoreThanOpenKeysGave) {
    // Every key of the table holds a value, as Windows sets such keys up: users may only read.
    // Wine checks every right an open asks for against the DACL, but two things it lets through
    // that Windows does not: creating a subkey without KEY_CREATE_SUB_KEY on its parent, and on
    // a key the Administrators own (these, made by the test) DELETE, WRITE_DAC and WRITE_OWNER
    // for a token whose Administrators group is deny-only.
    ASSERT_TRUE(install(2002).installed());
    ASSERT_TRUE(seedFixedValues(seed, "Access.Application.15"));
    TableKeysSecured secured(kWindowsDefault);
    const UniqueKernelHandle user = standardUserToken();
    ASSERT_TRUE(user);
    const std::string launch = "-LOGGING -WAIT=1 \"C:\\Apps\\Demo.mdb\"";
    {
        SCOPED_TRACE("before -OPENKEYS the user may not switch");
        LauncherProcess run("Mallowbrook.exe", launch, user.get());
        ASSERT_TRUE(run.started());
        EXPECT_EQ(MessageBoxDriver(run.id()).answer(IDNO, 30000).title, "Registry Error");
        ASSERT_TRUE(run.waitForExit(40000));
        endStandinAccess();
    }
    LauncherProcess open("Mallowbrook.exe", "-OPENKEYS -NOPROGRESS");
    ASSERT_TRUE(open.waitForExit(60000));
    EXPECT_EQ(open.exitCode(), 0u);
    EXPECT_EQ(kKeyChangeRights & (WRITE_DAC | WRITE_OWNER | KEY_CREATE_LINK | GENERIC_ALL), 0u);
    for (const auto& key : secured.keys)
        EXPECT_EQ(KeySecurity::dacl(key.root, key.path), openedDacl("P")) << key.path;

    const FixedValueSnapshot before = FixedValueSnapshot::take();
    removeFile(logFilePath());
    LauncherProcess run("Mallowbrook.exe", launch, user.get());
    ASSERT_TRUE(run.started());
    EXPECT_TRUE(MessageBoxDriver(run.id()).noBoxUntilExit(run.handle(), 40000));
    ASSERT_TRUE(run.waitForExit(40000));
    EXPECT_EQ(run.exitCode(), 0u);
    const std::string text = log();
    EXPECT_TRUE(textHas(text, "\r\n2002 - MsAcc.olb was successfully registered.\r\n")) << text;
    EXPECT_TRUE(textHas(text, "\r\nAccess.Application\\CurVer (after switch) = Access.Application.10\r\n")) << text;
    const auto lost = FixedValueSnapshot::take().changedSince(before);
    EXPECT_TRUE(lost.empty()) << describe(lost);
    endStandinAccess();
}

TEST_F(PermissionRepair, OpenKeysThatLeavesAKeyUnchangedExitsWithFour) {
    // Started by a standard user, the helper runs with that user's token under Wine (Windows
    // would ask for an administrator first), so it may not change a key that the system owns.
    ASSERT_TRUE(seed.setString(HKEY_CLASSES_ROOT, kCurVerKey, "", "x"));
    ASSERT_TRUE(KeySecurity::setDacl(HKEY_CLASSES_ROOT, kCurVerKey, kWindowsDefault));
    ASSERT_TRUE(KeySecurity::setOwner(HKEY_CLASSES_ROOT, kCurVerKey, "O:SY"));
    const std::string before = KeySecurity::dacl(HKEY_CLASSES_ROOT, kCurVerKey);
    const UniqueKernelHandle user = standardUserToken();
    LauncherProcess run("Mallowbrook.exe", "-LOGGING -OPENKEYS -NOPROGRESS", user.get());
    ASSERT_TRUE(run.started());
    ASSERT_TRUE(run.waitForExit(60000));
    EXPECT_EQ(run.exitCode(), 4u);
    const std::string text = log();
    EXPECT_TRUE(textHas(text, "\r\n-openkeys\r\nThe permission helper could not change 1 key.\r\n")) << text;
    EXPECT_EQ(KeySecurity::dacl(HKEY_CLASSES_ROOT, kCurVerKey), before);
    EXPECT_TRUE(KeySecurity::setOwner(HKEY_CLASSES_ROOT, kCurVerKey, "O:BA"));
}

TEST_F(PermissionRepair, AHelperThatCannotBeStartedIsReportedNotRepaired) {
    // The launcher's helper here is no program at all: ShellExecuteExA fails as it does when
    // the user declines elevation.
    const char kLauncher[] = "UnstartableHelperMallowbrook.exe";
    const char kDidNotRun[] = "The permission helper did not run: ";
    {
        SCOPED_TRACE("-OPENKEYS");
        LauncherProcess run(kLauncher, "-LOGGING -OPENKEYS -NOPROGRESS");
        ASSERT_TRUE(run.started());
        // No box from the shell either: an unattended run must end.
        EXPECT_TRUE(MessageBoxDriver(run.id()).noBoxUntilExit(run.handle(), 30000));
        ASSERT_TRUE(run.waitForExit(30000));
        EXPECT_EQ(run.exitCode(), kExitMinusOne);
        const std::string text = log();
        EXPECT_TRUE(textHas(text, std::string("\r\n-openkeys\r\n") + kDidNotRun)) << text;
        EXPECT_TRUE(textHas(text, kMaintenanceExit)) << text;
        EXPECT_FALSE(textHas(text, "repaired")) << text;
        EXPECT_TRUE(helperFolders().empty());
    }
    {
        SCOPED_TRACE("Yes to the question");
        removeFile(logFilePath());
        ASSERT_TRUE(install(2002).installed());
        ASSERT_TRUE(seed.setString(HKEY_CLASSES_ROOT, kObjectLibraryKey, "", "C:\\Old\\MSACC.OLB"));
        ASSERT_TRUE(KeySecurity::setDacl(HKEY_CLASSES_ROOT, kObjectLibraryKey, kNoSetValue));
        LauncherProcess run(kLauncher, "-LOGGING -WAIT=1 \"C:\\Apps\\Demo.mdb\"");
        ASSERT_TRUE(run.started());
        MessageBoxDriver boxes(run.id());
        MessageBoxInfo box = boxes.answer(IDYES, 30000);
        ASSERT_TRUE(box.window) << "no question";
        EXPECT_EQ(box.title, "Registry Error");
        EXPECT_TRUE(boxes.noBoxUntilExit(run.handle(), 40000));
        ASSERT_TRUE(run.waitForExit(40000));
        EXPECT_EQ(run.exitCode(), 0u);
        const std::string text = log();
        EXPECT_TRUE(textHas(text, std::string("\r\n2002 - ") + kDidNotRun)) << text;
        EXPECT_FALSE(textHas(text, "repaired")) << text;
        // Nothing was repaired, so the registration is not tried again.
        EXPECT_EQ(textCount(text, "2002 - Need to set MsAcc.olb Path to: "), 1u) << text;
        endStandinAccess();
        KeySecurity::setDacl(HKEY_CLASSES_ROOT, kObjectLibraryKey, "D:(A;;KA;;;WD)");
    }
}

TEST_F(PermissionRepair, CurVerThatDoesNotStickAsksAndYesRepairsAndWritesAgain) {
    AccessInstall& access = install(2010);
    ASSERT_TRUE(access.installed());
    lockValue(kCurVerKey, "Access.Application.15");
    HelperProbeListener probe(false);
    // -NOPROGRESS does not apply to the question: the user asked for the repair.
    LauncherProcess run(probed("Mallowbrook2010.exe"), "-LOGGING -NOPROGRESS -WAIT=1 \"C:\\Apps\\Demo.mdb\"");
    ASSERT_TRUE(run.started());
    MessageBoxDriver boxes(run.id());
    MessageBoxInfo box = boxes.answer(IDYES, 30000);
    ASSERT_TRUE(box.window) << "no question";
    EXPECT_EQ(box.title, "Registry Error");
    EXPECT_EQ(box.text, kQuestion);
    EXPECT_EQ(box.buttons, (std::vector<std::string>{"Yes", "No"}));
    EXPECT_TRUE(box.hasWarningIcon);
    EXPECT_EQ(probe.next(), reportedCommandLine(""));
    EXPECT_EQ(probe.next(), "work starting");
    EXPECT_EQ(probe.next(60000), "work finished");
    // The helper opened CurVer itself, so the second write sticks and the launch goes on.
    EXPECT_TRUE(boxes.noBoxUntilExit(run.handle(), 40000));
    ASSERT_TRUE(run.waitForExit(40000));
    EXPECT_EQ(run.exitCode(), 0u);
    EXPECT_TRUE(helperFolders().empty());
    EXPECT_EQ(KeySecurity::dacl(HKEY_CLASSES_ROOT, kCurVerKey), openedDacl());

    const std::string text = log();
    const std::string write = "CurVer' / '' -> 'Access.Application.14'";
    EXPECT_EQ(textCount(text, write), 2u) << text;
    EXPECT_TRUE(textHas(text, "\r\n2010 - Permissions have been repaired.\r\n")) << text;
    EXPECT_FALSE(textHas(text, "declined") || textHas(text, "The permission helper")) << text;
    EXPECT_LT(text.find(write), text.find("2010 - Permissions have been repaired.")) << text;
    EXPECT_LT(text.find("2010 - Permissions have been repaired."), text.rfind(write)) << text;
    EXPECT_TRUE(textHas(text, "\r\nAccess.Application\\CurVer (after switch) = Access.Application.14\r\n")) << text;
    EXPECT_EQ(access.receivedArguments(), std::vector<std::string>{"\"C:\\Apps\\Demo.mdb\""});
}

TEST_F(PermissionRepair, CurVerThatDoesNotStickAsksAndNoGoesOn) {
    AccessInstall& access = install(2010);
    ASSERT_TRUE(access.installed());
    lockValue(kCurVerKey, "Access.Application.15");
    HelperProbeListener probe(false);
    LauncherProcess run(probed("Mallowbrook2010.exe"), "-LOGGING -WAIT=1 \"C:\\Apps\\Demo.mdb\"");
    ASSERT_TRUE(run.started());
    MessageBoxDriver boxes(run.id());
    MessageBoxInfo box = boxes.answer(IDNO, 30000);
    ASSERT_TRUE(box.window) << "no question";
    EXPECT_EQ(box.title, "Registry Error");
    EXPECT_TRUE(boxes.noBoxUntilExit(run.handle(), 40000));
    ASSERT_TRUE(run.waitForExit(40000));
    EXPECT_EQ(run.exitCode(), 0u);
    EXPECT_TRUE(probe.quietFor(300));

    const std::string text = log();
    EXPECT_EQ(textCount(text, "CurVer' / '' -> 'Access.Application.14'"), 1u) << text;
    EXPECT_TRUE(textHas(text, "\r\n2010 - User declined repairing permissions.\r\n")) << text;
    EXPECT_FALSE(textHas(text, "Permissions have been repaired.")) << text;
    // The launch goes on with CurVer as it was read back.
    EXPECT_TRUE(textHas(text, "\r\nAccess.Application\\CurVer (after switch) = ")) << text;
    EXPECT_EQ(access.receivedArguments(), std::vector<std::string>{"\"C:\\Apps\\Demo.mdb\""});
}

TEST_F(PermissionRepair, CurVerDifferingOnlyInLetterCaseCountsAsWritten) {
    ASSERT_TRUE(install(2010).installed());
    lockValue(kCurVerKey, "ACCESS.application.14");
    HelperProbeListener probe(false);
    LauncherProcess run(probed("Mallowbrook2010.exe"), "-LOGGING -WAIT=1 \"C:\\Apps\\Demo.mdb\"");
    ASSERT_TRUE(run.started());
    EXPECT_TRUE(MessageBoxDriver(run.id()).noBoxUntilExit(run.handle(), 40000));
    ASSERT_TRUE(run.waitForExit(40000));
    EXPECT_EQ(run.exitCode(), 0u);
    EXPECT_TRUE(probe.quietFor(300));
    const std::string text = log();
    EXPECT_EQ(textCount(text, "CurVer' / '' -> 'Access.Application.14'"), 1u) << text;
    EXPECT_FALSE(textHas(text, "declined") || textHas(text, "repaired")) << text;
}

TEST_F(PermissionRepair, ObjectLibraryThatCannotBeRegisteredAsksOncePerAnswer) {
    const struct {
        int answer;
        const char* line;    // written after the answer
        const char* helper;  // what the started helper reports, "(none)" when none starts
    } cases[] = {
        {IDNO, "2002 - User declined repairing permissions.", "(none)"},
        // The helper opens the locked "win32" key itself, so the second registration succeeds.
        {IDYES, "2002 - MsAcc.olb was successfully registered.", "command line:"},
    };
    ASSERT_TRUE(install(2002).installed());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        removeFile(logFilePath());
        RegistrySeed locked;
        ASSERT_TRUE(locked.setString(HKEY_CLASSES_ROOT, kObjectLibraryKey, "", "C:\\Old\\MSACC.OLB"));
        ASSERT_TRUE(KeySecurity::setDacl(HKEY_CLASSES_ROOT, kObjectLibraryKey, kNoSetValue));
        HelperProbeListener probe(false);
        LauncherProcess run(probed("Mallowbrook.exe"), "-LOGGING -WAIT=1 \"C:\\Apps\\Demo.mdb\"");
        ASSERT_TRUE(run.started());
        MessageBoxDriver boxes(run.id());
        MessageBoxInfo box = boxes.answer(c.answer, 30000);
        ASSERT_TRUE(box.window) << "no question";
        EXPECT_EQ(box.title, "Registry Error");
        EXPECT_EQ(box.text, kQuestion);
        EXPECT_EQ(probe.next(c.answer == IDYES ? 10000 : 500), c.helper);
        EXPECT_TRUE(boxes.noBoxUntilExit(run.handle(), 40000));
        ASSERT_TRUE(run.waitForExit(40000));
        const std::string text = log();
        EXPECT_TRUE(textHas(text, std::string("\r\n") + c.line + "\r\n")) << text;
        // Without a repair nothing more is tried in that step.
        EXPECT_EQ(textCount(text, "2002 - Need to set MsAcc.olb Path to: "), c.answer == IDYES ? 2u : 1u) << text;
        EXPECT_TRUE(helperFolders().empty());
        endStandinAccess();
        KeySecurity::setDacl(HKEY_CLASSES_ROOT, kObjectLibraryKey, "D:(A;;KA;;;WD)");
    }
}
