#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "base/Crc32.h"
#include "journal/JournalText.h"

namespace {

JournalState present(std::uint32_t type, const std::string& bytes) {
    JournalState state;
    state.present = true;
    state.type = type;
    state.bytes = bytes;
    return state;
}

Journal sample() {
    Journal journal;
    journal.processId = 4294967295u;
    journal.started = 133800000000000000ull;
    journal.recordedAt = 18446744073709551615ull;
    journal.switchDone = true;
    JournalEntry text{Hive::ClassesRoot, "Access.Application\\CurVer", "", present(1, std::string("A.10\0", 5)),
                      present(1, std::string("A.14\0", 5))};
    JournalEntry odd{Hive::CurrentUser, "Key\twith\ntabs", "name\r\n", present(3, std::string("\0\xff\t\n", 4)),
                     JournalState()};
    JournalEntry absent{Hive::LocalMachine, "SOFTWARE\\X", "v", JournalState(), present(4, std::string(4, '\1'))};
    JournalEntry empty{Hive::Users, "", "", present(7, ""), present(7, "")};
    journal.entries = {text, odd, absent, empty};
    return journal;
}

// A body followed by the check line it deserves: parsing must then refuse it for what it says.
std::string sealed(const std::string& body, size_t count) {
    char sum[16];
    std::snprintf(sum, sizeof(sum), "%08x", static_cast<unsigned>(crc32(body)));
    return body + "check\t" + std::to_string(count) + "\t" + sum + "\n";
}

const char kHeader[] = "Mallowbrook journal 1\nlauncher\t12\t34\t56\trecorded\n";

}  // namespace

TEST(JournalText, EveryFieldReadsBackExactly) {
    for (bool switched : {true, false}) {
        Journal written = sample();
        written.switchDone = switched;
        if (!switched)
            for (JournalEntry& entry : written.entries)
                entry.switchedTo = JournalState();
        Journal read;
        std::string reason;
        ASSERT_TRUE(parseJournal(formatJournal(written), read, reason)) << reason;
        EXPECT_EQ(read.processId, written.processId);
        EXPECT_EQ(read.started, written.started);
        EXPECT_EQ(read.recordedAt, written.recordedAt);
        EXPECT_EQ(read.switchDone, switched);
        ASSERT_EQ(read.entries.size(), written.entries.size());
        for (size_t i = 0; i < read.entries.size(); ++i) {
            EXPECT_EQ(read.entries[i].hive, written.entries[i].hive) << i;
            EXPECT_EQ(read.entries[i].key, written.entries[i].key) << i;
            EXPECT_EQ(read.entries[i].valueName, written.entries[i].valueName) << i;
            EXPECT_TRUE(read.entries[i].recorded == written.entries[i].recorded) << i;
            EXPECT_TRUE(read.entries[i].switchedTo == written.entries[i].switchedTo) << i;
        }
    }
}

TEST(JournalText, ADamagedJournalIsRefusedWithItsReason) {
    const std::string good = formatJournal(sample());
    std::string flipped = good;
    flipped[good.size() / 2] ^= 1;
    const struct {
        const char* name;
        std::string text;
        const char* reason;
    } kCases[] = {
        {"empty", "", "it is incomplete"},
        {"cut in half", good.substr(0, good.size() / 2), "it is incomplete"},
        {"cut before the check line", good.substr(0, good.rfind("check")), "it is incomplete"},
        {"last byte missing", good.substr(0, good.size() - 1), "it is incomplete"},
        {"one bit changed", flipped, "its checksum does not match"},
        {"garbage", std::string(5000, '\xA5') + "\n", "it is incomplete"},
        {"a value line more than counted",
         good.substr(0, good.rfind("check")) + "value\tHKEY_USERS\t\t\t-\t-\n" + good.substr(good.rfind("check")),
         "its checksum does not match"},
        {"another version", sealed("Mallowbrook journal 2\nlauncher\t1\t2\t3\trecorded\n", 0),
         "it is not a journal of this version"},
        {"count that does not match", sealed(kHeader, 1), "it holds another number of values than it says"},
        {"launcher line missing", sealed("Mallowbrook journal 1\n", 0), "its launcher line is missing"},
        {"process id beyond 32 bits", sealed("Mallowbrook journal 1\nlauncher\t4294967296\t2\t3\trecorded\n", 0),
         "its launcher line is malformed"},
        {"unknown phase", sealed("Mallowbrook journal 1\nlauncher\t1\t2\t3\tdone\n", 0),
         "its launcher line is malformed"},
        {"unknown hive", sealed(std::string(kHeader) + "value\tHKEY_NOWHERE\t41\t\t-\t-\n", 1),
         "value line 1 is malformed"},
        {"odd hexadecimal", sealed(std::string(kHeader) + "value\tHKEY_USERS\t4\t\t-\t-\n", 1),
         "value line 1 is malformed"},
        {"upper-case hexadecimal", sealed(std::string(kHeader) + "value\tHKEY_USERS\t4A\t\t-\t-\n", 1),
         "value line 1 is malformed"},
        {"state without type", sealed(std::string(kHeader) + "value\tHKEY_USERS\t\t\t/00\t-\n", 1),
         "value line 1 is malformed"},
        {"switched value before the switch", sealed(std::string(kHeader) + "value\tHKEY_USERS\t\t\t-\t1/00\n", 1),
         "value line 1 is malformed"},
        {"field missing", sealed(std::string(kHeader) + "value\tHKEY_USERS\t\t\t-\n", 1), "value line 1 is malformed"},
    };
    for (const auto& c : kCases) {
        Journal journal;
        std::string reason;
        EXPECT_FALSE(parseJournal(c.text, journal, reason)) << c.name;
        EXPECT_EQ(reason, c.reason) << c.name;
        EXPECT_TRUE(journal.entries.empty()) << c.name;
    }
}

TEST(JournalText, ChecksumIsTheStandardCrc32) {
    EXPECT_EQ(crc32(""), 0u);
    EXPECT_EQ(crc32("123456789"), 0xCBF43926u);
}

TEST(JournalText, A64BitViewValueCarriesItsView) {
    Journal written = sample();
    written.entries[0].view = RegistryView::View64;
    const std::string text = formatJournal(written);
    EXPECT_TRUE(text.find("\t64\n") != std::string::npos && text.find("\t64\n") == text.rfind("\t64\n")) << text;
    Journal read;
    std::string reason;
    ASSERT_TRUE(parseJournal(text, read, reason)) << reason;
    ASSERT_EQ(read.entries.size(), written.entries.size());
    for (size_t i = 0; i < read.entries.size(); ++i)
        EXPECT_EQ(read.entries[i].view, i == 0 ? RegistryView::View64 : RegistryView::Own) << i;
    // Earlier builds wrote six fields; a seventh is the view mark and nothing else.
    const std::string earlier = std::string(kHeader) + "value\tHKEY_CLASSES_ROOT\t61\t\t-\t-\n";
    ASSERT_TRUE(parseJournal(sealed(earlier, 1), read, reason)) << reason;
    EXPECT_EQ(read.entries.at(0).view, RegistryView::Own);
    for (const char* mark : {"32", "", "64\t"}) {
        EXPECT_FALSE(parseJournal(
            sealed(std::string(kHeader) + "value\tHKEY_CLASSES_ROOT\t61\t\t-\t-\t" + mark + "\n", 1), read, reason))
            << mark;
        EXPECT_EQ(reason, "value line 1 is malformed") << mark;
    }
}
