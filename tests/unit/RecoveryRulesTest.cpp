#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "journal/RecoveryRules.h"

namespace {

JournalState holding(char value) {
    JournalState state;
    state.present = true;
    state.type = 1;
    state.bytes = std::string(1, value);
    return state;
}

// Launchers sharing one registry value, as the launcher uses the rules: every run starts by
// putting back what it may; a finishing launcher puts back later dead journals, then its own
// record, then earlier dead journals. Journals are kept in the order they were written.
struct World {
    struct Launcher {
        bool recorded = false, switched = false, ended = false, journal = false;
        std::uint64_t recordedAt = 0;
        JournalEntry entry;
        bool switchDone = false;
    };
    char value = '0';  // the state before every launcher
    std::vector<Launcher> launchers;
    std::uint64_t clock = 0;

    explicit World(size_t count) : launchers(count) {}

    void recover() {
        std::vector<JournalStatus> status;
        std::vector<size_t> owner;
        for (size_t i = 0; i < launchers.size(); ++i)
            if (launchers[i].journal) {
                status.push_back({launchers[i].recordedAt, !launchers[i].ended});
                owner.push_back(i);
            }
        for (size_t index : journalsToPutBack(status)) {
            Launcher& dead = launchers[owner[index]];
            if (valueAction(dead.entry, dead.switchDone, holding(value)) == ValueAction::PutBack)
                value = dead.entry.recorded.bytes[0];
            dead.journal = false;
        }
    }
    bool laterRunning(size_t self) const {
        for (const Launcher& other : launchers)
            if (other.recorded && !other.ended && other.recordedAt > launchers[self].recordedAt)
                return true;
        return false;
    }
    // One step of a launcher; false when the recording order would make it wait here.
    bool step(size_t i, int stage, bool killed) {
        Launcher& launcher = launchers[i];
        if (stage == 0) {
            recover();
            launcher.recorded = launcher.journal = true;
            launcher.recordedAt = ++clock;
            launcher.entry.recorded = holding(value);
        } else if (stage == 1) {
            value = static_cast<char>('A' + i);
            launcher.entry.switchedTo = holding(value);
            launcher.switchDone = true;
        } else if (killed) {
            launcher.ended = true;
        } else {
            if (laterRunning(i))
                return false;
            recover();
            value = launcher.entry.recorded.bytes[0];
            launcher.journal = false;
            launcher.ended = true;
            recover();
        }
        return true;
    }
};

}  // namespace

// Every order of records, switches, kills and ends of three launchers: once none runs and one
// more run has started, the value is what it was before the first of them.
TEST(RecoveryRules, AnyOrderOfStartsKillsAndEndsComesBackToTheFirstRecord) {
    const size_t kLaunchers = 3;
    std::vector<int> schedule;  // launcher of each step; each appears three times
    for (int i = 0; i < static_cast<int>(kLaunchers); ++i)
        schedule.insert(schedule.end(), 3, i);
    int tried = 0, valid = 0;
    do {
        for (int fates = 0; fates < 27; ++fates) {
            // Fate per launcher: 0 finishes, 1 is killed after its switch, 2 is killed before it.
            int fate[kLaunchers];
            for (size_t i = 0, f = fates; i < kLaunchers; ++i, f /= 3)
                fate[i] = static_cast<int>(f % 3);
            World world(kLaunchers);
            int stage[kLaunchers] = {};
            bool possible = true;
            ++tried;
            for (int who : schedule) {
                const int s = stage[who]++;
                if (s == 1 && fate[who] == 2)
                    continue;  // killed before its switch: the kill step below ends it
                if (!world.step(who, s, fate[who] != 0)) {
                    possible = false;
                    break;
                }
            }
            if (!possible)
                continue;
            ++valid;
            world.recover();  // the next run
            ASSERT_EQ(world.value, '0') << "schedule and fates " << fates;
            for (const auto& launcher : world.launchers)
                EXPECT_FALSE(launcher.journal);
        }
    } while (std::next_permutation(schedule.begin(), schedule.end()));
    EXPECT_GT(valid, tried / 10);
}

TEST(RecoveryRules, JournalsWaitForLaterRunningLaunchersAndGoLatestFirst) {
    const struct {
        const char* name;
        std::vector<JournalStatus> journals;
        std::vector<size_t> expected;
    } kCases[] = {
        {"none", {}, {}},
        {"one dead", {{5, false}}, {0}},
        {"dead ones, latest first", {{5, false}, {9, false}, {7, false}}, {1, 2, 0}},
        {"a later one runs", {{5, false}, {9, true}}, {}},
        {"an earlier one runs", {{5, true}, {9, false}}, {1}},
        {"between two running", {{3, true}, {5, false}, {7, true}, {9, false}}, {3}},
        {"all running", {{3, true}, {4, true}}, {}},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(journalsToPutBack(c.journals), c.expected) << c.name;
}

TEST(RecoveryRules, AValueGoesBackOnlyWhileItHoldsTheLaunchsSwitch) {
    JournalEntry entry;
    entry.recorded = holding('r');
    entry.switchedTo = holding('s');
    JournalEntry wasAbsent;
    wasAbsent.switchedTo = holding('s');
    JournalState expandable = holding('r');  // the record's text, as REG_EXPAND_SZ
    expandable.type = 2;
    const struct {
        const char* name;
        const JournalEntry& entry;
        bool switchDone;
        JournalState now;
        ValueAction expected;
    } kCases[] = {
        {"holds the switch", entry, true, holding('s'), ValueAction::PutBack},
        {"holds the record", entry, true, holding('r'), ValueAction::AlreadyBack},
        {"changed since", entry, true, holding('x'), ValueAction::LeaveAlone},
        {"deleted since", entry, true, JournalState(), ValueAction::LeaveAlone},
        {"switch unknown, differs", entry, false, holding('x'), ValueAction::PutBack},
        {"switch unknown, deleted", entry, false, JournalState(), ValueAction::PutBack},
        {"switch unknown, holds the record", entry, false, holding('r'), ValueAction::AlreadyBack},
        {"absent when recorded", wasAbsent, true, holding('s'), ValueAction::AlreadyBack},
        {"an earlier build's plain text of an expandable one", entry, false, expandable, ValueAction::AlreadyBack},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(valueAction(c.entry, c.switchDone, c.now), c.expected) << c.name;
}

// A 64-bit Access's values are journaled in the 64-bit view: allowed there for the keys WOW64
// keeps apart, and nowhere else a launch does not record them.
TEST(RecoveryRules, AJournalNamesOnlyRecordedValuesInTheirView) {
    const char kServer[] = "CLSID\\{73A4C9C1-D68D-11D0-98BF-00A0C90DC8D9}\\LocalServer32";
    const char kWin64[] = "TypeLib\\{4AFFC9A0-5F99-101B-AF4E-00AA003F0F07}\\9.0\\0\\win64";
    const struct {
        Hive hive;
        const char* key;
        const char* valueName;
        RegistryView view;
        bool allowed;
    } cases[] = {
        {Hive::ClassesRoot, kServer, "", RegistryView::View64, true},
        {Hive::ClassesRoot, kServer, "", RegistryView::Own, true},
        {Hive::LocalMachine, "SOFTWARE\\Microsoft\\Office\\Common", "LastAccessInstall", RegistryView::View64, true},
        {Hive::ClassesRoot, kWin64, "", RegistryView::Own, true},
        {Hive::ClassesRoot, kWin64, "", RegistryView::View64, false},
        {Hive::ClassesRoot, "Access.Application\\CurVer", "", RegistryView::View64, false},
        {Hive::ClassesRoot, "CLSID\\{00000000-0000-0000-0000-000000000001}\\InprocServer32", "", RegistryView::View64,
         false},
    };
    for (const auto& c : cases) {
        Journal journal;
        JournalEntry entry;
        entry.hive = c.hive;
        entry.key = c.key;
        entry.valueName = c.valueName;
        entry.view = c.view;
        entry.recorded = holding('x');
        journal.entries.push_back(entry);
        const std::string reason = foreignValueIn(journal);
        EXPECT_EQ(reason.empty(), c.allowed)
            << c.key << (c.view == RegistryView::View64 ? " (64)" : "") << ": " << reason;
        if (!c.allowed && c.view == RegistryView::View64)
            EXPECT_NE(reason.find("] (64-bit view)) is not a value Mallowbrook records"), std::string::npos) << reason;
    }
}
