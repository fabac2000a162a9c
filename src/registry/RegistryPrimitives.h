#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "registry/StoredValue.h"

// Unlogged registry primitives: open one key, read or write one value, return the
// Windows error code (0 = success). The capture and restore set uses them silently.

// REG_SZ or REG_EXPAND_SZ (unexpanded) up to 4095 characters; ERROR_INVALID_DATA for
// another type or data without its terminating NUL. `text` (and `type`, when given) are
// assigned only on success.
// view: 0 for the process's own registry view, or KEY_WOW64_64KEY / KEY_WOW64_32KEY.
LONG readStringValue(HKEY root, const std::string& subkey, const std::string& valueName, std::string& text,
                     REGSAM view = 0, DWORD* type = nullptr);
// The same for text of any length: the size is asked first. What the launch itself reads (a
// stored command line, a path) is used whole; the bounded read above is what the capture file holds.
LONG readWholeStringValue(HKEY root, const std::string& subkey, const std::string& valueName, std::string& text,
                          REGSAM view = 0);
LONG readDwordValue(HKEY root, const std::string& subkey, const std::string& valueName, DWORD& number, REGSAM view = 0);
// create false: the key must exist; the open's error is returned when it does not.
LONG writeStringValue(HKEY root, const std::string& subkey, const std::string& valueName, const std::string& text,
                      bool create, REGSAM view = 0);
LONG writeDwordValue(HKEY root, const std::string& subkey, const std::string& valueName, DWORD number, REGSAM view = 0);
// Any value as stored: its type and all its bytes, whatever their size.
LONG readRawValue(HKEY root, const std::string& subkey, const std::string& valueName, DWORD& type, std::string& bytes,
                  REGSAM view = 0);
// The same as a stored value: absent when it cannot be read.
StoredValue readStoredValue(HKEY root, const std::string& subkey, const std::string& valueName, REGSAM view = 0);
// Creates the key when missing and stores exactly these bytes with this type.
LONG writeRawValue(HKEY root, const std::string& subkey, const std::string& valueName, DWORD type,
                   const std::string& bytes, REGSAM view = 0);
// The value at index 0; `dataSize` is the buffer size on entry and the data size on return.
LONG readFirstValue(HKEY root, const std::string& subkey, std::string& name, DWORD& type, BYTE* data, DWORD& dataSize,
                    REGSAM view = 0);
// Opens HKEY_CURRENT_USER\subkey, creating it when missing.
LONG ensureUserKey(const std::string& subkey);
// Deletes the key and everything below it, depth-first.
LONG deleteKeyTree(HKEY root, const std::string& subkey, REGSAM view = 0);
// Whether this user may write a value of the key, without writing anything: ERROR_SUCCESS, or
// the error the write would meet (ERROR_ACCESS_DENIED). With `create` a missing key is made by the
// write, so the nearest key above it that exists must let this user make keys in it.
LONG writeAccess(HKEY root, const std::string& subkey, bool create, REGSAM view = 0);
// True when the key exists (and can be read).
bool keyPresent(HKEY root, const std::string& subkey, REGSAM view = 0);
// The names of the key's direct subkeys in enumeration order; the open's or the enumeration's
// error when either fails (names then holds those read before).
LONG readSubkeyNames(HKEY root, const std::string& subkey, std::vector<std::string>& names, REGSAM view = 0);
