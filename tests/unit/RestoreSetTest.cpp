#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "base/UniqueHandle.h"
#include "capture/CaptureCipher.h"
#include "capture/CaptureFile.h"
#include "capture/RestoreSet.h"
#include "capture/CaptureFileCheck.h"
#include "registry/FixedValueTable.h"
#include "support/ScratchKey.h"

namespace {

const char kArea[] = "Software\\MallowbrookTests\\RestoreSet";

struct Raw {
    DWORD type;
    std::string data;
};

Raw raw(const ScratchKey& key, const std::string& relative, const std::string& name) {
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!key.getRaw(relative, name, type, data))
        return {0, "(missing)"};
    return {type, std::string(data.begin(), data.end())};
}

Raw text(const std::string& value) {
    return {REG_SZ, value + '\0'};
}

Raw number(DWORD value) {
    return {REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof(value))};
}

void writeFileBytes(const std::string& bytes) {
    UniqueFile file(CreateFileA(captureFilePath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_HIDDEN, nullptr));
    ASSERT_TRUE(file);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

// One value of the test area: how it is stored, what the test changes it to, what must come back.
struct Case {
    const char* name;  // value name, also names the case
    DWORD type;
    std::string data;  // stored bytes
    Raw expected;      // after restore
};

class RestoreSetTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteFileA(captureFilePath().c_str()); }
    void TearDown() override { DeleteFileA(captureFilePath().c_str()); }

    void seed(const std::vector<Case>& cases) {
        for (const auto& c : cases)
            ASSERT_TRUE(area.setRaw("", c.name, c.type, c.data.data(), static_cast<DWORD>(c.data.size()))) << c.name;
    }
    void changeAll(const std::vector<Case>& cases) {
        for (const auto& c : cases)
            area.setString("", c.name, "changed");
    }
    void addAll(RestoreSet& set, const std::vector<Case>& cases) {
        for (const auto& c : cases)
            set.add(HKEY_CURRENT_USER, kArea, c.name);
    }
    void expectRestored(const std::vector<Case>& cases, const char* how) {
        for (const auto& c : cases) {
            Raw now = raw(area, "", c.name);
            EXPECT_EQ(now.type, c.expected.type) << c.name << " " << how;
            EXPECT_EQ(now.data, c.expected.data) << c.name << " " << how;
        }
    }

    ScratchKey area{HKEY_CURRENT_USER, kArea};
};

std::string sz(const std::string& value) {
    return value + '\0';
}

std::vector<Case> everyKind() {
    const DWORD big = 3000000000u, all = 0xFFFFFFFFu, small = 7;
    const std::string longText(4096, 'L');
    return {
        {"plain", REG_SZ, sz("Access.MDBFile"), text("Access.MDBFile")},
        {"", REG_SZ, sz("default text"), text("default text")},
        {"empty", REG_SZ, sz(""), text("")},
        {"equals", REG_SZ, sz("=a=b="), text("=a=b=")},
        {"tabs", REG_SZ, sz("\ta\tb\t"), text("\ta\tb\t")},
        {"blanks", REG_SZ, sz("  trailing blanks   "), text("  trailing blanks   ")},
        {"line feed", REG_SZ, sz("first\nsecond\n"), text("first\nsecond\n")},
        {"has=equals", REG_SZ, sz("name with equals"), text("name with equals")},
        {"expand", REG_EXPAND_SZ, sz("%SystemRoot%\\x"), {REG_EXPAND_SZ, sz("%SystemRoot%\\x")}},
        {"small", REG_DWORD, std::string(reinterpret_cast<const char*>(&small), 4), number(small)},
        {"big", REG_DWORD, std::string(reinterpret_cast<const char*>(&big), 4), number(big)},
        {"all bits", REG_DWORD, std::string(reinterpret_cast<const char*>(&all), 4), number(all)},
        // Not recorded through the file: they keep whatever they hold at restore time. In
        // memory they are recorded whole and come back as they were.
        {"binary", REG_BINARY, std::string("\x01\x02", 2), text("changed")},
        {"too long", REG_SZ, sz(longText), text("changed")},
    };
}

}  // namespace

TEST_F(RestoreSetTest, EveryKindOfValueComesBackThroughTheFile) {
    const auto cases = everyKind();
    seed(cases);
    {
        RestoreSet set(true);
        addAll(set, cases);
        set.add(HKEY_CURRENT_USER, kArea, "missing");
        set.capture();
    }
    const std::string path = captureFilePath();
    const DWORD attributes = GetFileAttributesA(path.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);

    changeAll(cases);
    area.setString("", "missing", "created after the capture");
    RestoreSet set(true);
    addAll(set, cases);
    set.add(HKEY_CURRENT_USER, kArea, "missing");
    EXPECT_TRUE(set.load()) << set.fileProblem();
    EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << "load keeps the file";
    set.restoreAll();
    expectRestored(cases, "from the file");
    // A value that did not exist at capture time is left as it is now.
    EXPECT_EQ(raw(area, "", "missing").data, text("created after the capture").data);
}

TEST_F(RestoreSetTest, EveryKindOfValueComesBackFromMemory) {
    auto cases = everyKind();
    for (auto& c : cases)
        c.expected = {c.type, c.data};
    seed(cases);
    RestoreSet set(false);
    addAll(set, cases);
    set.capture();
    EXPECT_EQ(GetFileAttributesA(captureFilePath().c_str()), INVALID_FILE_ATTRIBUTES) << "memory mode writes no file";
    changeAll(cases);
    set.restoreAll();
    expectRestored(cases, "from memory");
}

TEST_F(RestoreSetTest, RecordsTypeAndDataOfEachEntry) {
    area.setString("", "s", "text");
    area.setDword("", "d", 3000000000u);
    area.setRaw("", "e", REG_EXPAND_SZ, "%X%", 4);
    RestoreSet set(false);
    for (const char* name : {"s", "d", "e", "absent"})
        set.add(HKEY_CURRENT_USER, kArea, name);
    set.capture();
    const auto& e = set.entries();
    ASSERT_EQ(e.size(), 4u);
    EXPECT_TRUE(e[0].recorded);
    EXPECT_EQ(e[0].type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(e[0].text, "text");
    EXPECT_TRUE(e[1].recorded);
    EXPECT_EQ(e[1].type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(e[1].number, 3000000000u);
    EXPECT_TRUE(e[2].recorded);
    EXPECT_EQ(e[2].type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(e[2].text, "%X%");
    EXPECT_FALSE(e[3].recorded);
}

TEST_F(RestoreSetTest, OfTwoEntriesForOneValueTheFileFillsOnlyTheFirst) {
    area.setString("", "twice", "original");
    {
        RestoreSet set(true);
        set.add(HKEY_CURRENT_USER, kArea, "twice");
        set.add(HKEY_CURRENT_USER, kArea, "twice");
        set.capture();
    }
    area.setString("", "twice", "changed");
    RestoreSet fromFile(true);
    fromFile.add(HKEY_CURRENT_USER, kArea, "twice");
    fromFile.add(HKEY_CURRENT_USER, kArea, "twice");
    fromFile.load();
    EXPECT_TRUE(fromFile.entries()[0].recorded);
    EXPECT_FALSE(fromFile.entries()[1].recorded);
    fromFile.restoreAll();
    EXPECT_EQ(raw(area, "", "twice").data, text("original").data);

    // In memory both are captured and both written back.
    RestoreSet inMemory(false);
    inMemory.add(HKEY_CURRENT_USER, kArea, "twice");
    inMemory.add(HKEY_CURRENT_USER, kArea, "twice");
    inMemory.capture();
    EXPECT_TRUE(inMemory.entries()[0].recorded);
    EXPECT_TRUE(inMemory.entries()[1].recorded);
}

TEST_F(RestoreSetTest, EveryLineGoesToTheFirstEntryOfItsValueSoTheLastLineWins) {
    const std::string path = "HKEY_CURRENT_USER\\" + std::string(kArea);
    writeFileBytes(encipherCaptureContent(path + "\tv=REG_SZ\tfirst\n" + path + "\tw=REG_DWORD\t7\n" + path +
                                          "\tv=REG_SZ\tsecond\n" + path + "\tnone=REG_SZ\tx\n"));
    RestoreSet set(true);
    set.add(HKEY_CURRENT_USER, kArea, "v");
    set.add(HKEY_CURRENT_USER, kArea, "w");
    set.add(HKEY_CURRENT_USER, kArea, "v");
    set.add(HKEY_LOCAL_MACHINE, kArea, "w");
    set.load();
    const auto& e = set.entries();
    ASSERT_EQ(e.size(), 4u);
    EXPECT_TRUE(e[0].recorded);
    EXPECT_EQ(e[0].text, "second");
    EXPECT_TRUE(e[1].recorded);
    EXPECT_EQ(e[1].number, 7u);
    EXPECT_FALSE(e[2].recorded) << "a second entry of the same value";
    EXPECT_FALSE(e[3].recorded) << "same key and name under another root";
}

TEST_F(RestoreSetTest, LinesMatchByKeyAndValueNameNotByJoinedPath) {
    // "A\B" default and "A" value "B" would both read "A\B" as one joined path.
    area.setString("A\\B", "", "default of A\\B");
    area.setString("A", "B", "value B of A");
    {
        RestoreSet set(true);
        set.add(HKEY_CURRENT_USER, std::string(kArea) + "\\A\\B", "");
        set.add(HKEY_CURRENT_USER, std::string(kArea) + "\\A", "B");
        set.capture();
    }
    area.setString("A\\B", "", "x");
    area.setString("A", "B", "y");
    RestoreSet set(true);
    set.add(HKEY_CURRENT_USER, std::string(kArea) + "\\A\\B", "");
    set.add(HKEY_CURRENT_USER, std::string(kArea) + "\\A", "B");
    set.load();
    set.restoreAll();
    EXPECT_EQ(raw(area, "A\\B", "").data, text("default of A\\B").data);
    EXPECT_EQ(raw(area, "A", "B").data, text("value B of A").data);
}

TEST_F(RestoreSetTest, UnreadableFilesAreRefusedAndKept) {
    area.setString("", "v", "original");
    std::string good;
    {
        RestoreSet set(true);
        set.add(HKEY_CURRENT_USER, kArea, "v");
        set.capture();
    }
    {
        UniqueFile file(CreateFileA(captureFilePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file);
        good.resize(GetFileSize(file.get(), nullptr));
        DWORD read = 0;
        ASSERT_TRUE(ReadFile(file.get(), &good[0], static_cast<DWORD>(good.size()), &read, nullptr));
    }
    ASSERT_EQ(good.size() % 8, 0u);
    ASSERT_GT(good.size(), 8u);
    CaptureKey other = kCaptureKey;
    other.bytes[15] ^= 0x80;
    const std::string plain = "HKEY_CURRENT_USER\\" + std::string(kArea) + "\tv=REG_SZ\toriginal\n";
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"length not a multiple of 8", good.substr(0, good.size() - 3)},
        {"one byte more", good + "x"},
        {"another key", encipherCaptureContent(plain, other)},
        {"empty", std::string()},
    };
    for (const auto& c : cases) {
        area.setString("", "v", "changed");
        writeFileBytes(c.bytes);
        RestoreSet set(true);
        set.add(HKEY_CURRENT_USER, kArea, "v");
        EXPECT_FALSE(set.load()) << c.name;
        EXPECT_FALSE(set.fileProblem().empty()) << c.name;
        set.restoreAll();
        EXPECT_FALSE(set.entries()[0].recorded) << c.name;
        EXPECT_EQ(raw(area, "", "v").data, text("changed").data) << c.name;
        EXPECT_NE(GetFileAttributesA(captureFilePath().c_str()), INVALID_FILE_ATTRIBUTES) << c.name;
    }
    // Without a file nothing changes, and that is no fault.
    DeleteFileA(captureFilePath().c_str());
    RestoreSet none(true);
    none.add(HKEY_CURRENT_USER, kArea, "v");
    EXPECT_TRUE(none.load());
    EXPECT_FALSE(none.entries()[0].recorded);
}

TEST_F(RestoreSetTest, CaptureWritesTheFileEvenWhenNothingWasRecorded) {
    RestoreSet set(true);
    set.add(HKEY_CURRENT_USER, kArea, "absent");
    set.capture();
    const std::string path = captureFilePath();
    std::string bytes;
    ASSERT_EQ(readCaptureFile(bytes), 0u) << path;
    const CaptureFileContent content = decodeCaptureFile(bytes);
    EXPECT_TRUE(content.usable) << content.refusal;
    EXPECT_TRUE(content.sealed);
    EXPECT_TRUE(content.values.empty());
}

TEST_F(RestoreSetTest, CaptureFileIsInTheTemporaryFolder) {
    char folder[MAX_PATH + 1] = {};
    ASSERT_NE(GetTempPathA(sizeof(folder), folder), 0u);
    EXPECT_EQ(captureFilePath(), std::string(folder) + "~QVReg.dat");
}

TEST(RestoreSetTable, AddFixedValuesAppendsTheTableInOrder) {
    RestoreSet set(false);
    set.add(HKEY_CURRENT_USER, "before", "x");
    set.addFixedValues();
    const auto& e = set.entries();
    ASSERT_EQ(e.size(), 1 + kFixedValueCount);
    for (std::size_t i = 0; i < kFixedValueCount; ++i) {
        const SavedValue& entry = e[i + 1];
        EXPECT_EQ(entry.root, i < 349 ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE) << "row " << i;
        EXPECT_EQ(entry.key, kFixedValues[i].key) << "row " << i;
        EXPECT_EQ(entry.valueName, kFixedValues[i].valueName) << "row " << i;
        EXPECT_FALSE(entry.recorded) << "row " << i;
    }
}

TEST(RestoreSetTable, RemoveTakesTheFirstClassesRootDefaultValueOnly) {
    RestoreSet set(false);
    set.addFixedValues();
    const std::size_t first = 26, second = 174;  // "Access.ADEFile\CurVer" is listed twice
    ASSERT_EQ(set.entries()[first].key, "Access.ADEFile\\CurVer");
    ASSERT_EQ(set.entries()[second].key, "Access.ADEFile\\CurVer");

    EXPECT_TRUE(set.remove("Access.ADEFile\\CurVer"));
    ASSERT_EQ(set.entries().size(), kFixedValueCount - 1);
    EXPECT_EQ(set.entries()[first].key, kFixedValues[first + 1].key);  // later entries keep their order
    EXPECT_EQ(set.entries()[second - 1].key, "Access.ADEFile\\CurVer");

    const struct {
        const char* key;
        bool removed;
    } cases[] = {
        {"Access.ADEFile\\CurVer", true},                               // the second one now
        {"Access.ADEFile\\CurVer", false},                              // none left
        {"access.adefile\\curver", false},                              // letter case counts
        {"MIME\\Database\\Content Type\\application/msaccess", false},  // only a named value there
        {"SOFTWARE\\Microsoft\\Office\\Common", false},                 // not under HKEY_CLASSES_ROOT
    };
    for (const auto& c : cases)
        EXPECT_EQ(set.remove(c.key), c.removed) << c.key;
    EXPECT_EQ(set.entries().size(), kFixedValueCount - 2);

    RestoreSet named(false);
    named.add(HKEY_CLASSES_ROOT, ".accda", "Content Type");
    named.add(HKEY_CURRENT_USER, ".accda", "");
    named.add(HKEY_CLASSES_ROOT, ".accda", "");
    EXPECT_TRUE(named.remove(".accda"));
    ASSERT_EQ(named.entries().size(), 2u);
    EXPECT_EQ(named.entries()[0].valueName, "Content Type");
    EXPECT_EQ(named.entries()[1].root, HKEY_CURRENT_USER);
}

TEST(AccessProcess, NotRunningDuringUnitTests) {
    EXPECT_FALSE(isAccessRunning());
}
