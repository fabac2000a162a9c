#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "registry/FixedValueTable.h"

namespace {

struct RowCase {
    std::size_t index;
    Hive hive;
    const char* key;
    const char* valueName;
};

void expectRow(const RowCase& c) {
    const FixedValue& row = kFixedValues[c.index];
    EXPECT_EQ(row.hive, c.hive) << "row " << c.index;
    EXPECT_STREQ(row.key, c.key) << "row " << c.index;
    EXPECT_STREQ(row.valueName, c.valueName) << "row " << c.index;
}

}  // namespace

TEST(FixedValueTable, HoldsClassesRootRowsThenLocalMachineRows) {
    ASSERT_EQ(sizeof(kFixedValues) / sizeof(kFixedValues[0]), 351u);
    for (std::size_t i = 0; i < 349; ++i)
        EXPECT_EQ(kFixedValues[i].hive, Hive::ClassesRoot) << "row " << i;
    for (std::size_t i = 349; i < 351; ++i)
        EXPECT_EQ(kFixedValues[i].hive, Hive::LocalMachine) << "row " << i;
    for (std::size_t i = 0; i < 351; ++i) {
        ASSERT_NE(kFixedValues[i].key, nullptr) << "row " << i;
        ASSERT_NE(kFixedValues[i].valueName, nullptr) << "row " << i;
        EXPECT_NE(std::strlen(kFixedValues[i].key), 0u) << "row " << i;
    }
}

TEST(FixedValueTable, FirstLastAndBoundaryRows) {
    const RowCase cases[] = {
        {0, Hive::ClassesRoot, ".accda", ""},
        {1, Hive::ClassesRoot, ".accda", "Content Type"},
        {2, Hive::ClassesRoot, ".accdb", ""},
        {13, Hive::ClassesRoot, ".accft", ""},
        {14, Hive::ClassesRoot, ".laccdb", ""},
        {15, Hive::ClassesRoot, "Access.ACCDAExtension", ""},
        {348, Hive::ClassesRoot, "PipFile\\DefaultIcon", ""},
        {346, Hive::ClassesRoot, "PipFile", ""},
        {347, Hive::ClassesRoot, "PipFile", "NoOpen"},
        {349, Hive::LocalMachine, "SOFTWARE\\Microsoft\\Office\\Common", "LastAccessInstall"},
        {350, Hive::LocalMachine,
         "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Components\\"
         "87FA5D886C9174D44BCEB5FA380DE229",
         "00004102110000000000000000F01FEC"},
    };
    for (const auto& c : cases)
        expectRow(c);
}

TEST(FixedValueTable, DoubledRowsAreSeparateEntries) {
    // Each pair: the same key and value name, listed twice on purpose.
    const RowCase cases[] = {
        {26, Hive::ClassesRoot, "Access.ADEFile\\CurVer", ""},
        {174, Hive::ClassesRoot, "Access.ADEFile\\CurVer", ""},
        {148, Hive::ClassesRoot, "CLSID\\{73A4C9C1-D68D-11D0-98BF-00A0C90DC8D9}\\LocalServer32", "LocalServer32"},
        {272, Hive::ClassesRoot, "CLSID\\{73A4C9C1-D68D-11D0-98BF-00A0C90DC8D9}\\LocalServer32", "LocalServer32"},
        {86, Hive::ClassesRoot, "Access.Shortcut.Query.1\\shell\\Preview\\command", ""},
        {229, Hive::ClassesRoot, "Access.Shortcut.Query.1\\shell\\Preview\\command", ""},
    };
    for (const auto& c : cases)
        expectRow(c);

    int exactDuplicates = 0;
    for (std::size_t i = 0; i < 351; ++i)
        for (std::size_t j = i + 1; j < 351; ++j)
            if (kFixedValues[i].hive == kFixedValues[j].hive &&
                std::string(kFixedValues[i].key) == kFixedValues[j].key &&
                std::string(kFixedValues[i].valueName) == kFixedValues[j].valueName)
                ++exactDuplicates;
    EXPECT_EQ(exactDuplicates, 13);
}

TEST(FixedValueTable, KeepsLetterCaseAsListed) {
    const RowCase cases[] = {
        {59, Hive::ClassesRoot, "Access.ShortCut.Form.1\\shell\\Open\\command", "command"},
        {67, Hive::ClassesRoot, "Access.Shortcut.Function.1\\shell\\Design\\command", "command"},
        {71, Hive::ClassesRoot, "Access.ShortCut.Macro", ""},
        {206, Hive::ClassesRoot, "Access.Shortcut.Form.1\\shell\\Open\\command", ""},
        {207, Hive::ClassesRoot, "Access.Shortcut.Form.1\\shell\\Open\\command", "command"},
        {250, Hive::ClassesRoot, "Access.Shortcut.Table.1\\shell\\Open\\command", ""},
    };
    for (const auto& c : cases)
        expectRow(c);
}

TEST(FixedValueTable, InterfaceTypeLibraryRows) {
    // The interface rows: default and "Version" of the first, "Version" of 53 more, then one default.
    std::size_t first = 0;
    while (first < 351 && std::string(kFixedValues[first].key).rfind("Interface\\", 0) != 0)
        ++first;
    ASSERT_LT(first, 351u);
    const RowCase cases[] = {
        {first, Hive::ClassesRoot, "Interface\\{618736E0-3C3D-11CF-810C-00AA00389B71}\\TypeLib", ""},
        {first + 1, Hive::ClassesRoot, "Interface\\{618736E0-3C3D-11CF-810C-00AA00389B71}\\TypeLib", "Version"},
        {first + 2, Hive::ClassesRoot, "Interface\\{C547E760-9658-101B-81EE-00AA004750E2}\\TypeLib", "Version"},
        {first + 3, Hive::ClassesRoot, "Interface\\{331FDD00-CF31-11CD-8701-00AA003F0F07}\\TypeLib", "Version"},
        {first + 54, Hive::ClassesRoot, "Interface\\{A4C46780-499F-101B-BB78-00AA00383CBB}\\TypeLib", "Version"},
        {first + 55, Hive::ClassesRoot, "Interface\\{CDDE3804-2064-11CF-867F-00AA005FF34A}\\TypeLib", ""},
        {first + 56, Hive::ClassesRoot, "mhtmlfile\\shell\\Edit\\command", ""},
    };
    for (const auto& c : cases)
        expectRow(c);
}
