#pragma once
#include <windows.h>

#include "base/OsVersionFlags.h"
#include "base/UniqueHandle.h"

// Starts a program: ShellExecuteExA on Vista and later (executable and arguments apart),
// CreateProcessA with one quoted command text before.
class ProcessStarter {
public:
    explicit ProcessStarter(OsVersionFlags flags) : flags_(flags) {}

    // Returns the process id, 0 on failure. processHandle is emptied first and set only on
    // success. executable null: nothing is started. arguments may be null. On failure `error`,
    // when given, holds the system's reason.
    DWORD start(const char* executable, const char* arguments, UniqueKernelHandle& processHandle, int showCommand,
                DWORD* error = nullptr) const;

    const OsVersionFlags& flags() const { return flags_; }

private:
    DWORD startWithShell(const char* executable, const char* arguments, UniqueKernelHandle& processHandle,
                         int showCommand, DWORD& error) const;
    DWORD startWithCreateProcess(const char* executable, const char* arguments, UniqueKernelHandle& processHandle,
                                 int showCommand, DWORD& error) const;

    OsVersionFlags flags_;
};
