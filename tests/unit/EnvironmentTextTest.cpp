#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

#include "environment/ComponentPathTable.h"
#include "environment/ObjectLibraryText.h"
#include "environment/TrustVerdict.h"
#include "environment/TrustedLocationText.h"
#include "registry/FixedValueTable.h"

namespace {

std::string thrownMessage(int edition) {
    try {
        trustedLocationsKey(edition);
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "(no exception)";
}

bool inFixedTable(Hive hive, const std::string& key, const std::string& valueName) {
    for (const FixedValue& row : kFixedValues)
        if (row.hive == hive && key == row.key && valueName == row.valueName)
            return true;
    return false;
}

}  // namespace

TEST(TrustedLocationText, KeyOnlyForEditionsWithTrustedLocations) {
    EXPECT_EQ(trustedLocationsKey(2010), "Software\\Microsoft\\Office\\14.0\\Access\\Security\\Trusted Locations");
    for (int edition : {2002, 2003, 2005, 0, -1})
        EXPECT_EQ(thrownMessage(edition), "Unexpected Access version. Can't set trusted folder location.") << edition;
}

TEST(TrustedLocationText, FolderComparisonAddsTrailingBackslashAndIgnoresAsciiCase) {
    const struct {
        const char* wanted;
        const char* registered;
        bool same;
    } cases[] = {
        {"c:\\data\\", "C:\\DATA", true},
        {"C:\\Data", "C:\\DATA", true},
        {"C:\\DATA\\", "C:\\DATA\\", true},
        {"D:\\Apps", "D:\\Apps\\", true},
        {"C:\\Data", "C:\\Data\\\\", false},  // doubled separators are not folded
        {"C:\\Data\\Sub", "C:\\Data", false},
        {"C:\\Dat", "C:\\Data", false},
        {"C:\\Data\\..\\Data", "C:\\Data", false},  // no resolution of ".."
        {"%USERPROFILE%", "C:\\users\\me", false},  // no expansion
        {"C:\\D\xC4TA", "C:\\d\xE4ta", false},      // only A to Z fold
        {"", "\\", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sameTrustedFolder(c.wanted, c.registered), c.same) << c.wanted << " vs " << c.registered;
}

TEST(TrustedLocationText, DatabaseFolderNeedsABackslash) {
    const struct {
        const char* path;
        const char* folder;
    } cases[] = {
        {"c:\\apps\\sales.accdb", "c:\\apps"},
        {"\\\\server\\share\\db\\sales.mdb", "\\\\server\\share\\db"},
        {"sales.accdb", ""},  // a bare file name names no folder
        {"c:sales.accdb", ""},
        {"", ""},
        {"\\sales.mdb", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(databaseFolderToTrust(c.path), c.folder) << c.path;
}

// Each policy state against a local folder, a share and a mapped network drive: the rule of
// kTrustPolicyRules that voids the location there ('0' to '2'), or '-' where it takes effect.
// A number of -1: the value is not set.
TEST(TrustVerdict, PolicyStateByFolderKind) {
    const struct {
        long long numbers[kTrustPolicyRuleCount];
        bool setByPolicy;
        const char* voidedBy;
    } cases[] = {
        {{-1, -1, -1}, false, "---"}, {{1, -1, -1}, false, "000"}, {{7, -1, -1}, true, "000"},
        {{0, 1, 1}, false, "---"},    {{-1, 0, -1}, false, "111"}, {{-1, 0, -1}, true, "---"},
        {{-1, -1, 0}, true, "-22"},   {{-1, 0, 0}, true, "-22"},   {{1, 0, 0}, false, "000"},
    };
    const FolderKind kinds[] = {FolderKind::Local, FolderKind::NetworkShare, FolderKind::NetworkDrive};
    for (const auto& c : cases) {
        TrustPolicy policy;
        for (int i = 0; i < kTrustPolicyRuleCount; ++i)
            if (c.numbers[i] >= 0)
                policy.values[i] = {true, static_cast<std::uint32_t>(c.numbers[i]), "HKCU\\P"};
        policy.folderSetByPolicy = c.setByPolicy;
        for (int k = 0; k < 3; ++k) {
            const TrustVerdict verdict = decideTrust(kinds[k], policy);
            EXPECT_EQ(verdict.voided ? static_cast<char>('0' + verdict.rule) : '-', c.voidedBy[k])
                << folderKindText(kinds[k]) << ", row " << (&c - cases);
        }
    }
    EXPECT_EQ(decideTrust(FolderKind::Local, {{{true, 1, "HKCU\\P [X]"}}, false}).policyValue, "HKCU\\P [X] = 1");
}

// "UNC", or the drive root whose type decides, or "" when the text names neither.
TEST(TrustVerdict, UncPathsAndDrivesFromTheText) {
    const std::pair<const char*, const char*> cases[] = {
        {"\\\\server\\apps", "UNC"},
        {"//server/apps", "UNC"},
        {"\\\\?\\unc\\server\\apps", "UNC"},
        {"\\\\?\\C:\\Apps", "C:\\"},
        {"\\\\.\\n:\\Apps", "n:\\"},
        {"\\\\.\\PhysicalDrive0", ""},
        {"\\\\?\\UNC", ""},
        {"\\\\\\server", ""},
        {"N:", "N:\\"},
        {"\\apps", ""},
        {"1:\\apps", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        const FolderPlace place = placeOfFolder(c.first);
        EXPECT_EQ(place.unc ? "UNC" : place.driveRoot, c.second) << c.first;
    }
}

TEST(TrustVerdict, PolicyLocationCoversSubfoldersOnlyWhenAllowed) {
    EXPECT_TRUE(locationCoversFolder("\\\\Server\\Apps\\", false, "\\\\server\\apps"));
    EXPECT_FALSE(locationCoversFolder("\\\\server\\apps", false, "\\\\server\\apps\\sales"));
    EXPECT_TRUE(locationCoversFolder("\\\\server\\apps\\", true, "\\\\SERVER\\APPS\\Sales\\Q1"));
    EXPECT_FALSE(locationCoversFolder("\\\\server\\apps", true, "\\\\server\\apps2"));
}

TEST(ObjectLibraryText, ProgIdVersionNumberReadsDigitsAfterThePrefix) {
    const struct {
        const char* progId;
        int number;
    } cases[] = {
        {"Access.Application.11", 11},
        {"Access.Application.12", 12},
        {"access.application.16", 16},
        {"Xxxxxx.Xxxxxxxxxxx.9", 9},  // only the length of the prefix counts
        {"Access.Application.", 0},
        {"Access.Application", 0},
        {"Access.Application.abc", 0},
        {"Access.Application.14abc", 14},
        {"Access.Application. 15", 15},
        {"Access.Application.99999999999999", 2147483647},
        {"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(progIdVersionNumber(c.progId), c.number) << c.progId;
}

TEST(ObjectLibraryText, SwitchStaysOnlyForwardAndBelow14) {
    const struct {
        const char* before;
        const char* after;
        bool keeps;
    } cases[] = {
        {"Access.Application.11", "Access.Application.12", true},
        {"Access.Application.10", "Access.Application.10", true},
        {"Access.Application.9", "Access.Application.11", true},
        {"Access.Application.12", "Access.Application.11", false},
        {"Access.Application.11", "Access.Application.14", false},
        {"Access.Application.16", "Access.Application.14", false},
        {"Access.Application.14", "Access.Application.16", false},
        {"", "Access.Application.12", false},
        {"Access.Application.11", "", false},
        {"Access.Application", "Access.Application.12", true},  // no number reads as 0
    };
    for (const auto& c : cases)
        EXPECT_EQ(keepsObjectLibrarySwitched(c.before, c.after), c.keeps) << c.before << " -> " << c.after;
}

TEST(ObjectLibraryText, KeptEntriesAreRecordedValues) {
    // An entry that is not in the fixed table could never be taken out of the restore set.
    for (const char* key : kKeptObjectLibraryKeys)
        EXPECT_TRUE(inFixedTable(Hive::ClassesRoot, key, "")) << key;
    EXPECT_TRUE(inFixedTable(Hive::ClassesRoot, kObjectLibraryPathKey, ""));
}

TEST(ComponentPathTable, RowsComposeKeysAndValues) {
    ASSERT_EQ(std::size(kComponentPathRows), 18u);
    const std::string access = "C:\\Program Files\\Office\\OFFICE14";
    const std::string shared = "C:\\Common\\Microsoft Shared\\OFFICE14";
    const struct {
        std::size_t index;
        const char* key;
        std::string value;
    } cases[] = {
        {0, "SOFTWARE\\Classes\\CLSID\\{252BFDA2-4B21-4872-ABA3-043945949BF8}\\InprocServer32",
         access + "\\STSLIST.DLL"},
        {3, "SOFTWARE\\Classes\\CLSID\\{2F7FC18E-292B-11D2-A795-DFAA798E9148}\\InprocServer32",
         access + "\\MSRTEDIT.DLL"},
        {4, "SOFTWARE\\Classes\\CLSID\\{2F7FC18E-292B-11D2-A795-DFAA798E9148}\\ToolboxBitmap32",
         access + "\\MSRTEDIT.DLL, 101"},
        {5, "SOFTWARE\\Classes\\CLSID\\{3BE786A0-0366-4F5C-9434-25CF162E475E}\\InprocServer32",
         shared + "\\ACEOLEDB.DLL"},
        {6, "SOFTWARE\\Classes\\CLSID\\{3BE786A0-0366-4F5C-9434-25CF162E475F}\\InprocServer32",
         shared + "\\ACEOLEDB.DLL"},
        {7, "SOFTWARE\\Classes\\CLSID\\{42042206-2D85-11D3-8CFF-005004838597}\\InprocServer32",
         access + "\\msohevi.DLL"},
        {8, "SOFTWARE\\Classes\\CLSID\\{367E582C-F71C-4BF9-AA1B-9F62B793E9C5}\\InprocServer32",
         shared + "\\ACEDAO.DLL"},
        {16, "SOFTWARE\\Classes\\CLSID\\{D5EC4D34-77DA-4F7A-B8C4-8A910C1C1CFE}\\InprocServer32",
         shared + "\\ACEDAO.DLL"},
        {17, "SOFTWARE\\Classes\\CLSID\\{73A4C9C1-D68D-11D0-98BF-00A0C90DC8D9}\\LocalServer32",
         access + "\\MSACCESS.EXE"},
    };
    for (const auto& c : cases) {
        const ComponentPathRow& row = kComponentPathRows[c.index];
        EXPECT_EQ(componentPathKey(row), c.key) << "row " << c.index + 1;
        EXPECT_EQ(componentPathValue(row, access, shared), c.value) << "row " << c.index + 1;
    }
    // A folder given with its trailing "\" still yields one separator.
    EXPECT_EQ(componentPathValue(kComponentPathRows[17], access + "\\", shared), access + "\\MSACCESS.EXE");
}

TEST(ComponentPathTable, EveryRowAndTheAceCoreValueAreRecordedForTheRestore) {
    // The rows are written under HKEY_LOCAL_MACHINE and put back through HKEY_CLASSES_ROOT.
    for (std::size_t i = 0; i < std::size(kComponentPathRows); ++i) {
        const ComponentPathRow& row = kComponentPathRows[i];
        const std::string key = std::string("CLSID\\") + row.classId + "\\" + row.subkey;
        EXPECT_TRUE(inFixedTable(Hive::ClassesRoot, key, "")) << "row " << i + 1 << ": " << key;
    }
    EXPECT_TRUE(inFixedTable(Hive::LocalMachine, kAceCoreComponentKey, kAceCoreComponentValue));
}

TEST(ComponentPathTable, SharedFolderOfAnEdition) {
    EXPECT_EQ(officeSharedFolder("C:\\Program Files\\Common Files", "OFFICE14"),
              "C:\\Program Files\\Common Files\\Microsoft Shared\\OFFICE14");
    EXPECT_EQ(officeSharedFolder("C:\\Program Files\\Common Files\\", "OFFICE12"),
              "C:\\Program Files\\Common Files\\Microsoft Shared\\OFFICE12");
}
