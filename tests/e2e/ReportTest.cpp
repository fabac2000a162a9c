// -REPORT added to a shortcut: the report on the desktop says what the launch would do, and the
// machine is left exactly as it was. Access is not started, no journal is put back or written.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "journal/JournalFile.h"
#include "journal/JournalText.h"
#include "launch/ReportText.h"
#include "support/KeySecurity.h"
#include "support/LaunchScene.h"

namespace {

const DWORD kExitReportNoLaunch = 9;
const char kCurVerKey[] = "Access.Application\\CurVer";
const char kDdeKey[] = "Access.Application.9\\shell\\open\\ddeexec";
const char kDemo[] = "\"C:\\Apps\\Demo.mdb\"";

class Report : public LaunchScene {
protected:
    void SetUp() override {
        LaunchScene::SetUp();
        removeFile(reportPath());
    }
    void TearDown() override {
        removeFile(reportPath());
        LaunchScene::TearDown();
    }
    static std::string reportPath() { return desktopFolder() + "\\" + kReportFileName; }

    // Runs the launcher with -REPORT; false when it showed a box or did not end in time.
    bool report(const std::string& launcher, const std::string& arguments, DWORD& exitCode, HANDLE token = nullptr) {
        LauncherProcess run(launcher, "-REPORT " + arguments, token);
        if (!run.started() || !MessageBoxDriver(run.id()).noBoxUntilExit(run.handle(), 40000))
            return false;
        exitCode = run.exitCode();
        return true;
    }
};

}  // namespace

// A launch of 2002 over what Access 2003 left: CurVer, the object library and an old DDE command
// would be switched, and a killed launch's journal is still due. The report says all of it; the
// registry, the journal and the desktop stay as they were.
TEST_F(Report, ASwitchedSceneIsReportedWithNothingChanged) {
    AccessInstall& access = install(2002);
    ASSERT_TRUE(installedWithLibrary(access));
    ASSERT_TRUE(seed.setString(HKEY_CLASSES_ROOT, kDdeKey, "", "[open]"));
    journalPlaces(true);
    Journal killed;
    killed.processId = 1;
    killed.started = 1;
    killed.recordedAt = 1;
    killed.switchDone = true;
    JournalEntry curVer;
    curVer.key = kCurVerKey;
    curVer.recorded = {true, REG_SZ, std::string("Access.Application.11") + '\0'};
    curVer.switchedTo = {true, REG_SZ, std::string("Access.Application.15") + '\0'};
    killed.entries = {curVer};
    const std::string journal = journalFolder() + "journal-1-1.txt";
    ASSERT_TRUE(writeJournalFile(journal, formatJournal(killed)));
    // A launch would set the damaged one aside; the report only says so.
    const std::string damaged = journalFolder() + "journal-2-2.txt", setAside = journalFolder() + "journal-3-3.txt.damaged";
    ASSERT_TRUE(writeJournalFile(damaged, "not a journal"));
    ASSERT_TRUE(writeJournalFile(setAside, "set aside before"));
    retakeBefore();

    DWORD exitCode = 1;
    ASSERT_TRUE(report("Mallowbrook.exe", std::string("-LOGGING -WAIT=1 ") + kDemo, exitCode));
    EXPECT_EQ(exitCode, 0u);
    const std::string text = readFile(reportPath());
    const std::string olb = access.folder() + "\\MSACC.OLB";
    const std::vector<std::string> lines = {
             "* Access 2002 full product (shell command, 32-bit, no file version)\r\n    " + access.executablePath(),
             std::string("HKEY_CLASSES_ROOT\\Access.Application\\CurVer [(Default)]: \"Access.Application.15\" -> "
                         "\"Access.Application.10\"; put back after the launch"),
             "HKEY_CLASSES_ROOT\\TypeLib\\{4AFFC9A0-5F99-101B-AF4E-00AA003F0F07}\\9.0\\0\\win32 [(Default)]: "
             "\"fixed value ",
             "-> \"" + olb + "\"; put back after the launch",
             std::string("HKEY_CLASSES_ROOT\\") + kDdeKey + ": the key and its subkeys -> removed; stays after the launch",
             std::string("HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\9.0\\Access [UserData]: (absent) -> 1; "
                         "stays after the launch"),
             std::string("HKEY_CLASSES_ROOT\\Access.Application\\CurVer: yes"),
             "  Journal " + journal + "\r\n    Launch started ",
             std::string("    The next launch puts back 1 value:\r\n      HKEY_CLASSES_ROOT\\Access.Application\\CurVer []"),
             "  Journal " + damaged + "\r\n    damaged (",
             "); the next launch sets it aside\r\n",
             "  Damaged journal set aside: " + setAside + "\r\n",
             "7. Verdict\r\nA launch would start " + access.executablePath() + "\r\n  with the command line: " + kDemo,
    };
    for (const std::string& line : lines)
        EXPECT_TRUE(textHas(text, line)) << line << "\n" << text;
    EXPECT_FALSE(textHas(text, "-OPENKEYS")) << text;

    EXPECT_TRUE(access.receivedCommandLines().empty()) << "Access was started";
    expectAllPutBack("-REPORT");
    EXPECT_TRUE(registryKeyExists(HKEY_CLASSES_ROOT, kDdeKey));
    EXPECT_FALSE(registryValueExists(HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\9.0\\Access", "UserData"));
    EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, "Software\\Microsoft\\Shared Tools\\Graphics Filters"));
    EXPECT_EQ(listJournalFiles(), (std::vector<std::string>{journal, damaged}));
    EXPECT_EQ(listSetAsideJournals(), std::vector<std::string>{setAside});
    EXPECT_FALSE(fileExistsAt(logFilePath())) << "the report writes no other file";
    EXPECT_FALSE(fileExistsAt(reportPath() + ".new"));
    for (const std::string& file : {journal, damaged, setAside})
        removeFile(file);
}

// A 2016 launch also trusts the database's folder and points the class servers of the machine
// (written as HKEY_LOCAL_MACHINE\SOFTWARE\Classes, recorded as HKEY_CLASSES_ROOT) at its Access.
TEST_F(Report, A2016SwitchNamesItsTrustAndWhatGoesBack) {
    AccessInstall& access = install(2016);
    ASSERT_TRUE(installedWithLibrary(access));
    DWORD exitCode = 1;
    ASSERT_TRUE(report(launcherFor(2016), "\"C:\\Apps\\Sales.accdb\"", exitCode));
    EXPECT_EQ(exitCode, 0u);
    const std::string text = readFile(reportPath());
    for (const std::string& line :
         {"CLSID\\{73A4C9C1-D68D-11D0-98BF-00A0C90DC8D9}\\LocalServer32 (32-bit view) [(Default)]: \"fixed value 271\" -> \"" +
              access.executablePath() + "\"; put back after the launch",
          std::string("4. Trust\r\n  c:\\apps: made a trusted location by the launch\r\n    A local folder\r\n"
                      "    Office policy does not void it.")})
        EXPECT_TRUE(textHas(text, line)) << line << "\n" << text;
    EXPECT_TRUE(access.receivedCommandLines().empty()) << "Access was started";
    expectAllPutBack("-REPORT of 2016");
    EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\16.0\\Access\\Security\\Trusted Locations"));
}

// Each way a launch would end without Access gets the report's own exit code and its reason.
TEST_F(Report, TheReasonALaunchWouldNotStartAccess) {
    ASSERT_TRUE(ensureInstallerUserData());
    const struct {
        const char* what;
        bool installed;
        const char* arguments;
        std::vector<std::string> lines;
        bool offlineProfile = false;  // the local application data folder names a drive that is not there
    } cases[] = {
        {"no Access",
         false,
         "\"C:\\Apps\\Sales.mdb\"",
         {"  Access 2002: none\r\n  Access 2003: none\r\n  Access 2007: none\r\n  Access 2010: none\r\n"
          "  Access 2013: none\r\n  Access 2016: none\r\nThis shortcut would start none of them.",
          "  Nothing: a launch would not get as far as the switch.",
          "A launch would not start Access: Unable to find the Access 2002 runtime or full install. "
          "The most likely cause is that the 2002 Runtime installer failed to install properly."}},
        {"a master out of reach and no copy",
         true,
         "-WINDOWSPROFILE -UPDATE \"\\\\server\\gone\\Sales.mdb\"",
         {"\\Sales.mdb\r\n  Master \\\\server\\gone\\Sales.mdb: cannot be reached (",
          "  Copy ",
          "\\Sales.mdb: none yet\r\n  The launch would show that the front-end cannot be copied, and not start Access.",
          "A launch would not start Access: the user has no copy of the front-end, and its master "
          "\\\\server\\gone\\Sales.mdb cannot be reached ("}},
        {"a maintenance run", true, "-CAPTURE", {"A launch would not start Access: the shortcut runs a maintenance option"}},
        {"no local application data folder",
         true,
         "-WINDOWSPROFILE \"C:\\Apps\\Sales.mdb\"",
         {"A launch would not start Access: Windows cannot find the local application data folder that "
          "-WINDOWSPROFILE opens from ("},
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.installed)
            ASSERT_TRUE(install(2002).installed());
        RegistrySeed folders;
        if (c.offlineProfile)
            folders.setString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                              "Local AppData", "Q:\\Offline\\Local");
        DWORD exitCode = 0;
        ASSERT_TRUE(report("Mallowbrook.exe", c.arguments, exitCode));
        folders.undo();
        EXPECT_EQ(exitCode, kExitReportNoLaunch);
        const std::string text = readFile(reportPath());
        for (const std::string& line : c.lines)
            EXPECT_TRUE(textHas(text, line)) << line << "\n" << text;
        uninstall();
    }
    expectAllPutBack("-REPORT without a launch");
}

// A standard user on a machine whose class keys only administrators may write: the report says
// who must do what, and a second report replaces the first whole.
TEST_F(Report, AUserWhoMayNotWriteTheKeysIsSentToOpenKeys) {
    ASSERT_TRUE(install(2002).installed());
    ASSERT_TRUE(seed.setString(HKEY_CLASSES_ROOT, kCurVerKey, "", "Access.Application.11"));
    ASSERT_TRUE(KeySecurity::setDacl(HKEY_CLASSES_ROOT, kCurVerKey, "D:P(A;;KR;;;BU)(A;;KA;;;BA)(A;;KA;;;SY)"));
    ASSERT_TRUE(KeySecurity::setOwner(HKEY_CLASSES_ROOT, kCurVerKey, "O:SY"));
    const UniqueKernelHandle user = standardUserToken();
    ASSERT_TRUE(user);
    for (int run = 0; run < 2; ++run) {
        DWORD exitCode = 1;
        ASSERT_TRUE(report("Mallowbrook.exe", kDemo, exitCode, user.get()));
        EXPECT_EQ(exitCode, 0u);
    }
    const std::string text = readFile(reportPath());
    EXPECT_EQ(textCount(text, "Mallowbrook report, written "), 1u);
    for (const char* line : {"\"Access.Application.11\" -> \"Access.Application.10\"; this user may not write it",
                             "    HKEY_CLASSES_ROOT\\Access.Application\\CurVer: no (Access",
                             "  This user may not write all of them: an administrator must run -OPENKEYS once."})
        EXPECT_TRUE(textHas(text, line)) << line << "\n" << text;
    EXPECT_EQ(registryString(HKEY_CLASSES_ROOT, kCurVerKey, ""), "Access.Application.11");
    EXPECT_TRUE(KeySecurity::setOwner(HKEY_CLASSES_ROOT, kCurVerKey, "O:BA"));
}

// A folder where the report goes: nothing can replace it, and the exit code is the only word.
TEST_F(Report, AReportThatCannotBeWrittenEndsWithMinusOne) {
    ASSERT_TRUE(CreateDirectoryA(reportPath().c_str(), nullptr));
    DWORD exitCode = 0;
    const bool ended = report("Mallowbrook.exe", kDemo, exitCode);
    RemoveDirectoryA(reportPath().c_str());
    ASSERT_TRUE(ended);
    EXPECT_EQ(exitCode, 0xFFFFFFFFu);
    EXPECT_FALSE(fileExistsAt(reportPath() + ".new"));
}
