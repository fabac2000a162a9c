#include "journal/JournalLeftovers.h"

#include "journal/JournalFile.h"
#include "journal/JournalText.h"
#include "journal/JournalValues.h"
#include "journal/LauncherIdentity.h"
#include "journal/RecoveryRules.h"

namespace {

// The same reading and the same rules as recovery, acted on by nobody.
LeftoverJournal lookAt(const std::string& path) {
    LeftoverJournal leftover;
    leftover.path = path;
    std::string text, reason;
    Journal journal;
    if (!readJournalFile(path, text)) {
        leftover.problem = "cannot be read; a launch passes over it";
        return leftover;
    }
    if (!parseJournal(text, journal, reason)) {
        leftover.problem = "damaged (" + reason + "); the next launch sets it aside";
        return leftover;
    }
    const std::string foreign = foreignValueIn(journal);
    if (!foreign.empty()) {
        leftover.problem = "refused (" + foreign + "); the next launch sets it aside";
        return leftover;
    }
    leftover.started = localTimeText(journal.started);
    leftover.values = journal.entries.size();
    leftover.switchDone = journal.switchDone;
    leftover.launcherRunning = isLauncherRunning(journal.processId, fileTimeOf(journal.started));
    if (leftover.launcherRunning)
        return leftover;
    for (const JournalEntry& entry : journal.entries)
        if (valueAction(entry, journal.switchDone, currentState(entry)) == ValueAction::PutBack)
            leftover.dueValues.push_back(journalValueText(entry));
    return leftover;
}

}  // namespace

JournalLeftovers findJournalLeftovers() {
    JournalLeftovers leftovers;
    for (const std::string& path : listJournalFiles())
        leftovers.journals.push_back(lookAt(path));
    leftovers.setAside = listSetAsideJournals();
    return leftovers;
}
