#pragma once
#include <cstddef>

#include "registry/Hive.h"

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
