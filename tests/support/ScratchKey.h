#pragma once
#include <windows.h>

#include <string>
#include <vector>

// A registry key that belongs to one test: removed with everything below it when the test
// starts and again when it ends. Values are written and read back with the raw Windows
// functions, so the code under test is checked against what the registry really holds.
class ScratchKey {
public:
    // view: 0 (the process's own view) or KEY_WOW64_64KEY.
    ScratchKey(HKEY root, std::string path, REGSAM view = 0);
    ~ScratchKey();
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    HKEY root() const { return root_; }
    const std::string& path() const { return path_; }
    // path + "\" + relative ("" gives the key itself).
    std::string sub(const std::string& relative) const;

    bool setRaw(const std::string& relative, const std::string& name, DWORD type, const void* data, DWORD size) const;
    bool setString(const std::string& relative, const std::string& name, const std::string& text) const;
    bool setDword(const std::string& relative, const std::string& name, DWORD number) const;
    bool createKey(const std::string& relative) const;

    // false when the value is missing; `data` holds exactly the stored bytes.
    bool getRaw(const std::string& relative, const std::string& name, DWORD& type, std::vector<BYTE>& data) const;
    bool exists(const std::string& relative) const;
    bool valueExists(const std::string& relative, const std::string& name) const;

private:
    HKEY root_;
    std::string path_;
    REGSAM view_;
};

// Removes a key and everything below it with the raw Windows functions.
void removeKeyTree(HKEY root, const std::string& path, REGSAM view = 0);
// Creates the key when needed and stores the bytes exactly as given.
bool writeRawValue(HKEY root, const std::string& path, const std::string& name, DWORD type, const void* data,
                   DWORD size, REGSAM view = 0);
