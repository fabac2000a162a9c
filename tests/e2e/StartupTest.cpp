#include <gtest/gtest.h>

#include "MallowbrookVersion.h"

#include "support/LauncherProcess.h"
#include "support/MessageBoxDriver.h"

namespace {

const char kSeparator[] = "===================================================";
const DWORD kExitMinusOne = 0xFFFFFFFF;

class Startup : public ::testing::Test {
protected:
    void SetUp() override { removeFile(logFilePath()); }
    void TearDown() override { removeFile(logFilePath()); }
};

}  // namespace

TEST_F(Startup, NoArgumentsShowsInvalidCommandLine) {
    LauncherProcess run("Mallowbrook.exe", "");
    ASSERT_TRUE(run.started());
    MessageBoxInfo box;
    ASSERT_TRUE(MessageBoxDriver(run.id()).waitForBox(box)) << "no box appeared";
    // The box comes before the hidden window: a launch that got further would have it by now.
    EXPECT_EQ(FindWindowA("MallowbrookClass", "Mallowbrook"), nullptr);
    MessageBoxDriver::press(box, IDOK);
    EXPECT_EQ(box.title, "Mallowbrook");
    EXPECT_EQ(box.text, "Invalid Command line");
    // Wine draws an icon on every box, so this holds there for any icon; on Windows it tells
    // the warning box from a plain one.
    EXPECT_TRUE(box.hasWarningIcon);
    ASSERT_TRUE(run.waitForExit());
    EXPECT_EQ(run.exitCode(), kExitMinusOne);
    EXPECT_FALSE(fileExistsAt(logFilePath()));
}

TEST_F(Startup, MalformedOptionsEndWithTheErrorBox) {
    const struct {
        const char* arguments;
        const char* text;
    } cases[] = {
        {"-LOGGING -WAIT 5000 db.mdb",
         "The application encountered an unexpected error: Expected next character to be '=', but it was '5'"},
        {"-LOGGING -CMD=HKLM\\Software db.mdb",
         "The application encountered an unexpected error: Expected next character to be '\"', but it was 'H'"},
        {"-LOGGING -CMD=\"HKLM\\Software",
         "The application encountered an unexpected error: Expected next character to be '\"', but it was '"},
    };
    for (const auto& c : cases) {
        LauncherProcess run("Mallowbrook.exe", c.arguments);
        MessageBoxInfo box = MessageBoxDriver(run.id()).answer(IDOK);
        ASSERT_TRUE(box.window) << c.arguments;
        EXPECT_EQ(box.title, "Mallowbrook") << c.arguments;
        EXPECT_EQ(box.text, c.text) << c.arguments;
        EXPECT_TRUE(box.hasWarningIcon) << c.arguments;
        ASSERT_TRUE(run.waitForExit()) << c.arguments;
        EXPECT_EQ(run.exitCode(), kExitMinusOne) << c.arguments;
        // The error comes before the log is opened and before any window exists.
        EXPECT_FALSE(fileExistsAt(logFilePath())) << c.arguments;
    }
}

TEST_F(Startup, WithoutLoggingNoFileIsCreated) {
    LauncherProcess run("Mallowbrook.exe", "-CAPTURE -FOO");
    ASSERT_TRUE(run.waitForExit());
    EXPECT_EQ(run.exitCode(), 0u);
    EXPECT_FALSE(fileExistsAt(logFilePath()));
}

TEST_F(Startup, LoggingWritesTheStartupBlockAndAppends) {
    const std::string arguments = "-FOO -LOGGING -BAR -CAPTURE";
    for (int i = 0; i < 2; ++i) {
        LauncherProcess run("Mallowbrook.exe", arguments);
        ASSERT_TRUE(run.waitForExit());
        EXPECT_EQ(run.exitCode(), 0u);
    }
    std::string log = readFile(logFilePath());
    std::string head = std::string(kSeparator) + "\r\n" +
                       "Unknown command encountered: -FOO\r\n"
                       "Unknown command encountered: -BAR\r\n"
                       "Mallowbrook_2002 version: " MALLOWBROOK_VERSION_TEXT
                       "\r\n"
                       "Command line: " +
                       arguments + "\r\n";
    std::string tail = std::string(kSeparator) + "\r\n\r\n\r\n";
    ASSERT_EQ(log.compare(0, head.size(), head), 0) << log;
    ASSERT_GE(log.size(), tail.size());
    EXPECT_EQ(log.substr(log.size() - tail.size()), tail) << log;
    // The second run appended a block of its own.
    size_t second = log.find(tail + head);
    EXPECT_NE(second, std::string::npos) << log;
    EXPECT_EQ(log.find(tail + head, second + 1), std::string::npos);
}

TEST_F(Startup, RunCompletesWhileAnotherProcessHoldsTheLog) {
    UniqueFile holder(CreateFileA(logFilePath().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    LauncherProcess run("Mallowbrook.exe", "-LOGGING -CAPTURE");
    ASSERT_TRUE(run.waitForExit());
    EXPECT_EQ(run.exitCode(), 0u);
    holder.reset();
    EXPECT_EQ(readFile(logFilePath()), "");
}

TEST_F(Startup, EditionLaunchersReportTheirYear) {
    for (const char* year : {"2003", "2007", "2010", "2013", "2016"}) {
        removeFile(logFilePath());
        LauncherProcess run(std::string("Mallowbrook") + year + ".exe", "-LOGGING -CAPTURE");
        ASSERT_TRUE(run.waitForExit()) << year;
        std::string log = readFile(logFilePath());
        EXPECT_NE(log.find(std::string("\r\nMallowbrook_") + year + " version: " MALLOWBROOK_VERSION_TEXT "\r\n"),
                  std::string::npos)
            << log;
    }
}
