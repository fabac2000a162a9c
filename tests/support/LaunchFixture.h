#pragma once
// The ground every whole-launch test stands on: the registry trees a launch touches taken away
// for the test and put back after it, the stand-in Access showing its window at once, no log
// file and no stand-in left running from before, and the stand-in installed on request with
// its object library beside it.
//
//   class MyTest : public LaunchFixture {};
//   TEST_F(MyTest, X) {
//       AccessInstall& access = install(2002);
//       ASSERT_TRUE(access.installed());
//       ASSERT_TRUE(runToEnd(launcherFor(2002), "-LOGGING -WAIT=1 x.mdb"));
//       EXPECT_TRUE(textHas(log(), "..."));
//   }
//
// A fixture that needs more (a helper file removed, a snapshot taken) overrides SetUp and
// TearDown and calls these first.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "support/AccessInstall.h"
#include "support/LauncherProcess.h"
#include "support/MessageBoxDriver.h"
#include "support/RegistrySeed.h"

class LaunchFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Installs the stand-in for an edition with MSACC.OLB beside it, as Access has it (without
    // the library a launch stops at the "Registry Error" question). An x64 runtime's package and
    // a Click-to-Run install bring their own.
    AccessInstall& install(int edition, AccessKind kind = AccessKind::Full, const std::string& folder = "");
    AccessInstall& installClickToRun(const ClickToRunLayout& layout);
    // The stand-in and the MSACC.OLB that install() put beside it are both in place.
    bool installedWithLibrary(const AccessInstall& access) const;
    // Takes every install of the test away again, the libraries first as they sit in its folders.
    void uninstall();
    // Runs a launcher to its end; false when it did not end in time. With `answerBoxes` set, the
    // boxes it shows are kept in `boxes` and answered: a question (Yes and No) gets `answer`, any
    // other box OK. Without it, a box keeps the run from ending in time.
    bool runToEnd(const std::string& program, const std::string& arguments, DWORD* exitCode = nullptr,
                  int answer = IDNO, DWORD timeoutMs = 40000);
    std::string log() const { return readFile(logFilePath()); }

    bool answerBoxes = false;
    std::vector<MessageBoxInfo> boxes;

private:
    RemovedRegistryTree curVer{HKEY_CLASSES_ROOT, "Access.Application"};
    RemovedRegistryTree progId8{HKEY_CLASSES_ROOT, "Access.Application.8"};
    RemovedRegistryTree progId9{HKEY_CLASSES_ROOT, "Access.Application.9"};
    RemovedRegistryTree progId10{HKEY_CLASSES_ROOT, "Access.Application.10"};
    RemovedRegistryTree progId11{HKEY_CLASSES_ROOT, "Access.Application.11"};
    RemovedRegistryTree objectLibrary{HKEY_CLASSES_ROOT, "TypeLib\\{4AFFC9A0-5F99-101B-AF4E-00AA003F0F07}"};
    RemovedRegistryTree officeLibrary{HKEY_CLASSES_ROOT, "TypeLib\\{2DF8D04C-5BFA-101B-BDE5-00AA0044DE52}"};
    RemovedRegistryTree userOffice{HKEY_CURRENT_USER, "Software\\Microsoft\\Office"};
    RemovedRegistryTree machineOffice{HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Office"};
    // What a 64-bit Access reads (LastAccessInstall, the Click-to-Run configuration).
    RemovedRegistryTree machineOffice64{HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Office", KEY_WOW64_64KEY};
    RemovedRegistryTree filters{HKEY_CURRENT_USER, "Software\\Microsoft\\Shared Tools\\Graphics Filters"};

protected:
    RegistrySeed seed;  // after the trees: undone first
    StandinEnvironment standin;

private:
    std::vector<std::unique_ptr<AccessInstall>> installs;
    std::vector<std::unique_ptr<InstalledFile>> libraries;  // after the installs: gone first
};

std::string launcherFor(int edition);
bool textHas(const std::string& text, const std::string& part);
// How often the part stands in the text.
size_t textCount(const std::string& text, const std::string& part);
// Waits until the log holds the text (the launcher has got that far).
bool waitForLog(const std::string& text, DWORD timeoutMs = 15000);
// The stand-in's main window, once it is there.
HWND waitForAccessWindow(DWORD timeoutMs = 15000);
// Ends every stand-in Access of the prefix, with or without a window, so the next test starts
// clean and can replace its files.
void endStandinAccess();
// Takes away every launch journal of the user, damaged ones included.
void removeJournals();
