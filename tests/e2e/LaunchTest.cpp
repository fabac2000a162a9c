#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "registry/RegistryPrimitives.h"
#include "support/LaunchFixture.h"

// Whole launches as a user sees them: the stand-in Access installed and registered in the
// prefix, the real launcher started, its boxes answered, then what Access received, the log
// and the registry afterwards.
namespace {

const DWORD kExitMinusOne = 0xFFFFFFFF;
const char kCurVerKey[] = "Access.Application\\CurVer";
const char kOfficeCommon[] = "SOFTWARE\\Microsoft\\Office\\Common";
const char kSecurity2003[] = "Software\\Microsoft\\Office\\11.0\\Access\\Security";

class Launch : public LaunchFixture {};

}  // namespace

TEST_F(Launch, TheRuntimeWinsOverTheFullInstall) {
    const struct {
        bool full;
        bool runtime;
    } cases[] = {{true, false}, {false, true}, {true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.full ? "full " : "") + (c.runtime ? "runtime" : ""));
        AccessInstall* full = c.full ? &install(2002, AccessKind::Full) : nullptr;
        AccessInstall* runtime = c.runtime ? &install(2002, AccessKind::Runtime) : nullptr;
        ASSERT_TRUE(!full || full->installed());
        ASSERT_TRUE(!runtime || runtime->installed());
        removeFile(logFilePath());
        DWORD exitCode = 1;
        ASSERT_TRUE(runToEnd("Mallowbrook.exe", "-LOGGING -WAIT=1 \"C:\\Apps\\Demo.mdb\"", &exitCode));
        EXPECT_EQ(exitCode, 0u);
        AccessInstall* started = runtime ? runtime : full;
        EXPECT_EQ(started->receivedArguments(), std::vector<std::string>{"\"C:\\Apps\\Demo.mdb\""});
        if (full && runtime) {
            EXPECT_TRUE(full->receivedCommandLines().empty());
        }
        EXPECT_TRUE(textHas(log(), "Getting ready to launch Access: " + started->executablePath() +
                                       "\r\n\twith command line: \"C:\\Apps\\Demo.mdb\"\r\n"))
            << log();
        EXPECT_EQ(textHas(log(), "The Access 2002 runtime was found!"), runtime != nullptr);
        endStandinAccess();
        uninstall();
    }
}

TEST_F(Launch, NeitherInstallShowsTheWarningAndChangesNothing) {
    for (int edition : {2002, 2016}) {
        SCOPED_TRACE(edition);
        removeFile(logFilePath());
        RegistrySeed before;
        before.setString(HKEY_CLASSES_ROOT, kCurVerKey, "", "Access.Application.9");
        before.setString(HKEY_CLASSES_ROOT, "Access.Application.10\\shell\\open\\ddeexec", "", "[open]");

        LauncherProcess run(launcherFor(edition), "-LOGGING \"C:\\Apps\\Demo.mdb\"");
        ASSERT_TRUE(run.started());
        MessageBoxInfo box = MessageBoxDriver(run.id()).answer(IDOK, 20000);
        ASSERT_TRUE(box.window) << "no warning box";
        const std::string year = std::to_string(edition);
        EXPECT_EQ(box.title, "Mallowbrook Warning");
        EXPECT_EQ(box.text, "Unable to find the Access " + year + " runtime or full install.\n" +
                                "The most likely cause is that the " + year +
                                " Runtime installer failed to install properly.");
        EXPECT_TRUE(box.hasWarningIcon);
        ASSERT_TRUE(run.waitForExit());
        EXPECT_EQ(run.exitCode(), 0u);

        // Only reads happened: nothing switched, nothing removed, nothing recorded.
        EXPECT_EQ(registryString(HKEY_CLASSES_ROOT, kCurVerKey, ""), "Access.Application.9");
        EXPECT_TRUE(registryKeyExists(HKEY_CLASSES_ROOT, "Access.Application.10\\shell\\open\\ddeexec"));
        EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, "Software\\Microsoft\\Shared Tools\\Graphics Filters"));
        EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\9.0\\Access"));
        const std::string text = log();
        EXPECT_FALSE(textHas(text, "Saving default registry settings")) << text;
        EXPECT_FALSE(textHas(text, "Exiting application")) << text;
    }
}

// What each edition leaves behind: the switch during the run, the fixed values back afterwards.
// CurVer starts at a later edition's ProgID, so no edition keeps its switch of the object library.
TEST_F(Launch, EachEditionSwitchesAndPutsBack) {
    const struct {
        int edition;
        const char* progId;
        long long lastInstallAfter;  // LastAccessInstall when it was 9 before
    } cases[] = {
        {2002, "Access.Application.10", 9},
        {2003, "Access.Application.11", 9},
        {2007, "Access.Application.12", 9},
        {2016, "Access.Application.16", 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.edition);
        removeFile(logFilePath());
        AccessInstall& access = install(c.edition, AccessKind::Full);
        ASSERT_TRUE(access.installed());
        RegistrySeed before;
        before.setString(HKEY_CLASSES_ROOT, kCurVerKey, "", "Access.Application.15");
        before.setDword(HKEY_LOCAL_MACHINE, kOfficeCommon, "LastAccessInstall", 9);
        const char* const ddeProgIds[] = {"Access.Application.8", "Access.Application.9", "Access.Application.10",
                                          "Access.Application.11"};
        for (const char* progId : ddeProgIds) {
            before.setString(HKEY_CLASSES_ROOT, std::string(progId) + "\\shell\\open\\ddeexec", "", "[open]");
            before.setString(HKEY_CLASSES_ROOT, std::string(progId) + "\\shell\\open\\ddeexec\\Topic", "", "System");
        }

        standin.set("STANDIN_LIFETIME", "infinite");
        LauncherProcess run(launcherFor(c.edition), "-LOGGING -WAIT=60000 \"C:\\Apps\\Demo.mdb\" /x");
        ASSERT_TRUE(run.started());
        HWND window = waitForAccessWindow();
        ASSERT_TRUE(window) << "Access was not started";
        // During the run: switched to this edition.
        EXPECT_EQ(registryString(HKEY_CLASSES_ROOT, kCurVerKey, ""), c.progId);
        if (c.edition != 2002) {
            EXPECT_EQ(registryDword(HKEY_LOCAL_MACHINE, kOfficeCommon, "LastAccessInstall"),
                      std::stoi(std::string(c.progId).substr(19)));
        }
        ASSERT_TRUE(waitForLog("Waiting just a little longer."));
        PostMessageA(window, WM_CLOSE, 0, 0);  // the grace period ends when Access does
        ASSERT_TRUE(run.waitForExit(20000));
        EXPECT_EQ(run.exitCode(), 0u);

        EXPECT_EQ(access.receivedArguments(), std::vector<std::string>{"\"C:\\Apps\\Demo.mdb\" /x"});
        const std::string text = log();
        EXPECT_TRUE(textHas(text, "\r\nAccess.Application\\CurVer (before switch) = Access.Application.15\r\n"))
            << text;
        EXPECT_TRUE(textHas(text, std::string("\r\nAccess.Application\\CurVer (after switch) = ") + c.progId + "\r\n"))
            << text;
        EXPECT_TRUE(textHas(text, "\r\nFound main Access window - shutting down\r\nRestoring registry keys\r\n"))
            << text;
        EXPECT_TRUE(textHas(text, "\r\nExiting application\r\n"));
        // Afterwards: the recorded values are back, the DDE commands stay gone.
        EXPECT_EQ(registryString(HKEY_CLASSES_ROOT, kCurVerKey, ""), "Access.Application.15");
        EXPECT_EQ(registryDword(HKEY_LOCAL_MACHINE, kOfficeCommon, "LastAccessInstall"), c.lastInstallAfter);
        for (const char* progId : ddeProgIds)
            EXPECT_FALSE(registryKeyExists(HKEY_CLASSES_ROOT, std::string(progId) + "\\shell\\open\\ddeexec"))
                << progId;
        EXPECT_EQ(registryDword(HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\9.0\\Access", "UserData"), 1);
        EXPECT_EQ(registryString(HKEY_CURRENT_USER,
                                 "Software\\Microsoft\\Shared Tools\\Graphics Filters\\Import\\TIFF\\Options",
                                 "ShowProgressDialog"),
                  "No");
        endStandinAccess();
        uninstall();
    }
}

TEST_F(Launch, LastAccessInstallAbsentBeforeKeepsTheEditionsNumber) {
    AccessInstall& access = install(2016, AccessKind::Full);
    ASSERT_TRUE(access.installed());
    seed.deleteValue(HKEY_LOCAL_MACHINE, kOfficeCommon, "LastAccessInstall");
    ASSERT_TRUE(runToEnd("Mallowbrook2016.exe", "-WAIT=1 \"C:\\Apps\\Demo.mdb\""));
    EXPECT_EQ(registryDword(HKEY_LOCAL_MACHINE, kOfficeCommon, "LastAccessInstall"), 16);
    EXPECT_EQ(
        registryDword(HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\16.0\\Common\\General", "ShownFirstRunOptIn"),
        1);
}

TEST_F(Launch, SecurityLevel2003IsLoweredForTheRunOnly) {
    const struct {
        long long before;  // -1: absent
        long long after;
    } cases[] = {{-1, 2}, {3, 3}, {0, 0}};
    AccessInstall& access = install(2003, AccessKind::Full);
    ASSERT_TRUE(access.installed());
    standin.set("STANDIN_LIFETIME", "infinite");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        RegistrySeed before;
        if (c.before < 0)
            before.deleteValue(HKEY_CURRENT_USER, kSecurity2003, "Level");
        else
            before.setDword(HKEY_CURRENT_USER, kSecurity2003, "Level", static_cast<DWORD>(c.before));
        removeFile(logFilePath());
        LauncherProcess run("Mallowbrook2003.exe", "-LOGGING -WAIT=60000 \"C:\\Apps\\Demo.mdb\"");
        HWND window = waitForAccessWindow();
        ASSERT_TRUE(window);
        EXPECT_EQ(registryDword(HKEY_CURRENT_USER, kSecurity2003, "Level"), 1);
        ASSERT_TRUE(waitForLog("Waiting just a little longer."));
        PostMessageA(window, WM_CLOSE, 0, 0);
        ASSERT_TRUE(run.waitForExit(20000));
        EXPECT_EQ(registryDword(HKEY_CURRENT_USER, kSecurity2003, "Level"), c.after);
    }
}

TEST_F(Launch, LanguageLastsForTheRunIn2007AndStaysIn2016) {
    const struct {
        int edition;
        const char* key;
        long long uiAfter;
        const char* followAfter;
    } cases[] = {
        {2007, "Software\\Microsoft\\Office\\12.0\\Common\\LanguageResources", 1031, "On"},
        {2016, "Software\\Microsoft\\Office\\16.0\\Common\\LanguageResources", 1036, "Off"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.edition);
        AccessInstall& access = install(c.edition, AccessKind::Full);
        ASSERT_TRUE(access.installed());
        RegistrySeed before;
        before.setDword(HKEY_CURRENT_USER, c.key, "UILanguage", 1031);
        before.setDword(HKEY_CURRENT_USER, c.key, "HelpLanguage", 1031);
        before.setString(HKEY_CURRENT_USER, c.key, "FollowSystemUI", "On");
        ASSERT_TRUE(runToEnd(launcherFor(c.edition), "-LANG=1036 -WAIT=1 \"C:\\Apps\\Demo.mdb\""));
        EXPECT_EQ(registryDword(HKEY_CURRENT_USER, c.key, "UILanguage"), c.uiAfter);
        EXPECT_EQ(registryDword(HKEY_CURRENT_USER, c.key, "HelpLanguage"), c.uiAfter);
        EXPECT_EQ(registryString(HKEY_CURRENT_USER, c.key, "FollowSystemUI"), c.followAfter);
        EXPECT_EQ(access.receivedArguments(), std::vector<std::string>{"\"C:\\Apps\\Demo.mdb\""});
        endStandinAccess();
        uninstall();
    }
}

TEST_F(Launch, CommandLineComposition) {
    seed.setString(HKEY_LOCAL_MACHINE, "Software\\MallowbrookE2E\\Sales", "CmdLine",
                   "\"C:\\Apps\\Sales.mdb\" /runtime");
    seed.setString(HKEY_LOCAL_MACHINE, "Software\\MallowbrookE2E\\Sales\\Run-Time Options", "TitleBar", "Sales 2.0");
    seed.setString(HKEY_CURRENT_USER, "Software\\MallowbrookE2E\\Sales", "CmdLine", "\"C:\\Apps\\Mine.mdb\"");
    seed.setString(HKEY_LOCAL_MACHINE, "hkcu\\Software\\MallowbrookE2E\\Sales", "CmdLine", "\"C:\\Apps\\Odd.mdb\"");
    char local[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, local);
    standin.set("APPDATA", "C:\\Roaming");
    standin.set("USERNAME", "ann");

    const struct {
        const char* arguments;
        std::string received;
        std::string logLine;
    } cases[] = {
        {"-CMD=\"HKLM\\Software\\MallowbrookE2E\\Sales\" /x", "\"C:\\Apps\\Sales.mdb\" /runtime /x",
         "Using registry title: Sales 2.0"},
        {"-CMD=\"HKCU\\Software\\MallowbrookE2E\\Sales\" /x", "\"C:\\Apps\\Mine.mdb\" /x",
         "No registry title. Making it generic"},
        {"-CMD=\"hkcu\\Software\\MallowbrookE2E\\Sales\" /x", "\"C:\\Apps\\Odd.mdb\" /x",
         "Have command line from registry: \"C:\\Apps\\Odd.mdb\""},
        // Nothing after the options: the stored line and one blank.
        {"-CMD=\"HKLM\\Software\\MallowbrookE2E\\Sales\"", "\"C:\\Apps\\Sales.mdb\" /runtime ",
         "Plus parsed command line: "},
        {"-WINDOWSPROFILE /runtime \"D:\\Apps\\Sales.MDB\"",
         "/runtime \"" + std::string(local) + "\\sales.mdb\" /runtime \"D:\\Apps\\Sales.MDB\"",
         "******* Windows Profile = true"},
        {"-WINDOWSPROFILE Sales.mdb", std::string(local) + "\\sales.mdb\" Sales.mdb",
         "Original Access command line: Sales.mdb"},
        {"\"%APPDATA%\\Demo.mdb\" /user %USERNAME% /profile %USERNAME% /x %LOCALAPPDATA% %username%",
         "\"C:\\Roaming\\Demo.mdb\" /user ann /profile ann /x " + std::string(local) + " %username%",
         "Command line after env replacement: \"C:\\Roaming\\Demo.mdb\" /user ann /profile ann /x " +
             std::string(local) + " %username%"},
    };
    AccessInstall& access = install(2002, AccessKind::Full);
    ASSERT_TRUE(access.installed());
    size_t starts = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        removeFile(logFilePath());
        ASSERT_TRUE(runToEnd("Mallowbrook.exe", std::string("-LOGGING -WAIT=1 ") + c.arguments));
        std::vector<std::string> received = access.receivedArguments();
        ASSERT_EQ(received.size(), ++starts);
        EXPECT_EQ(received.back(), c.received);
        EXPECT_TRUE(textHas(log(), std::string("\r\n") + c.logLine + "\r\n")) << log();
        endStandinAccess();
    }
}

TEST_F(Launch, Launch32StartsInsteadOfAccessWhenItIsThere) {
    AccessInstall& access = install(2002, AccessKind::Full);
    ASSERT_TRUE(access.installed());
    const std::string secure = "C:\\Apps\\Secure\\Sales.sec";
    {
        // Absent: Access is started as composed.
        ASSERT_TRUE(runToEnd("Mallowbrook.exe", "-LOGGING -WAIT=1 -SECFILE=\"" + secure + "\" \"C:\\Apps\\Demo.mdb\""));
        EXPECT_EQ(access.receivedArguments(), std::vector<std::string>{"\"C:\\Apps\\Demo.mdb\""});
        EXPECT_TRUE(textHas(log(), "\r\nLaunching with Launch32.exe\r\nGetting ready to launch Access: "));
        endStandinAccess();
    }
    InstalledFile launch32(standinLaunch32Path(), "C:\\Apps\\Secure\\launch32.exe");
    ASSERT_TRUE(launch32.installed());
    removeFile(logFilePath());
    ASSERT_TRUE(runToEnd("Mallowbrook.exe", "-LOGGING -WAIT=1 -SECFILE=\"" + secure + "\" \"C:\\Apps\\Demo.mdb\""));
    std::vector<std::string> received = readRecordLines(launch32.path() + ".commandline.txt");
    EXPECT_EQ(received.size(), 1u);
    if (!received.empty()) {
        EXPECT_EQ(commandLineArguments(received[0]), secure);
    }
    EXPECT_EQ(access.receivedArguments().size(), 1u) << "Access itself was started again";
    EXPECT_TRUE(textHas(log(), "\r\nExecutable location changed to: C:\\Apps\\Secure\\launch32.exe\r\n"));
    endStandinAccess();
    removeFile(launch32.path() + ".commandline.txt");
}

TEST_F(Launch, WaitForAccessToCloseRestoresFirstAndExitsAfterAccess) {
    AccessInstall& access = install(2002, AccessKind::Full);
    ASSERT_TRUE(access.installed());
    standin.set("STANDIN_LIFETIME", "infinite");
    RegistrySeed before;
    before.setString(HKEY_CLASSES_ROOT, kCurVerKey, "", "Access.Application.15");
    LauncherProcess run("Mallowbrook.exe", "-LOGGING -WAIT=1 -WAITFORACCESSTOCLOSE \"C:\\Apps\\Demo.mdb\"");
    HWND window = waitForAccessWindow();
    ASSERT_TRUE(window);
    // Restored while Access still runs; the launcher waits for it.
    ASSERT_TRUE(waitForLog("Restoring registry keys"));
    bool restored = false;
    for (int i = 0; i < 500 && !restored; ++i) {
        restored = registryString(HKEY_CLASSES_ROOT, kCurVerKey, "") == "Access.Application.15";
        if (!restored)
            Sleep(20);
    }
    EXPECT_TRUE(restored);
    EXPECT_FALSE(textHas(log(), "Exiting application"));
    EXPECT_EQ(WaitForSingleObject(run.handle(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(run.waitForExit(10000));
    EXPECT_TRUE(textHas(log(), "\r\nRestoring registry keys\r\nExiting application\r\n")) << log();
}

// A step that fails with an exception: the user hears of it, nothing stays switched, and the
// process ends with an error code instead of silently.
TEST_F(Launch, EscapedErrorIsReportedAndTheRegistryPutBack) {
    AccessInstall& access = install(2007, AccessKind::Full);
    ASSERT_TRUE(access.installed());
    RegistrySeed before;
    before.setString(HKEY_CLASSES_ROOT, kCurVerKey, "", "Access.Application.9");
    // The trusted locations the 2007 switch must read are closed to the user.
    const std::string locations = "Software\\Microsoft\\Office\\12.0\\Access\\Security\\Trusted Locations";
    ASSERT_TRUE(before.createKey(HKEY_CURRENT_USER, locations));
    {
        EXPLICIT_ACCESSA rules[2] = {};
        char everyone[] = "EVERYONE";
        BuildExplicitAccessWithNameA(&rules[0], everyone, KEY_READ, DENY_ACCESS, NO_INHERITANCE);
        BuildExplicitAccessWithNameA(&rules[1], everyone, DELETE | WRITE_DAC | KEY_WRITE, GRANT_ACCESS, NO_INHERITANCE);
        PACL acl = nullptr;
        ASSERT_EQ(SetEntriesInAclA(2, rules, nullptr, &acl), static_cast<DWORD>(ERROR_SUCCESS));
        UniqueLocalMemory owner(acl);
        std::string object = "CURRENT_USER\\" + locations;
        ASSERT_EQ(SetNamedSecurityInfoA(&object[0], SE_REGISTRY_KEY,
                                        DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                                        nullptr, acl, nullptr),
                  static_cast<DWORD>(ERROR_SUCCESS));
        UniqueKey probe;
        ASSERT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, locations.c_str(), 0, KEY_READ, probe.put()), ERROR_SUCCESS)
            << "the registry does not enforce the denial";
    }

    // Opened up again before the key is removed.
    struct Reopen {
        std::string object;
        ~Reopen() {
            SetNamedSecurityInfoA(&object[0], SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                                  nullptr);
        }
    } reopen{"CURRENT_USER\\" + locations};

    LauncherProcess run("Mallowbrook2007.exe", "-LOGGING -WAIT=1 \"C:\\Apps\\Demo.mdb\"");
    MessageBoxInfo box = MessageBoxDriver(run.id()).answer(IDOK, 20000);
    ASSERT_TRUE(box.window) << "no error box";
    const std::string prefix = "The application encountered an unexpected error: Couldn't open registry key: ";
    EXPECT_EQ(box.title, "Mallowbrook");
    EXPECT_EQ(box.text.compare(0, prefix.size(), prefix), 0) << box.text;
    EXPECT_TRUE(box.hasWarningIcon);
    ASSERT_TRUE(run.waitForExit());
    EXPECT_EQ(run.exitCode(), kExitMinusOne);

    EXPECT_TRUE(textHas(log(), "\r\n" + box.text)) << log();
    EXPECT_FALSE(textHas(log(), "Exiting application"));
    EXPECT_TRUE(access.receivedCommandLines().empty()) << "Access was started after the error";
    EXPECT_EQ(registryString(HKEY_CLASSES_ROOT, kCurVerKey, ""), "Access.Application.9");
}
