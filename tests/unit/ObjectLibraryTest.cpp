#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "capture/RestoreSet.h"
#include "environment/ObjectLibrary.h"
#include "environment/ObjectLibraryText.h"
#include "log/StringLog.h"
#include "registry/RegistryAccessor.h"
#include "registry/RegistryPrimitives.h"
#include "support/LauncherProcess.h"

// Against the real (Wine) registry: the Access object library registration is removed before
// and after each test. MSACC.OLB is the type library the build compiles from the project's IDL
// with the Access library's GUID, version 9.0 and locale 0.
namespace {

const char kLibraryKey[] = "TypeLib\\{4AFFC9A0-5F99-101B-AF4E-00AA003F0F07}";

std::string scratchFolder(const char* name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string registeredPath() {
    std::string text = "(missing)";
    readStringValue(HKEY_CLASSES_ROOT, kObjectLibraryPathKey, "", text);
    return text;
}

int countLines(const StringLog& log, const std::string& line) {
    return static_cast<int>(std::count(log.lines().begin(), log.lines().end(), line));
}

// The step's own lines, without the registry layer's request lines.
std::vector<std::string> stepLines(const StringLog& log) {
    std::vector<std::string> lines;
    for (const std::string& line : log.lines())
        if (line.compare(0, 7, "2016 - ") == 0)
            lines.push_back(line);
    return lines;
}

bool anyLineStartsWith(const StringLog& log, const std::string& start) {
    for (const std::string& line : log.lines())
        if (line.compare(0, start.size(), start) == 0)
            return true;
    return false;
}

class ObjectLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        deleteKeyTree(HKEY_CLASSES_ROOT, kLibraryKey);
        accessFolder = scratchFolder("mallowbrook-access");
        emptyFolder = scratchFolder("mallowbrook-no-access");
        olbPath = accessFolder + "\\MSACC.OLB";
        ASSERT_TRUE(CopyFileA((binFolder() + "MSACC.OLB").c_str(), olbPath.c_str(), FALSE))
            << "the build puts MSACC.OLB beside the tests";
        DeleteFileA((emptyFolder + "\\MSACC.OLB").c_str());
    }
    void TearDown() override {
        deleteKeyTree(HKEY_CLASSES_ROOT, kLibraryKey);
        DeleteFileA(olbPath.c_str());
        DeleteFileA((emptyFolder + "\\MSACC.OLB").c_str());
        RemoveDirectoryA(accessFolder.c_str());
        RemoveDirectoryA(emptyFolder.c_str());
    }

    void registerAs(const std::string& path) {
        ASSERT_EQ(writeStringValue(HKEY_CLASSES_ROOT, kObjectLibraryPathKey, "", path, true), ERROR_SUCCESS);
    }
    // The "Registry Error" question, answered by the test; counts how often it is asked.
    std::function<bool()> answer(bool yes, std::function<void()> repair = {}) {
        return [this, yes, repair] {
            ++questions;
            if (yes && repair)
                repair();
            return yes;
        };
    }

    StringLog log;
    RegistryAccessor registry{&log};
    ObjectLibraryRegistration library{registry, 2016};
    std::string accessFolder, emptyFolder, olbPath;
    int questions = 0;
};

}  // namespace

TEST_F(ObjectLibrary, PathDifferingOnlyInCaseIsCorrectAndNothingIsRegistered) {
    std::string upper = olbPath;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; });
    ASSERT_NE(upper, olbPath);
    registerAs(upper);
    EXPECT_TRUE(library.ensure(accessFolder, false, answer(false)));
    EXPECT_EQ(stepLines(log), (std::vector<std::string>{"2016 - Current MsAcc.olb Path is: " + upper,
                                                        "2016 - MsAcc.olb path is correct."}));
    EXPECT_FALSE(anyLineStartsWith(log, "Registering dll:"));
    EXPECT_EQ(registeredPath(), upper);
    EXPECT_EQ(questions, 0);
}

TEST_F(ObjectLibrary, WrongPathIsReplacedByRegisteringTheFoldersLibrary) {
    registerAs("C:\\Program Files\\Microsoft Office\\OFFICE11\\MSACC.OLB");
    EXPECT_TRUE(library.ensure(accessFolder + "\\", false, answer(false)));
    EXPECT_EQ(registeredPath(), olbPath);
    EXPECT_EQ(questions, 0);
    EXPECT_EQ(
        stepLines(log),
        (std::vector<std::string>{
            "2016 - Current MsAcc.olb Path is: C:\\Program Files\\Microsoft Office\\OFFICE11\\MSACC.OLB",
            "2016 - Need to set MsAcc.olb Path to: " + olbPath, "2016 - MsAcc.olb was successfully registered."}));
    EXPECT_EQ(countLines(log, "Registering dll:" + olbPath), 1);
}

TEST_F(ObjectLibrary, MissingRegistrationReadsAsEmptyAndIsMade) {
    EXPECT_EQ(library.registeredPath(), "");
    EXPECT_TRUE(library.registerLibrary(olbPath));
    EXPECT_EQ(stepLines(log).front(), "2016 - Current MsAcc.olb Path is: ");
    EXPECT_EQ(library.registeredPath(), olbPath);
}

TEST_F(ObjectLibrary, FailedRegistrationAsksOnceAndNoEndsTheStep) {
    registerAs("C:\\Old\\MSACC.OLB");
    EXPECT_FALSE(library.ensure(emptyFolder, false, answer(false)));
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(countLines(log, "2016 - Failed to register MsAcc.olb"), 1);
    EXPECT_EQ(countLines(log, "2016 - Current MsAcc.olb Path is: C:\\Old\\MSACC.OLB"), 1) << "no second attempt";
    EXPECT_FALSE(anyLineStartsWith(log, "2016 - Even after repairing permissions"));
    EXPECT_EQ(registeredPath(), "C:\\Old\\MSACC.OLB");
}

TEST_F(ObjectLibrary, RepairThatDoesNotHelpTriesOnceMoreThenSaysSo) {
    EXPECT_FALSE(library.ensure(emptyFolder, false, answer(true)));
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(countLines(log, "2016 - Failed to register MsAcc.olb"), 2);
    EXPECT_EQ(stepLines(log).back(), "2016 - Even after repairing permissions, MsAcc.olb could not be registered.");
}

TEST_F(ObjectLibrary, SecondAttemptAfterARepairCanSucceed) {
    const std::string late = emptyFolder + "\\MSACC.OLB";
    EXPECT_TRUE(
        library.ensure(emptyFolder, false, answer(true, [&] { CopyFileA(olbPath.c_str(), late.c_str(), FALSE); })));
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(registeredPath(), late);
    EXPECT_EQ(stepLines(log).back(), "2016 - MsAcc.olb was successfully registered.");
}

TEST_F(ObjectLibrary, Windows9xIsNeverAsked) {
    EXPECT_FALSE(library.ensure(emptyFolder, true, answer(true)));
    EXPECT_EQ(questions, 0);
    EXPECT_EQ(countLines(log, "2016 - Failed to register MsAcc.olb"), 1);
}

namespace {

std::vector<std::string> keysOf(const RestoreSet& set) {
    std::vector<std::string> keys;
    for (const SavedValue& entry : set.entries())
        keys.push_back(entry.key);
    return keys;
}

}  // namespace

TEST(KeepObjectLibrary, ForwardSwitchBelow14DropsTheFourEntries) {
    const std::vector<std::string> kept = {"Access.Application\\CurVer", "Access.Application\\CLSID",
                                           "TypeLib\\{4AFFC9A0-5F99-101B-AF4E-00AA003F0F07}\\9.0",
                                           "TypeLib\\{4AFFC9A0-5F99-101B-AF4E-00AA003F0F07}\\9.0\\0\\win32"};
    const struct {
        const char* before;
        const char* after;
        bool drops;
    } cases[] = {
        {"Access.Application.11", "Access.Application.12", true},
        {"Access.Application.12", "Access.Application.12", true},
        {"Access.Application.12", "Access.Application.11", false},
        {"Access.Application.11", "Access.Application.14", false},
        {"Access.Application.16", "Access.Application.16", false},
        {"", "Access.Application.12", false},
    };
    for (const auto& c : cases) {
        RestoreSet set(false);
        set.add(HKEY_CLASSES_ROOT, ".mdb", "");
        for (const std::string& key : kept)
            set.add(HKEY_CLASSES_ROOT, key, "");
        set.add(HKEY_CLASSES_ROOT, "Access.Application\\CurVer", "");  // a later duplicate stays
        StringLog log;
        keepObjectLibraryEntries(&log, set, c.before, c.after);
        std::vector<std::string> expected = {".mdb"};
        if (!c.drops)
            expected.insert(expected.end(), kept.begin(), kept.end());
        expected.push_back("Access.Application\\CurVer");
        EXPECT_EQ(keysOf(set), expected) << c.before << " -> " << c.after;
        EXPECT_EQ(log.lines(),
                  c.drops ? std::vector<std::string>{"Not setting back object library"} : std::vector<std::string>{})
            << c.before << " -> " << c.after;
    }
}

TEST(KeepObjectLibrary, FromTheFixedTableExactlyFourEntriesLeave) {
    RestoreSet set(false);
    set.addFixedValues();
    const std::size_t before = set.entries().size();
    StringLog log;
    keepObjectLibraryEntries(&log, set, "Access.Application.11", "Access.Application.12");
    EXPECT_EQ(set.entries().size(), before - 4);
    for (const SavedValue& entry : set.entries())
        EXPECT_NE(entry.key, "TypeLib\\{4AFFC9A0-5F99-101B-AF4E-00AA003F0F07}\\9.0\\0\\win32");
}
