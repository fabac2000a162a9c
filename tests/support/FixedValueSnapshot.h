#pragma once
// The values of the fixed table as the registry holds them, byte for byte, so that a test can
// tell which of them a run left changed.
//
//   RegistrySeed seed;
//   seedFixedValues(seed, "Access.Application.15");     // every row holds a known text
//   FixedValueSnapshot before = FixedValueSnapshot::take();
//   ... run the launcher ...
//   auto lost = FixedValueSnapshot::take().changedSince(before);
//   EXPECT_TRUE(lost.empty()) << describe(lost);
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "support/RegistrySeed.h"

struct RawRegistryValue {
    bool present = false;
    DWORD type = 0;
    std::vector<BYTE> data;
};

// A value the launcher can record: text of REG_SZ or REG_EXPAND_SZ below 4096 bytes ending in
// its NUL (or empty), or a four-byte REG_DWORD.
bool isRecordable(const RawRegistryValue& value);

struct ValueChange {
    std::size_t row;  // index into kFixedValues
    RawRegistryValue before;
    RawRegistryValue after;
};

class FixedValueSnapshot {
public:
    // view: 0 (this program's own, the 32-bit view) or KEY_WOW64_64KEY; the two differ only in
    // the keys WOW64 keeps apart.
    static FixedValueSnapshot take(REGSAM view = 0);
    const RawRegistryValue& value(std::size_t row) const { return values_[row]; }

    // Rows whose value is not what it was in `before`. A value that was there before and is now
    // the same text of the same type (the NUL the registry had not kept added) counts as put back; a value
    // that was absent before is left out (a restore only writes what it recorded). Rows that name
    // the same registry value (letter case differs, or listed twice) are reported once.
    std::vector<ValueChange> changedSince(const FixedValueSnapshot& before) const;
    // Distinct registry values of the table that exist in this snapshot.
    std::size_t presentCount() const;

private:
    std::vector<RawRegistryValue> values_;
};

// Writes a snapshot back: every row as it was (deleted where it was absent).
void writeBack(const FixedValueSnapshot& snapshot);

// "HKEY_CLASSES_ROOT\Access.Application\CurVer / '' : REG_SZ 'Access.Application.9' -> ..." per line.
std::string describe(const std::vector<ValueChange>& changes);
std::string describeRow(std::size_t row);
std::string describeValue(const RawRegistryValue& value);

// Gives every row of the table a known text of its own ("fixed value <row>"; the icons and the
// HTML print command as REG_EXPAND_SZ, "%SystemRoot%\fixed value <row>", as Windows has them), the machine's
// "LastAccessInstall" the number 9 and "Access.Application\CurVer" the text curVer; the seed puts
// everything back when it goes.
// With view KEY_WOW64_64KEY the same texts go to the 64-bit view (where WOW64 keeps keys apart,
// the 64-bit rows; elsewhere the same values again).
bool seedFixedValues(RegistrySeed& seed, const std::string& curVer, REGSAM view = 0);

// Writes exactly these bytes with this type to a row's value (creating its key).
bool writeRowRaw(std::size_t row, DWORD type, const std::string& bytes);
// Writes text of a string type without any terminating NUL.
bool writeRowTextWithoutNul(std::size_t row, DWORD type, const std::string& text);
// The row of the table for this root, key and value name (exact text); -1 when there is none.
int fixedRow(HKEY root, const std::string& key, const std::string& valueName);
