#include "registry/RegistryAccessor.h"

#include <oleauto.h>

#include <cstring>
#include <stdexcept>

#include "base/SystemErrorText.h"
#include "base/UniqueHandle.h"
#include "registry/RegistryPlan.h"
#include "registry/RegistryPrimitives.h"
#include "registry/RegistryRoot.h"
#include "registry/TypeLibrary64.h"
#include "registry/Wow64Redirection.h"

namespace {

const DWORD kSubkeyNameBufferSize = 1024;
const DWORD kFirstValueBufferSize = 1024;
const int kWidePathBufferSize = 2048;

std::string quotedPath(HKEY root, const std::string& subkey) {
    return RegistryAccessor::hiveName(root) + " - '" + subkey + "'";
}

std::string quotedValue(HKEY root, const std::string& subkey, const std::string& valueName) {
    return quotedPath(root, subkey) + " / '" + valueName + "'";
}

StoredValue textValue(const std::string& text) {
    return StoredValue{true, REG_SZ, std::string(text.c_str(), text.size() + 1)};
}

StoredValue numberValue(DWORD number) {
    return StoredValue{true, REG_DWORD, std::string(reinterpret_cast<const char*>(&number), sizeof(number))};
}

// What a read of a planned value gives, as the primitives would give it.
LONG plannedText(const StoredValue& value, std::string& text) {
    if (!value.present)
        return ERROR_FILE_NOT_FOUND;
    if (value.type != REG_SZ && value.type != REG_EXPAND_SZ)
        return ERROR_INVALID_DATA;
    text.assign(value.bytes.c_str(), strnlen(value.bytes.c_str(), value.bytes.size()));
    return ERROR_SUCCESS;
}

LONG plannedNumber(const StoredValue& value, DWORD& number) {
    if (!value.present)
        return ERROR_FILE_NOT_FOUND;
    if (value.type != REG_DWORD || value.bytes.size() != sizeof(number))
        return ERROR_INVALID_DATA;
    memcpy(&number, value.bytes.data(), sizeof(number));
    return ERROR_SUCCESS;
}

}  // namespace

std::string RegistryAccessor::hiveName(HKEY root) {
    Hive hive;
    return hiveOf(root, hive) ? hiveText(hive) : "Other";
}

REGSAM RegistryAccessor::viewOf(HKEY root, const std::string& subkey) const {
    Hive hive;
    return redirectedTo64_ && hiveOf(root, hive) && isRedirectedByWow64(hive, subkey) ? KEY_WOW64_64KEY : 0;
}

std::string RegistryAccessor::getString(HKEY root, const std::string& subkey, const std::string& valueName, LONG* error,
                                        REGSAM view) const {
    if (log_->IsEnabled())
        log_->WriteLine("Get string: " + quotedValue(root, subkey, valueName));
    std::string text;
    const REGSAM effective = effectiveView(root, subkey, view);
    const auto planned = plan_ ? plan_->value(root, subkey, valueName, effective) : std::nullopt;
    LONG result =
        planned ? plannedText(*planned, text) : readWholeStringValue(root, subkey, valueName, text, effective);
    if (error)
        *error = result;
    return result == ERROR_SUCCESS ? text : std::string();
}

LONG RegistryAccessor::setString(HKEY root, const std::string& subkey, const std::string& valueName,
                                 const std::string& value, bool create, REGSAM view) const {
    if (log_->IsEnabled())
        log_->WriteLine("Set string: " + quotedValue(root, subkey, valueName) + " -> '" + value + "'");
    const REGSAM effective = effectiveView(root, subkey, view);
    if (plan_)
        return planWrite(root, subkey, valueName, textValue(value), create, effective);
    return writeStringValue(root, subkey, valueName, value, create, effective);
}

DWORD RegistryAccessor::getDword(const std::string& subkey, const std::string& valueName, LONG* error) const {
    if (log_->IsEnabled())
        log_->WriteLine("Get dword: " + quotedValue(HKEY_CURRENT_USER, subkey, valueName));
    DWORD number = 0;
    const REGSAM view = viewOf(HKEY_CURRENT_USER, subkey);
    const auto planned = plan_ ? plan_->value(HKEY_CURRENT_USER, subkey, valueName, view) : std::nullopt;
    LONG result = planned ? plannedNumber(*planned, number)
                          : readDwordValue(HKEY_CURRENT_USER, subkey, valueName, number, view);
    if (error)
        *error = result;
    return number;
}

LONG RegistryAccessor::setDword(HKEY root, const std::string& subkey, const std::string& valueName, DWORD value) const {
    if (log_->IsEnabled())
        log_->WriteLine("Set dword: " + quotedValue(root, subkey, valueName) + " -> '" +
                        std::to_string(static_cast<unsigned long>(value)) + "'");
    if (plan_)
        return planWrite(root, subkey, valueName, numberValue(value), true, viewOf(root, subkey));
    return writeDwordValue(root, subkey, valueName, value, viewOf(root, subkey));
}

bool RegistryAccessor::keyExists(HKEY root, const std::string& subkey, REGSAM view) const {
    return keyThere(root, subkey, effectiveView(root, subkey, view));
}

bool RegistryAccessor::keyThere(HKEY root, const std::string& subkey, REGSAM view) const {
    const auto planned = plan_ ? plan_->keyPresent(root, subkey, view) : std::nullopt;
    return planned ? *planned : ::keyPresent(root, subkey, view);
}

LONG RegistryAccessor::planWrite(HKEY root, const std::string& subkey, const std::string& valueName,
                                 const StoredValue& value, bool create, REGSAM view) const {
    // A write that must find its key fails where the key is not there, and changes nothing.
    if (!create && !keyThere(root, subkey, view))
        return ERROR_FILE_NOT_FOUND;
    const LONG access = ::writeAccess(root, subkey, create, view);
    plan_->setValue(root, subkey, valueName, view, value, access != ERROR_SUCCESS);
    return access;
}

LONG RegistryAccessor::ensureUserKey(const std::string& subkey) const {
    if (!plan_)
        return ::ensureUserKey(subkey);
    if (!keyThere(HKEY_CURRENT_USER, subkey, 0))
        plan_->makeKey(HKEY_CURRENT_USER, subkey, 0);
    return ERROR_SUCCESS;
}

LONG RegistryAccessor::writeAccess(HKEY root, const std::string& subkey, bool create, REGSAM view) const {
    return ::writeAccess(root, subkey, create, effectiveView(root, subkey, view));
}

std::shared_ptr<std::vector<std::string>> RegistryAccessor::getSubkeys(HKEY root, const std::string& subkey) const {
    if (log_->IsEnabled())
        log_->WriteLine("Get subkeys: " + quotedPath(root, subkey));
    auto names = std::make_shared<std::vector<std::string>>();
    // A key the dry run made has nothing below it yet.
    if (plan_ && plan_->keyPresent(root, subkey, KEY_WOW64_64KEY) == true && !::keyPresent(root, subkey, KEY_WOW64_64KEY))
        return names;
    UniqueKey key;
    // A 32-bit process, yet the callers want what the 64-bit system has registered.
    LONG error = RegOpenKeyExA(root, subkey.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, key.put());
    if (error != ERROR_SUCCESS) {
        log_->WriteLine("Couldn't open key:" + quotedPath(root, subkey));
        throw std::runtime_error("Couldn't open registry key: '" + subkey + "' -> " + systemErrorText(error));
    }
    for (DWORD index = 0;; ++index) {
        char name[kSubkeyNameBufferSize];
        DWORD nameSize = kSubkeyNameBufferSize;
        FILETIME lastWrite;
        error = RegEnumKeyExA(key.get(), index, name, &nameSize, nullptr, nullptr, nullptr, &lastWrite);
        if (error == ERROR_NO_MORE_ITEMS)
            return names;
        if (error != ERROR_SUCCESS)
            throw std::runtime_error("Error while enumerating keys: " + systemErrorText(error));
        names->emplace_back(name, nameSize);
    }
}

bool RegistryAccessor::getFirstStringValue(HKEY root, const std::string& subkey, std::string& name, std::string& value,
                                           REGSAM view) const {
    if (log_->IsEnabled())
        log_->WriteLine("Trying to get first string value from : " + quotedPath(root, subkey));
    BYTE data[kFirstValueBufferSize] = {};
    DWORD dataSize = kFirstValueBufferSize;
    DWORD type = 0;
    std::string foundName;
    LONG error = readFirstValue(root, subkey, foundName, type, data, dataSize, effectiveView(root, subkey, view));
    if (error != ERROR_SUCCESS || type != REG_SZ) {
        log_->WriteLine("No value found or it wasn't a string");
        return false;
    }
    const char* text = reinterpret_cast<const char*>(data);
    name = foundName;
    value.assign(text, strnlen(text, dataSize));
    if (log_->IsEnabled())
        log_->WriteLine("Found: '" + name + "' -> '" + value + "'");
    return true;
}

void RegistryAccessor::deleteKey(const std::string& subkey) const {
    if (log_->IsEnabled())
        log_->WriteLine("Trying to delete key: " + quotedPath(HKEY_CLASSES_ROOT, subkey));
    const REGSAM view = viewOf(HKEY_CLASSES_ROOT, subkey);
    if (!plan_) {
        deleteKeyTree(HKEY_CLASSES_ROOT, subkey, view);
    } else if (keyThere(HKEY_CLASSES_ROOT, subkey, view)) {
        plan_->removeKey(HKEY_CLASSES_ROOT, subkey, view,
                         ::writeAccess(HKEY_CLASSES_ROOT, subkey, false, view) != ERROR_SUCCESS);
    }
}

bool RegistryAccessor::registerTypeLibrary(const std::string& path) const {
    log_->WriteLine("Registering dll:" + path);
    if (plan_) {
        // The registration's own record of the file stands for all it writes: the value read back.
        std::string key;
        return typeLibraryPathKey(path, "win32", key) &&
               planWrite(HKEY_CLASSES_ROOT, key, "", textValue(path), true, viewOf(HKEY_CLASSES_ROOT, key)) ==
                   ERROR_SUCCESS;
    }
    WCHAR widePath[kWidePathBufferSize] = {};
    // A path too long for the buffer would be cut off, without its terminating NUL.
    if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, kWidePathBufferSize) == 0)
        return false;
    UniqueCom<ITypeLib> library;
    HRESULT result = LoadTypeLib(widePath, library.put());
    if (SUCCEEDED(result))
        result = RegisterTypeLib(library.get(), widePath, nullptr);
    return SUCCEEDED(result);
}
