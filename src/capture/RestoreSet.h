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
    // On a 64-bit system, the fixed rows under the keys WOW64 keeps apart again in the 64-bit
    // view, and the "win64" object library path: what a capture file holds besides the table.
    void addView64Values();
    void add(HKEY root, const std::string& key, const std::string& valueName, RegistryView view = RegistryView::Own);
    // A value recorded as the number `whenAbsent` where it does not exist.
    void addNumber(HKEY root, const std::string& key, const std::string& valueName, DWORD whenAbsent,
                   RegistryView view = RegistryView::Own);
    // Takes out the first HKEY_CLASSES_ROOT entry of that key's default value.
    bool remove(const std::string& key);
    // In file mode, capture writes the capture file and load reads it, leaving it in place.
    // Both return false when the file could not be written or cannot be used (nothing is then
    // loaded); fileProblem() says why, fileNotes() names values and lines that were left out.
    bool capture();
    bool load();
    void restoreAll();
    const std::string& fileProblem() const { return fileProblem_; }
    const std::vector<std::string>& fileNotes() const { return fileNotes_; }

private:
    bool fileMode_;
    std::vector<SavedValue> entries_;
    std::string fileProblem_;
    std::vector<std::string> fileNotes_;
};

// -CAPTURE and -RESTORE; false when the run must end with a failure (the user has been told).
bool captureToFile(ILog* log, HWND window);
bool restoreFromFile(ILog* log, HWND window);
bool isAccessRunning();
