#include "journal/JournalRecovery.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "journal/JournalFile.h"
#include "journal/JournalText.h"
#include "journal/JournalValues.h"
#include "journal/LauncherIdentity.h"
#include "journal/RecoveryRules.h"

namespace {

struct FoundJournal {
    std::string path;
    Journal journal;
};

std::string localTimeText(std::uint64_t time) {
    const FILETIME utc = fileTimeOf(time);
    FILETIME local;
    SYSTEMTIME parts = {};
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &parts))
        return "at an unknown time";
    char text[32];
    std::snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u", parts.wYear, parts.wMonth, parts.wDay,
                  parts.wHour, parts.wMinute, parts.wSecond);
    return text;
}

// Where the switch is known, only values still holding it are the launch's to put back;
// anything else was changed since by someone else. Without it, every value off its record goes back.
bool putBackJournal(FoundJournal& found, ILog* log) {
    Journal& journal = found.journal;
    log->WriteLine("Putting back the registry values of an interrupted launch started " +
                   localTimeText(journal.started));
    std::vector<JournalEntry> written;
    for (const JournalEntry& entry : journal.entries) {
        switch (valueAction(entry, journal.switchDone, currentState(entry))) {
        case ValueAction::AlreadyBack:
            break;
        case ValueAction::LeaveAlone:
            log->WriteLine("Left alone, changed since the interrupted launch: " + journalValueText(entry));
            break;
        case ValueAction::PutBack:
            writeRecorded(entry);
            written.push_back(entry);
            break;
        }
    }
    journal.entries = valuesNotBack(written, log);
    if (journal.entries.empty()) {
        removeJournalFile(found.path);
        return true;
    }
    writeJournalFile(found.path, formatJournal(journal));
    return false;
}

}  // namespace

RecoveryPass JournalRecovery::putBackInterrupted(ILog* log) {
    RecoveryPass result;
    result.latestRecordedAt = latestRecordedAt_;
    // One that did not come back whole holds back every earlier one until a later run.
    if (stopped_) {
        result.complete = false;
        return result;
    }
    std::vector<FoundJournal> found;
    std::vector<JournalStatus> status;
    for (const std::string& path : listJournalFiles()) {
        if (handled_.count(path) != 0)
            continue;
        FoundJournal journal{path, Journal()};
        std::string text, reason;
        if (!readJournalFile(path, text))
            continue;
        const bool parsed = parseJournal(text, journal.journal, reason);
        const std::string foreign = parsed ? foreignValueIn(journal.journal) : std::string();
        if (!parsed || !foreign.empty()) {
            // Never applied, not even in part; moved aside so it is reported once and kept for whoever looks.
            log->WriteLine((parsed ? "Refusing the journal " + path + ": " + foreign
                                   : "Ignoring the damaged journal " + path + ": " + reason));
            setJournalAside(path);
            handled_.insert(path);
            continue;
        }
        const Journal& journalRead = journal.journal;
        result.latestRecordedAt = std::max(result.latestRecordedAt, journalRead.recordedAt);
        status.push_back(
            {journalRead.recordedAt, isLauncherRunning(journalRead.processId, fileTimeOf(journalRead.started))});
        found.push_back(std::move(journal));
    }
    // An earlier journal must not go back over a later one that did not come back whole.
    for (std::size_t index : journalsToPutBack(status)) {
        handled_.insert(found[index].path);
        if (!putBackJournal(found[index], log)) {
            result.complete = false;
            stopped_ = true;
            break;
        }
    }
    latestRecordedAt_ = result.latestRecordedAt;
    return result;
}
