#pragma once
#include <windows.h>

// Holds a mutex for one scope. A mutex left by a process that was killed while holding it is
// taken over: its owner can no longer be in the middle of anything. With a timeout the wait
// may end without it: held() then says so.
class MutexHold {
public:
    explicit MutexHold(HANDLE mutex, DWORD timeoutMs = INFINITE);
    ~MutexHold();
    MutexHold(const MutexHold&) = delete;
    MutexHold& operator=(const MutexHold&) = delete;
    bool held() const { return held_; }

private:
    HANDLE mutex_;  // borrowed: the caller owns the handle
    bool held_ = false;
};
