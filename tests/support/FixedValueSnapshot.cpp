#include "support/FixedValueSnapshot.h"

#include <cstring>
#include <set>

#include "base/UniqueHandle.h"
#include "registry/FixedValueTable.h"
#include "registry/RegistryRoot.h"

namespace {

const char kCurVerKey[] = "Access.Application\\CurVer";
const char kLastAccessInstall[] = "LastAccessInstall";

std::string lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The registry compares key and value names without regard to letter case.
std::string identity(std::size_t row) {
    const FixedValue& v = kFixedValues[row];
    return std::to_string(static_cast<int>(v.hive)) + "\\" + lower(v.key) + "\\\\" + lower(v.valueName);
}

RawRegistryValue readRaw(HKEY root, const std::string& key, const std::string& name, REGSAM view) {
    RawRegistryValue value;
    UniqueKey opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE | view, opened.put()) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExA(opened.get(), name.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS)
        return value;
    value.data.resize(size);
    if (RegQueryValueExA(opened.get(), name.c_str(), nullptr, &value.type, value.data.data(), &size) != ERROR_SUCCESS)
        return RawRegistryValue();
    value.data.resize(size);
    value.present = true;
    return value;
}

bool isText(const RawRegistryValue& value) {
    return value.type == REG_SZ || value.type == REG_EXPAND_SZ;
}

std::string textOf(const RawRegistryValue& value) {
    const char* bytes = reinterpret_cast<const char*>(value.data.data());
    return std::string(bytes, strnlen(bytes, value.data.size()));
}

bool putBack(const RawRegistryValue& before, const RawRegistryValue& after) {
    if (before.present != after.present)
        return !before.present;
    if (!before.present || (before.type == after.type && before.data == after.data))
        return true;
    // Text the registry kept without its NUL comes back with one; its type must come back too.
    return isRecordable(before) && isText(before) && before.type == after.type && textOf(before) == textOf(after);
}

const char* typeName(DWORD type) {
    switch (type) {
    case REG_SZ:
        return "REG_SZ";
    case REG_EXPAND_SZ:
        return "REG_EXPAND_SZ";
    case REG_BINARY:
        return "REG_BINARY";
    case REG_DWORD:
        return "REG_DWORD";
    case REG_MULTI_SZ:
        return "REG_MULTI_SZ";
    case REG_QWORD:
        return "REG_QWORD";
    default:
        return "type?";
    }
}

}  // namespace

bool isRecordable(const RawRegistryValue& value) {
    if (!value.present)
        return false;
    if (value.type == REG_DWORD)
        return value.data.size() == 4;
    if (!isText(value))
        return false;
    return value.data.empty() || (value.data.size() < 4096 && value.data.back() == 0);
}

FixedValueSnapshot FixedValueSnapshot::take(REGSAM view) {
    FixedValueSnapshot snapshot;
    snapshot.values_.reserve(kFixedValueCount);
    for (const FixedValue& row : kFixedValues)
        snapshot.values_.push_back(readRaw(rootKey(row.hive), row.key, row.valueName, view));
    return snapshot;
}

std::vector<ValueChange> FixedValueSnapshot::changedSince(const FixedValueSnapshot& before) const {
    std::vector<ValueChange> changes;
    std::set<std::string> seen;
    for (std::size_t row = 0; row < kFixedValueCount; ++row) {
        if (!seen.insert(identity(row)).second)
            continue;
        if (!putBack(before.values_[row], values_[row]))
            changes.push_back({row, before.values_[row], values_[row]});
    }
    return changes;
}

std::size_t FixedValueSnapshot::presentCount() const {
    std::set<std::string> seen;
    for (std::size_t row = 0; row < values_.size(); ++row)
        if (values_[row].present)
            seen.insert(identity(row));
    return seen.size();
}

std::string describeRow(std::size_t row) {
    const FixedValue& v = kFixedValues[row];
    return std::string(hiveText(v.hive)) + "\\" + v.key + " / '" + v.valueName + "'";
}

std::string describeValue(const RawRegistryValue& value) {
    if (!value.present)
        return "(absent)";
    std::string text = std::string(typeName(value.type)) + " ";
    if (value.type == REG_DWORD && value.data.size() == 4) {
        DWORD number = 0;
        std::memcpy(&number, value.data.data(), 4);
        return text + std::to_string(number);
    }
    if (isText(value)) {
        std::string shown = textOf(value);
        if (shown.size() > 60)
            shown = shown.substr(0, 60) + "...(" + std::to_string(shown.size()) + " chars)";
        return text + "'" + shown + "'" + (!value.data.empty() && value.data.back() != 0 ? " (no NUL)" : "");
    }
    return text + std::to_string(value.data.size()) + " bytes";
}

std::string describe(const std::vector<ValueChange>& changes) {
    std::string text;
    for (const ValueChange& change : changes)
        text += describeRow(change.row) + " : " + describeValue(change.before) + " -> " + describeValue(change.after) +
                "\n";
    return text;
}

// Windows registers these as REG_EXPAND_SZ (paths with %SystemRoot% or %ProgramFiles%).
static bool isExpandable(const FixedValue& v) {
    const std::string key = lower(v.key);
    return v.valueName[0] == '\0' && (key == "htmlfile\\shell\\print\\command" ||
                                      key.size() > 12 && key.compare(key.size() - 12, 12, "\\defaulticon") == 0);
}

bool seedFixedValues(RegistrySeed& seed, const std::string& curVer, REGSAM view) {
    bool ok = true;
    std::set<std::string> seen;
    for (std::size_t row = 0; row < kFixedValueCount; ++row) {
        const FixedValue& v = kFixedValues[row];
        if (!seen.insert(identity(row)).second)
            continue;  // the same value as an earlier row: it keeps the earlier row's text
        HKEY root = rootKey(v.hive);
        if (std::strcmp(v.valueName, kLastAccessInstall) == 0)
            ok = seed.setDword(root, v.key, v.valueName, 9, view) && ok;
        else if (lower(v.key) == lower(kCurVerKey) && v.valueName[0] == '\0')
            ok = seed.setString(root, v.key, v.valueName, curVer, view) && ok;
        else if (isExpandable(v))
            ok = seed.setString(root, v.key, v.valueName, "%SystemRoot%\\fixed value " + std::to_string(row), view,
                                REG_EXPAND_SZ) &&
                 ok;
        else
            ok = seed.setString(root, v.key, v.valueName, "fixed value " + std::to_string(row), view) && ok;
    }
    return ok;
}

bool writeRowRaw(std::size_t row, DWORD type, const std::string& bytes) {
    const FixedValue& v = kFixedValues[row];
    UniqueKey key;
    if (RegCreateKeyExA(rootKey(v.hive), v.key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS)
        return false;
    return RegSetValueExA(key.get(), v.valueName, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool writeRowTextWithoutNul(std::size_t row, DWORD type, const std::string& text) {
    // The registry counts a NUL that directly follows the data as forgotten and stores it too;
    // another character there keeps the value without one.
    const std::string buffer = text + 'X';
    const FixedValue& v = kFixedValues[row];
    UniqueKey key;
    if (RegCreateKeyExA(rootKey(v.hive), v.key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS)
        return false;
    return RegSetValueExA(key.get(), v.valueName, 0, type, reinterpret_cast<const BYTE*>(buffer.data()),
                          static_cast<DWORD>(text.size())) == ERROR_SUCCESS;
}

void writeBack(const FixedValueSnapshot& snapshot) {
    for (std::size_t row = 0; row < kFixedValueCount; ++row) {
        const RawRegistryValue& value = snapshot.value(row);
        const FixedValue& v = kFixedValues[row];
        if (value.present) {
            // Another byte after the data keeps the registry from adding a NUL of its own.
            std::string buffer(value.data.begin(), value.data.end());
            buffer += 'X';
            UniqueKey key;
            if (RegCreateKeyExA(rootKey(v.hive), v.key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) ==
                ERROR_SUCCESS)
                RegSetValueExA(key.get(), v.valueName, 0, value.type, reinterpret_cast<const BYTE*>(buffer.data()),
                               static_cast<DWORD>(value.data.size()));
        } else {
            UniqueKey key;
            if (RegOpenKeyExA(rootKey(v.hive), v.key, 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS)
                RegDeleteValueA(key.get(), v.valueName);
        }
    }
}

int fixedRow(HKEY root, const std::string& key, const std::string& valueName) {
    for (std::size_t row = 0; row < kFixedValueCount; ++row)
        if (rootKey(kFixedValues[row].hive) == root && key == kFixedValues[row].key &&
            valueName == kFixedValues[row].valueName)
            return static_cast<int>(row);
    return -1;
}
