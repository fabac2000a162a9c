#include <gtest/gtest.h>

#include "launch/CommandLineText.h"
#include "launch/DatabasePath.h"
#include "launch/EnvironmentPlaceholders.h"

TEST(DatabasePath, FoundByExtensionInLowerCase) {
    const struct {
        const char* commandLine;
        const char* expected;
    } cases[] = {
        {"\"C:\\Apps\\Sales.MDB\" /runtime", "c:\\apps\\sales.mdb"},
        // Without a quote the path starts at the first character.
        {"/runtime c:\\data\\x.mdb", "/runtime c:\\data\\x.mdb"},
        // The first extension of the list wins, not the first occurrence in the text.
        {"\"c:\\a.mdb\" \"c:\\b.accdb\"", "c:\\b.accdb"},
        {"  \t\"D:\\x.accde\"", "d:\\x.accde"},
        {"\"C:\\Data\\Front.ADP\" /wrkgrp \"C:\\Data\\Sec.MDW\"", "c:\\data\\front.adp"},
        {"\"c:\\x.mde\" /wrkgrp \"c:\\s.mdw\"", "c:\\x.mde"},
        // At index 0 after trimming the extension is skipped and the next one is tried.
        {".mdb c:\\y.adp", ".mdb c:\\y.adp"},
        {".mdb", ""},
        {"/runtime /profile x", ""},
        {"", ""},
        // Quote searched backwards from just before the extension.
        {"/cmd \"a b\" \"c:\\my files\\z.accdr\" /x", "c:\\my files\\z.accdr"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(databasePathFromCommandLine(c.commandLine), c.expected) << c.commandLine;
}

TEST(CommandKey, PrefixChoosesTheHiveOnlyInExactCase) {
    const struct {
        const char* key;
        CommandRoot root;
        const char* subkey;
    } cases[] = {
        {"HKLM\\Software\\Vendor\\App", CommandRoot::LocalMachine, "Software\\Vendor\\App"},
        {"HKCU\\Software\\Vendor\\App", CommandRoot::CurrentUser, "Software\\Vendor\\App"},
        {"hkcu\\Software\\Vendor\\App", CommandRoot::LocalMachine, "hkcu\\Software\\Vendor\\App"},
        {"HKCU", CommandRoot::LocalMachine, "HKCU"},
        {"HKCU\\", CommandRoot::CurrentUser, ""},
        {"Software\\Vendor", CommandRoot::LocalMachine, "Software\\Vendor"},
        {"", CommandRoot::LocalMachine, ""},
    };
    for (const auto& c : cases) {
        CommandKey key = splitCommandKey(c.key);
        EXPECT_EQ(key.root, c.root) << c.key;
        EXPECT_EQ(key.subkey, c.subkey) << c.key;
    }
}

TEST(WindowsProfile, ReplacesTheLastPathWithTheLocalCopy) {
    const char* local = "C:\\users\\u\\AppData\\Local";
    const struct {
        const char* commandLine;
        const char* folder;
        const char* arguments;
        const char* expected;
    } cases[] = {
        {"/runtime \"D:\\Apps\\Sales.MDB\" /x", local, "/x", "/runtime \"C:\\users\\u\\AppData\\Local\\sales.mdb\" /x"},
        {"Sales.mdb /x", local, "/x", "C:\\users\\u\\AppData\\Local\\sales.mdb\" /x"},
        // A folder that already ends in a backslash gets no second one.
        {"\"D:\\Sales.mdb\"", "C:\\Local\\", "", "\"C:\\Local\\sales.mdb\" "},
        {"\"D:\\Sales.mdb\"", "Failed", "", "\"Failed\\sales.mdb\" "},
        // No database: the folder alone, with its separator.
        {"\"D:\\notes.txt\"", local, "", "\"C:\\users\\u\\AppData\\Local\\\" "},
        // A colon at the very start keeps nothing before the new path.
        {":x.mdb", local, "", "C:\\users\\u\\AppData\\Local\\:x.mdb\" "},
        {"", local, "", "C:\\users\\u\\AppData\\Local\\\" "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(windowsProfileCommandLine(c.commandLine, c.folder, c.arguments), c.expected) << c.commandLine;
}

// With a switch before it and a workgroup file after it, only the database's own text is replaced.
TEST(WindowsProfile, UpdateGivesTheCopyInTheMastersPlaceOnce) {
    const std::string line = "/runtime \"D:\\A b\\Sales.MDB\" /wrkgrp \"D:\\s.mdw\"";
    EXPECT_EQ(databasePathAsWritten(line), "D:\\A b\\Sales.MDB");
    EXPECT_EQ(profileCopyCommandLine(line, "C:\\L\\Sales.MDB"), "/runtime \"C:\\L\\Sales.MDB\" /wrkgrp \"D:\\s.mdw\"");
    EXPECT_EQ(profileCopyCommandLine("/runtime", "C:\\L\\x.mdb"), "/runtime");
}

TEST(Placeholders, ReplacedLeftToRightAndNotScannedAgain) {
    const std::vector<Placeholder> values = {
        {"%APPDATA%", "C:\\Roaming"},
        {"%USERNAME%", "%APPDATA%-%LOCALAPPDATA%"},
        {"%LOCALAPPDATA%", "C:\\Local"},
    };
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"%APPDATA%\\db.mdb", "C:\\Roaming\\db.mdb"},
        // A value that looks like a placeholder stays as inserted, also for the later ones.
        {"/user %USERNAME% /pwd %USERNAME%", "/user %APPDATA%-%LOCALAPPDATA% /pwd %APPDATA%-%LOCALAPPDATA%"},
        // A placeholder formed only by removing another one is not one.
        {"%USER%APPDATA%NAME%", "%USERC:\\RoamingNAME%"},
        {"%username% %AppData%", "%username% %AppData%"},
        {"%LOCALAPPDATA%%APPDATA%", "C:\\LocalC:\\Roaming"},
        {"%APPDATA", "%APPDATA"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(replacePlaceholders(c.text, values), c.expected) << c.text;
}

TEST(Placeholders, ValueContainingItsOwnNameIsInsertedOnce) {
    EXPECT_EQ(replacePlaceholders("a%X%b%X%", {{"%X%", "[%X%]"}}), "a[%X%]b[%X%]");
    EXPECT_EQ(replacePlaceholders("%X%", {{"%X%", ""}}), "");
}
