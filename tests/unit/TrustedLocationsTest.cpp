#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/UniqueHandle.h"
#include "environment/TrustAssessment.h"
#include "environment/TrustedLocationText.h"
#include "environment/TrustedLocations.h"
#include "log/StringLog.h"
#include "registry/RegistryAccessor.h"
#include "registry/RegistryPrimitives.h"
#include "support/RegistrySeed.h"

// Against the real (Wine) registry of the test prefix, under the 2016 trusted-locations key of
// HKEY_CURRENT_USER, which each test starts without.
namespace {

const std::string kKey = "Software\\Microsoft\\Office\\16.0\\Access\\Security\\Trusted Locations";

std::vector<std::string> subkeysOf(const std::string& key) {
    std::vector<std::string> names;
    UniqueKey handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, handle.put()) != ERROR_SUCCESS)
        return names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(handle.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, size);
    }
    return names;
}

DWORD valueCount(const std::string& key) {
    UniqueKey handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, handle.put()) != ERROR_SUCCESS)
        return 0;
    DWORD count = 0;
    RegQueryInfoKeyA(handle.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                     nullptr, nullptr);
    return count;
}

std::string pathOf(const std::string& subkey) {
    std::string text = "(missing)";
    readStringValue(HKEY_CURRENT_USER, kKey + "\\" + subkey, "Path", text);
    return text;
}

bool isGuidText(const std::string& text) {
    if (text.size() != 38 || text.front() != '{' || text.back() != '}')
        return false;
    for (std::size_t i = 1; i < 37; ++i) {
        const char c = text[i];
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? c != '-' : !(std::isdigit(static_cast<unsigned char>(c)) || (c >= 'A' && c <= 'F')))
            return false;
    }
    return true;
}

class TrustedLocations : public ::testing::Test {
protected:
    void SetUp() override { deleteKeyTree(HKEY_CURRENT_USER, kKey); }
    void TearDown() override { deleteKeyTree(HKEY_CURRENT_USER, kKey); }

    void addLocation(const std::string& name, const std::string& path) {
        ASSERT_EQ(writeStringValue(HKEY_CURRENT_USER, kKey + "\\" + name, "Path", path, true), ERROR_SUCCESS);
    }
    bool trust(const std::string& folder, bool subfolders = false) {
        return SetTrustedFolderLocation(registry, folder, subfolders, 2016);
    }

    StringLog log;
    RegistryAccessor registry{&log};
};

}  // namespace

TEST_F(TrustedLocations, ExistingPathMatchesWithoutTrailingBackslashOrCase) {
    addLocation("Location0", "C:\\DATA");
    for (const char* folder : {"c:\\data\\", "C:\\Data", "C:\\DATA"}) {
        EXPECT_TRUE(trust(folder)) << folder;
        EXPECT_EQ(subkeysOf(kKey), std::vector<std::string>{"Location0"}) << folder;
        EXPECT_EQ(pathOf("Location0"), "C:\\DATA") << folder;
    }
}

TEST_F(TrustedLocations, MatchingLocationKeepsItsAllowSubfolders) {
    addLocation("Location0", "C:\\Data\\");
    ASSERT_EQ(writeDwordValue(HKEY_CURRENT_USER, kKey + "\\Location0", "AllowSubfolders", 0), ERROR_SUCCESS);
    trust("C:\\Data", true);
    DWORD allow = 99;
    EXPECT_EQ(readDwordValue(HKEY_CURRENT_USER, kKey + "\\Location0", "AllowSubfolders", allow), ERROR_SUCCESS);
    EXPECT_EQ(allow, 0u);
    EXPECT_EQ(subkeysOf(kKey).size(), 1u);
}

TEST_F(TrustedLocations, NewLocationHoldsPathAndAllowSubfoldersOnlyWhenAsked) {
    trust("C:\\Plain");
    trust("C:\\Deep", true);
    const auto names = subkeysOf(kKey);
    ASSERT_EQ(names.size(), 2u);
    for (const std::string& name : names) {
        const std::string subkey = kKey + "\\" + name;
        DWORD allow = 0;
        const LONG read = readDwordValue(HKEY_CURRENT_USER, subkey, "AllowSubfolders", allow);
        if (pathOf(name) == "C:\\Plain\\") {
            EXPECT_EQ(valueCount(subkey), 1u) << "only Path";
            EXPECT_EQ(read, ERROR_FILE_NOT_FOUND);
        } else {
            EXPECT_EQ(pathOf(name), "C:\\Deep\\");
            EXPECT_EQ(valueCount(subkey), 2u);
            EXPECT_EQ(read, ERROR_SUCCESS);
            EXPECT_EQ(allow, 1u);
        }
    }
}

TEST_F(TrustedLocations, PathIsWrittenWithOneTrailingBackslash) {
    for (const char* folder : {"D:\\Apps", "D:\\Apps\\"}) {
        deleteKeyTree(HKEY_CURRENT_USER, kKey);
        trust(folder);
        const auto names = subkeysOf(kKey);
        ASSERT_EQ(names.size(), 1u) << folder;
        EXPECT_EQ(pathOf(names[0]), "D:\\Apps\\") << folder;
    }
}

TEST_F(TrustedLocations, SubkeysWithoutUsablePathDoNotStopTheSearch) {
    // Registries enumerate subkeys in name order, so the match comes after the unusable ones.
    ASSERT_EQ(writeStringValue(HKEY_CURRENT_USER, kKey + "\\A-NoPath", "Description", "C:\\Data\\", true),
              ERROR_SUCCESS);
    ASSERT_EQ(writeDwordValue(HKEY_CURRENT_USER, kKey + "\\B-DwordPath", "Path", 7), ERROR_SUCCESS);
    {
        UniqueKey handle;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (kKey + "\\C-Expand").c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                  handle.put(), nullptr),
                  ERROR_SUCCESS);
        const char text[] = "%SystemDrive%\\Data";
        ASSERT_EQ(
            RegSetValueExA(handle.get(), "Path", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(text), sizeof text),
            ERROR_SUCCESS);
    }
    addLocation("D-Match", "c:\\data");
    trust("C:\\Data");
    EXPECT_EQ(subkeysOf(kKey).size(), 4u) << "nothing added";

    // A REG_EXPAND_SZ "Path" is compared as written, not expanded.
    trust("%SYSTEMDRIVE%\\data");
    EXPECT_EQ(subkeysOf(kKey).size(), 4u);
    trust("C:\\Data\\Elsewhere");
    EXPECT_EQ(subkeysOf(kKey).size(), 5u);
}

TEST_F(TrustedLocations, MissingKeyIsCreatedAndFirstLocationNamedByGuid) {
    trust("C:\\Fresh");
    const auto names = subkeysOf(kKey);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(isGuidText(names[0])) << names[0];
    EXPECT_EQ(pathOf(names[0]), "C:\\Fresh\\");
    ASSERT_FALSE(log.lines().empty());
    EXPECT_EQ(log.lines().front(), "SetTrustedFolderLocation: " + kKey);
}

TEST_F(TrustedLocations, SameFolderTwiceAddsOneLocation) {
    trust("c:\\apps");
    trust("c:\\apps");
    trust("C:\\APPS\\");
    EXPECT_EQ(subkeysOf(kKey).size(), 1u);
}

TEST_F(TrustedLocations, UnknownEditionThrowsBeforeAnythingIsWrittenOrLogged) {
    for (int edition : {2002, 2003}) {
        try {
            SetTrustedFolderLocation(registry, "C:\\Data", false, edition);
            ADD_FAILURE() << edition << ": no exception";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "Unexpected Access version. Can't set trusted folder location.");
        }
    }
    EXPECT_TRUE(log.lines().empty());
}

// The bench maps N: as a network drive; the drive's type decides, also behind \\?\.
TEST(TrustAssessment, FolderKindFromTheDriveType) {
    EXPECT_EQ(folderKindOf("n:\\apps"), FolderKind::NetworkDrive);
    EXPECT_EQ(folderKindOf("\\\\?\\N:\\apps"), FolderKind::NetworkDrive);
    EXPECT_EQ(folderKindOf("c:\\apps"), FolderKind::Local);
    EXPECT_EQ(folderKindOf("q:\\absent"), FolderKind::Local);
}

TEST(TrustAssessment, UserPolicyBeforeMachinePolicyAndLocationsSetByPolicy) {
    const std::string access = "Software\\Policies\\Microsoft\\Office\\16.0\\Access\\Security\\Trusted Locations";
    RegistrySeed seed;
    // A user's value that is no number does not count, so the machine's 1 decides.
    ASSERT_TRUE(seed.setDword(HKEY_LOCAL_MACHINE, access, "AllLocationsDisabled", 1));
    ASSERT_TRUE(seed.setString(HKEY_CURRENT_USER, access, "AllLocationsDisabled", "0"));
    EXPECT_EQ(assessTrust(2016, "c:\\apps").policyValue,
              "HKEY_LOCAL_MACHINE\\" + access + " [AllLocationsDisabled] = 1");
    EXPECT_FALSE(assessTrust(2013, "c:\\apps").voided) << "another Office version";
    ASSERT_TRUE(seed.setDword(HKEY_CURRENT_USER, access, "AllLocationsDisabled", 0));
    ASSERT_TRUE(seed.setDword(HKEY_LOCAL_MACHINE,
                              "Software\\Policies\\Microsoft\\Office\\16.0\\Common\\Security\\Trusted Locations",
                              "Allow User Locations", 0));
    EXPECT_TRUE(assessTrust(2016, "c:\\apps").voided);

    // A location set by policy, written as policy tools write it, counts under that policy.
    SetEnvironmentVariableA("MALLOWBROOK_APPS", "C:\\Apps");
    ASSERT_TRUE(
        seed.setString(HKEY_LOCAL_MACHINE, access + "\\Location9", "Path", "%MALLOWBROOK_APPS%\\", 0, REG_EXPAND_SZ));
    EXPECT_FALSE(assessTrust(2016, "c:\\apps").voided);
    SetEnvironmentVariableA("MALLOWBROOK_APPS", nullptr);
}

TEST(NewGuidString, RegistryTextFormUpperCaseAndFresh) {
    std::set<std::string> seen;
    for (int i = 0; i < 20; ++i) {
        const std::string guid = newGuidString();
        EXPECT_TRUE(isGuidText(guid)) << guid;
        seen.insert(guid);
    }
    EXPECT_EQ(seen.size(), 20u);
}
