#include "registry/RestoreSet.h"

#include <psapi.h>

#include <cstring>

#include "app/UniqueHandle.h"
#include "registry/CaptureCipher.h"
#include "registry/CaptureFile.h"
#include "registry/CaptureFileFormat.h"
#include "registry/FixedValueTable.h"
#include "registry/RegistryPrimitives.h"
#include "registry/RegistryRoot.h"

namespace {

std::string captureHiveText(HKEY root) {
    Hive hive;
    return hiveOf(root, hive) ? hiveText(hive) : "";
}

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
        entry.type = REG_SZ;
        LONG error = readStringValue(entry.root, entry.key, entry.valueName, entry.text);
        if (error == ERROR_INVALID_DATA) {
            entry.type = REG_DWORD;
            error = readDwordValue(entry.root, entry.key, entry.valueName, entry.number);
        }
        entry.recorded = error == ERROR_SUCCESS;
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
    for (const CaptureLine& line : parseCaptureText(captureTextOf(decipherCaptureContent(bytes)))) {
        for (SavedValue& entry : entries_) {
            // Of entries that are the same value, the first takes the line.
            if (captureHiveText(entry.root) != line.hive || entry.key != line.key || entry.valueName != line.valueName)
                continue;
            entry.recorded = true;
            entry.type = line.type == kCapturedTextType ? REG_SZ : REG_DWORD;
            if (entry.type == REG_SZ)
                entry.text = line.text;
            else
                entry.number = line.number;
            break;
        }
    }
}

void RestoreSet::restoreAll() {
    for (const SavedValue& entry : entries_) {
        if (!entry.recorded)
            continue;
        if (entry.type == REG_SZ)
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
