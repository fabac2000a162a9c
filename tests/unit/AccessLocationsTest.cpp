#include <gtest/gtest.h>

#include <algorithm>

#include "discovery/AccessEditions.h"
#include "discovery/AccessLocations.h"
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
        {2002, nullptr}, {2003, ""}, {2007, nullptr}, {2010, nullptr}, {2013, nullptr}, {2016, ""}, {2005, nullptr},
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
