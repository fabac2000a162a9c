#include "base/MutexHold.h"

MutexHold::MutexHold(HANDLE mutex, DWORD timeoutMs) : mutex_(mutex) {
    const DWORD waited = mutex != nullptr ? WaitForSingleObject(mutex, timeoutMs) : WAIT_FAILED;
    held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

MutexHold::~MutexHold() {
    if (held_)
        ReleaseMutex(mutex_);
}
