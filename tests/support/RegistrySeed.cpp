// RegDeleteTreeA and RegDeleteKeyExA are declared for Vista and later; the test bench has them.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#include "RegistrySeed.h"

#include "base/UniqueHandle.h"
#include "registry/RegistryPrimitives.h"

namespace {

std::vector<std::string> keyParts(const std::string& key) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (start <= key.size()) {
        std::string::size_type end = key.find('\\', start);
        if (end == std::string::npos)
            end = key.size();
        if (end > start)
            parts.push_back(key.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

}  // namespace

bool RegistrySeed::createKey(HKEY root, const std::string& key, REGSAM view) {
    // One level at a time, so exactly the keys that were missing are deleted again.
    std::string path;
    for (const auto& part : keyParts(key)) {
        path += (path.empty() ? "" : "\\") + part;
        UniqueKey created;
        DWORD disposition = 0;
        if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, created.put(),
                            &disposition) != ERROR_SUCCESS)
            return false;
        if (disposition == REG_CREATED_NEW_KEY)
            changes_.push_back(Change{root, path, view, true, "", false, 0, {}});
    }
    return true;
}

void RegistrySeed::rememberValue(HKEY root, const std::string& key, const std::string& name, REGSAM view) {
    Change change{root, key, view, false, name, false, 0, {}};
    UniqueKey opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | view, opened.put()) == ERROR_SUCCESS) {
        DWORD size = 0;
        if (RegQueryValueExA(opened.get(), name.c_str(), nullptr, &change.type, nullptr, &size) == ERROR_SUCCESS) {
            change.data.resize(size);
            if (RegQueryValueExA(opened.get(), name.c_str(), nullptr, &change.type, change.data.data(), &size) ==
                ERROR_SUCCESS) {
                change.data.resize(size);
                change.valueExisted = true;
            }
        }
    }
    changes_.push_back(change);
}

bool RegistrySeed::setValue(HKEY root, const std::string& key, const std::string& name, DWORD type, const BYTE* data,
                            DWORD size, REGSAM view) {
    if (!createKey(root, key, view))
        return false;
    rememberValue(root, key, name, view);
    UniqueKey opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_SET_VALUE | view, opened.put()) != ERROR_SUCCESS)
        return false;
    return RegSetValueExA(opened.get(), name.c_str(), 0, type, data, size) == ERROR_SUCCESS;
}

bool RegistrySeed::setString(HKEY root, const std::string& key, const std::string& name, const std::string& value,
                             REGSAM view, DWORD type) {
    return setValue(root, key, name, type, reinterpret_cast<const BYTE*>(value.c_str()),
                    static_cast<DWORD>(value.size() + 1), view);
}

bool RegistrySeed::setDword(HKEY root, const std::string& key, const std::string& name, DWORD value, REGSAM view) {
    return setValue(root, key, name, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value), view);
}

bool RegistrySeed::deleteValue(HKEY root, const std::string& key, const std::string& name, REGSAM view) {
    rememberValue(root, key, name, view);
    UniqueKey opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_SET_VALUE | view, opened.put()) != ERROR_SUCCESS)
        return true;
    LONG error = RegDeleteValueA(opened.get(), name.c_str());
    return error == ERROR_SUCCESS || error == ERROR_FILE_NOT_FOUND;
}

void RegistrySeed::undo() {
    for (auto change = changes_.rbegin(); change != changes_.rend(); ++change) {
        if (change->keyCreated) {
            deleteRegistryTree(change->root, change->key, change->view);
            continue;
        }
        UniqueKey opened;
        if (RegOpenKeyExA(change->root, change->key.c_str(), 0, KEY_SET_VALUE | change->view, opened.put()) !=
            ERROR_SUCCESS)
            continue;
        if (change->valueExisted)
            RegSetValueExA(opened.get(), change->valueName.c_str(), 0, change->type, change->data.data(),
                           static_cast<DWORD>(change->data.size()));
        else
            RegDeleteValueA(opened.get(), change->valueName.c_str());
    }
    changes_.clear();
}

bool registryKeyExists(HKEY root, const std::string& key, REGSAM view) {
    UniqueKey opened;
    return RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | view, opened.put()) == ERROR_SUCCESS;
}

bool registryValueExists(HKEY root, const std::string& key, const std::string& name, REGSAM view) {
    UniqueKey opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | view, opened.put()) != ERROR_SUCCESS)
        return false;
    return RegQueryValueExA(opened.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::string registryString(HKEY root, const std::string& key, const std::string& name, REGSAM view) {
    UniqueKey opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | view, opened.put()) != ERROR_SUCCESS)
        return std::string();
    char buffer[4096] = {};
    DWORD size = sizeof(buffer) - 1;
    DWORD type = 0;
    if (RegQueryValueExA(opened.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::string();
    return buffer;
}

bool deleteRegistryTree(HKEY root, const std::string& key, REGSAM view) {
    {
        UniqueKey opened;
        if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS | view, opened.put()) != ERROR_SUCCESS)
            return !registryKeyExists(root, key, view);
        RegDeleteTreeA(opened.get(), nullptr);
    }
    RegDeleteKeyExA(root, key.c_str(), view, 0);
    return !registryKeyExists(root, key, view);
}

namespace {

void saveTree(HKEY key, RemovedRegistryTree::Node& node, REGSAM view) {
    for (DWORD index = 0;; ++index) {
        char name[16384];
        DWORD nameSize = sizeof(name);
        DWORD type = 0;
        DWORD dataSize = 0;
        if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, nullptr, &dataSize) != ERROR_SUCCESS)
            break;
        RemovedRegistryTree::Node::Value value{std::string(name, nameSize), type, std::vector<BYTE>(dataSize)};
        nameSize = sizeof(name);
        if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, value.data.data(), &dataSize) == ERROR_SUCCESS) {
            value.data.resize(dataSize);
            node.values.push_back(value);
        }
    }
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameSize = sizeof(name);
        if (RegEnumKeyExA(key, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        RemovedRegistryTree::Node child;
        child.name.assign(name, nameSize);
        UniqueKey opened;
        if (RegOpenKeyExA(key, child.name.c_str(), 0, KEY_READ | view, opened.put()) == ERROR_SUCCESS)
            saveTree(opened.get(), child, view);
        node.children.push_back(child);
    }
}

void restoreTree(HKEY root, const std::string& path, const RemovedRegistryTree::Node& node, REGSAM view) {
    UniqueKey key;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS)
        return;
    for (const auto& value : node.values)
        RegSetValueExA(key.get(), value.name.c_str(), 0, value.type, value.data.data(),
                       static_cast<DWORD>(value.data.size()));
    for (const auto& child : node.children)
        restoreTree(root, path + "\\" + child.name, child, view);
}

}  // namespace

RemovedRegistryTree::RemovedRegistryTree(HKEY root, const std::string& key, REGSAM view)
    : root_(root), key_(key), view_(view) {
    {
        UniqueKey opened;
        existed_ = RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | view, opened.put()) == ERROR_SUCCESS;
        if (existed_)
            saveTree(opened.get(), saved_, view);
    }
    removed_ = deleteRegistryTree(root, key, view);
}

RemovedRegistryTree::~RemovedRegistryTree() {
    if (existed_)
        restoreTree(root_, key_, saved_, view_);
}

long long registryDword(HKEY root, const std::string& key, const std::string& name, REGSAM view) {
    DWORD number = 0;
    return readDwordValue(root, key, name, number, view) == ERROR_SUCCESS ? static_cast<long long>(number) : -1LL;
}
