// Launches that cannot do what the shortcut asked: each must say so in a box and an exit code of
// its own, or go on exactly as if the bad part had not been given, and never hand Access
// something nobody asked for. (A stored command line of any length and an Access that shows no
// window are rows of FaultInjection; a lower-case msaccess.exe, of CaptureRestore.)
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/LaunchScene.h"

namespace {

const char kDemo[] = "\"C:\\Apps\\Demo.mdb\"";
const char kUserShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const char kLanguage14[] = "Software\\Microsoft\\Office\\14.0\\Common\\LanguageResources";

enum class Fault { TruncatedAccess, NoLocalAppData, NoLanguage };

class UnfulfilledLaunch : public LaunchScene {};

}  // namespace

TEST_F(UnfulfilledLaunch, TheBoxAndExitCodeSayWhatWasNotDone) {
    const struct {
        const char* situation;
        Fault fault;
        int edition;
        const char* options;
        DWORD exitCode;
        const char* boxStart;               // empty: no box
        std::vector<std::string> logLines;  // whole lines of the log
        std::vector<std::string> received;  // what Access was given
    } rows[] = {
        {"MSACCESS.EXE cut short",
         Fault::TruncatedAccess,
         2002,
         "",
         6,
         "Access could not be started, so the application did not open.\n\nProgram: ",
         {"Restoring registry keys"},
         {}},
        {"no local application data folder",
         Fault::NoLocalAppData,
         2002,
         "-WINDOWSPROFILE",
         0xFFFFFFFF,
         "The application cannot be started: it opens from your local application data folder, and Windows "
         "cannot find that folder.\n\nReason: ",
         {"******* Windows Profile = true"},
         {}},
        {"-LANG that names no language",
         Fault::NoLanguage,
         2010,
         "-LANG=1O36",
         0,
         "",
         {"-LANG=1O36 names no language of the language table; ignored"},
         {kDemo}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.situation);
        AccessInstall& access = install(row.edition);
        ASSERT_TRUE(access.installed());
        RegistrySeed redirect;
        if (row.fault == Fault::TruncatedAccess) {
            // The first page of a real program: a header that promises what the file no longer holds.
            const std::string whole = readFile(standinAccessPath());
            ASSERT_GT(whole.size(), 4096u);
            std::ofstream(access.executablePath(), std::ios::binary | std::ios::trunc) << whole.substr(0, 4096);
        }
        if (row.fault == Fault::NoLocalAppData) {
            ASSERT_TRUE(
                redirect.setString(HKEY_CURRENT_USER, kUserShellFolders, "Local AppData", "Q:\\Offline\\Local"));
        }
        removeFile(logFilePath());
        boxes.clear();
        DWORD exitCode = 1;
        ASSERT_TRUE(runToEnd(launcherFor(row.edition), std::string("-LOGGING -WAIT=1 ") + row.options + " " + kDemo,
                             &exitCode));
        redirect.undo();

        EXPECT_EQ(exitCode, row.exitCode);
        if (*row.boxStart == '\0') {
            EXPECT_TRUE(boxes.empty()) << boxes.front().text;
        } else {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].title, "Mallowbrook Warning");
            EXPECT_EQ(boxes[0].text.rfind(row.boxStart, 0), 0u) << boxes[0].text;
        }
        const std::string text = log();
        if (row.fault == Fault::TruncatedAccess) {
            // The program and the system's reason, in the box and in the log.
            EXPECT_TRUE(textHas(boxes.at(0).text, access.executablePath() + "\nReason: ")) << boxes[0].text;
            EXPECT_TRUE(textHas(text, "\r\nCould not start " + access.executablePath() + ": ")) << text;
        }
        for (const std::string& line : row.logLines)
            EXPECT_TRUE(textHas(text, "\r\n" + line + "\r\n")) << line << "\n" << text;
        EXPECT_EQ(access.receivedArguments(), row.received);
        // Nothing is recorded or switched for a run that ends before the launch.
        EXPECT_EQ(textHas(text, "Saving default registry settings"), row.fault != Fault::NoLocalAppData) << text;
        EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, kLanguage14));
        expectAllPutBack(row.situation);
        endStandinAccess();
        uninstall();
    }
}
