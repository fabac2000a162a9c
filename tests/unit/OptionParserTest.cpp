#include <gtest/gtest.h>

#include <stdexcept>

#include "app/OptionParser.h"
#include "log/StringLog.h"

namespace {

Settings parsed(const std::string& commandLine, StringLog* log = nullptr) {
    StringLog scratch;
    Settings settings;
    OptionParser(log ? log : &scratch).parse(commandLine, settings);
    return settings;
}

std::string parseError(const std::string& commandLine) {
    try {
        parsed(commandLine);
    } catch (const std::exception& error) {
        return error.what();
    }
    return "(no error)";
}

}  // namespace

TEST(OptionParser, DefaultsWhenNothingIsGiven) {
    Settings s = parsed(" ");
    EXPECT_FALSE(s.openKeys || s.noProgress || s.captureValues || s.restoreValues || s.logging || s.includeSubfolders ||
                 s.useWindowsProfile || s.waitForAccessToClose || s.updateFrontEnd);
    EXPECT_EQ(s.showCommand, 3);
    EXPECT_EQ(s.waitMilliseconds, 15000);
    EXPECT_EQ(s.languageId, 0);
    EXPECT_EQ(s.commandValueName(), "CmdLine");
    EXPECT_EQ(s.commandKey(), "");
    EXPECT_EQ(s.arguments(), "");
}

TEST(OptionParser, EveryFlagInAnyLetterCase) {
    Settings s = parsed(
        "-openkeys -Capture -RESTORE -noProgress -logging -subfolders -WindowsProfile "
        "-waitforaccesstoclose -Update -min db.mdb");
    EXPECT_TRUE(s.openKeys);
    EXPECT_TRUE(s.captureValues);
    EXPECT_TRUE(s.restoreValues);
    EXPECT_TRUE(s.noProgress);
    EXPECT_TRUE(s.logging);
    EXPECT_TRUE(s.includeSubfolders);
    EXPECT_TRUE(s.useWindowsProfile);
    EXPECT_TRUE(s.waitForAccessToClose);
    EXPECT_TRUE(s.updateFrontEnd);
    EXPECT_EQ(s.showCommand, 2);
    EXPECT_EQ(s.arguments(), "db.mdb");
}

TEST(OptionParser, QuotedValuesWithBlanksAroundEquals) {
    Settings s = parsed(
        "-CMD = \"HKLM\\Software\\My App\" -VALUE=\"\" -TRUSTEDFOLDER=\"C:\\My Data\" "
        "-SECFILE=\"C:\\Sec\\sys.mdw\" C:\\Apps\\Sales.mdb /excl");
    EXPECT_EQ(s.commandKey(), "HKLM\\Software\\My App");
    EXPECT_EQ(s.commandValueName(), "");
    EXPECT_EQ(s.trustedFolder(), "C:\\My Data");
    EXPECT_EQ(s.secureFile(), "C:\\Sec\\sys.mdw");
    EXPECT_EQ(s.arguments(), "C:\\Apps\\Sales.mdb /excl");
}

TEST(OptionParser, PlainValuesAndTheirIntegerConversion) {
    struct Case {
        const char* commandLine;
        int wait;
        int language;
        const char* arguments;
    };
    const Case cases[] = {
        {"-WAIT=0 x", 0, 0, "x"},
        {"-WAIT=abc x", 0, 0, "x"},
        {"-WAIT= x", 0, 0, ""},     // blanks after "=" are skipped, so "x" is the value
        {"-WAIT= ", 15000, 0, ""},  // an empty value keeps the default
        {"-WAIT=-1 x", -1, 0, "x"},
        {"-WAIT=+250ms x", 250, 0, "x"},
        {"-WAIT = 42 x", 42, 0, "x"},
        {"-LANG=1036 x", 15000, 1036, "x"},
        {"-LANG=0 x", 15000, 0, "x"},
        {"-LANG=x x", 15000, 0, "x"},
        {"-LANG=1036 -LANG=0 x", 15000, 1036, "x"},     // 0 leaves the earlier language
        {"-LANG=1036 -LANG=1O36 x", 15000, 1036, "x"},  // and so does a value that names no language
        {"-VER=11 x", 15000, 0, "x"},
    };
    for (const Case& c : cases) {
        Settings s = parsed(c.commandLine);
        EXPECT_EQ(s.waitMilliseconds, c.wait) << c.commandLine;
        EXPECT_EQ(s.languageId, c.language) << c.commandLine;
        EXPECT_EQ(s.arguments(), c.arguments) << c.commandLine;
    }
}

TEST(OptionParser, IntegerConversionWrapsInsteadOfOverflowing) {
    EXPECT_EQ(OptionParser::toInteger("  \t-12abc"), -12);
    EXPECT_EQ(OptionParser::toInteger("4294967295"), -1);
    EXPECT_EQ(OptionParser::toInteger(""), 0);
    EXPECT_EQ(OptionParser::toInteger("--1"), 0);
}

TEST(OptionParser, WhereOptionScanningEnds) {
    struct Case {
        const char* commandLine;
        const char* arguments;
        bool logging;
    };
    const Case cases[] = {
        {"-LOGGING=1 db.mdb", "=1 db.mdb", true},
        {"\"C:\\My Apps\\db.mdb\" -LOGGING", "\"C:\\My Apps\\db.mdb\" -LOGGING", false},
        {"db.mdb -LOGGING", "db.mdb -LOGGING", false},
        {"-LOGGING C:\\db.mdb /cmd -x  ", "C:\\db.mdb /cmd -x  ", true},
        {"   -LOGGING", "", true},
    };
    for (const Case& c : cases) {
        Settings s = parsed(c.commandLine);
        EXPECT_EQ(s.arguments(), c.arguments) << c.commandLine;
        EXPECT_EQ(s.logging, c.logging) << c.commandLine;
    }
}

TEST(OptionParser, LaterOptionOverridesEarlier) {
    EXPECT_EQ(parsed("-MIN -NORMAL x").showCommand, 1);
    EXPECT_EQ(parsed("-NORMAL -MIN x").showCommand, 2);
    EXPECT_EQ(parsed("-CMD=\"a\" -CMD=\"b\" x").commandKey(), "b");
}

TEST(OptionParser, UnknownOptionsAreLoggedAndIgnored) {
    StringLog log;
    Settings s = parsed("-LOGGING\t-MIN -FOO db.mdb", &log);
    // A tab does not end a name, so "-LOGGING<tab>-MIN" is one unknown name.
    ASSERT_EQ(log.lines().size(), 2u);
    EXPECT_EQ(log.lines()[0], "Unknown command encountered: -LOGGING\t-MIN");
    EXPECT_EQ(log.lines()[1], "Unknown command encountered: -FOO");
    EXPECT_FALSE(s.logging);
    EXPECT_EQ(s.showCommand, 3);
    EXPECT_EQ(s.arguments(), "db.mdb");
}

TEST(OptionParser, MalformedValuesThrowTheScannerMessage) {
    struct Case {
        const char* commandLine;
        const char* message;
    };
    const Case cases[] = {
        {"-WAIT 5000", "Expected next character to be '=', but it was '5'"},
        {"-CMD=HKLM\\x", "Expected next character to be '\"', but it was 'H'"},
        {"-CMD=\"HKLM\\x", "Expected next character to be '\"', but it was '"},
        {"-LANG", "Expected next character to be '=', but it was '"},
        {"-SECFILE= ", "Expected next character to be '\"', but it was '"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseError(c.commandLine), c.message) << c.commandLine;
}
