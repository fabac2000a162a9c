#pragma once
#include <cstdint>

#include "log/ILog.h"

struct JournalRecovery {
    bool complete = true;                // every value due to be put back came back
    std::uint64_t latestRecordedAt = 0;  // of every journal found, the latest record
};

// Puts back the journals of launchers that are no longer running, latest record first, so
// that the earliest record, the state before all of them, is written last. A journal waits
// while a running launcher recorded after it: that launcher's own put-back comes first.
// The caller holds the JournalLock.
JournalRecovery recoverInterruptedLaunches(ILog* log);
