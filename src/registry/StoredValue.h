#pragma once
#include <cstdint>
#include <string>

// One registry value as stored: absent, or its registry type and all its bytes. Plain data, so
// that journals and reports need no windows.h.
struct StoredValue {
    bool present = false;
    std::uint32_t type = 0;
    std::string bytes;
    bool operator==(const StoredValue& other) const {
        return present == other.present && (!present || (type == other.type && bytes == other.bytes));
    }
    bool operator!=(const StoredValue& other) const { return !(*this == other); }
};
