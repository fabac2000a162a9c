#pragma once
#include <cstddef>
#include <string>

#include "registry/FixedValueTable.h"

// The Access object library registration, the same key for every edition (HKEY_CLASSES_ROOT).
constexpr char kObjectLibraryPathKey[] = "TypeLib\\{4AFFC9A0-5F99-101B-AF4E-00AA003F0F07}\\9.0\\0\\win32";
// The same registration as a 64-bit Access reads it.
constexpr const char* kObjectLibraryPathKey64 = kObjectLibrary64PathKey;
constexpr char kObjectLibraryFileName[] = "MSACC.OLB";

// Restore-set entries (HKEY_CLASSES_ROOT default values) that stay switched after a run
// that moved Access to the same or a newer edition below 14, in the order they are taken out.
constexpr std::size_t kKeptObjectLibraryKeyCount = 4;
extern const char* const kKeptObjectLibraryKeys[kKeptObjectLibraryKeyCount];

// The number after "Access.Application." ("Access.Application.11" gives 11), read like atoi:
// 0 when no digits follow, and for text shorter than the prefix.
int progIdVersionNumber(const std::string& progId);

// True when the end of the run keeps the switched CurVer and object library registration.
bool keepsObjectLibrarySwitched(const std::string& curVerBefore, const std::string& curVerAfter);
