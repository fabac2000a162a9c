#include "journal/JournalRecovery.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/SystemErrorText.h"
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
        // Another program may hold it open: this run leaves it alone from now on, the next one tries again.
        if (!removeJournalFile(found.path) && log->IsEnabled())
            log->WriteLine("The journal " + found.path + " could not be removed: " + systemErrorLine(GetLastError()));
        return true;
    }
    writeJournalFile(found.path, formatJournal(journal));
    return false;
}

}  // namespace

RecoveryPass JournalRecovery::putBackInterrupted(ILog* log) {
    RecoveryPass result;
    result.latestRecordedAt = latestRecordedAt_;
    std::vector<FoundJournal> found;
    std::vector<JournalStatus> status;
    // One that did not come back whole holds back every journal recorded before it until a later
    // run, as a running launcher would; those recorded after it still go back first.
    if (heldBack_)
        status.push_back({heldBackAt_, true});
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
            if (log->IsEnabled())
                log->WriteLine(parsed ? "Refusing the journal " + path + ": " + foreign
                                      : "Ignoring the damaged journal " + path + ": " + reason);
            if (!setJournalAside(path) && log->IsEnabled())
                log->WriteLine("The journal " + path + " could not be moved aside: " + systemErrorLine(GetLastError()));
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
    const std::size_t first = heldBack_ ? 1 : 0;
    for (std::size_t index : journalsToPutBack(status)) {
        FoundJournal& journal = found[index - first];
        handled_.insert(journal.path);
        if (!putBackJournal(journal, log)) {
            heldBack_ = true;
            heldBackAt_ = journal.journal.recordedAt;
            break;
        }
    }
    result.complete = !heldBack_;
    latestRecordedAt_ = result.latestRecordedAt;
    return result;
}
