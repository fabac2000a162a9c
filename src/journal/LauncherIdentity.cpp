#include "journal/LauncherIdentity.h"

#include "base/UniqueHandle.h"

bool processStartTime(HANDLE process, FILETIME& started) {
    FILETIME exited, kernel, user;
    return GetProcessTimes(process, &started, &exited, &kernel, &user) != 0;
}

bool isLauncherRunning(DWORD processId, const FILETIME& started) {
    UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, processId));
    if (!process || WaitForSingleObject(process.get(), 0) != WAIT_TIMEOUT)
        return false;
    FILETIME actual;
    return processStartTime(process.get(), actual) && CompareFileTime(&actual, &started) == 0;
}

std::uint64_t fileTimeNumber(const FILETIME& time) {
    return static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

FILETIME fileTimeOf(std::uint64_t number) {
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(number);
    time.dwHighDateTime = static_cast<DWORD>(number >> 32);
    return time;
}
