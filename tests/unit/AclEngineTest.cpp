// The permission helper's ACL engine against real registry keys. Runs as an administrator (as
// every program does under Wine) and uses keys of its own under HKLM\SOFTWARE\Classes.
#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "base/UniqueHandle.h"
#include "permission-helper/AclEngine.h"
#include "permission-helper/HelperKeyLists.h"
#include "permission-helper/KeyRepair.h"

namespace {

const char kUsers[] = "S-1-5-32-545";
const char kEveryone[] = "S-1-1-0";
const char kAdministrators[] = "S-1-5-32-544";
const char kSystem[] = "S-1-5-18";
const char kGuests[] = "S-1-5-32-546";

const char kClassesPath[] = "SOFTWARE\\Classes\\";
const char kKey[] = "MALLOWBROOKACLTEST";
const char kSecondKey[] = "MALLOWBROOKACLTEST2";
const char kMissingKey[] = "MALLOWBROOKACLMISSING";

// One access-control entry as read back: its kind, flags, mask and trustee.
struct Entry {
    BYTE type;
    BYTE flags;
    DWORD mask;
    std::string sid;
    bool operator==(const Entry& o) const {
        return std::tie(type, flags, mask, sid) == std::tie(o.type, o.flags, o.mask, o.sid);
    }
    bool operator<(const Entry& o) const {
        return std::tie(sid, type, flags, mask) < std::tie(o.sid, o.type, o.flags, o.mask);
    }
};

std::ostream& operator<<(std::ostream& out, const Entry& e) {
    return out << "{type " << int(e.type) << ", flags 0x" << std::hex << int(e.flags) << ", mask 0x" << e.mask
               << std::dec << ", " << e.sid << "}";
}

Entry allow(const char* sid, DWORD mask, BYTE flags = 0) {
    return {ACCESS_ALLOWED_ACE_TYPE, flags, mask, sid};
}
Entry deny(const char* sid, DWORD mask, BYTE flags = 0) {
    return {ACCESS_DENIED_ACE_TYPE, flags, mask, sid};
}
Entry audit(const char* sid, DWORD mask, BYTE flags) {
    return {SYSTEM_AUDIT_ACE_TYPE, flags, mask, sid};
}

struct Security {
    std::vector<Entry> dacl;
    std::vector<Entry> sacl;
    bool operator==(const Security& o) const { return dacl == o.dacl && sacl == o.sacl; }
};

std::ostream& operator<<(std::ostream& out, const Security& s) {
    out << "DACL [";
    for (const auto& e : s.dacl)
        out << e << " ";
    out << "] SACL [";
    for (const auto& e : s.sacl)
        out << e << " ";
    return out << "]";
}

// What the entries of one trustee add up to. Windows merges a granted right into the trustee's
// existing entry; Wine adds a second entry. Both give the same rights, which is what counts.
struct Rights {
    DWORD allowed = 0;
    DWORD denied = 0;
    bool operator==(const Rights& o) const { return allowed == o.allowed && denied == o.denied; }
};

std::ostream& operator<<(std::ostream& out, const Rights& r) {
    return out << "{allowed 0x" << std::hex << r.allowed << ", denied 0x" << r.denied << std::dec << "}";
}

std::map<std::string, Rights> rightsByTrustee(const std::vector<Entry>& entries) {
    std::map<std::string, Rights> rights;
    for (const auto& e : entries) {
        if (e.type == ACCESS_ALLOWED_ACE_TYPE)
            rights[e.sid].allowed |= e.mask;
        else if (e.type == ACCESS_DENIED_ACE_TYPE)
            rights[e.sid].denied |= e.mask;
    }
    return rights;
}

void enableSecurityPrivilegeForTest() {
    UniqueKernelHandle token;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put()));
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    ASSERT_TRUE(LookupPrivilegeValueA(nullptr, SE_SECURITY_NAME, &privileges.Privileges[0].Luid));
    ASSERT_TRUE(AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr));
}

std::string sidText(PSID sid) {
    char* text = nullptr;
    if (!ConvertSidToStringSidA(sid, &text))
        return "(bad sid)";
    UniqueLocalMemory owner(text);
    return text;
}

std::vector<Entry> entriesOf(PACL acl) {
    std::vector<Entry> entries;
    if (!acl)
        return entries;
    for (DWORD i = 0; i < acl->AceCount; ++i) {
        void* raw = nullptr;
        if (!GetAce(acl, i, &raw))
            break;
        // Allowed, denied and audit entries share this layout.
        auto* ace = static_cast<ACCESS_ALLOWED_ACE*>(raw);
        entries.push_back({ace->Header.AceType, ace->Header.AceFlags, ace->Mask, sidText(&ace->SidStart)});
    }
    return entries;
}

HKEY openForSecurity(const std::string& path, REGSAM access) {
    HKEY key = nullptr;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &key);
    return key;
}

Security readSecurity(const std::string& path) {
    UniqueKey key(openForSecurity(path, READ_CONTROL | ACCESS_SYSTEM_SECURITY));
    EXPECT_TRUE(key) << path;
    PACL dacl = nullptr, sacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    DWORD code = GetSecurityInfo(key.get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION | SACL_SECURITY_INFORMATION,
                                 nullptr, nullptr, &dacl, &sacl, &descriptor);
    UniqueLocalMemory owner(descriptor);
    EXPECT_EQ(code, 0u) << path;
    return {entriesOf(dacl), entriesOf(sacl)};
}

// Builds the list entry by entry, inherited flags included, and writes it without propagation.
std::vector<DWORD> buildAcl(const std::vector<Entry>& entries) {
    std::vector<DWORD> buffer(1024, 0);
    auto* acl = reinterpret_cast<PACL>(buffer.data());
    EXPECT_TRUE(InitializeAcl(acl, static_cast<DWORD>(buffer.size() * sizeof(DWORD)), ACL_REVISION));
    for (const auto& e : entries) {
        PSID sid = nullptr;
        EXPECT_TRUE(ConvertStringSidToSidA(e.sid.c_str(), &sid)) << e.sid;
        UniqueLocalMemory owner(sid);
        BOOL added = FALSE;
        if (e.type == ACCESS_ALLOWED_ACE_TYPE)
            added = AddAccessAllowedAceEx(acl, ACL_REVISION, e.flags, e.mask, sid);
        else if (e.type == ACCESS_DENIED_ACE_TYPE)
            added = AddAccessDeniedAceEx(acl, ACL_REVISION, e.flags, e.mask, sid);
        else
            added = AddAuditAccessAceEx(acl, ACL_REVISION, e.flags & VALID_INHERIT_FLAGS, e.mask, sid,
                                        (e.flags & SUCCESSFUL_ACCESS_ACE_FLAG) != 0,
                                        (e.flags & FAILED_ACCESS_ACE_FLAG) != 0);
        EXPECT_TRUE(added) << e;
    }
    return buffer;
}

void writeSecurity(const std::string& path, const Security& security) {
    std::vector<DWORD> dacl = buildAcl(security.dacl), sacl = buildAcl(security.sacl);
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, reinterpret_cast<PACL>(dacl.data()), FALSE);
    SetSecurityDescriptorSacl(&descriptor, TRUE, reinterpret_cast<PACL>(sacl.data()), FALSE);
    UniqueKey key(openForSecurity(path, WRITE_DAC | ACCESS_SYSTEM_SECURITY));
    ASSERT_TRUE(key) << path;
    ASSERT_EQ(RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION | SACL_SECURITY_INFORMATION, &descriptor),
              ERROR_SUCCESS)
        << path;
}

bool keyExists(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    UniqueKey owner(key);
    return true;
}

std::string classesPath(const std::string& key) {
    return kClassesPath + key;
}

// A DACL and SACL with explicit and inherited entries of several trustees; Users hold the full
// access an earlier build gave them.
const Security kMixed = {
    {allow(kEveryone, KEY_READ, CONTAINER_INHERIT_ACE), allow(kAdministrators, KEY_ALL_ACCESS),
     deny(kGuests, KEY_SET_VALUE), allow(kUsers, KEY_ALL_ACCESS), allow(kSystem, KEY_ALL_ACCESS, INHERITED_ACE)},
    {audit(kEveryone, KEY_SET_VALUE, SUCCESSFUL_ACCESS_ACE_FLAG),
     audit(kGuests, KEY_READ, FAILED_ACCESS_ACE_FLAG | INHERITED_ACE)},
};

class AclEngine : public ::testing::Test {
protected:
    void SetUp() override {
        enableSecurityPrivilegeForTest();
        removeKeys();
        for (const char* key : {kKey, kSecondKey}) {
            HKEY created = nullptr;
            ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (classesPath(key) + "\\Child").c_str(), 0, nullptr, 0,
                                      KEY_ALL_ACCESS, nullptr, &created, nullptr),
                      ERROR_SUCCESS);
            UniqueKey owner(created);
        }
    }
    void TearDown() override { removeKeys(); }

    static void removeKeys() {
        for (const char* key : {kKey, kSecondKey, kMissingKey}) {
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, (classesPath(key) + "\\Child").c_str());
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, classesPath(key).c_str());
        }
    }

    static AclResult applyHelperCommand(const char* key) {
        return applyAclCommand(aclCommandText(kClassKeyPrefix, key));
    }
};

}  // namespace

TEST_F(AclEngine, ClearsExplicitEntriesAndGivesUsersTheLaunchersRightsOnTheKeyOnly) {
    writeSecurity(classesPath(kKey), kMixed);
    const Security child = {{allow(kGuests, KEY_READ), allow(kEveryone, KEY_READ, INHERITED_ACE)},
                            {audit(kEveryone, KEY_READ, SUCCESSFUL_ACCESS_ACE_FLAG)}};
    writeSecurity(classesPath(kKey) + "\\Child", child);

    AclResult result = applyHelperCommand(kKey);
    ASSERT_EQ(result.outcome, AclOutcome::Applied) << result.message;

    // The auditing stays as it was, explicit entries and all.
    const Security expected = {{allow(kUsers, kKeyChangeRights), allow(kAdministrators, KEY_ALL_ACCESS),
                                allow(kSystem, KEY_ALL_ACCESS), allow(kSystem, KEY_ALL_ACCESS, INHERITED_ACE)},
                               kMixed.sacl};
    EXPECT_EQ(readSecurity(classesPath(kKey)), expected);
    EXPECT_EQ(readSecurity(classesPath(kKey) + "\\Child"), child);
}

TEST_F(AclEngine, RepeatingTheRepairChangesNothingMore) {
    writeSecurity(classesPath(kKey), kMixed);
    ASSERT_EQ(applyHelperCommand(kKey).outcome, AclOutcome::Applied);
    const Security once = readSecurity(classesPath(kKey));
    ASSERT_EQ(applyHelperCommand(kKey).outcome, AclOutcome::Applied);
    EXPECT_EQ(readSecurity(classesPath(kKey)), once);
}

TEST_F(AclEngine, AMissingKeyIsPassedOverAndTheRestGoOn) {
    writeSecurity(classesPath(kKey), kMixed);
    writeSecurity(classesPath(kSecondKey), kMixed);
    int afterEach = 0;
    const std::vector<HelperKey> keys = {
        {kClassKeyPrefix, kKey}, {kClassKeyPrefix, kMissingKey}, {kClassKeyPrefix, kSecondKey}};
    EXPECT_EQ(repairHelperKeys(keys, [&afterEach] { ++afterEach; }), 0);
    EXPECT_EQ(afterEach, 3);
    EXPECT_FALSE(keyExists(classesPath(kMissingKey)));
    for (const char* key : {kKey, kSecondKey}) {
        std::vector<Entry> dacl = readSecurity(classesPath(key)).dacl;
        ASSERT_FALSE(dacl.empty()) << key;
        EXPECT_EQ(dacl.front(), allow(kUsers, kKeyChangeRights)) << key;
    }
}

TEST_F(AclEngine, TheExitCodeCountsEachKeyLeftUnchangedOnce) {
    writeSecurity(classesPath(kKey), kMixed);
    // A quote in a key name makes its command text unusable: the key is left as it is.
    const HelperKey changed{kClassKeyPrefix, kKey}, missing{kClassKeyPrefix, kMissingKey},
        unchanged{kClassKeyPrefix, "BAD\"KEY"}, otherUnchanged{kMachineKeyPrefix, "BAD\"KEY"};
    const struct {
        std::vector<HelperKey> keys;
        int expected;
    } cases[] = {
        {{changed, missing}, 0},
        {{unchanged, changed, unchanged}, 1},
        {{unchanged, otherUnchanged, missing}, 2},
    };
    for (const auto& c : cases) {
        int afterEach = 0;
        EXPECT_EQ(repairHelperKeys(c.keys, [&afterEach] { ++afterEach; }), c.expected) << c.keys.size();
        EXPECT_EQ(afterEach, static_cast<int>(c.keys.size()));
    }
}

TEST_F(AclEngine, MalformedCommandsAreRejectedAndTouchNothing) {
    writeSecurity(classesPath(kKey), kMixed);
    const Security before = readSecurity(classesPath(kKey));
    const std::string object = "-on \"HKEY_LOCAL_MACHINE\\SOFTWARE\\CLASSES\\MALLOWBROOKACLTEST\"";
    const std::string texts[] = {
        object + " -ot reg -actn ace -ace \"n:S-1-5-32-545;p:full;s:y\" -actn clear -clr \"dacl,sacl,owner\"",
        object + " -ot reg -actn ace -ace \"n:S-1-5-32-545;p:full;s:y\" -actn clear",
        object + " -ot reg -actn ace -ace \"n:S-1-5-32-545;p:full;s:y",
        object + " -ot reg -actn ace -ace \"n:S-1-5-32-x;p:full;s:y\" -actn clear -clr dacl",
        object + " -ot file -actn clear -clr dacl",
        object,
        "",
    };
    for (const auto& text : texts) {
        AclResult result = applyAclCommand(text);
        EXPECT_EQ(result.outcome, AclOutcome::Rejected) << text;
        EXPECT_FALSE(result.message.empty()) << text;
    }
    EXPECT_EQ(readSecurity(classesPath(kKey)), before);
}

TEST_F(AclEngine, EntryModesMergeIntoTheDacl) {
    const std::string object = "-on \"HKEY_LOCAL_MACHINE\\SOFTWARE\\CLASSES\\MALLOWBROOKACLTEST\" -ot reg -actn ace";
    const Security start = {{allow(kGuests, KEY_READ), allow(kEveryone, KEY_QUERY_VALUE)}, {}};
    struct Case {
        const char* ace;
        std::map<std::string, Rights> expected;
    };
    const Case cases[] = {
        {"n:S-1-5-32-546;p:full;s:y", {{kGuests, {KEY_ALL_ACCESS, 0}}, {kEveryone, {KEY_QUERY_VALUE, 0}}}},
        {"n:S-1-5-32-546;p:read;s:y;m:deny", {{kGuests, {KEY_READ, KEY_READ}}, {kEveryone, {KEY_QUERY_VALUE, 0}}}},
        {"n:S-1-5-32-546;s:y;m:revoke", {{kEveryone, {KEY_QUERY_VALUE, 0}}}},
        {"n:S-1-1-0;p:read;s:y;m:grant", {{kGuests, {KEY_READ, 0}}, {kEveryone, {KEY_READ, 0}}}},
    };
    for (const auto& c : cases) {
        writeSecurity(classesPath(kKey), start);
        AclResult result = applyAclCommand(object + " -ace \"" + c.ace + "\"");
        ASSERT_EQ(result.outcome, AclOutcome::Applied) << c.ace << ": " << result.message;
        std::vector<Entry> dacl = readSecurity(classesPath(kKey)).dacl;
        // Denials must come first; the order among allowed entries is the system's choice.
        auto firstAllow =
            std::find_if(dacl.begin(), dacl.end(), [](const Entry& e) { return e.type == ACCESS_ALLOWED_ACE_TYPE; });
        EXPECT_TRUE(std::all_of(firstAllow, dacl.end(), [](const Entry& e) {
            return e.type == ACCESS_ALLOWED_ACE_TYPE;
        })) << c.ace;
        EXPECT_EQ(rightsByTrustee(dacl), c.expected) << c.ace;
    }
}

TEST_F(AclEngine, OnlyTheDaclOrOnlyTheSaclIsCleared) {
    const std::string object = "-on \"HKEY_LOCAL_MACHINE\\SOFTWARE\\CLASSES\\MALLOWBROOKACLTEST\" -ot reg";
    struct Case {
        const char* actions;
        Security expected;
    };
    const Case cases[] = {
        {"-actn clear -clr dacl", {{allow(kSystem, KEY_ALL_ACCESS, INHERITED_ACE)}, kMixed.sacl}},
        {"-actn clear -clr sacl", {kMixed.dacl, {audit(kGuests, KEY_READ, FAILED_ACCESS_ACE_FLAG | INHERITED_ACE)}}},
    };
    for (const auto& c : cases) {
        writeSecurity(classesPath(kKey), kMixed);
        AclResult result = applyAclCommand(object + " " + c.actions);
        ASSERT_EQ(result.outcome, AclOutcome::Applied) << c.actions << ": " << result.message;
        EXPECT_EQ(readSecurity(classesPath(kKey)), c.expected) << c.actions;
    }
}

// A class key of the 64-bit view only: "-ot reg64" reaches it, "-ot reg" (this program's view) does not.
TEST(AclEngineView, Reg64NamesTheKeyInThe64BitView) {
    const std::string key = "CLSID\\{7D3B2C5F-58E6-4A0F-9B2D-1C6E4F8A3B75}";
    const std::string path = classesPath(key);
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                              nullptr, &created, nullptr),
              ERROR_SUCCESS);
    UniqueKey owner(created);
    ASSERT_FALSE(keyExists(path)) << "the class keys of the two views are apart";
    EXPECT_EQ(applyAclCommand(aclCommandText(kClassKeyPrefix, key)).outcome, AclOutcome::KeyMissing);
    const AclResult result = applyAclCommand(aclCommandText(kClassKeyPrefix, key, RegistryView::View64));
    EXPECT_EQ(result.outcome, AclOutcome::Applied) << result.message;
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), KEY_WOW64_64KEY, 0);
}
