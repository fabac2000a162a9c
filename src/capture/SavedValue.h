#pragma once
#include <windows.h>

#include <string>

// One registry value to record and put back.
struct SavedValue {
    SavedValue(HKEY root, std::string key = std::string(), std::string valueName = std::string())
        : root(root), key(std::move(key)), valueName(std::move(valueName)) {}

    HKEY root;
    std::string key;
    std::string valueName;  // empty: the key's default value
    bool recorded = false;  // only recorded entries are written back
    DWORD type = 0;         // REG_SZ or REG_DWORD once recorded
    DWORD number = 0;
    std::string text;
    // A value the launcher cannot take as text or number (binary, multi-string, text of 4096
    // bytes and more or without its NUL) is recorded whole, so that a launch that writes it
    // cannot lose it: `type` is then its own type and `bytes` its data.
    bool whole = false;
    std::string bytes;
};
