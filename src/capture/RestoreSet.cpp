#include "capture/RestoreSet.h"

#include <psapi.h>

#include <cstring>
#include <functional>
#include <unordered_map>
#include <utility>

#include "base/UniqueHandle.h"
#include "capture/CaptureCipher.h"
#include "capture/CaptureFile.h"
#include "capture/CaptureFileFormat.h"
#include "registry/FixedValueTable.h"
#include "registry/RegistryPrimitives.h"
#include "registry/RegistryRoot.h"

namespace {

std::string captureHiveText(HKEY root) {
    Hive hive;
    return hiveOf(root, hive) ? hiveText(hive) : "";
}

// A value as the capture file names it: hive text, key and value name, compared exactly.
struct ValueIdentity {
    std::string hive;
    std::string key;
    std::string valueName;
    bool operator==(const ValueIdentity& other) const {
        return hive == other.hive && key == other.key && valueName == other.valueName;
    }
};

struct ValueIdentityHash {
    std::size_t operator()(const ValueIdentity& value) const {
        const std::hash<std::string> hash;
        std::size_t seed = hash(value.hive);
        for (const std::string* part : {&value.key, &value.valueName})
            seed ^= hash(*part) + 0x9e3779b9u + (seed << 6) + (seed >> 2);
        return seed;
    }
};

}  // namespace

void RestoreSet::addFixedValues() {
    entries_.reserve(entries_.size() + kFixedValueCount);
    for (const FixedValue& row : kFixedValues)
        entries_.emplace_back(rootKey(row.hive), row.key, row.valueName);
}

void RestoreSet::add(HKEY root, const std::string& key, const std::string& valueName) {
    entries_.emplace_back(root, key, valueName);
}

bool RestoreSet::remove(const std::string& key) {
    for (auto entry = entries_.begin(); entry != entries_.end(); ++entry) {
        if (entry->root == HKEY_CLASSES_ROOT && entry->key == key && entry->valueName.empty()) {
            entries_.erase(entry);
            return true;
        }
    }
    return false;
}

void RestoreSet::capture() {
    std::string content;
    for (SavedValue& entry : entries_) {
        entry.whole = false;
        entry.bytes.clear();
        entry.type = REG_SZ;
        LONG error = readStringValue(entry.root, entry.key, entry.valueName, entry.text);
        if (error == ERROR_INVALID_DATA) {
            entry.type = REG_DWORD;
            error = readDwordValue(entry.root, entry.key, entry.valueName, entry.number);
        }
        entry.recorded = error == ERROR_SUCCESS;
        // The capture file has no room for other shapes; in memory nothing stops keeping them.
        if (!entry.recorded && !fileMode_ && error != ERROR_FILE_NOT_FOUND) {
            entry.whole = readRawValue(entry.root, entry.key, entry.valueName, entry.type, entry.bytes) == ERROR_SUCCESS;
            entry.recorded = entry.whole;
        }
        if (fileMode_ && entry.recorded) {
            content += formatCaptureLine(captureHiveText(entry.root), entry.key, entry.valueName, entry.type,
                                         entry.number, entry.text);
            content += '\n';
        }
    }
    if (fileMode_)
        writeCaptureFile(encipherCaptureContent(content));
}

void RestoreSet::load() {
    std::string bytes;
    if (!takeCaptureFile(bytes) || bytes.empty())
        return;
    // Of entries that are the same value, the first takes the line. Looking it up in an index
    // keeps a load linear in the number of values; searching the list for each line was not.
    std::unordered_map<ValueIdentity, SavedValue*, ValueIdentityHash> firstEntry;
    firstEntry.reserve(entries_.size());
    for (SavedValue& entry : entries_)
        firstEntry.emplace(ValueIdentity{captureHiveText(entry.root), entry.key, entry.valueName}, &entry);
    for (CaptureLine& line : parseCaptureText(captureTextOf(decipherCaptureContent(bytes)))) {
        const auto found = firstEntry.find(ValueIdentity{std::move(line.hive), std::move(line.key),
                                                         std::move(line.valueName)});
        if (found == firstEntry.end())
            continue;
        SavedValue& entry = *found->second;
        entry.recorded = true;
        entry.type = line.type == kCapturedTextType ? REG_SZ : REG_DWORD;
        if (entry.type == REG_SZ)
            entry.text = std::move(line.text);
        else
            entry.number = line.number;
    }
}

void RestoreSet::restoreAll() {
    for (const SavedValue& entry : entries_) {
        if (!entry.recorded)
            continue;
        if (entry.whole)
            writeRawValue(entry.root, entry.key, entry.valueName, entry.type, entry.bytes);
        else if (entry.type == REG_SZ)
            writeStringValue(entry.root, entry.key, entry.valueName, entry.text, true);
        else if (entry.type == REG_DWORD)
            writeDwordValue(entry.root, entry.key, entry.valueName, entry.number);
    }
}

void captureToFile(ILog* log, HWND window) {
    log->WriteLine("-capture");
    RestoreSet set(true);
    set.addFixedValues();
    set.capture();
}

void restoreFromFile(ILog* log, HWND window) {
    log->WriteLine("-restore");
    RestoreSet set(true);
    set.addFixedValues();
    set.load();
    set.restoreAll();
    while (isAccessRunning())
        MessageBoxA(window, "Please close down Access and then click OK to continue.", "MSAccess is running", MB_OK);
}

bool isAccessRunning() {
    DWORD processes[1024];
    DWORD bytesReturned = 0;
    if (!EnumProcesses(processes, sizeof(processes), &bytesReturned))
        return false;
    const DWORD count = bytesReturned / sizeof(DWORD);
    for (DWORD i = 0; i < count; ++i) {
        if (processes[i] == 0)
            continue;
        char name[MAX_PATH] = "<unknown>";
        {
            UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processes[i]));
            HMODULE module = nullptr;  // borrowed from the other process: nothing to free
            DWORD needed = 0;
            if (process && EnumProcessModules(process.get(), &module, sizeof(module), &needed))
                GetModuleBaseNameA(process.get(), module, name, sizeof(name));
        }
        if (std::strcmp(name, "MSACCESS.EXE") == 0)
            return true;
    }
    return false;
}
