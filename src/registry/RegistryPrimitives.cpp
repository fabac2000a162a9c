#include "registry/RegistryPrimitives.h"

#include "base/UniqueHandle.h"

namespace {

const REGSAM kRead = KEY_READ;
const REGSAM kReadWrite = KEY_READ | KEY_WRITE;
const DWORD kStringBufferSize = 4096;
const DWORD kNameBufferSize = 1024;
const DWORD kSubkeyNameBufferSize = 256;

LONG openKey(HKEY root, const std::string& subkey, REGSAM access, UniqueKey& key) {
    return RegOpenKeyExA(root, subkey.c_str(), 0, access, key.put());
}

LONG createKey(HKEY root, const std::string& subkey, UniqueKey& key, REGSAM view = 0) {
    return RegCreateKeyExA(root, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kReadWrite | view, nullptr,
                           key.put(), nullptr);
}

using RegDeleteKeyExAFunction = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);

// Older systems lack RegDeleteKeyExA; it is looked up once and remembered for the process.
RegDeleteKeyExAFunction regDeleteKeyEx() {
    static const RegDeleteKeyExAFunction function = [] {
        HMODULE advapi = GetModuleHandleA("Advapi32.dll");  // loaded with the program: not ours to free
        return advapi ? reinterpret_cast<RegDeleteKeyExAFunction>(GetProcAddress(advapi, "RegDeleteKeyExA")) : nullptr;
    }();
    return function;
}

// String data as the registry holds it: REG_SZ or REG_EXPAND_SZ ending in its NUL, taken up to
// its first NUL.
LONG textOfStringData(DWORD type, const char* data, DWORD size, std::string& text) {
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return ERROR_INVALID_DATA;
    if (size != 0 && data[size - 1] != '\0')
        return ERROR_INVALID_DATA;
    text.assign(data, size == 0 ? 0 : strnlen(data, size));
    return ERROR_SUCCESS;
}

}  // namespace

LONG readStringValue(HKEY root, const std::string& subkey, const std::string& valueName, std::string& text, REGSAM view,
                     DWORD* foundType) {
    UniqueKey key;
    LONG error = openKey(root, subkey, kRead | view, key);
    if (error != ERROR_SUCCESS)
        return error;
    char buffer[kStringBufferSize];
    DWORD type = 0;
    DWORD size = sizeof(buffer);
    error = RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    if (error == ERROR_SUCCESS && size > sizeof(buffer))
        error = ERROR_INVALID_DATA;
    if (error == ERROR_SUCCESS)
        error = textOfStringData(type, buffer, size, text);
    if (error == ERROR_SUCCESS && foundType != nullptr)
        *foundType = type;
    return error;
}

LONG readWholeStringValue(HKEY root, const std::string& subkey, const std::string& valueName, std::string& text,
                          REGSAM view) {
    DWORD type = 0;
    std::string data;
    LONG error = readRawValue(root, subkey, valueName, type, data, view);
    if (error == ERROR_SUCCESS)
        error = textOfStringData(type, data.data(), static_cast<DWORD>(data.size()), text);
    return error;
}

LONG readDwordValue(HKEY root, const std::string& subkey, const std::string& valueName, DWORD& number, REGSAM view) {
    UniqueKey key;
    LONG error = openKey(root, subkey, kRead | view, key);
    if (error != ERROR_SUCCESS)
        return error;
    DWORD data = 0;
    DWORD type = 0;
    DWORD size = sizeof(data);
    error = RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    if (error != ERROR_SUCCESS)
        return error;
    // A REG_DWORD of fewer than four bytes is malformed; its missing bytes would be invented.
    if (type != REG_DWORD || size != sizeof(data))
        return ERROR_INVALID_DATA;
    number = data;
    return ERROR_SUCCESS;
}

LONG writeStringValue(HKEY root, const std::string& subkey, const std::string& valueName, const std::string& text,
                      bool create, REGSAM view) {
    UniqueKey key;
    LONG error = create ? createKey(root, subkey, key, view) : openKey(root, subkey, kReadWrite | view, key);
    if (error != ERROR_SUCCESS)
        return error;
    return RegSetValueExA(key.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1));
}

LONG writeDwordValue(HKEY root, const std::string& subkey, const std::string& valueName, DWORD number, REGSAM view) {
    UniqueKey key;
    LONG error = createKey(root, subkey, key, view);
    if (error != ERROR_SUCCESS)
        return error;
    return RegSetValueExA(key.get(), valueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                          sizeof(number));
}

LONG readRawValue(HKEY root, const std::string& subkey, const std::string& valueName, DWORD& type, std::string& bytes,
                  REGSAM view) {
    UniqueKey key;
    LONG error = openKey(root, subkey, kRead | view, key);
    if (error != ERROR_SUCCESS)
        return error;
    // The value may grow between asking its size and reading it; then ask again.
    for (;;) {
        DWORD size = 0;
        error = RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size);
        if (error != ERROR_SUCCESS)
            return error;
        std::string buffer(size, '\0');
        error = RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type,
                                 reinterpret_cast<BYTE*>(buffer.empty() ? nullptr : &buffer[0]), &size);
        if (error == ERROR_MORE_DATA)
            continue;
        if (error != ERROR_SUCCESS)
            return error;
        buffer.resize(size);
        bytes.swap(buffer);
        return ERROR_SUCCESS;
    }
}

StoredValue readStoredValue(HKEY root, const std::string& subkey, const std::string& valueName, REGSAM view) {
    StoredValue value;
    DWORD type = 0;
    value.present = readRawValue(root, subkey, valueName, type, value.bytes, view) == ERROR_SUCCESS;
    value.type = value.present ? type : 0;
    if (!value.present)
        value.bytes.clear();
    return value;
}

LONG writeRawValue(HKEY root, const std::string& subkey, const std::string& valueName, DWORD type,
                   const std::string& bytes, REGSAM view) {
    UniqueKey key;
    LONG error = createKey(root, subkey, key, view);
    if (error != ERROR_SUCCESS)
        return error;
    // The registry takes a NUL right after string data for one the caller forgot to count and
    // stores it too; text that had none must come back without one.
    const std::string data = bytes + '\x01';
    return RegSetValueExA(key.get(), valueName.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(bytes.size()));
}

LONG readFirstValue(HKEY root, const std::string& subkey, std::string& name, DWORD& type, BYTE* data, DWORD& dataSize,
                    REGSAM view) {
    UniqueKey key;
    LONG error = openKey(root, subkey, kRead | view, key);
    if (error != ERROR_SUCCESS)
        return error;
    char nameBuffer[kNameBufferSize] = {};
    DWORD nameSize = kNameBufferSize;
    error = RegEnumValueA(key.get(), 0, nameBuffer, &nameSize, nullptr, &type, data, &dataSize);
    if (error == ERROR_SUCCESS)
        name.assign(nameBuffer, strnlen(nameBuffer, kNameBufferSize));
    return error;
}

LONG ensureUserKey(const std::string& subkey) {
    UniqueKey key;
    if (openKey(HKEY_CURRENT_USER, subkey, kRead, key) == ERROR_SUCCESS)
        return ERROR_SUCCESS;
    return createKey(HKEY_CURRENT_USER, subkey, key);
}

LONG writeAccess(HKEY root, const std::string& subkey, bool create, REGSAM view) {
    UniqueKey key;
    LONG error = openKey(root, subkey, kReadWrite | view, key);
    if (error != ERROR_FILE_NOT_FOUND || !create)
        return error;
    std::string parent = subkey;
    while (error == ERROR_FILE_NOT_FOUND && !parent.empty()) {
        const std::string::size_type end = parent.rfind('\\');
        parent = end == std::string::npos ? std::string() : parent.substr(0, end);
        error = openKey(root, parent, KEY_CREATE_SUB_KEY | view, key);
    }
    return error;
}

bool keyPresent(HKEY root, const std::string& subkey, REGSAM view) {
    UniqueKey key;
    return openKey(root, subkey, kRead | view, key) == ERROR_SUCCESS;
}

LONG readSubkeyNames(HKEY root, const std::string& subkey, std::vector<std::string>& names, REGSAM view) {
    UniqueKey key;
    LONG error = openKey(root, subkey, kRead | view, key);
    for (DWORD index = 0; error == ERROR_SUCCESS; ++index) {
        char name[kSubkeyNameBufferSize];
        DWORD nameSize = kSubkeyNameBufferSize;
        error = RegEnumKeyExA(key.get(), index, name, &nameSize, nullptr, nullptr, nullptr, nullptr);
        if (error == ERROR_SUCCESS)
            names.emplace_back(name, nameSize);
    }
    return error == ERROR_NO_MORE_ITEMS ? ERROR_SUCCESS : error;
}

LONG deleteKeyTree(HKEY root, const std::string& subkey, REGSAM view) {
    {
        UniqueKey key;
        LONG error = openKey(root, subkey, kReadWrite | view, key);
        if (error != ERROR_SUCCESS)
            return error;
        // Deleting a child shifts the others down, so index 0 is asked until nothing is left.
        for (;;) {
            char child[kSubkeyNameBufferSize];
            DWORD childSize = kSubkeyNameBufferSize;
            if (RegEnumKeyExA(key.get(), 0, child, &childSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            error = deleteKeyTree(key.get(), std::string(child, childSize), view);
            if (error != ERROR_SUCCESS)
                return error;
        }
    }
    if (RegDeleteKeyExAFunction deleteEx = regDeleteKeyEx())
        return deleteEx(root, subkey.c_str(), view, 0);
    return RegDeleteKeyA(root, subkey.c_str());
}
