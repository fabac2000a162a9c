#pragma once
// The scene of a whole launch for tests that try faults on it: the stand-in Access installed
// with its object library, every value of the fixed table given a known text, the keys a launch
// touches taken away for the test and put back after it, and a snapshot of the fixed values
// taken before the launcher starts.
//
//   class MyTest : public LaunchScene {};
//   TEST_F(MyTest, X) {
//       install(2002);
//       LauncherProcess run(launcherFor(2002), "-LOGGING -WAIT=1 x.mdb");
//       ...
//       expectAllPutBack("what was tried");   // counts the values checked and lost
//   }
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "support/AccessInstall.h"
#include "support/FixedValueSnapshot.h"
#include "support/LauncherProcess.h"
#include "support/MessageBoxDriver.h"
#include "support/RegistrySeed.h"

class LaunchScene : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Installs the stand-in for an edition as a full product, MSACC.OLB beside it.
    AccessInstall& install(int edition, const std::string& folder = "");
    // Runs a launcher to its end; the boxes it shows are kept in `boxes`. A question (Yes and No)
    // gets `answer`, any other box OK.
    bool runToEnd(const std::string& program, const std::string& arguments, DWORD* exitCode = nullptr,
                  int answer = IDNO, DWORD timeoutMs = 40000);
    std::string log() const { return readFile(logFilePath()); }
    // The fixed values now against those before the launch: every one that existed must be back.
    // Prints one line per call for the figures of the run.
    void expectAllPutBack(const std::string& context);
    // Takes the snapshot again, after the test changed the seeded values itself.
    void retakeBefore() { before = FixedValueSnapshot::take(); }

    std::vector<MessageBoxInfo> boxes;
    FixedValueSnapshot before;

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
    RemovedRegistryTree filters{HKEY_CURRENT_USER, "Software\\Microsoft\\Shared Tools\\Graphics Filters"};

protected:
    RegistrySeed seed;  // after the trees: undone first
    StandinEnvironment standin;
    std::vector<std::unique_ptr<AccessInstall>> installs;
    std::vector<std::unique_ptr<InstalledFile>> libraries;
};

std::string launcherFor(int edition);
bool textHas(const std::string& text, const std::string& part);
// Waits until the log holds the text.
bool waitForLog(const std::string& text, DWORD timeoutMs = 15000);
// Ends every stand-in Access of the prefix, with or without a window.
void endStandinAccess();
