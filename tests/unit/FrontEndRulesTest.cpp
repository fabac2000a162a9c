#include <gtest/gtest.h>

#include <cstdio>

#include "base/Crc32.h"
#include "frontend/FrontEndRules.h"

namespace {

const std::uint64_t kSecond = 10000000;
const char kMaster[] = "\\\\server\\apps\\Sales.accdb";

// A record body closed with the checksum that fits it, so that only the other rules can refuse it.
std::string closed(const std::string& body) {
    char check[16] = {};
    std::snprintf(check, sizeof(check), "%08lx", static_cast<unsigned long>(crc32(body)));
    return body + "check=" + check + "\r\n";
}

}  // namespace

TEST(FrontEndRules, TheCopyFollowsTheMasterItsRecordNames) {
    const std::uint64_t master = 1000 * kSecond, lastUse = master + 86400 * kSecond;
    const FrontEndRecord same{kMaster, 300000, master};
    const struct {
        const char* situation;
        bool masterFound, copyExists, recordFound;
        FrontEndRecord record;
        std::uint64_t copyTime;
        FrontEndVerdict expected;
    } cases[] = {
        {"master unreachable", false, true, true, same, lastUse, FrontEndVerdict::MasterUnreachable},
        {"no copy", true, false, false, {}, 0, FrontEndVerdict::Missing},
        {"written to by Access since", true, true, true, same, lastUse, FrontEndVerdict::Current},
        {"path in other letter case", true, true, true, {"\\\\SERVER\\Apps\\sales.ACCDB", 300000, master}, lastUse,
         FrontEndVerdict::Current},
        {"newer master", true, true, true, {kMaster, 300000, master - kSecond}, lastUse,
         FrontEndVerdict::MasterChanged},
        {"rollback", true, true, true, {kMaster, 300000, master + kSecond}, lastUse, FrontEndVerdict::MasterChanged},
        {"same time, other size", true, true, true, {kMaster, 299999, master}, lastUse, FrontEndVerdict::MasterChanged},
        {"other master of that name", true, true, true, {"C:\\Masters\\Sales.accdb", 300000, master}, master,
         FrontEndVerdict::OtherMaster},
        {"no record, 2 s older", true, true, false, {}, master - 2 * kSecond, FrontEndVerdict::CurrentByTime},
        {"no record, 2 s newer", true, true, false, {}, master + 2 * kSecond, FrontEndVerdict::CurrentByTime},
        {"no record, older", true, true, false, {}, master - 2 * kSecond - 1, FrontEndVerdict::Unrecorded},
        {"no record, newer", true, true, false, {}, master + 2 * kSecond + 1, FrontEndVerdict::Unrecorded},
    };
    for (const auto& c : cases) {
        FrontEndFacts facts;
        facts.master = kMaster;
        facts.masterFound = c.masterFound;
        facts.masterSize = 300000;
        facts.masterTime = master;
        facts.copyExists = c.copyExists;
        facts.copyTime = c.copyTime;
        facts.recordFound = c.recordFound;
        facts.record = c.record;
        const FrontEndVerdict verdict = judgeFrontEnd(facts);
        EXPECT_EQ(verdict, c.expected) << c.situation;
        EXPECT_EQ(copyNeeded(verdict), c.expected == FrontEndVerdict::Missing ||
                                           c.expected == FrontEndVerdict::MasterChanged ||
                                           c.expected == FrontEndVerdict::OtherMaster ||
                                           c.expected == FrontEndVerdict::Unrecorded)
            << c.situation;
    }
}

TEST(FrontEndRules, RecordsReadBackOnlyAsWritten) {
    const FrontEndRecord record{kMaster, 18446744073709551615ull, 132223104000000000ull};
    const std::string text = formatFrontEndRecord(record);
    EXPECT_EQ(text, closed("Mallowbrook front-end record 1\r\nmaster=\\\\server\\apps\\Sales.accdb\r\n"
                           "size=18446744073709551615\r\nlast-write=132223104000000000\r\n"));
    FrontEndRecord read;
    ASSERT_TRUE(parseFrontEndRecord(text, read));
    EXPECT_EQ(read.master, record.master);
    EXPECT_EQ(read.size, record.size);
    EXPECT_EQ(read.lastWrite, record.lastWrite);

    std::string altered = text;
    altered[altered.find("size=") + 5] = '2';
    const struct {
        const char* damage;
        std::string text;
    } damaged[] = {
        {"empty", ""},
        {"cut short", text.substr(0, text.size() - 1)},
        {"a digit altered", altered},
        {"text after it", text + "\r\n"},
        {"no master", closed("Mallowbrook front-end record 1\r\nmaster=\r\nsize=1\r\nlast-write=1\r\n")},
        {"leading zero", closed("Mallowbrook front-end record 1\r\nmaster=a\r\nsize=01\r\nlast-write=1\r\n")},
        {"size past 64 bits",
         closed("Mallowbrook front-end record 1\r\nmaster=a\r\nsize=18446744073709551616\r\nlast-write=1\r\n")},
        {"signed number", closed("Mallowbrook front-end record 1\r\nmaster=a\r\nsize=-1\r\nlast-write=1\r\n")},
        {"bare line feeds", closed("Mallowbrook front-end record 1\nmaster=a\nsize=1\nlast-write=1\n")},
        {"another version", closed("Mallowbrook front-end record 2\r\nmaster=a\r\nsize=1\r\nlast-write=1\r\n")},
        {"fields swapped", closed("Mallowbrook front-end record 1\r\nmaster=a\r\nlast-write=1\r\nsize=1\r\n")},
    };
    for (const auto& d : damaged) {
        FrontEndRecord untouched = record;
        EXPECT_FALSE(parseFrontEndRecord(d.text, untouched)) << d.damage;
        EXPECT_EQ(untouched.master, record.master) << d.damage;
    }
}

TEST(FrontEndRules, TextsOfTheLogAndTheProgressWindow) {
    const struct {
        std::uint64_t fileTime;
        const char* text;
    } times[] = {
        {0, "1601-01-01 00:00:00 UTC"},
        {116444736000000000ull, "1970-01-01 00:00:00 UTC"},
        {125963012960000000ull + 9999999, "2000-02-29 12:34:56 UTC"},
        {137919572480000000ull, "2038-01-19 03:14:08 UTC"},
    };
    for (const auto& t : times)
        EXPECT_EQ(lastWriteText(t.fileTime), t.text) << t.fileTime;

    FrontEndResult updated;
    updated.outcome = FrontEndOutcome::Updated;
    updated.record = {kMaster, 300000, 132223104000000000ull};
    EXPECT_EQ(frontEndLogLine(updated, kMaster, "C:\\L\\Sales.accdb"),
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
        {gb * 5, gb * 4, "5.0 GB of 4.0 GB", 1000},
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
