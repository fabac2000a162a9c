// 64-bit and Click-to-Run Access, found and started by the real launchers: x64 runtimes
// installed by the prefix's msiexec from the packages the build makes, Click-to-Run laid out
// in the registry and on disk as Click-to-Run lays it out.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "support/LaunchFixture.h"

namespace {

const char kDemo[] = "\"C:\\Apps\\Demo.mdb\"";
const char kLibraryKey[] = "TypeLib\\{4AFFC9A0-5F99-101B-AF4E-00AA003F0F07}\\9.0\\0\\";

class AccessRuntime : public LaunchFixture {};

std::string usingLine(const char* kind, int edition, int bits, const std::string& executable) {
    return std::string("\r\nUsing the ") + kind + " of Access " + std::to_string(edition) + " (" +
           std::to_string(bits) + "-bit): " + executable + "\r\n";
}

}  // namespace

TEST_F(AccessRuntime, X64RuntimesAreFoundAndStarted) {
    for (int edition : {2010, 2013, 2016}) {
        SCOPED_TRACE(edition);
        AccessInstall& access = install(edition, AccessKind::Runtime64);
        ASSERT_TRUE(access.installed()) << "msiexec did not install the x64 package";
        removeFile(logFilePath());
        DWORD exitCode = 1;
        ASSERT_TRUE(runToEnd(launcherFor(edition), std::string("-LOGGING -WAIT=1 ") + kDemo, &exitCode));
        EXPECT_EQ(exitCode, 0u);
        EXPECT_EQ(access.receivedArguments(), std::vector<std::string>{kDemo});
        const std::string text = log();
        EXPECT_TRUE(textHas(text, "The Access " + std::to_string(edition) + " runtime was found!")) << text;
        EXPECT_TRUE(textHas(text, usingLine("Windows Installer runtime", edition, 64, access.executablePath())))
            << text;
        // Registered as a 64-bit Access reads it; the value was absent before, so it stays.
        EXPECT_EQ(registryString(HKEY_CLASSES_ROOT, std::string(kLibraryKey) + "win64", ""),
                  access.folder() + "\\MSACC.OLB");
        EXPECT_FALSE(registryKeyExists(HKEY_CLASSES_ROOT, std::string(kLibraryKey) + "win32"));
        endStandinAccess();
        uninstall();
        deleteRegistryTree(HKEY_CLASSES_ROOT, "TypeLib\\{4AFFC9A0-5F99-101B-AF4E-00AA003F0F07}");
    }
}

// Which of several installs of Access 2016 a launch starts.
TEST_F(AccessRuntime, ClickToRunIsStartedInItsTurn) {
    const AccessKind kAlone = AccessKind::ClickToRun, kMsi = AccessKind::Runtime64, kShell = AccessKind::Full;
    const char kRuntime[] = "AccessRuntimeRetail", kC2RRuntime[] = "Click-to-Run runtime";
    const struct {
        const char* name;
        ClickToRunLayout clickToRun;
        AccessKind other;  // kAlone: no install besides it
        bool otherWins;
        const char* kind;  // of the install started
        int bits;
    } cases[] = {
        {"64-bit full product", {"x64", "O365ProPlusRetail"}, kAlone, false, "Click-to-Run full product", 64},
        {"runtime alone", {"x64", kRuntime}, kAlone, false, kC2RRuntime, 64},
        {"32-bit runtime in the 32-bit view", {"x86", kRuntime, KEY_WOW64_32KEY}, kAlone, false, kC2RRuntime, 32},
        {"MSI runtime wins", {"x64", kRuntime}, kMsi, true, "Windows Installer runtime", 64},
        {"shell command wins over the full product", {"x64", "ProPlus2021Volume"}, kShell, true, "full product", 32},
        {"runtime wins over the shell command", {"x64", kRuntime}, kShell, false, kC2RRuntime, 64},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AccessInstall& clickToRun = installClickToRun(c.clickToRun);
        ASSERT_TRUE(clickToRun.installed());
        AccessInstall* other = c.other == kAlone ? nullptr : &install(2016, c.other);
        ASSERT_TRUE(!other || other->installed());
        removeFile(logFilePath());
        DWORD exitCode = 1;
        ASSERT_TRUE(runToEnd(launcherFor(2016), std::string("-LOGGING -WAIT=1 ") + kDemo, &exitCode));
        EXPECT_EQ(exitCode, 0u);
        AccessInstall& started = c.otherWins ? *other : clickToRun;
        EXPECT_EQ(started.receivedArguments(), std::vector<std::string>{kDemo});
        if (other)
            EXPECT_TRUE((c.otherWins ? clickToRun : *other).receivedCommandLines().empty());
        const std::string text = log();
        EXPECT_TRUE(textHas(text, usingLine(c.kind, 2016, c.bits, started.executablePath()))) << text;
        endStandinAccess();
        uninstall();
    }
}
