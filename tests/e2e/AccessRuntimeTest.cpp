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

std::string usingLine(const char* kind, int edition, const char* bits, const std::string& executable) {
    return std::string("\r\nUsing the ") + kind + " of Access " + std::to_string(edition) + " (" + bits +
           "): " + executable + "\r\n";
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
        EXPECT_TRUE(textHas(text, usingLine("Windows Installer runtime", edition, "64-bit", access.executablePath())))
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
    const struct {
        const char* name;
        ClickToRunLayout clickToRun;
        AccessKind other;  // ClickToRun: none besides it
        bool otherWins;
        const char* kind;  // of the install started
        const char* bits;
    } cases[] = {
        {"64-bit full product",
         {"x64", "O365ProPlusRetail"},
         AccessKind::ClickToRun,
         false,
         "Click-to-Run full product",
         "64-bit"},
        {"runtime alone",
         {"x64", "AccessRuntimeRetail"},
         AccessKind::ClickToRun,
         false,
         "Click-to-Run runtime",
         "64-bit"},
        {"32-bit runtime, configured in the 32-bit view",
         {"x86", "AccessRuntimeRetail", KEY_WOW64_32KEY},
         AccessKind::ClickToRun,
         false,
         "Click-to-Run runtime",
         "32-bit"},
        {"MSI runtime wins",
         {"x64", "AccessRuntimeRetail"},
         AccessKind::Runtime64,
         true,
         "Windows Installer runtime",
         "64-bit"},
        {"shell command wins over the full product",
         {"x64", "ProPlus2021Volume"},
         AccessKind::Full,
         true,
         "full product",
         "32-bit"},
        {"runtime wins over the shell command",
         {"x64", "AccessRuntimeRetail"},
         AccessKind::Full,
         false,
         "Click-to-Run runtime",
         "64-bit"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AccessInstall& clickToRun = installClickToRun(c.clickToRun);
        ASSERT_TRUE(clickToRun.installed());
        AccessInstall* other = c.other == AccessKind::ClickToRun ? nullptr : &install(2016, c.other);
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
