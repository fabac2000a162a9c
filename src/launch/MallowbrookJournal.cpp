#include <algorithm>
#include <memory>

#include "journal/JournalLock.h"
#include "journal/JournalRecovery.h"
#include "journal/LaunchJournal.h"
#include "journal/LauncherIdentity.h"
#include "launch/LauncherMessages.h"
#include "launch/Mallowbrook.h"

namespace {

std::uint64_t timeNow() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return fileTimeNumber(now);
}

}  // namespace

void Mallowbrook::notifyWindow(UINT message) {
    if (window != nullptr)
        PostMessageA(window, message, 0, 0);
}

void Mallowbrook::warnWindow(int exitCode) {
    // A dry run's steps warn of what a launch would meet, not of the report's own run.
    if (window != nullptr && !registry.planning())
        PostMessageA(window, kRunWarningMessage, static_cast<WPARAM>(exitCode), 0);
}

void Mallowbrook::recoverInterrupted() {
    JournalLock lock;
    if (!recovery->putBackInterrupted(log).complete)
        warnWindow(kExitPutBackIncomplete);
}

void Mallowbrook::recordWithJournal() {
    JournalLock lock;
    const RecoveryPass pass = recovery->putBackInterrupted(log);
    if (!pass.complete)
        warnWindow(kExitPutBackIncomplete);
    saveDefaultSettings();
    auto started = std::make_unique<LaunchJournal>(log);
    // Strictly after every journal there is, even within the clock's resolution.
    if (!started->begin(restoreSet, std::max(timeNow(), pass.latestRecordedAt + 1)))
        warnWindow(kExitUnprotected);
    journal = std::move(started);
    notifyWindow(kValuesSwitchedMessage);
}

void Mallowbrook::journalSwitchDone() {
    JournalLock lock;
    if (journal && !journal->settled())
        journal->markSwitched();
}

void Mallowbrook::putBackAndConfirm(bool undoSwitch) {
    JournalLock lock;
    // Launchers that recorded after this one and died go back first, as their records say.
    recovery->putBackInterrupted(log);
    if (!journal || !journal->settled())
        restoreSet.restoreAll();
    if (undoSwitch)
        finishRun();
    bool complete = !journal || journal->confirmPutBack(restoreSet);
    // Now the ones that recorded before this launcher and died may follow.
    complete = recovery->putBackInterrupted(log).complete && complete;
    notifyWindow(kValuesBackMessage);
    if (!complete)
        warnWindow(kExitPutBackIncomplete);
}

bool Mallowbrook::putBackAtSessionEnd() {
    JournalLock lock;
    if (!journal || journal->settled())
        return true;
    log->WriteLine("Session ending: putting back the registry values");
    return journal->putBack();
}
