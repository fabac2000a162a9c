#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/SystemErrorText.h"
#include "base/UniqueHandle.h"
#include "log/StringLog.h"
#include "registry/RegistryAccessor.h"
#include "registry/RegistryPlan.h"
#include "registry/RegistryPrimitives.h"
#include "support/ScratchKey.h"

namespace {

const char kUserArea[] = "Software\\MallowbrookTests\\Accessor";

// Records every line but says logging is off, to show which lines are written regardless.
class DisabledLog : public ILog {
public:
    bool IsEnabled() override { return false; }
    bool WriteLine(const std::string& line) override {
        lines.push_back(line);
        return true;
    }
    std::vector<std::string> lines;
};

class RegistryAccess : public ::testing::Test {
protected:
    ScratchKey area{HKEY_CURRENT_USER, kUserArea};
    StringLog log;
    RegistryAccessor accessor{&log};
};

struct ReadCase {
    const char* name;
    DWORD type;
    std::string data;  // stored bytes exactly as given
    std::string expected;
    LONG error;
};

}  // namespace

TEST_F(RegistryAccess, GetStringReadsOnlyWellFormedStrings) {
    const std::string longest(4095, 'x');
    const std::string tooLong(4096, 'y');
    const ReadCase cases[] = {
        {"plain", REG_SZ, std::string("abc\0", 4), "abc", 0},
        {"empty with NUL", REG_SZ, std::string("\0", 1), "", 0},
        {"size 0", REG_SZ, std::string(), "", 0},
        {"no terminating NUL", REG_SZ, "abc", "", ERROR_INVALID_DATA},
        {"stops at first NUL", REG_SZ, std::string("ab\0cd\0", 6), "ab", 0},
        {"expand kept unexpanded", REG_EXPAND_SZ, std::string("%SystemRoot%\\x\0", 15), "%SystemRoot%\\x", 0},
        {"dword", REG_DWORD, std::string("\x01\x00\x00\x00", 4), "", ERROR_INVALID_DATA},
        {"binary", REG_BINARY, std::string("ab\0", 3), "", ERROR_INVALID_DATA},
        {"multi string", REG_MULTI_SZ, std::string("a\0b\0\0", 5), "", ERROR_INVALID_DATA},
        {"4095 characters", REG_SZ, longest + '\0', longest, 0},
        {"4096 characters", REG_SZ, tooLong + '\0', tooLong, 0},  // any length: the size is asked first
        {"70000 characters", REG_SZ, std::string(70000, 'z') + '\0', std::string(70000, 'z'), 0},
    };
    for (const auto& c : cases) {
        // Windows counts a NUL that the caller left just past the data; a guard byte keeps it out.
        const std::string guarded = c.data + 'X';
        ASSERT_TRUE(area.setRaw("", c.name, c.type, guarded.data(), static_cast<DWORD>(c.data.size()))) << c.name;
        DWORD storedType = 0;
        std::vector<BYTE> stored;
        ASSERT_TRUE(area.getRaw("", c.name, storedType, stored)) << c.name;
        ASSERT_EQ(std::string(stored.begin(), stored.end()), c.data) << c.name;
        LONG error = -1;
        EXPECT_EQ(accessor.getString(HKEY_CURRENT_USER, kUserArea, c.name, &error), c.expected) << c.name;
        EXPECT_EQ(error, c.error) << c.name;
    }
}

TEST_F(RegistryAccess, MissingValuesAndKeysGiveFileNotFound) {
    area.createKey("");
    LONG error = -1;
    EXPECT_EQ(accessor.getString(HKEY_CURRENT_USER, kUserArea, "absent", &error), "");
    EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(accessor.getString(HKEY_CURRENT_USER, area.sub("NoSuchKey"), "", &error), "");
    EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
    accessor.getDword(area.sub("NoSuchKey"), "x", &error);
    EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryAccess, ReadStringLeavesTheOutputAloneOnFailure) {
    area.setDword("", "number", 7);
    std::string text = "untouched";
    EXPECT_EQ(readStringValue(HKEY_CURRENT_USER, kUserArea, "number", text), ERROR_INVALID_DATA);
    EXPECT_EQ(text, "untouched");
    EXPECT_EQ(readStringValue(HKEY_CURRENT_USER, kUserArea, "absent", text), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(text, "untouched");
}

TEST_F(RegistryAccess, GetDwordReadsOnlyDwordsUnderTheCurrentUser) {
    area.setDword("", "big", 0xFFFFFFFFu);
    area.setString("", "short text", "ab");
    area.setString("", "long text", "abcdefgh");
    const struct {
        const char* name;
        DWORD expected;
        LONG error;
    } cases[] = {
        {"big", 0xFFFFFFFFu, 0},
        {"short text", 0, ERROR_INVALID_DATA},
        {"long text", 0, ERROR_MORE_DATA},
    };
    for (const auto& c : cases) {
        LONG error = -1;
        DWORD number = accessor.getDword(kUserArea, c.name, &error);
        EXPECT_EQ(error, c.error) << c.name;
        if (c.error == 0) {
            EXPECT_EQ(number, c.expected) << c.name;
        }
    }
    EXPECT_EQ(log.lines().front(), std::string("Get dword: HKEY_CURRENT_USER - '") + kUserArea + "' / 'big'");
}

TEST_F(RegistryAccess, SetStringWithoutCreateNeedsTheKey) {
    EXPECT_EQ(accessor.setString(HKEY_CURRENT_USER, area.sub("Missing"), "v", "text", false), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(area.exists("Missing"));

    EXPECT_EQ(accessor.setString(HKEY_CURRENT_USER, area.sub("A\\B\\C"), "v", "text", true), 0);
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(area.getRaw("A\\B\\C", "v", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::string(data.begin(), data.end()), std::string("text\0", 5));

    // With the key present, create false writes too; the default value has the empty name.
    EXPECT_EQ(accessor.setString(HKEY_CURRENT_USER, area.sub("A"), "", "default", false), 0);
    EXPECT_EQ(accessor.getString(HKEY_CURRENT_USER, area.sub("A"), ""), "default");
}

TEST_F(RegistryAccess, SetDwordCreatesTheKeyAndStoresFourBytes) {
    EXPECT_EQ(accessor.setDword(HKEY_CURRENT_USER, area.sub("New\\Deep"), "n", 0xFFFFFFFFu), 0);
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(area.getRaw("New\\Deep", "n", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(data, std::vector<BYTE>({0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST_F(RegistryAccess, RequestLinesAreExact) {
    const std::string k = kUserArea;
    accessor.getString(HKEY_CURRENT_USER, k, "name");
    accessor.setString(HKEY_LOCAL_MACHINE, k + "\\Never", "n", "v", false);
    accessor.setDword(HKEY_CURRENT_USER, k, "bits", 0xFFFFFFFFu);
    accessor.setDword(HKEY_CURRENT_USER, k, "three", 3000000000u);
    accessor.getDword(k, "");
    accessor.getSubkeys(HKEY_CURRENT_USER, k);
    accessor.deleteKey("MallowbrookTests\\NeverThere");
    const std::vector<std::string> expected = {
        "Get string: HKEY_CURRENT_USER - '" + k + "' / 'name'",
        "Set string: HKEY_LOCAL_MACHINE - '" + k + "\\Never' / 'n' -> 'v'",
        "Set dword: HKEY_CURRENT_USER - '" + k + "' / 'bits' -> '4294967295'",
        "Set dword: HKEY_CURRENT_USER - '" + k + "' / 'three' -> '3000000000'",
        "Get dword: HKEY_CURRENT_USER - '" + k + "' / ''",
        "Get subkeys: HKEY_CURRENT_USER - '" + k + "'",
        "Trying to delete key: HKEY_CLASSES_ROOT - 'MallowbrookTests\\NeverThere'",
    };
    EXPECT_EQ(log.lines(), expected);
}

TEST_F(RegistryAccess, RequestLinesWaitForAnEnabledLog) {
    DisabledLog quiet;
    RegistryAccessor silent(&quiet);
    area.setString("", "", "only default");
    std::string name, value;
    silent.getString(HKEY_CURRENT_USER, kUserArea, "x");
    silent.setString(HKEY_CURRENT_USER, kUserArea, "x", "y", true);
    silent.setDword(HKEY_CURRENT_USER, kUserArea, "d", 1);
    silent.getDword(kUserArea, "d");
    silent.getSubkeys(HKEY_CURRENT_USER, kUserArea);
    silent.deleteKey("MallowbrookTests\\NeverThere");
    EXPECT_TRUE(silent.getFirstStringValue(HKEY_CURRENT_USER, area.sub("Empty\\None"), name, value) == false);
    EXPECT_THROW(silent.getSubkeys(HKEY_CURRENT_USER, area.sub("Missing")), std::runtime_error);
    silent.registerTypeLibrary("C:\\nowhere\\none.tlb");
    // Only the outcome lines that are written whatever the log's state remain.
    const std::vector<std::string> expected = {
        "No value found or it wasn't a string",
        "Couldn't open key:HKEY_CURRENT_USER - '" + area.sub("Missing") + "'",
        "Registering dll:C:\\nowhere\\none.tlb",
    };
    EXPECT_EQ(quiet.lines, expected);
}

// A dry run: writes land in the plan, reads see the plan, and the registry stays as it was.
TEST_F(RegistryAccess, APlanRecordsWritesInsteadOfMakingThem) {
    ScratchKey classes(HKEY_CLASSES_ROOT, "MallowbrookTests\\Plan");
    ASSERT_TRUE(area.setString("Old", "v", "old"));
    ASSERT_TRUE(classes.setString("Gone\\Sub", "", "x"));
    RegistryPlan plan;
    accessor.planInto(&plan);

    EXPECT_EQ(accessor.setString(HKEY_CURRENT_USER, area.sub("Old"), "v", "new", false), 0);
    EXPECT_EQ(accessor.getString(HKEY_CURRENT_USER, area.sub("Old"), "v"), "new");
    EXPECT_EQ(accessor.setDword(HKEY_CURRENT_USER, area.sub("New\\Deep"), "n", 7), 0);
    EXPECT_EQ(accessor.getDword(area.sub("New\\Deep"), "n"), 7u);
    EXPECT_TRUE(accessor.keyExists(HKEY_CURRENT_USER, area.sub("New")));
    EXPECT_EQ(accessor.setString(HKEY_CURRENT_USER, area.sub("Missing"), "v", "x", false), ERROR_FILE_NOT_FOUND);
    accessor.deleteKey(classes.sub("Gone"));
    LONG error = 0;
    EXPECT_EQ(accessor.getString(HKEY_CLASSES_ROOT, classes.sub("Gone\\Sub"), "", &error), "");
    EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
    accessor.deleteKey(classes.sub("NeverThere"));
    EXPECT_EQ(accessor.ensureUserKey(area.sub("Made")), 0);
    EXPECT_TRUE(accessor.getSubkeys(HKEY_CURRENT_USER, area.sub("Made"))->empty());

    ASSERT_EQ(plan.changes().size(), 3u);
    EXPECT_EQ(plan.changes()[0].now, (StoredValue{true, REG_SZ, std::string("old\0", 4)}));
    EXPECT_EQ(plan.changes()[0].during, (StoredValue{true, REG_SZ, std::string("new\0", 4)}));
    EXPECT_FALSE(plan.changes()[1].now.present);
    EXPECT_TRUE(plan.changes()[2].removesKey);

    accessor.planInto(nullptr);
    EXPECT_EQ(accessor.getString(HKEY_CURRENT_USER, area.sub("Old"), "v"), "old");
    EXPECT_FALSE(area.exists("New"));
    EXPECT_FALSE(area.exists("Made"));
    EXPECT_TRUE(classes.exists("Gone\\Sub"));
}

TEST(RegistryAccessorText, HiveNames) {
    const struct {
        HKEY root;
        const char* name;
    } cases[] = {
        {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
        {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
        {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
        {HKEY_USERS, "HKEY_USERS"},
        {HKEY_CURRENT_CONFIG, "Other"},
        {nullptr, "Other"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RegistryAccessor::hiveName(c.root), c.name) << c.name;
}

TEST_F(RegistryAccess, GetSubkeysOfAMissingKeyLogsAndThrows) {
    const std::string missing = area.sub("Missing");
    try {
        accessor.getSubkeys(HKEY_CURRENT_USER, missing);
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Couldn't open registry key: '" + missing + "' -> " + systemErrorText(ERROR_FILE_NOT_FOUND));
    }
    const std::vector<std::string> expected = {
        "Get subkeys: HKEY_CURRENT_USER - '" + missing + "'",
        "Couldn't open key:HKEY_CURRENT_USER - '" + missing + "'",
    };
    EXPECT_EQ(log.lines(), expected);
}

TEST_F(RegistryAccess, GetSubkeysListsEveryChild) {
    for (const char* child : {"One", "Two", "Three", "With Blank"})
        area.createKey(std::string("Parent\\") + child + "\\Grandchild");
    auto names = accessor.getSubkeys(HKEY_CURRENT_USER, area.sub("Parent"));
    ASSERT_TRUE(names);
    std::vector<std::string> sorted = *names;  // Windows decides the order
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, std::vector<std::string>({"One", "Three", "Two", "With Blank"}));
    area.createKey("Leaf");
    EXPECT_TRUE(accessor.getSubkeys(HKEY_CURRENT_USER, area.sub("Leaf"))->empty());
}

TEST_F(RegistryAccess, GetSubkeysSeesTheSixtyFourBitView) {
    // On 64-bit Windows (and Wine's WOW64 prefix) HKLM\Software of a 32-bit process is redirected;
    // a key made only in the 64-bit view is invisible to the default view. On 32-bit Windows
    // there is a single view and the flag is ignored.
    const std::string path = "Software\\MallowbrookTests64";
    ScratchKey wide(HKEY_LOCAL_MACHINE, path, KEY_WOW64_64KEY);
    ASSERT_TRUE(wide.createKey("Only64\\Child"));
    UniqueKey defaultView;
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, (path + "\\Only64").c_str(), 0, KEY_READ, defaultView.put()),
              ERROR_SUCCESS)
        << "the key should exist only in the 64-bit view";
    auto names = accessor.getSubkeys(HKEY_LOCAL_MACHINE, path);
    EXPECT_EQ(*names, std::vector<std::string>({"Only64"}));
}

TEST_F(RegistryAccess, GetFirstStringValue) {
    area.setString("DefaultOnly", "", "the default");
    area.setString("Named", "First", "value one");
    area.setDword("Number", "n", 5);
    area.setRaw("Expand", "e", REG_EXPAND_SZ, "%TEMP%", 7);
    area.createKey("NoValues");
    const struct {
        const char* key;
        bool found;
        const char* name;
        const char* value;
    } cases[] = {
        {"DefaultOnly", true, "", "the default"},
        {"Named", true, "First", "value one"},
        {"Number", false, "", ""},
        {"Expand", false, "", ""},  // only REG_SZ counts here
        {"NoValues", false, "", ""},
        {"Missing", false, "", ""},
    };
    for (const auto& c : cases) {
        StringLog lines;
        RegistryAccessor reader(&lines);
        std::string name = "unset", value = "unset";
        EXPECT_EQ(reader.getFirstStringValue(HKEY_CURRENT_USER, area.sub(c.key), name, value), c.found) << c.key;
        ASSERT_EQ(lines.lines().size(), 2u) << c.key;
        EXPECT_EQ(lines.lines()[0],
                  "Trying to get first string value from : HKEY_CURRENT_USER - '" + area.sub(c.key) + "'")
            << c.key;
        if (c.found) {
            EXPECT_EQ(name, c.name) << c.key;
            EXPECT_EQ(value, c.value) << c.key;
            EXPECT_EQ(lines.lines()[1], std::string("Found: '") + c.name + "' -> '" + c.value + "'") << c.key;
        } else {
            EXPECT_EQ(lines.lines()[1], "No value found or it wasn't a string") << c.key;
        }
    }
}

TEST(RegistryDelete, DeleteKeyRemovesNestedKeysAndValues) {
    const std::string path = "MallowbrookTests\\DeleteMe";
    ScratchKey classes(HKEY_CLASSES_ROOT, path);
    ASSERT_TRUE(classes.setString("", "", "top"));
    ASSERT_TRUE(classes.setString("a\\b\\c", "deep", "x"));
    ASSERT_TRUE(classes.setDword("a\\b", "n", 1));
    ASSERT_TRUE(classes.createKey("a\\b2\\c2\\d2"));
    ASSERT_TRUE(classes.setString("e", "", "y"));
    ScratchKey sibling(HKEY_CLASSES_ROOT, "MallowbrookTests\\Keep");
    ASSERT_TRUE(sibling.setString("", "v", "stays"));

    StringLog log;
    RegistryAccessor(&log).deleteKey(path);
    EXPECT_FALSE(classes.exists(""));
    EXPECT_TRUE(sibling.valueExists("", "v"));

    // A missing key: no error, nothing but the request line.
    RegistryAccessor(&log).deleteKey(path);
    EXPECT_EQ(log.lines().size(), 2u);
    EXPECT_EQ(deleteKeyTree(HKEY_CLASSES_ROOT, path), ERROR_FILE_NOT_FOUND);
}

TEST(RegistryDelete, DeleteKeyTreeWorksUnderAnyRoot) {
    ScratchKey user(HKEY_CURRENT_USER, "Software\\MallowbrookTests\\Tree");
    ASSERT_TRUE(user.createKey("x\\y\\z"));
    ASSERT_TRUE(user.setString("x", "v", "1"));
    EXPECT_EQ(deleteKeyTree(HKEY_CURRENT_USER, user.path()), 0);
    EXPECT_FALSE(user.exists(""));
}

TEST(RegistryUserKey, EnsureUserKeyCreatesOnlyWhenMissing) {
    ScratchKey user(HKEY_CURRENT_USER, "Software\\MallowbrookTests\\Ensure");
    EXPECT_EQ(ensureUserKey(user.sub("New\\Path")), 0);
    EXPECT_TRUE(user.exists("New\\Path"));
    ASSERT_TRUE(user.setString("New\\Path", "kept", "yes"));
    EXPECT_EQ(ensureUserKey(user.sub("New\\Path")), 0);
    EXPECT_TRUE(user.valueExists("New\\Path", "kept"));
}

TEST(RegistryPrimitives, ReadFirstValueReportsNameTypeAndSize) {
    ScratchKey user(HKEY_CURRENT_USER, "Software\\MallowbrookTests\\First");
    ASSERT_TRUE(user.setDword("", "count", 42));
    std::string name;
    DWORD type = 0;
    BYTE data[16] = {};
    DWORD size = sizeof(data);
    EXPECT_EQ(readFirstValue(HKEY_CURRENT_USER, user.path(), name, type, data, size), 0);
    EXPECT_EQ(name, "count");
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(data[0], 42);

    const std::string big(2000, 'b');
    ScratchKey large(HKEY_CURRENT_USER, "Software\\MallowbrookTests\\FirstLarge");
    ASSERT_TRUE(large.setString("", "", big));
    size = sizeof(data);
    EXPECT_EQ(readFirstValue(HKEY_CURRENT_USER, large.path(), name, type, data, size), ERROR_MORE_DATA);
}
