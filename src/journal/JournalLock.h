#pragma once
#include "base/MutexHold.h"
#include "base/UniqueHandle.h"

// Held while a journal is written, applied or removed, by this launcher's threads and by
// every other launcher of the session, so that no two of them put back the same journal
// and none records while another puts a journal back. A lock left by a killed launcher is
// taken over.
class JournalLock {
public:
    JournalLock();
    JournalLock(const JournalLock&) = delete;
    JournalLock& operator=(const JournalLock&) = delete;

private:
    UniqueKernelHandle mutex_;
    MutexHold hold_;
};
