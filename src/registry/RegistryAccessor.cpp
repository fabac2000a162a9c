#include "registry/RegistryAccessor.h"

#include <oleauto.h>

#include <stdexcept>

#include "base/SystemErrorText.h"
#include "base/UniqueHandle.h"
#include "registry/RegistryPrimitives.h"
#include "registry/RegistryRoot.h"
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
    LONG result = readWholeStringValue(root, subkey, valueName, text, effectiveView(root, subkey, view));
    if (error)
        *error = result;
    return result == ERROR_SUCCESS ? text : std::string();
}

LONG RegistryAccessor::setString(HKEY root, const std::string& subkey, const std::string& valueName,
                                 const std::string& value, bool create, REGSAM view) const {
    if (log_->IsEnabled())
        log_->WriteLine("Set string: " + quotedValue(root, subkey, valueName) + " -> '" + value + "'");
    return writeStringValue(root, subkey, valueName, value, create, effectiveView(root, subkey, view));
}

DWORD RegistryAccessor::getDword(const std::string& subkey, const std::string& valueName, LONG* error) const {
    if (log_->IsEnabled())
        log_->WriteLine("Get dword: " + quotedValue(HKEY_CURRENT_USER, subkey, valueName));
    DWORD number = 0;
    LONG result = readDwordValue(HKEY_CURRENT_USER, subkey, valueName, number, viewOf(HKEY_CURRENT_USER, subkey));
    if (error)
        *error = result;
    return number;
}

LONG RegistryAccessor::setDword(HKEY root, const std::string& subkey, const std::string& valueName, DWORD value) const {
    if (log_->IsEnabled())
        log_->WriteLine("Set dword: " + quotedValue(root, subkey, valueName) + " -> '" +
                        std::to_string(static_cast<unsigned long>(value)) + "'");
    return writeDwordValue(root, subkey, valueName, value, viewOf(root, subkey));
}

bool RegistryAccessor::keyExists(HKEY root, const std::string& subkey, REGSAM view) const {
    return ::keyPresent(root, subkey, effectiveView(root, subkey, view));
}

std::shared_ptr<std::vector<std::string>> RegistryAccessor::getSubkeys(HKEY root, const std::string& subkey) const {
    if (log_->IsEnabled())
        log_->WriteLine("Get subkeys: " + quotedPath(root, subkey));
    UniqueKey key;
    // A 32-bit process, yet the callers want what the 64-bit system has registered.
    LONG error = RegOpenKeyExA(root, subkey.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, key.put());
    if (error != ERROR_SUCCESS) {
        log_->WriteLine("Couldn't open key:" + quotedPath(root, subkey));
        throw std::runtime_error("Couldn't open registry key: '" + subkey + "' -> " + systemErrorText(error));
    }
    auto names = std::make_shared<std::vector<std::string>>();
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
    deleteKeyTree(HKEY_CLASSES_ROOT, subkey, viewOf(HKEY_CLASSES_ROOT, subkey));
}

bool RegistryAccessor::registerTypeLibrary(const std::string& path) const {
    log_->WriteLine("Registering dll:" + path);
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
