#include <gtest/gtest.h>

#include <cstdio>

#include "base/Crc32.h"
#include "frontend/FrontEndRules.h"

namespace {

const char kMaster[] = "\\\\server\\apps\\Sales.accdb";

// A record's fields under its first line, closed with the checksum that fits them, so that only
// the other rules can refuse it.
std::string closed(const std::string& fields) {
    const std::string body = "Mallowbrook front-end record 1\r\n" + fields;
    char check[16] = {};
    std::snprintf(check, sizeof(check), "%08lx", static_cast<unsigned long>(crc32(body)));
    return body + "check=" + check + "\r\n";
}

}  // namespace

TEST(FrontEndRules, TheCopyFollowsTheMasterItsRecordNames) {
    using V = FrontEndVerdict;
    const std::uint64_t second = 10000000, master = 1000 * second, lastUse = master + 86400 * second;
    const FrontEndRecord same{kMaster, 300000, master}, none{};
    const struct {
        const char* situation;
        bool masterFound, copyExists;
        FrontEndRecord record;  // none: no record, or a damaged one
        std::uint64_t copyTime;
        V expected;
    } cases[] = {
        {"master unreachable", false, true, same, lastUse, V::MasterUnreachable},
        {"no copy", true, false, none, 0, V::Missing},
        {"written to by Access since", true, true, same, lastUse, V::Current},
        {"path in other letter case", true, true, {"\\\\SERVER\\apps\\sales.ACCDB", 300000, master}, 0, V::Current},
        {"newer master", true, true, {kMaster, 300000, master - second}, lastUse, V::MasterChanged},
        {"rollback", true, true, {kMaster, 300000, master + second}, lastUse, V::MasterChanged},
        {"same time, other size", true, true, {kMaster, 299999, master}, master, V::MasterChanged},
        {"other master of that name", true, true, {"C:\\Masters\\Sales.accdb", 300000, master}, master, V::OtherMaster},
        {"no record, 2 s older", true, true, none, master - 2 * second, V::CurrentByTime},
        {"no record, 2 s newer", true, true, none, master + 2 * second, V::CurrentByTime},
        {"no record, older", true, true, none, master - 2 * second - 1, V::Unrecorded},
        {"no record, newer", true, true, none, master + 2 * second + 1, V::Unrecorded},
    };
    for (const auto& c : cases) {
        FrontEndFacts facts;
        facts.master = kMaster;
        facts.masterFound = c.masterFound;
        facts.masterSize = 300000;
        facts.masterTime = master;
        facts.copyExists = c.copyExists;
        facts.copyTime = c.copyTime;
        facts.recordFound = !c.record.master.empty();
        facts.record = c.record;
        EXPECT_EQ(judgeFrontEnd(facts), c.expected) << c.situation;
    }
}

TEST(FrontEndRules, RecordsReadBackOnlyAsWritten) {
    const FrontEndRecord record{kMaster, 18446744073709551615ull, 132223104000000000ull};
    const std::string text = formatFrontEndRecord(record);
    EXPECT_EQ(text, closed("master=\\\\server\\apps\\Sales.accdb\r\nsize=18446744073709551615\r\n"
                           "last-write=132223104000000000\r\n"));
    FrontEndRecord read;
    ASSERT_TRUE(parseFrontEndRecord(text, read));
    EXPECT_EQ(read.master, record.master);
    EXPECT_EQ(read.size, record.size);
    EXPECT_EQ(read.lastWrite, record.lastWrite);

    std::string altered = text;
    altered[altered.find("size=") + 5] = '2';
    const std::string damaged[] = {
        "",
        text.substr(0, text.size() - 1),
        altered,
        text + "\r\n",
        closed("master=\r\nsize=1\r\nlast-write=1\r\n"),
        closed("master=a\r\nsize=01\r\nlast-write=1\r\n"),
        closed("master=a\r\nsize=18446744073709551616\r\nlast-write=1\r\n"),
        closed("master=a\r\nsize=-1\r\nlast-write=1\r\n"),
        closed("master=a\r\nlast-write=1\r\nsize=1\r\n"),
        closed("master=a\nsize=1\nlast-write=1\n"),
    };
    for (const std::string& d : damaged) {
        FrontEndRecord untouched = record;
        EXPECT_FALSE(parseFrontEndRecord(d, untouched)) << d;
        EXPECT_EQ(untouched.master, record.master) << d;
    }
}

TEST(FrontEndRules, TextsOfTheLogAndTheProgressWindow) {
    EXPECT_EQ(lastWriteText(0), "1601-01-01 00:00:00 UTC");
    EXPECT_EQ(lastWriteText(125963012969999999ull), "2000-02-29 12:34:56 UTC");
    EXPECT_EQ(lastWriteText(137919572480000000ull), "2038-01-19 03:14:08 UTC");
    FrontEndResult updated;
    updated.outcome = FrontEndOutcome::Updated;
    updated.record = {kMaster, 300000, 132223104000000000ull};
    EXPECT_EQ(
        frontEndLogLine(updated, kMaster, "C:\\L\\Sales.accdb"),
        "Front-end updated from \\\\server\\apps\\Sales.accdb (300000 bytes, last written 2020-01-01 00:00:00 UTC)");

    const std::uint64_t mb = 1ull << 20, gb = 1ull << 30;
    const struct {
        std::uint64_t copied, total;
        const char* amount;
        int step;
    } amounts[] = {
        {0, 300000, "0.0 MB of 0.2 MB", 0},
        {mb * 120 + mb / 2, mb * 400, "120.5 MB of 400.0 MB", 301},
        {gb - 1, gb - 1, "1023.9 MB of 1023.9 MB", 1000},
        {gb * 3 / 2, gb * 3, "1.5 GB of 3.0 GB", 500},
        {0, 0, "0.0 MB of 0.0 MB", 1000},
    };
    for (const auto& a : amounts) {
        EXPECT_EQ(copyAmountText(a.copied, a.total), a.amount) << a.copied << " of " << a.total;
        EXPECT_EQ(copyProgressStep(a.copied, a.total), a.step) << a.copied << " of " << a.total;
    }
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
