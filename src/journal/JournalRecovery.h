#pragma once
#include <cstdint>
#include <set>
#include <string>

#include "log/ILog.h"

struct RecoveryPass {
    bool complete = true;                // every value due to be put back came back
    std::uint64_t latestRecordedAt = 0;  // of every journal found, the latest record
};

// Puts back the journals of launchers that are no longer running, latest record first, so
// that the earliest record, the state before all of them, is written last. A journal waits
// while a running launcher recorded after it: that launcher's own put-back comes first.
// One per run: a journal is put back, refused or set aside at most once in a run, even when it
// cannot be removed afterwards (another program holds it open).
class JournalRecovery {
public:
    // The caller holds the JournalLock.
    RecoveryPass putBackInterrupted(ILog* log);

private:
    std::set<std::string> handled_;  // paths of the journals this run is done with
    std::uint64_t latestRecordedAt_ = 0;
    bool heldBack_ = false;  // a journal did not come back whole: nothing recorded before it goes back
    std::uint64_t heldBackAt_ = 0;
};
