#include "capture/RestoreSet.h"

#include <psapi.h>

#include <cstring>
#include <functional>
#include <unordered_map>
#include <utility>

#include "base/AsciiCase.h"
#include "base/UniqueHandle.h"
#include "base/Wow64System.h"
#include "capture/CaptureCipher.h"
#include "capture/CaptureFile.h"
#include "capture/CaptureFileCheck.h"
#include "capture/CaptureFileFormat.h"
#include "capture/CheckedRestore.h"
#include "capture/RecordedTypes.h"
#include "registry/FixedValueTable.h"
#include "registry/RegistryPrimitives.h"
#include "registry/RegistryRoot.h"

namespace {

std::string captureHiveText(HKEY root, RegistryView view) {
    Hive hive;
    return capturedHiveText(hiveOf(root, hive) ? hiveText(hive) : "", view == RegistryView::View64);
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

// "HKEY_CLASSES_ROOT\\.mdb, value \"Content Type\"", or "..., default value".
std::string describeValue(const SavedValue& entry) {
    return captureHiveText(entry.root, RegistryView::Own) + "\\" + entry.key +
           (entry.valueName.empty() ? ", default value" : ", value \"" + entry.valueName + "\"") +
           registryViewNote(entry.view);
}

void logLines(ILog* log, const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        log->WriteLine(line);
}

// A maintenance run that failed says so in the log and in a box before it ends.
void tellFailure(ILog* log, HWND window, const std::string& sentence) {
    log->WriteLine(sentence);
    MessageBoxA(window, sentence.c_str(), "Mallowbrook", MB_OK | MB_ICONWARNING);
}

}  // namespace

void RestoreSet::addFixedValues() {
    entries_.reserve(entries_.size() + kFixedValueCount);
    for (const FixedValue& row : kFixedValues)
        entries_.emplace_back(rootKey(row.hive), row.key, row.valueName);
}

void RestoreSet::addView64Values() {
    if (!isWow64System())
        return;
    for (const ViewedValue& value : view64CaptureValues())
        add(rootKey(value.hive), value.key, value.valueName, value.view);
}

void RestoreSet::add(HKEY root, const std::string& key, const std::string& valueName, RegistryView view) {
    entries_.emplace_back(root, key, valueName).view = view;
}

void RestoreSet::addNumber(HKEY root, const std::string& key, const std::string& valueName, DWORD whenAbsent,
                           RegistryView view) {
    SavedValue& value = entries_.emplace_back(root, key, valueName);
    value.view = view;
    value.numberWhenAbsent = true;
    value.absentNumber = whenAbsent;
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

bool RestoreSet::capture() {
    fileProblem_.clear();
    fileNotes_.clear();
    std::string body;
    std::size_t count = 0;
    for (SavedValue& entry : entries_) {
        entry.whole = false;
        entry.bytes.clear();
        entry.type = REG_SZ;
        const REGSAM view = viewFlag(entry.view);
        LONG error = readStringValue(entry.root, entry.key, entry.valueName, entry.text, view, &entry.type);
        if (error == ERROR_INVALID_DATA) {
            entry.type = REG_DWORD;
            error = readDwordValue(entry.root, entry.key, entry.valueName, entry.number, view);
        }
        if (error == ERROR_FILE_NOT_FOUND && entry.numberWhenAbsent) {
            entry.type = REG_DWORD;
            entry.number = entry.absentNumber;
            error = ERROR_SUCCESS;
        }
        entry.recorded = error == ERROR_SUCCESS;
        // The capture file has no room for other shapes; in memory nothing stops keeping them.
        if (!entry.recorded && !fileMode_ && error != ERROR_FILE_NOT_FOUND) {
            entry.whole =
                readRawValue(entry.root, entry.key, entry.valueName, entry.type, entry.bytes, view) == ERROR_SUCCESS &&
                isRecordedType(entry.type);
            entry.recorded = entry.whole;
        }
        if (fileMode_ && entry.recorded) {
            CaptureLine value;
            value.hive = captureHiveText(entry.root, entry.view);
            value.key = entry.key;
            value.valueName = entry.valueName;
            value.type = capturedTypeOf(entry.type);
            value.number = entry.number;
            value.text = entry.text;
            const std::string line =
                formatCaptureLine(value.hive, value.key, value.valueName, value.type, value.number, value.text);
            // A line that would read back as something else must not reach the file.
            if (!captureLineReadsBack(line, value)) {
                fileNotes_.push_back("Not recorded in the capture file (its text would not read back whole): " +
                                     describeValue(entry));
                continue;
            }
            body += line;
            body += '\n';
            ++count;
        }
    }
    if (!fileMode_)
        return true;
    const unsigned long error = writeCaptureFile(encipherCaptureContent(sealCaptureContent(body, count)));
    if (error != 0)
        fileProblem_ = captureFileErrorText(error);
    return error == 0;
}

bool RestoreSet::load() {
    fileProblem_.clear();
    fileNotes_.clear();
    std::string bytes;
    const unsigned long error = readCaptureFile(bytes);
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return true;
    if (error != 0) {
        fileProblem_ = "it could not be read (" + captureFileErrorText(error) + ")";
        return false;
    }
    CaptureFileContent content = decodeCaptureFile(bytes);
    if (!content.usable) {
        fileProblem_ = content.refusal;
        return false;
    }
    for (std::size_t line : content.droppedLines)
        fileNotes_.push_back("Capture file line " + std::to_string(line) + " is damaged and was left out");
    // Of entries that are the same value, the first takes the line. Looking it up in an index
    // keeps a load linear in the number of values; searching the list for each line was not.
    std::unordered_map<ValueIdentity, SavedValue*, ValueIdentityHash> firstEntry;
    firstEntry.reserve(entries_.size());
    for (SavedValue& entry : entries_)
        firstEntry.emplace(ValueIdentity{captureHiveText(entry.root, entry.view), entry.key, entry.valueName}, &entry);
    for (CaptureLine& line : content.values) {
        const auto found =
            firstEntry.find(ValueIdentity{std::move(line.hive), std::move(line.key), std::move(line.valueName)});
        if (found == firstEntry.end())
            continue;
        SavedValue& entry = *found->second;
        entry.recorded = true;
        entry.type = line.type;  // the capture file's type numbers are the registry's
        if (isCapturedText(line.type))
            entry.text = std::move(line.text);
        else
            entry.number = line.number;
    }
    return true;
}

void RestoreSet::restoreAll() {
    for (const SavedValue& entry : entries_)
        if (entry.recorded)
            writeBack(entry);
}

bool captureToFile(ILog* log, HWND window) {
    log->WriteLine("-capture");
    RestoreSet set(true);
    set.addFixedValues();
    set.addView64Values();
    const bool written = set.capture();
    logLines(log, set.fileNotes());
    if (!written)
        tellFailure(log, window,
                    "The capture file " + captureFilePath() + " could not be written (" + set.fileProblem() +
                        "), so nothing was recorded and any earlier capture file is unchanged.");
    return written;
}

bool restoreFromFile(ILog* log, HWND window) {
    log->WriteLine("-restore");
    RestoreSet set(true);
    set.addFixedValues();
    set.addView64Values();
    const bool loaded = set.load();
    logLines(log, set.fileNotes());
    if (!loaded) {
        tellFailure(log, window,
                    "The capture file " + captureFilePath() + " cannot be used because " + set.fileProblem() +
                        ", so nothing was restored and the file was kept.");
        return false;
    }
    // The file is the only copy: it goes only once every value is back.
    const std::vector<const SavedValue*> failed = restoreAndVerify(set.entries());
    if (failed.empty()) {
        const unsigned long error = deleteCaptureFile();
        if (error != 0 && error != ERROR_FILE_NOT_FOUND && log->IsEnabled())
            log->WriteLine("The capture file could not be deleted: " + captureFileErrorText(error));
    } else {
        if (log->IsEnabled())
            for (const SavedValue* entry : failed)
                log->WriteLine("Could not put back " + describeValue(*entry));
        tellFailure(log, window,
                    std::to_string(failed.size()) + " of the recorded registry values could not be put back, so the " +
                        "capture file " + captureFilePath() + " was kept for another -RESTORE.");
    }
    while (isAccessRunning())
        MessageBoxA(window, "Please close down Access and then click OK to continue.", "MSAccess is running", MB_OK);
    return failed.empty();
}

namespace {

// The file name of a process's program where its modules cannot be listed, as a 64-bit Access's
// cannot from this 32-bit program. QueryFullProcessImageNameA is there from Vista on.
void processImageName(HANDLE process, char* name, DWORD size) {
    using QueryImageNameFunction = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");  // loaded with the program: not ours to free
    auto query = kernel ? reinterpret_cast<QueryImageNameFunction>(GetProcAddress(kernel, "QueryFullProcessImageNameA"))
                        : nullptr;
    char path[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (!query || !query(process, 0, path, &length))
        return;
    const char* file = std::strrchr(path, '\\');
    file = file ? file + 1 : path;
    if (std::strlen(file) < size)
        std::strcpy(name, file);
}

}  // namespace

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
            else if (process)
                processImageName(process.get(), name, sizeof(name));
        }
        // Windows file names ignore case; so does the question whether Access runs.
        if (equalsIgnoringAsciiCase(name, "MSACCESS.EXE"))
            return true;
    }
    return false;
}
