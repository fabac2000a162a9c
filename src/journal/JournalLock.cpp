#include "journal/JournalLock.h"

JournalLock::JournalLock() : mutex_(CreateMutexA(nullptr, FALSE, "Local\\MallowbrookJournalLock")) {
    const DWORD waited = mutex_ ? WaitForSingleObject(mutex_.get(), INFINITE) : WAIT_FAILED;
    held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

JournalLock::~JournalLock() {
    if (held_)
        ReleaseMutex(mutex_.get());
}
