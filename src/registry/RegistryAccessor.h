#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "log/ILog.h"

// The logged registry operations: one log line per request, then the primitive.
// Holds no keys between calls; copied and embedded by value.
class RegistryAccessor {
public:
    explicit RegistryAccessor(ILog* log) : log_(log) {}

    static std::string hiveName(HKEY root);

    // view: 0 for the process's own registry view, or KEY_WOW64_64KEY / KEY_WOW64_32KEY.
    std::string getString(HKEY root, const std::string& subkey, const std::string& valueName, LONG* error = nullptr,
                          REGSAM view = 0) const;
    LONG setString(HKEY root, const std::string& subkey, const std::string& valueName, const std::string& value,
                   bool create) const;
    // Always under HKEY_CURRENT_USER; the number is meaningful only when the error is 0.
    DWORD getDword(const std::string& subkey, const std::string& valueName, LONG* error = nullptr) const;
    LONG setDword(HKEY root, const std::string& subkey, const std::string& valueName, DWORD value) const;
    // Subkey names of the 64-bit view in enumeration order; throws std::runtime_error on failure.
    std::shared_ptr<std::vector<std::string>> getSubkeys(HKEY root, const std::string& subkey) const;
    bool getFirstStringValue(HKEY root, const std::string& subkey, std::string& name, std::string& value,
                             REGSAM view = 0) const;
    // Always under HKEY_CLASSES_ROOT; a missing key is no error.
    void deleteKey(const std::string& subkey) const;
    bool registerTypeLibrary(const std::string& path) const;

    ILog* log() const { return log_; }

private:
    ILog* log_;
};
