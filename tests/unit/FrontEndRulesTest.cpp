#include <gtest/gtest.h>

#include "launch/FrontEndRules.h"

namespace {

const std::uint64_t kSecond = 10000000;
const std::uint64_t kMaster = 1000 * kSecond;

}  // namespace

TEST(FrontEndRules, AgeByLastWriteTimeWithTwoSecondsOfTolerance) {
    const struct {
        bool exists;
        std::uint64_t copyTime;
        FrontEndAge expected;
    } cases[] = {
        {false, kMaster, FrontEndAge::Missing},
        {true, kMaster - 2 * kSecond - 1, FrontEndAge::Older},
        {true, kMaster - 2 * kSecond, FrontEndAge::Current},
        {true, kMaster, FrontEndAge::Current},
        {true, kMaster + 2 * kSecond, FrontEndAge::Current},
        {true, kMaster + 2 * kSecond + 1, FrontEndAge::Newer},
        {true, 0, FrontEndAge::Older},
    };
    for (const auto& c : cases)
        EXPECT_EQ(compareFrontEnd(c.exists, kMaster, c.copyTime), c.expected) << c.exists << " " << c.copyTime;
}

TEST(FrontEndRules, NamesBesideTheCopy) {
    const struct {
        const char* database;
        const char* lock;
    } cases[] = {
        {"C:\\Local\\Sales.accdb", "C:\\Local\\Sales.laccdb"}, {"C:\\Local\\Sales.ACCDE", "C:\\Local\\Sales.laccdb"},
        {"C:\\Local\\s.accdr", "C:\\Local\\s.laccdb"},         {"C:\\Local\\Old.MDB", "C:\\Local\\Old.ldb"},
        {"C:\\Local\\old.mde", "C:\\Local\\old.ldb"},          {"C:\\Local\\p.adp", ""},
        {"C:\\v1.0\\Sales", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lockFilePath(c.database), c.lock) << c.database;
    EXPECT_EQ(profileCopyPath("C:\\Local", "\\\\server\\apps\\Sales.accdb"), "C:\\Local\\Sales.accdb");
    EXPECT_EQ(profileCopyPath("C:\\Local\\", "X:/apps/Sales.accdb"), "C:\\Local\\Sales.accdb");
    EXPECT_EQ(previousCopyPath("C:\\Local\\Sales.accdb"), "C:\\Local\\Sales.accdb.previous");
    EXPECT_EQ(partialCopyPath("C:\\Local\\Sales.accdb", 42, 1), "C:\\Local\\~Sales.accdb.42-1.tmp");
    EXPECT_EQ(partialCopyPattern("C:\\Local\\Sales.accdb"), "C:\\Local\\~Sales.accdb.*.tmp");
}

TEST(FrontEndRules, OnlyTheSameMasterThroughoutIsReadWhole) {
    const struct {
        MasterReading reading;
        bool whole;
    } cases[] = {
        {{100, 7, 100, 100, 7}, true},
        {{100, 7, 60, 60, 8}, false},    // shrank while read
        {{100, 7, 100, 60, 8}, false},   // shrank after the last read
        {{100, 7, 100, 100, 8}, false},  // rewritten in place
        {{100, 7, 120, 120, 8}, false},  // grew
    };
    for (const auto& c : cases)
        EXPECT_EQ(readWhole(c.reading), c.whole) << c.reading.bytesRead << " " << c.reading.sizeAfter;
}

TEST(FrontEndRules, FailuresNameTheFileAndTheSystemsReason) {
    FrontEndResult result;
    result.outcome = FrontEndOutcome::MasterUnreachable;
    result.error = 53;
    result.errorText = "The network path was not found.";
    const std::string master = "\\\\server\\apps\\Sales.accdb", copy = "C:\\Local\\Sales.accdb";
    EXPECT_EQ(frontEndLogLine(result, master, copy),
              "Front-end not updated: \\\\server\\apps\\Sales.accdb cannot be reached (The network path was not "
              "found (error 53)); there is no profile copy to open");
    EXPECT_NE(frontEndBoxText(result, master, copy)
                  .find("From: \\\\server\\apps\\Sales.accdb\nTo: C:\\Local\\Sales.accdb\n\nThe front-end cannot be "
                        "read: The network path was not found (error 53)."),
              std::string::npos);
    EXPECT_EQ(errorPhrase("", 112), "error 112");
    EXPECT_TRUE(frontEndFailed(FrontEndOutcome::MasterChanged) && frontEndFailed(FrontEndOutcome::NotWritten));
    EXPECT_FALSE(frontEndFailed(FrontEndOutcome::InUse) || frontEndFailed(FrontEndOutcome::KeptNewer));
}
