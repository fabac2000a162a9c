#pragma once
#include <windows.h>

#include <string>

#include "registry/RegistryView.h"

// One registry value to record and put back.
struct SavedValue {
    SavedValue(HKEY root, std::string key = std::string(), std::string valueName = std::string())
        : root(root), key(std::move(key)), valueName(std::move(valueName)) {}

    HKEY root;
    std::string key;
    std::string valueName;  // empty: the key's default value
    // Where it is read and written: a 64-bit Access's values under the keys WOW64 keeps apart
    // are those of the 64-bit view.
    RegistryView view = RegistryView::Own;
    bool recorded = false;  // only recorded entries are written back
    DWORD type = 0;         // REG_SZ, REG_EXPAND_SZ (in `text`) or REG_DWORD once recorded
    DWORD number = 0;
    std::string text;
    // A value the launcher cannot take as text or number (binary, multi-string, text of 4096
    // bytes and more or without its NUL) is recorded whole, so that a launch that writes it
    // cannot lose it: `type` is then its own type and `bytes` its data.
    bool whole = false;
    std::string bytes;
    // Recorded as this number when the value is absent, for a value the launch must not leave
    // as it sets it even where it had never been set (the 2003 macro security level).
    bool numberWhenAbsent = false;
    DWORD absentNumber = 0;
};

// The recorded value as the registry stores it once written back: its type and every byte. Every
// put-back (the launch's, the capture file's, the journal's) writes this form.
void storedForm(const SavedValue& value, DWORD& type, std::string& bytes);
// Writes a recorded value back in its stored form, creating the key when missing.
LONG writeBack(const SavedValue& value);
