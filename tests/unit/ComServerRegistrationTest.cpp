#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "base/UniqueHandle.h"
#include "environment/ComServerRegistration.h"
#include "environment/ComponentPathTable.h"
#include "log/StringLog.h"
#include "registry/RegistryAccessor.h"
#include "registry/RegistryPrimitives.h"

// Against the real (Wine) registry under HKEY_LOCAL_MACHINE, which the test prefix lets us write.
// Each test starts and ends with none of the 18 class keys and no ACECORE component key.
namespace {

const std::string kAccess = "C:\\Program Files\\Microsoft Office\\Office16";
const std::string kShared = "C:\\Program Files\\Common Files\\Microsoft Shared\\OFFICE16";

std::string classKey(const ComponentPathRow& row) {
    return std::string("SOFTWARE\\Classes\\CLSID\\") + row.classId;
}

bool keyExists(HKEY root, const std::string& key) {
    UniqueKey handle;
    return RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, handle.put()) == ERROR_SUCCESS;
}

std::string defaultValue(const std::string& key) {
    std::string text = "(missing)";
    readStringValue(HKEY_LOCAL_MACHINE, key, "", text);
    return text;
}

class ComServerRegistration : public ::testing::Test {
protected:
    void SetUp() override { clean(); }
    void TearDown() override { clean(); }
    static void clean() {
        for (const ComponentPathRow& row : kComponentPathRows)
            deleteKeyTree(HKEY_LOCAL_MACHINE, classKey(row));
        deleteKeyTree(HKEY_LOCAL_MACHINE, kAceCoreComponentKey);
    }
    void existing(std::size_t index, const std::string& value) {
        ASSERT_EQ(writeStringValue(HKEY_LOCAL_MACHINE, componentPathKey(kComponentPathRows[index]), "", value, true),
                  ERROR_SUCCESS);
    }

    StringLog log;
    RegistryAccessor registry{&log};
};

}  // namespace

TEST_F(ComServerRegistration, OnlyExistingRegistrationsAreRewritten) {
    existing(0, "D:\\Old\\STSLIST.DLL");
    existing(4, "D:\\Old\\MSRTEDIT.DLL, 101");
    existing(5, "D:\\Old\\ACEOLEDB.DLL");
    existing(17, "\"D:\\Old\\MSACCESS.EXE\" /Automation");
    writeComponentPaths(registry, kAccess, kShared);

    const struct {
        std::size_t index;
        std::string value;
    } written[] = {
        {0, kAccess + "\\STSLIST.DLL"},
        {4, kAccess + "\\MSRTEDIT.DLL, 101"},
        {5, kShared + "\\ACEOLEDB.DLL"},
        {17, kAccess + "\\MSACCESS.EXE"},  // no quotes, no arguments
    };
    for (const auto& w : written)
        EXPECT_EQ(defaultValue(componentPathKey(kComponentPathRows[w.index])), w.value) << "row " << w.index + 1;

    for (std::size_t i = 0; i < kComponentPathRowCount; ++i) {
        if (i == 0 || i == 4 || i == 5 || i == 17)
            continue;
        // Row 4 shares its class with row 5: the class key exists, its InprocServer32 must not appear.
        EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, componentPathKey(kComponentPathRows[i])))
            << "row " << i + 1 << " was created";
    }
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, classKey(kComponentPathRows[7])));
}

TEST_F(ComServerRegistration, EveryRowIsAttemptedInOrderEvenWhenKeysAreMissing) {
    existing(17, "old");
    writeComponentPaths(registry, kAccess, kShared);
    EXPECT_EQ(defaultValue(componentPathKey(kComponentPathRows[17])), kAccess + "\\MSACCESS.EXE")
        << "the last row is reached after 17 failed writes";
    // Each attempt is logged by the registry layer; the rows appear in table order.
    std::size_t at = 0;
    for (std::size_t i = 0; i < kComponentPathRowCount; ++i) {
        const std::string key = componentPathKey(kComponentPathRows[i]);
        bool found = false;
        for (; at < log.lines().size() && !found; ++at)
            found = log.lines()[at].find(key) != std::string::npos;
        EXPECT_TRUE(found) << "row " << i + 1 << " not logged in order: " << key;
    }
}

TEST_F(ComServerRegistration, AceCoreKeyIsCreatedAndPointsAtTheSharedFolder) {
    ASSERT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kAceCoreComponentKey));
    writeAceCorePath(registry, kShared);
    std::string text;
    ASSERT_EQ(readStringValue(HKEY_LOCAL_MACHINE, kAceCoreComponentKey, kAceCoreComponentValue, text), ERROR_SUCCESS);
    EXPECT_EQ(text, kShared + "\\ACECORE.DLL");

    writeAceCorePath(registry, "C:\\Common\\Microsoft Shared\\OFFICE12\\");
    ASSERT_EQ(readStringValue(HKEY_LOCAL_MACHINE, kAceCoreComponentKey, kAceCoreComponentValue, text), ERROR_SUCCESS);
    EXPECT_EQ(text, "C:\\Common\\Microsoft Shared\\OFFICE12\\ACECORE.DLL");
}
