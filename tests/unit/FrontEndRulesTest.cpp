#include <gtest/gtest.h>

#include "launch/FrontEndRules.h"

TEST(FrontEndRules, AgeByLastWriteTimeWithTwoSecondsOfTolerance) {
    const std::uint64_t second = 10000000, master = 1000 * second;
    const struct {
        bool exists;
        std::uint64_t copyTime;
        FrontEndAge expected;
    } cases[] = {
        {false, master, FrontEndAge::Missing},
        {true, master - 2 * second - 1, FrontEndAge::Older},
        {true, master - 2 * second, FrontEndAge::Current},
        {true, master + 2 * second, FrontEndAge::Current},
        {true, master + 2 * second + 1, FrontEndAge::Newer},
    };
    for (const auto& c : cases)
        EXPECT_EQ(compareFrontEnd(c.exists, master, c.copyTime), c.expected) << c.exists << " " << c.copyTime;
}

TEST(FrontEndRules, LockFileByExtension) {
    const struct {
        const char* database;
        const char* lock;
    } cases[] = {
        {"C:\\L\\Sales.ACCDE", "C:\\L\\Sales.laccdb"},
        {"C:\\L\\s.accdr", "C:\\L\\s.laccdb"},
        {"C:\\L\\Old.MDB", "C:\\L\\Old.ldb"},
        {"C:\\L\\old.mde", "C:\\L\\old.ldb"},
        {"C:\\L\\p.adp", ""},
        {"C:\\v1.0\\Sales", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lockFilePath(c.database), c.lock) << c.database;
}
