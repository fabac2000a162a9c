#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Registry data a test puts in place, taken away again in reverse order: keys it created are
// deleted with everything below them, values it overwrote get their old type and data back,
// values it added are deleted. `view` is 0 (the process's own view) or KEY_WOW64_64KEY /
// KEY_WOW64_32KEY.
class RegistrySeed {
public:
    RegistrySeed() = default;
    RegistrySeed(const RegistrySeed&) = delete;
    RegistrySeed& operator=(const RegistrySeed&) = delete;
    ~RegistrySeed() { undo(); }

    bool createKey(HKEY root, const std::string& key, REGSAM view = 0);
    bool setString(HKEY root, const std::string& key, const std::string& name, const std::string& value,
                   REGSAM view = 0, DWORD type = REG_SZ);
    bool setDword(HKEY root, const std::string& key, const std::string& name, DWORD value, REGSAM view = 0);
    // Removes a value for the test (put back by undo when it existed).
    bool deleteValue(HKEY root, const std::string& key, const std::string& name, REGSAM view = 0);
    void undo();

private:
    bool setValue(HKEY root, const std::string& key, const std::string& name, DWORD type, const BYTE* data, DWORD size,
                  REGSAM view);
    void rememberValue(HKEY root, const std::string& key, const std::string& name, REGSAM view);

    struct Change {
        HKEY root;
        std::string key;
        REGSAM view;
        bool keyCreated;  // true: delete the key; false: put the value back
        std::string valueName;
        bool valueExisted;
        DWORD type;
        std::vector<BYTE> data;
    };
    std::vector<Change> changes_;
};

// Takes a key tree away for the length of a test and puts it back, values and subkeys alike.
class RemovedRegistryTree {
public:
    RemovedRegistryTree(HKEY root, const std::string& key, REGSAM view = 0);
    ~RemovedRegistryTree();
    RemovedRegistryTree(const RemovedRegistryTree&) = delete;
    RemovedRegistryTree& operator=(const RemovedRegistryTree&) = delete;
    // True when the key is absent now (whether or not it existed before).
    bool removed() const { return removed_; }

    struct Node {
        std::string name;
        struct Value {
            std::string name;
            DWORD type;
            std::vector<BYTE> data;
        };
        std::vector<Value> values;
        std::vector<Node> children;
    };

private:
    HKEY root_;
    std::string key_;
    REGSAM view_;
    bool existed_ = false;
    bool removed_ = false;
    Node saved_;
};

// Plain look-ups for assertions, without logging: false / empty when absent.
bool registryKeyExists(HKEY root, const std::string& key, REGSAM view = 0);
bool registryValueExists(HKEY root, const std::string& key, const std::string& name, REGSAM view = 0);
std::string registryString(HKEY root, const std::string& key, const std::string& name, REGSAM view = 0);
// A REG_DWORD as a number, -1 when it is absent or of another type.
long long registryDword(HKEY root, const std::string& key, const std::string& name, REGSAM view = 0);
// Deletes a key and everything below it; true when it is gone afterwards.
bool deleteRegistryTree(HKEY root, const std::string& key, REGSAM view = 0);
