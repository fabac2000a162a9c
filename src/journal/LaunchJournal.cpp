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

bool LaunchJournal::begin(const RestoreSet& set, std::uint64_t recordedAt) {
    journal_.recordedAt = recordedAt;
    journal_.entries.clear();
    journal_.entries.reserve(set.entries().size());
    for (const SavedValue& value : set.entries())
        journal_.entries.push_back(journalEntryOf(value));
    const std::string text = formatJournal(journal_);
    for (const JournalPlace& place : journalPlaces(true)) {
        if (place.folder.empty())
            continue;
        if (!place.problem.empty()) {
            if (log_->IsEnabled())
                log_->WriteLine("The journal folder " + place.folder + " cannot be used: " + place.problem);
            continue;
        }
        const std::string path = place.folder + journalFileName(journal_.processId, journal_.started);
        std::string problem;
        if (writeJournalFile(path, text, &problem)) {
            path_ = path;
            return true;
        }
        if (log_->IsEnabled())
            log_->WriteLine("Could not write the journal of recorded values: " + path + ": " + problem);
    }
    // The user wants to work, so the launch goes on; the exit code tells the deployment tool.
    log_->WriteLine("No journal could be written: the launch runs unprotected, and an interruption would leave "
                    "the registry switched");
    return false;
}

void LaunchJournal::markSwitched() {
    for (JournalEntry& entry : journal_.entries)
        entry.switchedTo = currentState(entry);
    journal_.switchDone = true;
    std::string problem;
    // Without it the journal on disk still holds the record, which is enough to put everything back.
    if (!path_.empty() && !writeJournalFile(path_, formatJournal(journal_), &problem) && log_->IsEnabled())
        log_->WriteLine("Could not write the journal of recorded values: " + path_ + ": " + problem);
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
