#include <gtest/gtest.h>

#include "permission-helper/AclCommand.h"

namespace {

const char kHelperCommand[] =
    "-on \"HKEY_LOCAL_MACHINE\\SOFTWARE\\CLASSES\\ACCESS.APPLICATION\" -ot reg -actn ace "
    "-ace \"n:S-1-5-32-545;p:change;s:y\" -ace \"n:S-1-5-32-544;p:full;s:y;m:grant\" "
    "-ace \"n:S-1-5-18;p:full;s:y;m:grant\" "
    "-actn clear -clr \"dacl\"";

std::string parseError(const std::string& text) {
    AclParseResult result = parseAclCommand(text);
    return result.ok ? "(accepted)" : result.error;
}

}  // namespace

TEST(AclCommand, TheHelpersCommandBecomesAnExplicitRequest) {
    AclParseResult result = parseAclCommand(kHelperCommand);
    ASSERT_TRUE(result.ok) << result.error;
    const AclRequest& request = result.request;
    EXPECT_EQ(request.root, Hive::LocalMachine);
    EXPECT_EQ(request.subkey, "SOFTWARE\\CLASSES\\ACCESS.APPLICATION");
    EXPECT_TRUE(request.clearDacl);
    EXPECT_FALSE(request.clearSacl);
    ASSERT_EQ(request.aces.size(), 3u);
    EXPECT_EQ(request.aces[0].trustee, "S-1-5-32-545");
    EXPECT_TRUE(request.aces[0].trusteeIsSid);
    EXPECT_EQ(request.aces[0].permission, AclPermission::Change);
    EXPECT_EQ(request.aces[0].mode, AceMode::Set);
    EXPECT_EQ(request.aces[2].trustee, "S-1-5-18");
    EXPECT_EQ(request.aces[2].permission, AclPermission::Full);
    EXPECT_EQ(request.aces[2].mode, AceMode::Grant);
}

TEST(AclCommand, AcceptedSpellings) {
    struct Case {
        const char* name;
        const char* text;
        Hive root;
        const char* subkey;
        bool clearDacl, clearSacl;
        size_t aces;
    };
    const Case cases[] = {
        {"actions in the other order",
         "-actn clear -clr dacl,sacl -on MACHINE\\SOFTWARE\\X -actn ace -ace n:S-1-1-0;p:read -ot reg",
         Hive::LocalMachine, "SOFTWARE\\X", true, true, 1},
        {"options and values in any letter case", "-ON hkey_local_machine\\Software -OT REG -ACTN CLEAR -CLR SACL",
         Hive::LocalMachine, "Software", false, true, 0},
        {"tabs and several blanks", "\t-on   \"CURRENT_USER\\A\"\t-ot reg  -actn clear -clr dacl  ", Hive::CurrentUser,
         "A", true, false, 0},
        {"quoted name with blanks", "-on \"HKEY_CLASSES_ROOT\\odccube.1\\HTML Handler\" -ot reg -actn clear -clr dacl",
         Hive::ClassesRoot, "odccube.1\\HTML Handler", true, false, 0},
        {"quoted value starting with a dash", "-on \"HKEY_USERS\\-dash\" -ot reg -actn clear -clr dacl", Hive::Users,
         "-dash", true, false, 0},
        {"two entries", "-on USERS\\S -ot reg -actn ace -ace n:S-1-1-0;p:read;s:y -ace n:Guest;p:full;m:deny",
         Hive::Users, "S", false, false, 2},
        {"revoke needs no permission", "-on CLASSES_ROOT\\K -ot reg -actn ace -ace \"n:S-1-1-0;s:y;m:revoke\"",
         Hive::ClassesRoot, "K", false, false, 1},
        {"action named twice", "-on MACHINE\\K -ot reg -actn clear -actn clear -clr dacl -clr dacl", Hive::LocalMachine,
         "K", true, false, 0},
    };
    for (const auto& c : cases) {
        AclParseResult result = parseAclCommand(c.text);
        ASSERT_TRUE(result.ok) << c.name << ": " << result.error;
        EXPECT_EQ(result.request.root, c.root) << c.name;
        EXPECT_EQ(result.request.subkey, c.subkey) << c.name;
        EXPECT_EQ(result.request.clearDacl, c.clearDacl) << c.name;
        EXPECT_EQ(result.request.clearSacl, c.clearSacl) << c.name;
        EXPECT_EQ(result.request.aces.size(), c.aces) << c.name;
    }
}

TEST(AclCommand, EntryItemsSetTrusteePermissionAndMode) {
    struct Case {
        const char* ace;
        const char* trustee;
        bool isSid;
        AclPermission permission;
        AceMode mode;
    };
    const Case cases[] = {
        {"n:S-1-5-32-545;p:full;s:y", "S-1-5-32-545", true, AclPermission::Full, AceMode::Set},
        {"n:S-1-5-32-545;p:Change;s:y", "S-1-5-32-545", true, AclPermission::Change, AceMode::Set},
        {"s:y;p:READ;n:S-1-1-0", "S-1-1-0", true, AclPermission::Read, AceMode::Set},
        {"n:Guest;p:full", "Guest", false, AclPermission::Full, AceMode::Set},
        {"n:Guest;p:full;s:n;m:grant", "Guest", false, AclPermission::Full, AceMode::Grant},
        {"n:S-1-1-0;p:read;s:y;m:Deny", "S-1-1-0", true, AclPermission::Read, AceMode::Deny},
        {"n:S-1-1-0;s:y;m:revoke", "S-1-1-0", true, AclPermission::Full, AceMode::Revoke},
    };
    for (const auto& c : cases) {
        AclParseResult result = parseAclCommand(std::string("-on MACHINE\\K -ot reg -actn ace -ace \"") + c.ace + "\"");
        ASSERT_TRUE(result.ok) << c.ace << ": " << result.error;
        ASSERT_EQ(result.request.aces.size(), 1u) << c.ace;
        const AceRequest& ace = result.request.aces[0];
        EXPECT_EQ(ace.trustee, c.trustee) << c.ace;
        EXPECT_EQ(ace.trusteeIsSid, c.isSid) << c.ace;
        EXPECT_EQ(ace.permission, c.permission) << c.ace;
        EXPECT_EQ(ace.mode, c.mode) << c.ace;
    }
}

TEST(AclCommand, MalformedTextsAreRejectedWithAReason) {
    const std::string tail = " -ot reg -actn clear -clr dacl";
    struct Case {
        std::string text;
        const char* error;
    };
    const Case cases[] = {
        {"", "Empty command"},
        {" \t ", "Empty command"},
        {"-on \"MACHINE\\K -ot reg", "Unterminated quoted text"},
        {"-on MACHINE\\K\"x\"" + tail, "Quote inside unquoted text"},
        {"-on \"MACHINE\\K\"x" + tail, "Text directly after a closing quote"},
        {std::string("-on \"MACHINE\\K\0evil\"", 20) + tail, "Control character in command text"},
        {"-on MACHINE\\K\x01" + tail, "Control character in command text"},
        {"hello" + tail, "Expected an option but found: hello"},
        {"\"-on\" MACHINE\\K" + tail, "Expected an option but found: -on"},
        {"-on MACHINE\\K -xx 1" + tail, "Unknown option: -xx"},
        {"-on MACHINE\\K" + tail + " -ot", "Option -ot needs a value"},
        {"-on -ot reg -actn clear -clr dacl", "Option -on needs a value"},
        {"-on MACHINE\\K -on MACHINE\\L" + tail, "Object name given twice"},
        {"-on FOO\\K" + tail, "Object name does not start with a registry root: FOO\\K"},
        {"-on HKEY_LOCAL_MACHINE" + tail, "Object name names no key below the root: HKEY_LOCAL_MACHINE"},
        {"-on HKEY_LOCAL_MACHINE\\" + tail, "Object name names no key below the root: HKEY_LOCAL_MACHINE\\"},
        {"-on MACHINE\\A\\\\B" + tail, "Object name has an empty key component: MACHINE\\A\\\\B"},
        {"-on MACHINE\\A\\" + tail, "Object name has an empty key component: MACHINE\\A\\"},
        {"-actn clear -clr dacl -ot reg", "No object name (-on)"},
        {"-on MACHINE\\K -actn clear -clr dacl", "No object type (-ot)"},
        {"-on MACHINE\\K -ot file -actn clear -clr dacl", "Unsupported object type: file"},
        {"-on MACHINE\\K -ot reg -ot reg -actn clear -clr dacl", "Object type given twice"},
        {"-on MACHINE\\K -ot reg", "No action (-actn)"},
        {"-on MACHINE\\K -ot reg -actn list", "Unknown action: list"},
        {"-on MACHINE\\K -ot reg -actn ace", "Action ace without an entry (-ace)"},
        {"-on MACHINE\\K" + tail + " -ace n:S-1-1-0;p:full;s:y", "Entry (-ace) without action ace"},
        {"-on MACHINE\\K -ot reg -actn clear", "Action clear without a list (-clr)"},
        {"-on MACHINE\\K -ot reg -actn ace -ace n:S-1-1-0;p:full;s:y -clr dacl", "List (-clr) without action clear"},
        {"-on MACHINE\\K -ot reg -actn clear -clr \"\"", "Unknown list to clear: \"\""},
        {"-on MACHINE\\K -ot reg -actn clear -clr dacl,,sacl", "Unknown list to clear: \"\""},
        {"-on MACHINE\\K -ot reg -actn clear -clr owner", "Unknown list to clear: \"owner\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseError(c.text), c.error) << "text: " << c.text;
}

TEST(AclCommand, MalformedEntriesAreRejectedWithAReason) {
    struct Case {
        const char* ace;
        const char* error;
    };
    const Case cases[] = {
        {"", "Entry item is not of the form key:value: \"\""},
        {"n:S-1-1-0;p:full;s:y;", "Entry item is not of the form key:value: \"\""},
        {"n:S-1-1-0;full", "Entry item is not of the form key:value: \"full\""},
        {":x;n:S-1-1-0", "Entry item is not of the form key:value: \":x\""},
        {"n:;p:full", "Empty trustee"},
        {"p:full;s:y", "Entry names no trustee"},
        {"n:S-1-1-0;s:y", "Entry names no permission"},
        {"n:a;n:b;p:full", "Trustee given twice"},
        {"n:a;p:full;p:read", "Permission given twice"},
        {"n:a;p:full;s:n;s:n", "SID flag given twice"},
        {"n:a;p:full;m:set;m:set", "Mode given twice"},
        {"n:a;p:none", "Unknown permission: none"},
        {"n:a;p:full;s:maybe", "SID flag must be y or n: maybe"},
        {"n:a;p:full;m:merge", "Unknown mode: merge"},
        {"n:a;p:full;i:so", "Unknown entry item: i"},
        {"n:Users;p:full;s:y", "Trustee is not a SID: Users"},
        {"n:S-1-5-32-abc;p:full;s:y", "Trustee is not a SID: S-1-5-32-abc"},
    };
    for (const auto& c : cases) {
        std::string text = std::string("-on MACHINE\\K -ot reg -actn ace -ace \"") + c.ace + "\"";
        EXPECT_EQ(parseError(text), c.error) << "entry: " << c.ace;
    }
}

TEST(AclCommand, SidTextSyntax) {
    struct Case {
        const char* text;
        bool valid;
    };
    const Case cases[] = {
        {"S-1-5-32-545", true},
        {"S-1-1-0", true},
        {"S-1-5", true},
        {"S-1-5-21-4294967295-1-2-3-4-5-6-7-8-9-10-11-12-13", true},      // 15 sub-authorities
        {"S-1-5-21-4294967295-1-2-3-4-5-6-7-8-9-10-11-12-13-14", false},  // 16
        {"S-1-5-4294967296", false},
        {"S-256-5-1", false},
        {"S-1-281474976710655-1", true},
        {"S-1-281474976710656-1", false},
        {"S-1", false},
        {"S-1-", false},
        {"S-1-5-", false},
        {"S-1--5", false},
        {"s-1-5-32-545", false},
        {"1-5-32-545", false},
        {"S-1-5-32-+545", false},
        {"S-1-5-99999999999999999999999", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isSidText(c.text), c.valid) << c.text;
}
