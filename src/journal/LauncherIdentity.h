#pragma once
#include <windows.h>

#include <cstdint>

// A launcher is known by its process id and creation time together: ids are reused, so the
// id alone would take a later, unrelated process for a launcher that is long gone.
bool processStartTime(HANDLE process, FILETIME& started);
bool isLauncherRunning(DWORD processId, const FILETIME& started);

std::uint64_t fileTimeNumber(const FILETIME& time);
FILETIME fileTimeOf(std::uint64_t number);
