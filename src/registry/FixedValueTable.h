#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "registry/Hive.h"
#include "registry/RegistryView.h"

// One row of the fixed list of registry values that make up the registration of Access:
// recorded before a launch and put back after it, and the key list of the permission helper.
struct FixedValue {
    Hive hive;
    const char* key;
    const char* valueName;  // "" for the key's default value
};

// HKEY_CLASSES_ROOT rows first, then the HKEY_LOCAL_MACHINE rows. Rows that occur twice or
// differ only in letter case are kept as separate rows on purpose.
constexpr std::size_t kFixedClassesRootCount = 349;
constexpr std::size_t kFixedLocalMachineCount = 2;
constexpr std::size_t kFixedValueCount = kFixedClassesRootCount + kFixedLocalMachineCount;

extern const FixedValue kFixedValues[kFixedValueCount];

// The registration a 64-bit Access reads its object library from (HKEY_CLASSES_ROOT, default value).
constexpr char kObjectLibrary64PathKey[] = "TypeLib\\{4AFFC9A0-5F99-101B-AF4E-00AA003F0F07}\\9.0\\0\\win64";

// A value of the table, or one recorded besides it, with the view it is read and written in.
struct ViewedValue {
    Hive hive;
    std::string key;
    std::string valueName;
    RegistryView view;
};

// What a launch of a 64-bit Access records in place of the fixed table, in the same order: each
// row under a key that WOW64 keeps apart in the 64-bit view (the one that Access reads), the
// others as they are; then the "win64" object library path.
std::vector<ViewedValue> fixedValuesFor64BitAccess();

// The rows a capture file adds on a 64-bit system to the fixed table: every row under a key that
// WOW64 keeps apart again in the 64-bit view, then the "win64" object library path, so that
// a 64-bit Access's registration comes back too.
std::vector<ViewedValue> view64CaptureValues();
