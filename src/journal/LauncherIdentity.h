#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

// A launcher is known by its process id and creation time together: ids are reused, so the
// id alone would take a later, unrelated process for a launcher that is long gone.
bool processStartTime(HANDLE process, FILETIME& started);
bool isLauncherRunning(DWORD processId, const FILETIME& started);

std::uint64_t fileTimeNumber(const FILETIME& time);
FILETIME fileTimeOf(std::uint64_t number);
// "2024-05-01 09:30:00" in local time; "at an unknown time" when it cannot be converted.
std::string localTimeText(std::uint64_t time);
