#include "ScratchKey.h"

#include "base/UniqueHandle.h"

namespace {

using RegDeleteKeyExAFunction = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);

LONG deleteOneKey(HKEY parent, const std::string& name, REGSAM view) {
    auto deleteEx =
        reinterpret_cast<RegDeleteKeyExAFunction>(GetProcAddress(GetModuleHandleA("advapi32.dll"), "RegDeleteKeyExA"));
    return deleteEx ? deleteEx(parent, name.c_str(), view, 0) : RegDeleteKeyA(parent, name.c_str());
}

}  // namespace

void removeKeyTree(HKEY root, const std::string& path, REGSAM view) {
    {
        UniqueKey key;
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | KEY_WRITE | view, key.put()) != ERROR_SUCCESS)
            return;
        std::vector<std::string> children;
        char name[1024];
        for (DWORD i = 0;; ++i) {
            DWORD size = sizeof(name);
            if (RegEnumKeyExA(key.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            children.emplace_back(name, size);
        }
        for (const auto& child : children)
            removeKeyTree(root, path + "\\" + child, view);
    }
    deleteOneKey(root, path, view);
}

bool writeRawValue(HKEY root, const std::string& path, const std::string& name, DWORD type, const void* data,
                   DWORD size, REGSAM view) {
    UniqueKey key;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE | view, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS)
        return false;
    return RegSetValueExA(key.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

ScratchKey::ScratchKey(HKEY root, std::string path, REGSAM view) : root_(root), path_(std::move(path)), view_(view) {
    removeKeyTree(root_, path_, view_);
}

ScratchKey::~ScratchKey() {
    removeKeyTree(root_, path_, view_);
}

std::string ScratchKey::sub(const std::string& relative) const {
    return relative.empty() ? path_ : path_ + "\\" + relative;
}

bool ScratchKey::createKey(const std::string& relative) const {
    UniqueKey key;
    return RegCreateKeyExA(root_, sub(relative).c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE | view_, nullptr,
                           key.put(), nullptr) == ERROR_SUCCESS;
}

bool ScratchKey::setRaw(const std::string& relative, const std::string& name, DWORD type, const void* data,
                        DWORD size) const {
    return writeRawValue(root_, sub(relative), name, type, data, size, view_);
}

bool ScratchKey::setString(const std::string& relative, const std::string& name, const std::string& text) const {
    return setRaw(relative, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

bool ScratchKey::setDword(const std::string& relative, const std::string& name, DWORD number) const {
    return setRaw(relative, name, REG_DWORD, &number, sizeof(number));
}

bool ScratchKey::getRaw(const std::string& relative, const std::string& name, DWORD& type,
                        std::vector<BYTE>& data) const {
    UniqueKey key;
    if (RegOpenKeyExA(root_, sub(relative).c_str(), 0, KEY_READ | view_, key.put()) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    data.assign(size + 2, 0);
    DWORD filled = size + 2;
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, data.data(), &filled) != ERROR_SUCCESS)
        return false;
    data.resize(filled);
    return true;
}

bool ScratchKey::exists(const std::string& relative) const {
    UniqueKey key;
    return RegOpenKeyExA(root_, sub(relative).c_str(), 0, KEY_READ | view_, key.put()) == ERROR_SUCCESS;
}

bool ScratchKey::valueExists(const std::string& relative, const std::string& name) const {
    DWORD type = 0;
    std::vector<BYTE> data;
    return getRaw(relative, name, type, data);
}
