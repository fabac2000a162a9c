#include "journal/LauncherIdentity.h"

#include <cstdio>

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

std::string localTimeText(std::uint64_t time) {
    const FILETIME utc = fileTimeOf(time);
    FILETIME local;
    SYSTEMTIME parts = {};
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &parts))
        return "at an unknown time";
    char text[32];
    std::snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u", parts.wYear, parts.wMonth, parts.wDay,
                  parts.wHour, parts.wMinute, parts.wSecond);
    return text;
}
