#include <gtest/gtest.h>

#include <algorithm>

#include "discovery/AccessEditions.h"
#include "discovery/AccessLocations.h"
#include "discovery/CommandExecutable.h"
#include "log/StringLog.h"
#include "support/AccessInstall.h"
#include "support/RegistrySeed.h"

namespace {

// The lines this part writes itself, without the registry accessor's request lines.
std::vector<std::string> discoveryLines(const StringLog& log) {
    std::vector<std::string> lines;
    for (const auto& line : log.lines())
        if (line.rfind("Access ", 0) == 0 || line == "Discovering Access locations.")
            lines.push_back(line);
    return lines;
}

// Removes every edition's open command for the test, put back afterwards.
class AccessLocationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& edition : kAccessEditions)
            ASSERT_TRUE(registry.deleteValue(HKEY_CLASSES_ROOT, edition.openCommandKey, ""));
    }
    RegistrySeed registry;
};

}  // namespace

TEST(CommandExecutable, TakesTheProgramAtTheStartOfACommand) {
    const struct {
        const char* command;
        const char* expected;
    } cases[] = {
        {"  \"C:\\Program Files\\Office\\MSACCESS.EXE\" /NOSTARTUP \"%1\"", "C:\\Program Files\\Office\\MSACCESS.EXE"},
        {"C:\\Office\\MSACCESS.EXE /NOSTARTUP \"%1\"", "C:\\Office\\MSACCESS.EXE"},
        {"\"C:\\Program Files\\Office\\MSACCESS.EXE /NOSTARTUP", "C:\\Program Files\\Office\\MSACCESS.EXE /NOSTARTUP"},
        {"\t\r\nC:\\A.EXE\targs", "C:\\A.EXE"},
        {"\"\" rest", ""},
        {"C:\\A.EXE", "C:\\A.EXE"},
        {"   ", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(commandExecutable(c.command), c.expected) << "[" << c.command << "]";
}

TEST(AccessEditions, NameEveryEditionInOrder) {
    const struct {
        int year;
        const char* progId;
        const char* officeVersion;
    } expected[] = {
        {2002, "Access.Application.10", "10.0"}, {2003, "Access.Application.11", "11.0"},
        {2007, "Access.Application.12", "12.0"}, {2010, "Access.Application.14", "14.0"},
        {2013, "Access.Application.15", "15.0"}, {2016, "Access.Application.16", "16.0"},
    };
    for (int i = 0; i < kAccessEditionCount; ++i) {
        const AccessEdition& edition = kAccessEditions[i];
        EXPECT_EQ(edition.year, expected[i].year);
        EXPECT_STREQ(edition.progId, expected[i].progId) << edition.year;
        EXPECT_STREQ(edition.officeVersion, expected[i].officeVersion) << edition.year;
        EXPECT_EQ(std::string(edition.openCommandKey), std::string(edition.progId) + "\\shell\\open\\command");
        EXPECT_EQ(std::string(edition.displayName), "Access " + std::to_string(edition.year));
        EXPECT_EQ(findAccessEdition(edition.year), &edition);
    }
    for (int year : {0, 2005, 2012, -2002})
        EXPECT_EQ(findAccessEdition(year), nullptr) << year;
}

TEST_F(AccessLocationsTest, RecordsEachEditionsOpenCommand) {
    AccessInstall access2003(2003, AccessKind::Full);
    AccessInstall access2016(2016, AccessKind::Full);
    ASSERT_TRUE(access2003.installed());
    ASSERT_TRUE(access2016.installed());
    // Blank only: counts as found, with an empty path that names no file.
    ASSERT_TRUE(registry.setString(HKEY_CLASSES_ROOT, "Access.Application.12\\shell\\open\\command", "", "   "));
    // A folder named by the command is no Access.
    ASSERT_TRUE(registry.setString(HKEY_CLASSES_ROOT, "Access.Application.14\\shell\\open\\command", "",
                                   "\"C:\\windows\" /NOSTARTUP"));
    // Recorded without checking, but not answered.
    ASSERT_TRUE(registry.setString(HKEY_CLASSES_ROOT, "Access.Application.15\\shell\\open\\command", "",
                                   "C:\\Missing\\MSACCESS.EXE /NOSTARTUP"));

    StringLog log;
    AccessLocations locations(&log);
    locations.discover();

    EXPECT_EQ(discoveryLines(log), (std::vector<std::string>{
                                       "Discovering Access locations.",
                                       "Access 2002 not found.",
                                       "Access 2003 Full found: " + access2003.executablePath(),
                                       "Access 2007 Full found: ",
                                       "Access 2010 Full found: C:\\windows",
                                       "Access 2013 Full found: C:\\Missing\\MSACCESS.EXE",
                                       "Access 2016 Full found: " + access2016.executablePath(),
                                   }));
    const struct {
        int year;
        const char* expected;  // nullptr: no answer
    } cases[] = {
        {2002, nullptr}, {2003, ""}, {2007, nullptr}, {2010, nullptr},
        {2013, nullptr}, {2016, ""},  {2005, nullptr},
    };
    for (const auto& c : cases) {
        std::string path = "unchanged";
        bool found = locations.fullInstallPath(c.year, path);
        EXPECT_EQ(found, c.expected != nullptr) << c.year;
        if (!found)
            EXPECT_EQ(path, "unchanged") << c.year;
    }
    std::string path;
    ASSERT_TRUE(locations.fullInstallPath(2003, path));
    EXPECT_EQ(path, access2003.executablePath());
    ASSERT_TRUE(locations.fullInstallPath(2016, path));
    EXPECT_EQ(path, access2016.executablePath());
}

TEST_F(AccessLocationsTest, AnEmptyCommandIsNotFound) {
    ASSERT_TRUE(registry.setString(HKEY_CLASSES_ROOT, "Access.Application.10\\shell\\open\\command", "", ""));
    StringLog log;
    AccessLocations locations(&log);
    locations.discover();
    auto lines = discoveryLines(log);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Access 2002 not found."), lines.end());
    std::string path;
    EXPECT_FALSE(locations.fullInstallPath(2002, path));
}
