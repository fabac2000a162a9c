#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "capture/SavedValue.h"
#include "log/ILog.h"

// An ordered list of registry values recorded before the launch and written back after it.
// In file mode the record goes through the enciphered capture file in the temporary folder.
class RestoreSet {
public:
    explicit RestoreSet(bool fileMode) : fileMode_(fileMode) {}

    bool fileMode() const { return fileMode_; }
    const std::vector<SavedValue>& entries() const { return entries_; }

    void addFixedValues();
    void add(HKEY root, const std::string& key, const std::string& valueName);
    // Takes out the first HKEY_CLASSES_ROOT entry of that key's default value.
    bool remove(const std::string& key);
    void capture();
    void load();
    void restoreAll();

private:
    bool fileMode_;
    std::vector<SavedValue> entries_;
};

// -CAPTURE and -RESTORE.
void captureToFile(ILog* log, HWND window);
void restoreFromFile(ILog* log, HWND window);
bool isAccessRunning();
