#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <iterator>

#include "permission-helper/AclCommand.h"
#include "permission-helper/HelperCommandLine.h"
#include "permission-helper/HelperKeyLists.h"
#include "registry/FixedValueTable.h"

namespace {

using Keys = std::vector<std::string>;

Keys classKeys() {
    return classKeySet(kFixedValues, kFixedValueCount);
}

// The entries from the first occurrence of `first` on, as many as `expected` holds.
Keys segmentFrom(const Keys& keys, const std::string& first, size_t length) {
    auto at = std::find(keys.begin(), keys.end(), first);
    if (at == keys.end())
        return {"(missing " + first + ")"};
    return Keys(at, at + std::min<size_t>(length, static_cast<size_t>(keys.end() - at)));
}

size_t occurrences(const Keys& keys, const std::string& key) {
    return static_cast<size_t>(std::count(keys.begin(), keys.end(), key));
}

}  // namespace

TEST(HelperKeyLists, ClassKeysOfTheFixedTable) {
    const Keys keys = classKeys();
    EXPECT_EQ(keys.size(), 164u);
    // ".accda" has two rows (its default value and "Content Type"): both are applied.
    const Keys head = {".ACCDA", ".ACCDA", ".ACCDB", ".ACCDC", ".ACCDC"};
    EXPECT_EQ(Keys(keys.begin(), keys.begin() + head.size()), head);
    // ".mdb\ShellNew" reduces to ".MDB", appended just before, and is skipped.
    EXPECT_EQ(segmentFrom(keys, ".MDA", 3), (Keys{".MDA", ".MDB", ".MDE"}));
    // "Access.ShortCut.Form.1" and all its "Access.Shortcut.Form.1\..." subkeys: once.
    EXPECT_EQ(occurrences(keys, "ACCESS.SHORTCUT.FORM.1"), 1u);
    // "Access.Shortcut.Form\CurVer" sorts after the ".1" keys, so its reduced key comes back.
    EXPECT_EQ(
        segmentFrom(keys, "ACCESS.SHORTCUT.FORM", 4),
        (Keys{"ACCESS.SHORTCUT.FORM", "ACCESS.SHORTCUT.FORM.1", "ACCESS.SHORTCUT.FORM", "ACCESS.SHORTCUT.FUNCTION.1"}));
    // Ordered as _stricmp orders: "\" (0x5C) before the lower-case letters.
    EXPECT_EQ(segmentFrom(keys, "ACCESS.DATABASE", 3),
              (Keys{"ACCESS.DATABASE", "ACCESS.DATABASEWIZARDTEMPLATE", "ACCESS.EXTENSION"}));
    // Type library, CLSID, MIME and interface keys keep two components.
    EXPECT_EQ(occurrences(keys, "TYPELIB\\{4AFFC9A0-5F99-101B-AF4E-00AA003F0F07}"), 1u);
    EXPECT_EQ(segmentFrom(keys, "MIME\\DATABASE", 6),
              (Keys{"MIME\\DATABASE", "ODCCUBE.1", "ODCDATABASE.1", "PIPFILE", "PIPFILE",
                    "TYPELIB\\{4AFFC9A0-5F99-101B-AF4E-00AA003F0F07}"}));
    EXPECT_EQ(keys.back(), "TYPELIB\\{5B87B6F0-17C8-11D0-AD41-00A0C90DC8D9}");
    EXPECT_EQ(occurrences(keys, "CLSID\\{73A4C9C1-D68D-11D0-98BF-00A0C90DC8D9}"), 1u);
    EXPECT_EQ(occurrences(keys, "INTERFACE\\{C547E760-9658-101B-81EE-00AA004750E2}"), 1u);
    for (const auto& key : keys) {
        EXPECT_EQ(std::count_if(key.begin(), key.end(), [](char c) { return c >= 'a' && c <= 'z'; }), 0) << key;
        size_t slash = key.find('\\');
        if (slash != std::string::npos) {
            std::string head = key.substr(0, slash);
            EXPECT_TRUE(head == "CLSID" || head == "TYPELIB" || head == "MIME" || head == "INTERFACE") << key;
            EXPECT_EQ(key.find('\\', slash + 1), std::string::npos) << key;
        }
    }
}

TEST(HelperKeyLists, ReductionRules) {
    struct Case {
        const char* name;
        std::vector<FixedValue> rows;
        Keys expected;
    };
    const Case cases[] = {
        {"sorted ignoring case, then upper-cased",
         {{Hive::ClassesRoot, "b", ""}, {Hive::ClassesRoot, "A", ""}, {Hive::ClassesRoot, "c", ""}},
         {"A", "B", "C"}},
        {"one-component keys every time",
         {{Hive::ClassesRoot, "x", ""}, {Hive::ClassesRoot, "X", "v"}, {Hive::ClassesRoot, "x", "w"}},
         {"X", "X", "X"}},
        {"subkeys skipped after their key",
         {{Hive::ClassesRoot, "K\\a\\b", ""}, {Hive::ClassesRoot, "k", ""}, {Hive::ClassesRoot, "K\\c", ""}},
         {"K"}},
        {"subkeys without their key appended once",
         {{Hive::ClassesRoot, "K\\a", ""}, {Hive::ClassesRoot, "K\\b", ""}},
         {"K"}},
        {"two components below the four roots",
         {{Hive::ClassesRoot, "clsid\\{1}\\InprocServer32", ""},
          {Hive::ClassesRoot, "CLSID\\{1}", ""},
          {Hive::ClassesRoot, "Interface\\{2}\\TypeLib", ""},
          {Hive::ClassesRoot, "Mime\\Database\\Content Type\\x", ""},
          {Hive::ClassesRoot, "TypeLib\\{3}\\9.0\\0\\win32", ""}},
         {"CLSID\\{1}", "INTERFACE\\{2}", "MIME\\DATABASE", "TYPELIB\\{3}"}},
        {"a root alone is a key of one component",
         {{Hive::ClassesRoot, "CLSID", ""}, {Hive::ClassesRoot, "CLSID\\{1}", ""}},
         {"CLSID", "CLSID\\{1}"}},
        {"only the key appended last is compared",
         {{Hive::ClassesRoot, "A\\x", ""}, {Hive::ClassesRoot, "A.B", ""}, {Hive::ClassesRoot, "a", ""}},
         {"A", "A.B", "A"}},
        {"machine rows are not class keys",
         {{Hive::LocalMachine, "SOFTWARE\\X", ""}, {Hive::ClassesRoot, "k", ""}},
         {"K"}},
        {"no rows", {}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(classKeySet(c.rows.data(), c.rows.size()), c.expected) << c.name;
}

TEST(HelperKeyLists, MachineKeysInOrderUpperCasedAndComplete) {
    EXPECT_EQ(machineKeySet(kFixedValues, kFixedValueCount),
              (Keys{"SOFTWARE\\MICROSOFT\\OFFICE\\COMMON",
                    "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\INSTALLER\\USERDATA\\S-1-5-18\\COMPONENTS\\"
                    "87FA5D886C9174D44BCEB5FA380DE229"}));
    const FixedValue rows[] = {{Hive::LocalMachine, "b\\x\\y", ""},
                               {Hive::LocalMachine, "a", ""},
                               {Hive::LocalMachine, "B\\x\\y", "v"},
                               {Hive::ClassesRoot, "c", ""}};
    EXPECT_EQ(machineKeySet(rows, std::size(rows)), (Keys{"A", "B\\X\\Y", "B\\X\\Y"}));
}

TEST(HelperKeyLists, CommandTextForAClassKeyAndAMachineKey) {
    const std::string actions =
        " -ot reg -actn ace -ace \"n:S-1-5-32-545;p:change;s:y\" -ace \"n:S-1-5-32-544;p:full;s:y;m:grant\" "
        "-ace \"n:S-1-5-18;p:full;s:y;m:grant\" -actn clear -clr \"dacl\"";
    EXPECT_EQ(aclCommandText(kClassKeyPrefix, "ACCESS.APPLICATION"),
              "-on \"HKEY_LOCAL_MACHINE\\SOFTWARE\\CLASSES\\ACCESS.APPLICATION\"" + actions);
    EXPECT_EQ(aclCommandText(kMachineKeyPrefix, "SOFTWARE\\MICROSOFT\\OFFICE\\COMMON"),
              "-on \"HKEY_LOCAL_MACHINE\\SOFTWARE\\MICROSOFT\\OFFICE\\COMMON\"" + actions);
}

TEST(HelperKeyLists, EveryCommandOfTheListParses) {
    for (const HelperKey& k : helperKeys(kFixedValues, kFixedValueCount)) {
        const std::string subkey =
            (std::string(k.prefix) == kClassKeyPrefix ? std::string("SOFTWARE\\CLASSES\\") : std::string()) + k.key;
        AclParseResult parsed = parseAclCommand(aclCommandText(k.prefix, k.key));
        ASSERT_TRUE(parsed.ok) << k.key << ": " << parsed.error;
        EXPECT_EQ(parsed.request.root, Hive::LocalMachine) << k.key;
        EXPECT_EQ(parsed.request.subkey, subkey);
        EXPECT_TRUE(parsed.request.clearDacl && !parsed.request.clearSacl) << k.key;
        ASSERT_EQ(parsed.request.aces.size(), 3u) << k.key;
        const AceRequest expected[] = {{kUsersGroupSid, true, AclPermission::Change, AceMode::Set},
                                       {kAdministratorsGroupSid, true, AclPermission::Full, AceMode::Grant},
                                       {kSystemSid, true, AclPermission::Full, AceMode::Grant}};
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(parsed.request.aces[i].trustee, expected[i].trustee) << k.key;
            EXPECT_TRUE(parsed.request.aces[i].trusteeIsSid) << k.key;
            EXPECT_EQ(parsed.request.aces[i].permission, expected[i].permission) << k.key;
            EXPECT_EQ(parsed.request.aces[i].mode, expected[i].mode) << k.key;
        }
    }
}

TEST(HelperKeyLists, EveryKeyOfTheTableIsRepairedByName) {
    const std::vector<HelperKey> list = helperKeys(kFixedValues, kFixedValueCount);
    // The reduced sets come first, unchanged.
    Keys reduced = classKeys();
    const Keys machine = machineKeySet(kFixedValues, kFixedValueCount);
    reduced.insert(reduced.end(), machine.begin(), machine.end());
    ASSERT_GT(list.size(), reduced.size());
    for (size_t i = 0; i < reduced.size(); ++i)
        EXPECT_EQ(list[i].key, reduced[i]) << i;
    // Each key the launcher writes is named itself, under the prefix of its hive.
    auto named = [&list](const std::string& prefix, const std::string& key) {
        return std::any_of(list.begin(), list.end(),
                           [&](const HelperKey& k) { return k.prefix == prefix && k.key == key; });
    };
    for (size_t i = 0; i < kFixedValueCount; ++i) {
        std::string key = kFixedValues[i].key;
        std::transform(key.begin(), key.end(), key.begin(), [](char c) { return static_cast<char>(toupper(c)); });
        const char* prefix = kFixedValues[i].hive == Hive::ClassesRoot ? kClassKeyPrefix : kMachineKeyPrefix;
        EXPECT_TRUE(named(prefix, key)) << kFixedValues[i].key;
    }
    // Beyond the reduced sets nothing is done twice.
    for (size_t i = reduced.size(); i < list.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            EXPECT_FALSE(list[i].prefix == list[j].prefix && list[i].key == list[j].key) << list[i].key;
}

TEST(HelperKeyLists, RemainingKeysFollowTheReducedSets) {
    const FixedValue rows[] = {{Hive::ClassesRoot, "k\\CurVer", ""},    {Hive::ClassesRoot, "K", ""},
                               {Hive::ClassesRoot, "K\\curver", "x"},   {Hive::ClassesRoot, "CLSID\\{1}\\Local", ""},
                               {Hive::LocalMachine, "SOFTWARE\\A", ""}, {Hive::ClassesRoot, "k", "v"}};
    std::vector<std::string> texts;
    for (const HelperKey& k : helperKeys(rows, std::size(rows)))
        texts.push_back(k.prefix + "|" + k.key);
    const std::string classes = kClassKeyPrefix, machine = kMachineKeyPrefix;
    EXPECT_EQ(texts, (Keys{classes + "|CLSID\\{1}", classes + "|K", classes + "|K", machine + "|SOFTWARE\\A",
                           classes + "|CLSID\\{1}\\LOCAL", classes + "|K\\CURVER"}));
}

TEST(HelperCommandLine, OnlyTheWholeWordNoprogressHidesTheWindow) {
    struct Case {
        const char* commandLine;
        bool shows;
    };
    const Case cases[] = {
        {nullptr, true},          {"", true},
        {"noprogress", false},    {"NOPROGRESS", false},
        {"NoProgress", false},    {"noprogress x", true},
        {" noprogress", true},    {"noprogress ", true},
        {"noprogres", true},      {"noprogresss", true},
        {"\"noprogress\"", true}, {"-noprogress", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(showsProgressWindow(c.commandLine), c.shows) << (c.commandLine ? c.commandLine : "(null)");
}

TEST(HelperKeyLists, The64BitListNamesTheRedirectedKeysInThe64BitView) {
    const std::vector<HelperKey> list = helperKeys64(kFixedValues, kFixedValueCount);
    ASSERT_FALSE(list.empty());
    bool server = false, office = false;
    for (const HelperKey& k : list) {
        EXPECT_EQ(k.view, RegistryView::View64) << k.key;
        const bool classKey = std::string(k.prefix) == kClassKeyPrefix;
        EXPECT_TRUE(classKey ? k.key.rfind("CLSID\\", 0) == 0 || k.key.rfind("INTERFACE\\", 0) == 0
                             : k.key.rfind("SOFTWARE\\", 0) == 0)
            << k.key;
        server = server || k.key == "CLSID\\{73A4C9C1-D68D-11D0-98BF-00A0C90DC8D9}\\LOCALSERVER32";
        office = office || k.key == "SOFTWARE\\MICROSOFT\\OFFICE\\COMMON";
        const AclParseResult parsed = parseAclCommand(aclCommandText(k.prefix, k.key, k.view));
        ASSERT_TRUE(parsed.ok) << k.key << ": " << parsed.error;
        EXPECT_EQ(parsed.request.view, RegistryView::View64) << k.key;
    }
    EXPECT_TRUE(server && office);
    // A 64-bit system repairs them after the others, then the win64 registration's key.
    const std::vector<HelperKey> both = repairedKeys(true);
    ASSERT_EQ(both.size(), repairedKeys(false).size() + list.size() + 1);
    EXPECT_EQ(both.back().key, "TYPELIB\\{4AFFC9A0-5F99-101B-AF4E-00AA003F0F07}\\9.0\\0\\WIN64");
}
