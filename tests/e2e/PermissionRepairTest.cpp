// Registry permission repair as a user meets it: -OPENKEYS run by an administrator, and the
// "Registry Error" question when a write the launch needs does not stick. The helper the
// launcher starts reports its command line through the probe (support/HelperProbeListener.h).
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

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

std::string temporaryHelperPath() {
    char folder[MAX_PATH + 1] = {};
    GetTempPathA(sizeof(folder), folder);
    return std::string(folder) + "MallowbrookPermissions.exe";
}

void removeTemporaryHelper() {
    removeFile(temporaryHelperPath());
}

void plantFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

// No helper file in the temporary folder before or after a test: one left behind would be what
// the next test finds there.
class PermissionRepair : public LaunchFixture {
protected:
    void SetUp() override {
        LaunchFixture::SetUp();
        removeTemporaryHelper();
    }
    void TearDown() override {
        LaunchFixture::TearDown();
        removeTemporaryHelper();
    }

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
        {"Mallowbrook.exe", "-LOGGING -OPENKEYS -NOPROGRESS", "noprogress"},
        {"Mallowbrook.exe", "-LOGGING -OPENKEYS", ""},
        {"Mallowbrook2016.exe", "-logging -noprogress -openkeys \"C:\\Apps\\Demo.mdb\"", "noprogress"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.program) + " " + c.arguments);
        removeFile(logFilePath());
        HelperProbeListener probe(false);
        LauncherProcess run(c.program, c.arguments);
        ASSERT_TRUE(run.started());
        EXPECT_EQ(probe.next(), reportedCommandLine(c.helperCommandLine));
        EXPECT_EQ(probe.next(), "work starting");
        EXPECT_EQ(probe.next(), "work finished");
        ASSERT_TRUE(run.waitForExit(60000));
        EXPECT_EQ(run.exitCode(), 0u);
        // The helper ran once, and its file is gone from the temporary folder.
        EXPECT_TRUE(probe.quietFor(300));
        EXPECT_FALSE(fileExistsAt(temporaryHelperPath()));
        const std::string text = log();
        EXPECT_TRUE(textHas(text, std::string("\r\n-openkeys\r\n") + kMaintenanceExit)) << text;
        EXPECT_EQ(textCount(text, "\r\n-openkeys\r\n"), 1u) << text;
        EXPECT_FALSE(textHas(text, "Exiting application")) << text;
    }
}

TEST_F(PermissionRepair, APlantedFileIsReplacedBeforeAnythingIsStarted) {
    // Whatever was there would be started with administrator rights; the run writes its own
    // copy over it, so the real helper reports and nothing else runs.
    plantFile(temporaryHelperPath(), "not the helper that Mallowbrook carries");
    HelperProbeListener probe(false);
    LauncherProcess run("Mallowbrook.exe", "-OPENKEYS -NOPROGRESS");
    ASSERT_TRUE(run.started());
    EXPECT_EQ(probe.next(), reportedCommandLine("noprogress"));
    ASSERT_TRUE(run.waitForExit(60000));
    EXPECT_EQ(run.exitCode(), 0u);
    EXPECT_FALSE(fileExistsAt(temporaryHelperPath()));
}

TEST_F(PermissionRepair, APlantedFileThatCannotBeReplacedIsNeverStarted) {
    const std::string planted = "not the helper that Mallowbrook carries";
    plantFile(temporaryHelperPath(), planted);
    // Held open by its planter so that it can be read and started but not replaced. (A read-only
    // file would do on Windows; Wine running as root lets CREATE_ALWAYS replace that.)
    UniqueFile holder(CreateFileA(temporaryHelperPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    HelperProbeListener probe(false);
    LauncherProcess run("Mallowbrook.exe", "-LOGGING -OPENKEYS");
    ASSERT_TRUE(run.started());
    MessageBoxInfo box = MessageBoxDriver(run.id()).answer(IDOK, 20000);
    ASSERT_TRUE(box.window) << "no error box";
    EXPECT_EQ(box.title, "Mallowbrook");
    EXPECT_EQ(box.text, "The application encountered an unexpected error: Couldn't create a file handle to: " +
                            temporaryHelperPath());
    ASSERT_TRUE(run.waitForExit());
    EXPECT_EQ(run.exitCode(), kExitMinusOne);
    EXPECT_TRUE(probe.quietFor(500));
    holder.reset();
    EXPECT_EQ(readFile(temporaryHelperPath()), planted);
    const std::string text = log();
    EXPECT_TRUE(textHas(text, "\r\n-openkeys\r\nThe application encountered an unexpected error: Couldn't create a "
                              "file handle to: " +
                                  temporaryHelperPath() + "\r\n"))
        << text;
    EXPECT_FALSE(textHas(text, kMaintenanceExit)) << text;
}

TEST_F(PermissionRepair, CurVerThatDoesNotStickAsksAndYesRepairsAndWritesAgain) {
    ASSERT_TRUE(install(2010).installed());
    lockValue(kCurVerKey, "Access.Application.15");
    HelperProbeListener probe(false);
    // -NOPROGRESS does not apply to the question: the user asked for the repair.
    LauncherProcess run("Mallowbrook2010.exe", "-LOGGING -NOPROGRESS -WAIT=1 \"C:\\Apps\\Demo.mdb\"");
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
    EXPECT_EQ(probe.next(), "work finished");
    // The second write fails as quietly as the first (the helper repairs the ProgID key, not
    // its CurVer subkey); the question is not asked again.
    EXPECT_TRUE(boxes.noBoxUntilExit(run.handle(), 40000));
    ASSERT_TRUE(run.waitForExit(40000));
    EXPECT_EQ(run.exitCode(), 0u);
    EXPECT_FALSE(fileExistsAt(temporaryHelperPath()));

    const std::string text = log();
    const std::string write = "CurVer' / '' -> 'Access.Application.14'";
    EXPECT_EQ(textCount(text, write), 2u) << text;
    EXPECT_TRUE(textHas(text, "\r\n2010 - Permissions have been repaired.\r\n")) << text;
    EXPECT_FALSE(textHas(text, "declined")) << text;
    EXPECT_LT(text.find(write), text.find("2010 - Permissions have been repaired.")) << text;
    EXPECT_LT(text.find("2010 - Permissions have been repaired."), text.rfind(write)) << text;
}

TEST_F(PermissionRepair, CurVerThatDoesNotStickAsksAndNoGoesOn) {
    AccessInstall& access = install(2010);
    ASSERT_TRUE(access.installed());
    lockValue(kCurVerKey, "Access.Application.15");
    HelperProbeListener probe(false);
    LauncherProcess run("Mallowbrook2010.exe", "-LOGGING -WAIT=1 \"C:\\Apps\\Demo.mdb\"");
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
    LauncherProcess run("Mallowbrook2010.exe", "-LOGGING -WAIT=1 \"C:\\Apps\\Demo.mdb\"");
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
        const char* line;       // written after the answer
        const char* helper;     // what the started helper reports, "(none)" when none starts
    } cases[] = {
        {IDNO, "2002 - User declined repairing permissions.", "(none)"},
        {IDYES, "2002 - Even after repairing permissions, MsAcc.olb could not be registered.", "command line:"},
    };
    ASSERT_TRUE(install(2002).installed());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        removeFile(logFilePath());
        RegistrySeed locked;
        ASSERT_TRUE(locked.setString(HKEY_CLASSES_ROOT, kObjectLibraryKey, "", "C:\\Old\\MSACC.OLB"));
        ASSERT_TRUE(KeySecurity::setDacl(HKEY_CLASSES_ROOT, kObjectLibraryKey, kNoSetValue));
        HelperProbeListener probe(false);
        LauncherProcess run("Mallowbrook.exe", "-LOGGING -WAIT=1 \"C:\\Apps\\Demo.mdb\"");
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
        EXPECT_FALSE(fileExistsAt(temporaryHelperPath()));
        endStandinAccess();
        KeySecurity::setDacl(HKEY_CLASSES_ROOT, kObjectLibraryKey, "D:(A;;KA;;;WD)");
    }
}
