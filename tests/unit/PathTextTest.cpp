#include <gtest/gtest.h>

#include <string>

#include "base/PathText.h"

namespace {

struct TextCase {
    const char* input;
    const char* expected;
};

}  // namespace

TEST(PathText, FolderPart) {
    const TextCase cases[] = {
        {"C:\\Apps\\db.mdb", "C:\\Apps"},
        {"C:\\Apps\\", "C:\\Apps"},
        {"db.mdb", "db.mdb"},
        {"\\db.mdb", ""},
        {"", ""},
        {"\\\\server\\share\\a.mdb", "\\\\server\\share"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(folderPart(c.input), c.expected) << c.input;
}

TEST(PathText, FileNamePart) {
    const TextCase cases[] = {
        {"C:\\Apps\\db.mdb", "db.mdb"},       {"C:\\Apps\\", ""}, {"db.mdb", "db.mdb"}, {"", ""},
        {"C:/Apps/db.mdb", "C:/Apps/db.mdb"},  // only "\" separates
    };
    for (const auto& c : cases)
        EXPECT_EQ(fileNamePart(c.input), c.expected) << c.input;
}

TEST(PathText, EnsureTrailingBackslash) {
    const TextCase cases[] = {
        {"C:\\Apps", "C:\\Apps\\"},       {"C:\\Apps\\", "C:\\Apps\\"}, {"", "\\"}, {"\\", "\\"},
        {"C:\\Apps\\\\", "C:\\Apps\\\\"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ensureTrailingBackslash(c.input), c.expected) << c.input;
}

TEST(PathText, JoinLeavesExactlyOneSeparator) {
    const struct {
        const char* first;
        const char* second;
        const char* expected;
    } cases[] = {
        {"C:\\Apps", "\\MSACC.OLB", "C:\\Apps\\MSACC.OLB"},
        {"C:\\Apps\\", "MSACC.OLB", "C:\\Apps\\MSACC.OLB"},
        {"C:\\Apps", "MSACC.OLB", "C:\\Apps\\MSACC.OLB"},
        {"C:\\Apps\\", "\\\\\\MSACC.OLB", "C:\\Apps\\MSACC.OLB"},
        {"C:\\Apps", "Sub\\File", "C:\\Apps\\Sub\\File"},
        {"", "x", "\\x"},
        {"C:\\Apps", "", "C:\\Apps\\"},
        {"C:\\Apps", "\\", "C:\\Apps\\"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(joinPath(c.first, c.second), c.expected) << c.first << " + " << c.second;
}
