#include "permission-helper/HelperKeyLists.h"

#include <algorithm>

#include "registry/Wow64Redirection.h"

const char kClassKeyPrefix[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\CLASSES";
const char kMachineKeyPrefix[] = "HKEY_LOCAL_MACHINE";
const char kUsersGroupSid[] = "S-1-5-32-545";
const char kAdministratorsGroupSid[] = "S-1-5-32-544";
const char kSystemSid[] = "S-1-5-18";

namespace {

// Keys below these first components are registrations of their own, one level down.
constexpr const char* kTwoComponentRoots[] = {"CLSID", "TYPELIB", "MIME", "INTERFACE"};

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string upperAscii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::vector<std::string> sortedKeys(const FixedValue* rows, std::size_t count, Hive hive) {
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < count; ++i)
        if (rows[i].hive == hive)
            keys.emplace_back(rows[i].key);
    std::stable_sort(keys.begin(), keys.end(), lessIgnoringCase);
    return keys;
}

// The distinct keys of the hive, upper-cased and sorted, less those the set already names.
std::vector<std::string> keysNotNamedIn(const FixedValue* rows, std::size_t count, Hive hive,
                                        const std::vector<std::string>& named) {
    std::vector<std::string> keys;
    for (const std::string& key : sortedKeys(rows, count, hive)) {
        std::string upper = upperAscii(key);
        if (!keys.empty() && keys.back() == upper)
            continue;
        if (std::find(named.begin(), named.end(), upper) == named.end())
            keys.push_back(std::move(upper));
    }
    return keys;
}

void appendKeys(std::vector<HelperKey>& list, const char* prefix, const std::vector<std::string>& keys) {
    for (const std::string& key : keys)
        list.push_back({prefix, key});
}

}  // namespace

bool lessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(lowerAscii(x)) < static_cast<unsigned char>(lowerAscii(y));
    });
}

std::vector<std::string> classKeySet(const FixedValue* rows, std::size_t count) {
    std::vector<std::string> set;
    for (const std::string& key : sortedKeys(rows, count, Hive::ClassesRoot)) {
        std::string upper = upperAscii(key);
        size_t first = upper.find('\\');
        if (first == std::string::npos) {
            set.push_back(upper);
            continue;
        }
        std::string head = upper.substr(0, first);
        std::string reduced = head;
        for (const char* root : kTwoComponentRoots) {
            if (head == root) {
                size_t second = upper.find('\\', first + 1);
                reduced = upper.substr(0, second);
                break;
            }
        }
        if (set.empty() || set.back() != reduced)
            set.push_back(reduced);
    }
    return set;
}

std::vector<std::string> machineKeySet(const FixedValue* rows, std::size_t count) {
    std::vector<std::string> set;
    for (const std::string& key : sortedKeys(rows, count, Hive::LocalMachine))
        set.push_back(upperAscii(key));
    return set;
}

std::string aclCommandText(const std::string& prefix, const std::string& key, RegistryView view) {
    const std::string quote = "\"";
    auto entry = [&quote](const char* sid, const char* rest) { return " -ace " + quote + "n:" + sid + rest + quote; };
    // Users' rights are set: whatever they held goes. The others' are granted, which leaves the
    // entries they inherit in place.
    return "-on " + quote + prefix + "\\" + key + quote + (view == RegistryView::View64 ? " -ot reg64" : " -ot reg") +
           " -actn ace" + entry(kUsersGroupSid, ";p:change;s:y") +
           entry(kAdministratorsGroupSid, ";p:full;s:y;m:grant") + entry(kSystemSid, ";p:full;s:y;m:grant") +
           " -actn clear -clr " + quote + "dacl" + quote;
}

std::vector<HelperKey> helperKeys(const FixedValue* rows, std::size_t count) {
    const std::vector<std::string> classKeys = classKeySet(rows, count);
    const std::vector<std::string> machineKeys = machineKeySet(rows, count);
    std::vector<HelperKey> list;
    appendKeys(list, kClassKeyPrefix, classKeys);
    appendKeys(list, kMachineKeyPrefix, machineKeys);
    appendKeys(list, kClassKeyPrefix, keysNotNamedIn(rows, count, Hive::ClassesRoot, classKeys));
    appendKeys(list, kMachineKeyPrefix, keysNotNamedIn(rows, count, Hive::LocalMachine, machineKeys));
    return list;
}

std::vector<HelperKey> helperKeys64(const FixedValue* rows, std::size_t count) {
    std::vector<FixedValue> redirected;
    for (std::size_t i = 0; i < count; ++i)
        if (isRedirectedByWow64(rows[i].hive, rows[i].key))
            redirected.push_back(rows[i]);
    std::vector<HelperKey> keys = helperKeys(redirected.data(), redirected.size());
    for (HelperKey& key : keys)
        key.view = RegistryView::View64;
    return keys;
}

std::vector<HelperKey> repairedKeys(bool wow64System) {
    std::vector<HelperKey> keys = helperKeys(kFixedValues, kFixedValueCount);
    if (wow64System) {
        const std::vector<HelperKey> keys64 = helperKeys64(kFixedValues, kFixedValueCount);
        keys.insert(keys.end(), keys64.begin(), keys64.end());
        // The key a 64-bit Access's object library is registered under, one for both views.
        keys.push_back({kClassKeyPrefix, upperAscii(kObjectLibrary64PathKey)});
    }
    return keys;
}
