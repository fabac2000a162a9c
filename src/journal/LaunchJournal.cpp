#include "journal/LaunchJournal.h"

#include "journal/JournalFile.h"
#include "journal/JournalValues.h"
#include "journal/LauncherIdentity.h"

LaunchJournal::LaunchJournal(ILog* log) : log_(log) {
    FILETIME started = {};
    processStartTime(GetCurrentProcess(), started);
    journal_.processId = GetCurrentProcessId();
    journal_.started = fileTimeNumber(started);
}

void LaunchJournal::begin(const RestoreSet& set, std::uint64_t recordedAt) {
    journal_.recordedAt = recordedAt;
    journal_.entries.clear();
    journal_.entries.reserve(set.entries().size());
    for (const SavedValue& value : set.entries())
        journal_.entries.push_back(journalEntryOf(value));
    path_ = journalPath(journal_.processId, journal_.started);
    // Without a journal the launch still runs; only an interruption could not be mended.
    if (!writeJournalFile(path_, formatJournal(journal_)))
        log_->WriteLine("Could not write the journal of recorded values: " + path_);
}

void LaunchJournal::markSwitched() {
    for (JournalEntry& entry : journal_.entries)
        entry.switchedTo = currentState(entry);
    journal_.switchDone = true;
    if (!writeJournalFile(path_, formatJournal(journal_)))
        log_->WriteLine("Could not write the journal of recorded values: " + path_);
}

bool LaunchJournal::putBack() {
    if (settled_)
        return true;
    for (const JournalEntry& entry : journal_.entries)
        writeRecorded(entry);
    return keepOnly(valuesNotBack(journal_.entries, log_));
}

bool LaunchJournal::confirmPutBack(const RestoreSet& set) {
    if (settled_)
        return true;
    std::vector<JournalEntry> expected;
    expected.reserve(set.entries().size());
    for (const SavedValue& value : set.entries())
        expected.push_back(journalEntryOf(value));
    std::vector<JournalEntry> missing = valuesNotBack(expected, log_);
    // The journal knows what the switch wrote; the next launch needs that to retry safely.
    for (JournalEntry& entry : missing)
        for (const JournalEntry& journaled : journal_.entries)
            if (sameValue(entry, journaled))
                entry.switchedTo = journaled.switchedTo;
    return keepOnly(missing);
}

bool LaunchJournal::keepOnly(const std::vector<JournalEntry>& missing) {
    settled_ = true;
    if (missing.empty()) {
        removeJournalFile(path_);
        return true;
    }
    journal_.entries = missing;
    writeJournalFile(path_, formatJournal(journal_));
    return false;
}
