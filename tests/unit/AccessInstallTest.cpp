// The test support that installs the stand-in Access must leave nothing behind.
#include <gtest/gtest.h>

#include "discovery/AccessEditions.h"
#include "support/AccessInstall.h"
#include "support/RegistrySeed.h"

TEST(AccessInstall, RegistersAndRemovesEveryKind) {
    const std::string components =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Components\\";
    const struct {
        int year;
        AccessKind kind;
        HKEY root;
        std::string key;  // the key the registration adds
        std::string valueName;
        REGSAM view;
    } cases[] = {
        {2002, AccessKind::Full, HKEY_CLASSES_ROOT, "Access.Application.10\\shell\\open\\command", "", 0},
        {2016, AccessKind::Full, HKEY_CLASSES_ROOT, "Access.Application.16\\shell\\open\\command", "", 0},
        {2002, AccessKind::Runtime, HKEY_LOCAL_MACHINE,
         components + packedGuid("{CC29E967-7BC2-11D1-A921-00A0C91E2AA3}"), "9040C10900063D11C8EF00054038389C",
         KEY_WOW64_64KEY},
        {2003, AccessKind::Runtime, HKEY_LOCAL_MACHINE, components + "8F287D2F41B64AF4F8AB65C5DD9B2B8A",
         "9040C10900063D11C8EF10054038389C", 0},
        {2013, AccessKind::Runtime, HKEY_LOCAL_MACHINE,
         components + packedGuid("{A3E12EF0-7C3B-4493-99A3-F92FCD0AA512}"),
         packedGuid("{90150000-001C-0409-0000-0000000FF1CE}"), KEY_WOW64_64KEY},
    };
    for (const auto& c : cases) {
        std::string executable;
        std::string folder;
        {
            AccessInstall install(c.year, c.kind);
            ASSERT_TRUE(install.installed()) << c.year;
            executable = install.executablePath();
            folder = install.folder();
            EXPECT_TRUE(GetFileAttributesA(executable.c_str()) != INVALID_FILE_ATTRIBUTES) << c.year;
            std::string registered = registryString(c.root, c.key, c.valueName, c.view);
            if (c.kind == AccessKind::Full)
                EXPECT_EQ(registered, "\"" + executable + "\" /NOSTARTUP \"%1\"") << c.year;
            else
                EXPECT_EQ(registered, executable) << c.year;
        }
        EXPECT_EQ(GetFileAttributesA(executable.c_str()), INVALID_FILE_ATTRIBUTES) << c.year;
        EXPECT_EQ(GetFileAttributesA(folder.c_str()), INVALID_FILE_ATTRIBUTES) << c.year;
        EXPECT_FALSE(registryKeyExists(c.root, c.key, c.view)) << c.year;
        if (c.kind == AccessKind::Full)
            EXPECT_FALSE(registryKeyExists(HKEY_CLASSES_ROOT, findAccessEdition(c.year)->progId)) << c.year;
    }
    // The product key Wine's msi.dll asks for goes as well.
    EXPECT_FALSE(registryKeyExists(
        HKEY_LOCAL_MACHINE,
        "Software\\Classes\\Installer\\Products\\" + packedGuid("{90150000-001C-0409-0000-0000000FF1CE}"),
        KEY_WOW64_64KEY));
}

TEST(AccessInstall, PacksInstallerIdentifiers) {
    const struct {
        const char* guid;
        const char* packed;
    } cases[] = {
        {"{901C0409-6000-11D3-8CFE-0050048383C9}", "9040C10900063D11C8EF00054038389C"},
        {"{90140000-001C-0407-0000-0000000FF1CE}", "00004109C10070400000000000F01FEC"},
        {"not a guid", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(packedGuid(c.guid), c.packed) << c.guid;
}

TEST(StandinCommandLine, ArgumentsFollowTheProgramAndOneBlank) {
    const struct {
        const char* commandLine;
        const char* arguments;
    } cases[] = {
        {"\"C:\\Program Files\\MSACCESS.EXE\" \"C:\\Apps\\Demo.mdb\" /runtime", "\"C:\\Apps\\Demo.mdb\" /runtime"},
        {"\"C:\\A.EXE\" ", ""},
        {"\"C:\\A.EXE\"  two", " two"},
        {"C:\\A.EXE /x", "/x"},
        {"C:\\A.EXE", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(commandLineArguments(c.commandLine), c.arguments) << c.commandLine;
}
