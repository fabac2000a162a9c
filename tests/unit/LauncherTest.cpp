#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/OptionParser.h"
#include "base/AsciiCase.h"
#include "discovery/PathHelpers.h"
#include "launch/EnvironmentPlaceholders.h"
#include "launch/LauncherFactory.h"
#include "launch/Mallowbrook2002.h"
#include "launch/Mallowbrook2003.h"
#include "launch/Mallowbrook2007.h"
#include "launch/Mallowbrook2010.h"
#include "launch/Mallowbrook2016.h"
#include "launch/ProcessWatcher.h"
#include "log/StringLog.h"
#include "registry/RegistryPrimitives.h"
#include "support/AccessInstall.h"
#include "support/RegistrySeed.h"

// The launcher's own steps, in process and against the real (Wine) registry. Every key a test
// touches is taken away for the test and put back afterwards.
namespace {

// Opens up the protected state and steps of an edition's launcher; no window.
template <typename Edition>
class Probe : public Edition {
public:
    Probe(ILog* log, Settings* settings) : Edition(log, nullptr, nullptr, settings) {}
    using Edition::accessCommandLine;
    using Edition::applicationTitle;
    using Edition::curVerAfter;
    using Edition::curVerBefore;
    using Edition::registerOfficeTypeLibrary;
    using Edition::restoreSet;
    using Edition::setIgnoreDdeRequests;
};

Settings settingsFor(const std::string& commandLine) {
    StringLog ignored;
    Settings settings;
    OptionParser(&ignored).parse(commandLine, settings);
    return settings;
}

bool hasLine(const StringLog& log, const std::string& line) {
    return std::find(log.lines().begin(), log.lines().end(), line) != log.lines().end();
}

// Position of a line in the log, or -1.
int lineIndex(const StringLog& log, const std::string& line) {
    auto found = std::find(log.lines().begin(), log.lines().end(), line);
    return found == log.lines().end() ? -1 : static_cast<int>(found - log.lines().begin());
}

bool hasLineStartingWith(const StringLog& log, const std::string& start) {
    for (const std::string& line : log.lines())
        if (line.compare(0, start.size(), start) == 0)
            return true;
    return false;
}

// The DWORD, or -1 when the value is missing.
std::string temporaryFolder(const char* name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void writeEmptyFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    UniqueFile owner(file);
}

const char kTestKey[] = "Software\\MallowbrookLauncherTest";

}  // namespace

TEST(LauncherFactory, OneLauncherPerEditionYear) {
    StringLog log;
    Settings settings;
    for (const AccessEdition& edition : kAccessEditions) {
        std::shared_ptr<Mallowbrook> launcher = createLauncher(edition.year, &log, nullptr, nullptr, &settings);
        ASSERT_TRUE(launcher) << edition.year;
        EXPECT_EQ(launcher->version(), edition.year);
        // Trusted locations, languages and COM rows exist from 2007 on.
        EXPECT_EQ(std::dynamic_pointer_cast<MallowbrookPost2007>(launcher) != nullptr,
                  edition.trustedLocationsKey != nullptr)
            << edition.year;
    }
    for (int year : {0, 2000, 2005, 2019, -2002})
        EXPECT_FALSE(createLauncher(year, &log, nullptr, nullptr, &settings)) << year;
    EXPECT_TRUE(log.lines().empty());
}

class CommandLineComposition : public ::testing::Test {
protected:
    void SetUp() override {
        seed.setString(HKEY_LOCAL_MACHINE, std::string(kTestKey) + "\\App", "CmdLine",
                       "\"C:\\Apps\\Sales.mdb\" /runtime");
        seed.setString(HKEY_LOCAL_MACHINE, std::string(kTestKey) + "\\App", "Other", "/other");
        seed.setString(HKEY_LOCAL_MACHINE, std::string(kTestKey) + "\\App\\Run-Time Options", "TitleBar", "Sales");
        seed.setString(HKEY_CURRENT_USER, std::string(kTestKey) + "\\App", "CmdLine", "user.mdb");
        // A key whose name really begins with the lower-case prefix.
        seed.setString(HKEY_LOCAL_MACHINE, std::string("hkcu\\") + kTestKey + "\\App", "CmdLine", "literal.mdb");
    }
    RegistrySeed seed;
};

TEST_F(CommandLineComposition, StoredCommandLineTitleAndArguments) {
    const struct {
        const char* options;
        const char* commandLine;
        const char* title;
    } cases[] = {
        {"-CMD=\"HKLM\\Software\\MallowbrookLauncherTest\\App\" /x", "\"C:\\Apps\\Sales.mdb\" /runtime /x", "Sales"},
        {"-CMD=\"Software\\MallowbrookLauncherTest\\App\" /x", "\"C:\\Apps\\Sales.mdb\" /runtime /x", "Sales"},
        {"-CMD=\"HKCU\\Software\\MallowbrookLauncherTest\\App\" /x", "user.mdb /x", "The application"},
        {"-CMD=\"hkcu\\Software\\MallowbrookLauncherTest\\App\" /x", "literal.mdb /x", "The application"},
        {"-CMD=\"HKLM\\Software\\MallowbrookLauncherTest\\App\" -VALUE=\"Other\" db", "/other db", "Sales"},
        // Empty arguments still add the blank.
        {"-CMD=\"HKLM\\Software\\MallowbrookLauncherTest\\App\"", "\"C:\\Apps\\Sales.mdb\" /runtime ", "Sales"},
        {"-CMD=\"HKLM\\Software\\MallowbrookLauncherTest\\Missing\" db.mdb", "db.mdb", "The application"},
        {"-CMD=\"HKCU\\Software\\MallowbrookLauncherTest\\App\" -VALUE=\"Other\" db.mdb", "db.mdb", "The application"},
        {"\"C:\\Apps\\Plain.mdb\" /x", "\"C:\\Apps\\Plain.mdb\" /x", "The application"},
    };
    for (const auto& c : cases) {
        StringLog log;
        Settings settings = settingsFor(c.options);
        Probe<Mallowbrook2002> launcher(&log, &settings);
        launcher.composeCommandLine();
        EXPECT_EQ(launcher.accessCommandLine, c.commandLine) << c.options;
        EXPECT_EQ(launcher.applicationTitle, c.title) << c.options;
    }
}

TEST_F(CommandLineComposition, LogLinesOfBothBranches) {
    StringLog log;
    Settings settings = settingsFor("-CMD=\"HKLM\\Software\\MallowbrookLauncherTest\\App\" /x");
    Probe<Mallowbrook2002> launcher(&log, &settings);
    launcher.composeCommandLine();
    EXPECT_TRUE(hasLine(log, "Have command line from registry: \"C:\\Apps\\Sales.mdb\" /runtime"));
    EXPECT_TRUE(hasLine(log, "Plus parsed command line: /x"));
    EXPECT_TRUE(hasLine(log, "Using registry title: Sales"));
    EXPECT_LT(lineIndex(log, "Have command line from registry: \"C:\\Apps\\Sales.mdb\" /runtime"),
              lineIndex(log, "Using registry title: Sales"));

    StringLog plainLog;
    Settings plain = settingsFor("db.mdb /x");
    Probe<Mallowbrook2002> plainLauncher(&plainLog, &plain);
    plainLauncher.composeCommandLine();
    EXPECT_TRUE(hasLine(plainLog, "Using only parsed command line (no registry): db.mdb /x"));
    EXPECT_TRUE(hasLine(plainLog, "No registry title. Making it generic"));
    EXPECT_FALSE(hasLineStartingWith(plainLog, "Have command line"));
}

TEST(WindowsProfile, RewritesIntoTheLocalApplicationDataFolder) {
    char local[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, local)));
    StringLog log;
    Settings settings = settingsFor("-WINDOWSPROFILE /x");
    Probe<Mallowbrook2002> launcher(&log, &settings);
    std::string commandLine = "/runtime \"D:\\Apps\\Sales.MDB\" /x";
    launcher.applyWindowsProfile(commandLine);
    const std::string expected = "/runtime \"" + std::string(local) + "\\sales.mdb\" /x";
    EXPECT_EQ(commandLine, expected);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{
                               "******* Windows Profile = true",
                               "Original Access command line: /runtime \"D:\\Apps\\Sales.MDB\" /x",
                               "Changed to: " + expected + " by UseWindowsProfile.",
                           }));
}

// The folder a launch trusts is that of the database Access opens: with -WINDOWSPROFILE the
// profile copy's, with or without -UPDATE, and never with its subfolders ("+" marks them).
TEST(TrustTarget, FolderOfTheDatabaseAccessOpens) {
    char local[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, local)));
    const std::pair<const char*, std::string> cases[] = {
        {"-SUBFOLDERS \\\\Server\\Apps\\Sales.accdb", "\\\\server\\apps+"},
        {"-WINDOWSPROFILE -SUBFOLDERS \\\\Server\\Apps\\Sales.accdb", lowerCaseAscii(local)},
        {"-WINDOWSPROFILE -UPDATE -SUBFOLDERS \\\\Server\\Apps\\Sales.accdb", lowerCaseAscii(local)},
        {"-WINDOWSPROFILE /x", ""},
    };
    for (const auto& c : cases) {
        StringLog log;
        Settings settings = settingsFor(c.first);
        Probe<Mallowbrook2016> launcher(&log, &settings);
        launcher.accessCommandLine = settings.arguments();
        if (settings.useWindowsProfile)
            launcher.applyWindowsProfile(launcher.accessCommandLine);
        const MallowbrookPost2007::TrustTarget target = launcher.databaseTrustTarget();
        EXPECT_EQ(target.folder + (target.includeSubfolders ? "+" : ""), c.second) << c.first;
    }
}

TEST(Launch32, TakesOverOnlyWhenItExistsBesideTheSecureFile) {
    const std::string folder = temporaryFolder("MallowbrookLaunch32Test");
    const std::string secureFile = folder + "\\App.sec";
    const std::string launch32 = folder + "\\launch32.exe";
    DeleteFileA(launch32.c_str());
    Settings settings = settingsFor("-SECFILE=\"" + secureFile + "\" db.mdb");
    {
        StringLog log;
        Probe<Mallowbrook2002> launcher(&log, &settings);
        launcher.accessCommandLine = "db.mdb";
        std::string executable = "C:\\Access\\MSACCESS.EXE";
        launcher.useLaunch32(executable);
        EXPECT_EQ(executable, "C:\\Access\\MSACCESS.EXE");
        EXPECT_EQ(launcher.accessCommandLine, "db.mdb");
        EXPECT_EQ(log.lines(), std::vector<std::string>{"Launching with Launch32.exe"});
    }
    writeEmptyFile(launch32);
    {
        StringLog log;
        Probe<Mallowbrook2002> launcher(&log, &settings);
        launcher.accessCommandLine = "db.mdb";
        std::string executable = "C:\\Access\\MSACCESS.EXE";
        launcher.useLaunch32(executable);
        EXPECT_EQ(executable, launch32);
        EXPECT_EQ(launcher.accessCommandLine, secureFile);
        EXPECT_EQ(log.lines(), (std::vector<std::string>{"Launching with Launch32.exe",
                                                         "Executable location changed to: " + launch32}));
    }
    DeleteFileA(launch32.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST(EnvironmentReplacement, UsesTheProcessEnvironmentAndTheLocalFolder) {
    StandinEnvironment environment;
    environment.set("APPDATA", "C:\\Roaming");
    environment.set("USERNAME", "ann");
    char local[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, local);

    std::string commandLine = "%APPDATA%\\a.mdb /user %USERNAME% /x %LOCALAPPDATA% %username%";
    replaceEnvironment(commandLine);
    EXPECT_EQ(commandLine, "C:\\Roaming\\a.mdb /user ann /x " + std::string(local) + " %username%");

    SetEnvironmentVariableA("USERNAME", nullptr);
    commandLine = "[%USERNAME%]";
    replaceEnvironment(commandLine);
    EXPECT_EQ(commandLine, "[]") << "an unset variable stands for nothing";
}

TEST(Runtime, AbsentRuntimeIsReportedAndNotChosen) {
    ensureInstallerUserData();
    StringLog log;
    Settings settings = settingsFor("db.mdb");
    Probe<Mallowbrook2002> launcher(&log, &settings);
    std::string path = "unchanged";
    EXPECT_FALSE(launcher.findRuntime(path));
    EXPECT_EQ(path, "unchanged");
    EXPECT_TRUE(hasLine(log, " does not exist.  Will try full version instead!"));
}

class RegistryDefaults : public ::testing::Test {
protected:
    StringLog log;
    Settings settings = settingsFor("db.mdb");
};

TEST_F(RegistryDefaults, GraphicsFiltersAreCreated) {
    RemovedRegistryTree filters(HKEY_CURRENT_USER, "Software\\Microsoft\\Shared Tools\\Graphics Filters");
    ASSERT_TRUE(filters.removed());
    Probe<Mallowbrook2002> launcher(&log, &settings);
    launcher.setGraphicsFilterDefaults();
    for (const char* filter : {"GIF", "JPEG", "PICT", "TIFF"})
        EXPECT_EQ(registryString(HKEY_CURRENT_USER,
                                 std::string("Software\\Microsoft\\Shared Tools\\Graphics Filters\\Import\\") + filter +
                                     "\\Options",
                                 "ShowProgressDialog"),
                  "No")
            << filter;
}

TEST_F(RegistryDefaults, AllFourDdeCommandsGoWithTheirSubkeys) {
    const char* const progIds[] = {"Access.Application.8", "Access.Application.9", "Access.Application.10",
                                   "Access.Application.11"};
    std::vector<std::unique_ptr<RemovedRegistryTree>> saved;
    RegistrySeed seed;
    for (const char* progId : progIds) {
        saved.push_back(std::make_unique<RemovedRegistryTree>(HKEY_CLASSES_ROOT, progId));
        const std::string dde = std::string(progId) + "\\shell\\open\\ddeexec";
        seed.setString(HKEY_CLASSES_ROOT, dde, "", "[ShellOpenRecord1 \"%1\"]");
        seed.setString(HKEY_CLASSES_ROOT, dde + "\\Application", "", "MSAccess");
        seed.setString(HKEY_CLASSES_ROOT, dde + "\\Topic", "", "ShellSystem");
    }
    // One of them missing altogether must not stop the others.
    deleteRegistryTree(HKEY_CLASSES_ROOT, "Access.Application.9");

    Probe<Mallowbrook2002> launcher(&log, &settings);
    launcher.removeDdeCommands();
    for (const char* progId : progIds) {
        EXPECT_FALSE(registryKeyExists(HKEY_CLASSES_ROOT, std::string(progId) + "\\shell\\open\\ddeexec")) << progId;
        if (std::string(progId) != "Access.Application.9") {
            EXPECT_TRUE(registryKeyExists(HKEY_CLASSES_ROOT, std::string(progId) + "\\shell\\open")) << progId;
        }
    }
}

TEST_F(RegistryDefaults, LastAccessInstallAndFirstRunOptIn) {
    RegistrySeed seed;
    seed.deleteValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Office\\Common", "LastAccessInstall");
    RemovedRegistryTree general(HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\16.0\\Common\\General");
    Probe<Mallowbrook2016> launcher(&log, &settings);
    launcher.setLastAccessInstall(16);
    launcher.suppressFirstRunOptIn();
    EXPECT_EQ(registryDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Office\\Common", "LastAccessInstall"), 16);
    EXPECT_EQ(
        registryDword(HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\16.0\\Common\\General", "ShownFirstRunOptIn"),
        1);
}

TEST_F(RegistryDefaults, HtmlVerbsOnlyWhereTheKeysExist) {
    RemovedRegistryTree html(HKEY_CLASSES_ROOT, "htmlfile\\shell");
    RegistrySeed seed;
    seed.setString(HKEY_CLASSES_ROOT, "htmlfile\\shell\\edit\\command", "", "notepad %1");
    Probe<Mallowbrook2003> launcher(&log, &settings);
    launcher.setHtmlEditor("C:\\Office\\OFFICE11");
    EXPECT_FALSE(registryKeyExists(HKEY_CLASSES_ROOT, "htmlfile\\shell\\print\\command"));
    EXPECT_EQ(registryString(HKEY_CLASSES_ROOT, "htmlfile\\shell\\edit\\command", ""),
              "\"C:\\Office\\OFFICE11\\msohtmed.exe\" %1");

    seed.setString(HKEY_CLASSES_ROOT, "htmlfile\\shell\\print\\command", "", "print %1");
    launcher.setHtmlEditor("C:\\Office\\OFFICE11");
    EXPECT_EQ(registryString(HKEY_CLASSES_ROOT, "htmlfile\\shell\\print\\command", ""),
              "\"C:\\Office\\OFFICE11\\msohtmed.exe\" /p %1");
}

TEST_F(RegistryDefaults, CurVerIsReadAndWrittenAsTheDefaultValue) {
    RegistrySeed seed;
    seed.setString(HKEY_CLASSES_ROOT, "Access.Application\\CurVer", "", "Access.Application.9");
    Probe<Mallowbrook2002> launcher(&log, &settings);
    EXPECT_EQ(launcher.readCurVer(), "Access.Application.9");
    launcher.writeCurVer("Access.Application.10");
    EXPECT_EQ(registryString(HKEY_CLASSES_ROOT, "Access.Application\\CurVer", ""), "Access.Application.10");
    EXPECT_EQ(launcher.readCurVer(), "Access.Application.10");
}

TEST(IgnoreDdeRequests, ZeroOnlyWhenDatabasesOpenWithThisEdition) {
    const struct {
        int edition;
        const char* association;  // null: no ".mdb" default value
        DWORD expected;
    } cases[] = {
        {2002, "Access.Application.10", 0}, {2002, "access.application.10", 0},
        {2002, "Access.Application.12", 1}, {2002, nullptr, 1},
        {2003, "ACCESS.APPLICATION.11", 0}, {2003, "Access.Application.10", 1},
    };
    for (const auto& c : cases) {
        RegistrySeed seed;
        if (c.association)
            seed.setString(HKEY_CLASSES_ROOT, ".mdb", "", c.association);
        else
            seed.deleteValue(HKEY_CLASSES_ROOT, ".mdb", "");
        const std::string key = c.edition == 2002 ? "Software\\Microsoft\\Office\\10.0\\Access\\Settings"
                                                  : "Software\\Microsoft\\Office\\11.0\\Access\\Settings";
        seed.deleteValue(HKEY_CURRENT_USER, key, "Ignore DDE Requests");
        StringLog log;
        Settings settings;
        if (c.edition == 2002)
            Probe<Mallowbrook2002>(&log, &settings).setIgnoreDdeRequests();
        else
            Probe<Mallowbrook2003>(&log, &settings).setIgnoreDdeRequests();
        EXPECT_EQ(registryDword(HKEY_CURRENT_USER, key, "Ignore DDE Requests"), c.expected)
            << c.edition << " " << (c.association ? c.association : "(none)");
    }
}

class OfficeTypeLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        folder = joinPath(commonFilesFolder(), "Microsoft Shared\\Office10");
        dll = folder + "\\mso.dll";
        madeFolders = createFolders(folder);
        DeleteFileA(dll.c_str());
    }
    void TearDown() override {
        DeleteFileA(dll.c_str());
        removeFolders(madeFolders);
    }
    RemovedRegistryTree library{HKEY_CLASSES_ROOT, "TypeLib\\{2DF8D04C-5BFA-101B-BDE5-00AA0044DE52}"};
    std::string folder, dll;
    std::vector<std::string> madeFolders;
    StringLog log;
    Settings settings;
};

TEST_F(OfficeTypeLibrary, RegisteredOnlyWhenMsoDllIsThere) {
    const std::string key = "TypeLib\\{2DF8D04C-5BFA-101B-BDE5-00AA0044DE52}\\2.2";
    Probe<Mallowbrook2002> launcher(&log, &settings);
    launcher.registerOfficeTypeLibrary();
    EXPECT_FALSE(registryKeyExists(HKEY_CLASSES_ROOT, key));

    writeEmptyFile(dll);
    launcher.registerOfficeTypeLibrary();
    EXPECT_EQ(registryString(HKEY_CLASSES_ROOT, key, ""), "Microsoft Office 10.0 Object Library");
    EXPECT_EQ(registryString(HKEY_CLASSES_ROOT, key + "\\0\\win32", ""), dll);
    EXPECT_EQ(registryString(HKEY_CLASSES_ROOT, key + "\\Flags", ""), "0");
}

TEST_F(OfficeTypeLibrary, AnExistingRegistrationIsLeftAlone) {
    const std::string key = "TypeLib\\{2DF8D04C-5BFA-101B-BDE5-00AA0044DE52}\\2.2";
    writeEmptyFile(dll);
    RegistrySeed seed;
    seed.setString(HKEY_CLASSES_ROOT, key + "\\0\\win32", "", "D:\\Elsewhere\\mso.dll");
    Probe<Mallowbrook2002> launcher(&log, &settings);
    launcher.registerOfficeTypeLibrary();
    EXPECT_FALSE(registryValueExists(HKEY_CLASSES_ROOT, key, ""));
    EXPECT_FALSE(registryKeyExists(HKEY_CLASSES_ROOT, key + "\\Flags"));
    EXPECT_EQ(registryString(HKEY_CLASSES_ROOT, key + "\\0\\win32", ""), "D:\\Elsewhere\\mso.dll");
}

class Language : public ::testing::Test {
protected:
    RemovedRegistryTree office12{HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\12.0\\Common\\LanguageResources"};
    RemovedRegistryTree office14{HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\14.0\\Common\\LanguageResources"};
    RemovedRegistryTree office16{HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\16.0\\Common\\LanguageResources"};
};

TEST_F(Language, WrittenForTheEditionsOfficeVersion) {
    const struct {
        int edition;
        const char* options;
        const char* key;
        long long expected;
        const char* line;
    } cases[] = {
        {2010, "-LANG=1033 db", "Software\\Microsoft\\Office\\14.0\\Common\\LanguageResources", 1033,
         "2010 - LangCode set to: 1033"},
        // Not in the language table: written all the same.
        {2016, "-LANG=2057 db", "Software\\Microsoft\\Office\\16.0\\Common\\LanguageResources", 2057,
         "2016 - LangCode set to: 2057"},
        {2007, "-LANG=-1 db", "Software\\Microsoft\\Office\\12.0\\Common\\LanguageResources", 0xFFFFFFFF,
         "2007 - LangCode set to: -1"},
    };
    for (const auto& c : cases) {
        StringLog log;
        Settings settings = settingsFor(c.options);
        auto launcher = std::dynamic_pointer_cast<MallowbrookPost2007>(
            createLauncher(c.edition, &log, nullptr, nullptr, &settings));
        ASSERT_TRUE(launcher);
        launcher->applyLanguage();
        EXPECT_EQ(registryDword(HKEY_CURRENT_USER, c.key, "UILanguage"), c.expected) << c.options;
        EXPECT_EQ(registryDword(HKEY_CURRENT_USER, c.key, "HelpLanguage"), c.expected) << c.options;
        EXPECT_EQ(registryString(HKEY_CURRENT_USER, c.key, "FollowSystemUI"), "Off") << c.options;
        EXPECT_TRUE(hasLine(log, c.line)) << c.options;
    }
}

TEST_F(Language, NothingWithoutLang) {
    StringLog log;
    Settings settings = settingsFor("-LANG=0 db");
    Probe<Mallowbrook2010> launcher(&log, &settings);
    launcher.applyLanguage();
    EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\14.0\\Common\\LanguageResources"));
    EXPECT_TRUE(log.lines().empty());
}

TEST(SaveDefaultSettings, FixedTablePlusTheEditionsOwnRows) {
    const char kLanguage[] = "Software\\Microsoft\\Office\\12.0\\Common\\LanguageResources";
    const char kSecurity[] = "Software\\Microsoft\\Office\\11.0\\Access\\Security";
    const struct {
        int edition;
        std::vector<std::pair<std::string, std::string>> own;  // key and value name, after the 351
    } kCases[] = {
        {2002, {}},
        {2003, {{kSecurity, "Level"}}},
        {2007, {{kLanguage, "UILanguage"}, {kLanguage, "HelpLanguage"}, {kLanguage, "FollowSystemUI"}}},
        {2010, {}},
        {2013, {}},
        {2016, {}},
    };
    for (const auto& c : kCases) {
        StringLog log;
        Settings settings;
        auto launcher = createLauncher(c.edition, &log, nullptr, nullptr, &settings);
        launcher->saveDefaultSettings();
        const auto& entries = launcher->recordedValues().entries();
        EXPECT_EQ(log.lines(), std::vector<std::string>{"Saving default registry settings"}) << c.edition;
        ASSERT_EQ(entries.size(), 351u + c.own.size()) << c.edition;
        for (std::size_t i = 0; i < c.own.size(); ++i) {
            const SavedValue& entry = entries[351 + i];
            EXPECT_EQ(entry.root, HKEY_CURRENT_USER);
            EXPECT_EQ(entry.key, c.own[i].first);
            EXPECT_EQ(entry.valueName, c.own[i].second);
        }
    }
}

TEST(SecurityLevel2003, RecordedAsItIsOrAsMediumWhereNeverSet) {
    const char key[] = "Software\\Microsoft\\Office\\11.0\\Access\\Security";
    for (long long level : {3, -1}) {
        RegistrySeed seed;
        if (level < 0)
            seed.deleteValue(HKEY_CURRENT_USER, key, "Level");
        else
            seed.setDword(HKEY_CURRENT_USER, key, "Level", static_cast<DWORD>(level));
        StringLog log;
        Settings settings;
        Probe<Mallowbrook2003> launcher(&log, &settings);
        launcher.saveDefaultSettings();
        const SavedValue& recorded = launcher.recordedValues().entries().back();
        EXPECT_EQ(recorded.valueName, "Level");
        EXPECT_TRUE(recorded.recorded && recorded.type == REG_DWORD) << level;
        EXPECT_EQ(recorded.number, level < 0 ? 2u : 3u);
    }
}

class RunEnd : public ::testing::Test {
protected:
    void SetUp() override {
        deleteRegistryTree(HKEY_CURRENT_USER, kTestKey);
        seed.setString(HKEY_CURRENT_USER, kTestKey, "Kept", "before");
    }
    void TearDown() override { deleteRegistryTree(HKEY_CURRENT_USER, kTestKey); }
    // "Kept" recorded by the launcher and then changed, so that its end has something to put back.
    static void recordAndChange(Probe<Mallowbrook2002>& launcher) {
        launcher.restoreSet.add(HKEY_CURRENT_USER, kTestKey, "Kept");
        launcher.restoreSet.capture();
        writeStringValue(HKEY_CURRENT_USER, kTestKey, "Kept", "during", false);
    }
    RegistrySeed seed;
    StringLog log;
};

TEST_F(RunEnd, FinishPutsBackAndWithoutWindowWritesNoExitLine) {
    Settings settings;
    Probe<Mallowbrook2002> launcher(&log, &settings);
    recordAndChange(launcher);
    launcher.finish();
    EXPECT_EQ(registryString(HKEY_CURRENT_USER, kTestKey, "Kept"), "before");
    EXPECT_TRUE(hasLine(log, "Restoring registry keys"));
    EXPECT_FALSE(hasLine(log, "Exiting application"));
}

TEST_F(RunEnd, AfterAFailureRecordedValuesGoBack) {
    Settings settings;
    Probe<Mallowbrook2002> launcher(&log, &settings);
    recordAndChange(launcher);
    launcher.putBackAfterFailure();
    EXPECT_EQ(registryString(HKEY_CURRENT_USER, kTestKey, "Kept"), "before");
}

TEST_F(RunEnd, MissingProgramTimesOutWithoutStartingAnything) {
    Settings settings = settingsFor("-WAIT=1 db");
    Probe<Mallowbrook2003> launcher(&log, &settings);
    launcher.launchAndWait("C:\\Nowhere\\MSACCESS.EXE", "db");
    ASSERT_NE(launcher.accessWatcher(), nullptr);
    EXPECT_EQ(launcher.accessWatcher()->processHandle(), nullptr);
    EXPECT_EQ(launcher.accessWatcher()->tries(), 60);
    EXPECT_EQ(launcher.accessWatcher()->finalWait(), 1u);
    EXPECT_EQ(launcher.accessWatcher()->showCommand(), 3);
    EXPECT_EQ(log.lines(), std::vector<std::string>{"Timed Out - main Access window not found!"});
}

TEST(LaunchSettings, WatcherTakesTheOptions) {
    const struct {
        int edition;
        const char* options;
        int tries;
        DWORD finalWait;
        int show;
    } cases[] = {
        {2002, "db", 30, 15000, 3},
        {2003, "-MIN db", 60, 15000, 2},
        {2016, "-WAIT=0 -NORMAL db", 60, INFINITE, 1},
        {2002, "-WAIT=-1 db", 30, INFINITE, 3},
    };
    for (const auto& c : cases) {
        StringLog log;
        Settings settings = settingsFor(c.options);
        auto launcher = createLauncher(c.edition, &log, nullptr, nullptr, &settings);
        launcher->launchAndWait("C:\\Nowhere\\MSACCESS.EXE", "db");
        const ProcessWatcher* watcher = launcher->accessWatcher();
        ASSERT_NE(watcher, nullptr);
        EXPECT_EQ(watcher->tries(), c.tries) << c.options;
        EXPECT_EQ(watcher->finalWait(), c.finalWait) << c.options;
        EXPECT_EQ(watcher->showCommand(), c.show) << c.options;
    }
}
