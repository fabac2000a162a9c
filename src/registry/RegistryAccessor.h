#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "log/ILog.h"

class RegistryPlan;
struct StoredValue;

// The logged registry operations: one log line per request, then the primitive.
// Holds no keys between calls; copied and embedded by value.
class RegistryAccessor {
public:
    explicit RegistryAccessor(ILog* log) : log_(log) {}

    static std::string hiveName(HKEY root);

    // For a 64-bit Access: keys that WOW64 keeps apart per view are then read and written in the
    // 64-bit view, which is the one that Access reads; all other keys are the same in both views.
    void useView64ForRedirectedKeys(bool use) { redirectedTo64_ = use; }
    bool usesView64ForRedirectedKeys() const { return redirectedTo64_; }
    // The view an operation on the key uses when it is given none: 0 (the process's own) or
    // KEY_WOW64_64KEY.
    REGSAM viewOf(HKEY root, const std::string& subkey) const;

    // view: 0 for the view viewOf names, or KEY_WOW64_64KEY / KEY_WOW64_32KEY. Text of any length.
    std::string getString(HKEY root, const std::string& subkey, const std::string& valueName, LONG* error = nullptr,
                          REGSAM view = 0) const;
    LONG setString(HKEY root, const std::string& subkey, const std::string& valueName, const std::string& value,
                   bool create, REGSAM view = 0) const;
    // Always under HKEY_CURRENT_USER; the number is meaningful only when the error is 0.
    DWORD getDword(const std::string& subkey, const std::string& valueName, LONG* error = nullptr) const;
    LONG setDword(HKEY root, const std::string& subkey, const std::string& valueName, DWORD value) const;
    bool keyExists(HKEY root, const std::string& subkey, REGSAM view = 0) const;
    // Subkey names of the 64-bit view in enumeration order; throws std::runtime_error on failure.
    std::shared_ptr<std::vector<std::string>> getSubkeys(HKEY root, const std::string& subkey) const;
    bool getFirstStringValue(HKEY root, const std::string& subkey, std::string& name, std::string& value,
                             REGSAM view = 0) const;
    // Always under HKEY_CLASSES_ROOT; a missing key is no error.
    void deleteKey(const std::string& subkey) const;
    bool registerTypeLibrary(const std::string& path) const;

    // HKEY_CURRENT_USER\subkey, made when missing.
    LONG ensureUserKey(const std::string& subkey) const;
    // Whether this user may write a value of the key, without writing: ERROR_SUCCESS or the
    // error the write would meet; with `create`, a missing key would be made by the write.
    LONG writeAccess(HKEY root, const std::string& subkey, bool create, REGSAM view = 0) const;

    // A dry run: while a plan is given, writes are recorded in it instead of being made (each
    // returning what the write would return) and reads see what the plan has written so far.
    // The plan must outlive its use; null ends the dry run.
    void planInto(RegistryPlan* plan) { plan_ = plan; }
    bool planning() const { return plan_ != nullptr; }

    ILog* log() const { return log_; }

private:
    REGSAM effectiveView(HKEY root, const std::string& subkey, REGSAM view) const {
        return view != 0 ? view : viewOf(root, subkey);
    }

    LONG planWrite(HKEY root, const std::string& subkey, const std::string& valueName, const StoredValue& value,
                   bool create, REGSAM view) const;
    bool keyThere(HKEY root, const std::string& subkey, REGSAM view) const;

    ILog* log_;
    bool redirectedTo64_ = false;
    RegistryPlan* plan_ = nullptr;
};
