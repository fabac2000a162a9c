#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "base/SystemErrorText.h"
#include "discovery/AccessRuntimeFactory.h"
#include "discovery/BasicAccessRuntime.h"
#include "discovery/ExecutableFile.h"
#include "discovery/MsiComponentAccessRuntime.h"
#include "log/NullLog.h"
#include "log/StringLog.h"
#include "support/AccessInstall.h"
#include "support/LauncherProcess.h"
#include "support/RegistrySeed.h"

namespace {

const std::string kInstaller = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer";
const std::string kUserData = kInstaller + "\\UserData";
const char kComponent[] = "0123456789ABCDEF0123456789ABCDEF";
const char kProduct[] = "FEDCBA9876543210FEDCBA9876543210";

// A 2002-style edition with a component and product no real program uses.
AccessEdition testEdition() {
    AccessEdition edition = *findAccessEdition(2002);
    edition.runtimeComponent = kComponent;
    edition.runtimeProduct = kProduct;
    return edition;
}
const AccessEdition kTestEdition = testEdition();

class TestBasicRuntime : public BasicAccessRuntime {
public:
    explicit TestBasicRuntime(ILog* log) : BasicAccessRuntime(log, kTestEdition) {}
};

bool anyLineContains(const StringLog& log, const std::string& text) {
    for (const auto& line : log.lines())
        if (line.find(text) != std::string::npos)
            return true;
    return false;
}

// The names RegEnumKeyExA gives for UserData in the 64-bit view, in its order.
std::vector<std::string> userDataSubkeys() {
    std::vector<std::string> names;
    UniqueKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUserData.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, key.put()) != ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD size = sizeof(name);
        if (RegEnumKeyExA(key.get(), index, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return names;
        names.emplace_back(name, size);
    }
}

// Component data under the Installer key: users listed from the 64-bit view, values written by
// default in the process's own view.
class InstallerComponents : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ensureInstallerUserData()); }

    void addUser(const std::string& user) {
        ASSERT_TRUE(registry.createKey(HKEY_LOCAL_MACHINE, kUserData + "\\" + user, KEY_WOW64_64KEY));
    }
    void setUserValue(const std::string& user, const std::string& name, const std::string& value) {
        addUser(user);
        ASSERT_TRUE(registry.setString(HKEY_LOCAL_MACHINE, kUserData + "\\" + user + "\\Components\\" + kComponent,
                                       name, value));
    }
    void setLegacyValue(const std::string& name, const std::string& value) {
        ASSERT_TRUE(registry.setString(HKEY_LOCAL_MACHINE, kInstaller + "\\Components\\" + kComponent, name, value));
    }

    RegistrySeed registry;
    StringLog log;
};

}  // namespace

TEST(InstallerCodes, PackedFormsMatchTheProductsTheyName) {
    NullLog log;
    EXPECT_EQ(BasicAccessRuntime(&log, *findAccessEdition(2002)).packedProductCode(),
              packedGuid("{901C0409-6000-11D3-8CFE-0050048383C9}"));
    EXPECT_EQ(BasicAccessRuntime(&log, *findAccessEdition(2003)).packedProductCode(),
              packedGuid("{901C0409-6000-11D3-8CFE-0150048383C9}"));
    MsiComponentAccessRuntime runtime(*findAccessEdition(2010));
    EXPECT_EQ(runtime.productCode(LanguageCode{"German", "0407"}), "{90140000-001C-0407-0000-0000000FF1CE}");
}

TEST_F(InstallerComponents, LegacyKeyIsReadAfterUserDataIsListedAndBeforeAnyUser) {
    setLegacyValue(kProduct, "C:\\Legacy\\MSACCESS.EXE");
    setUserValue("S-1-5-21-1000", kProduct, "C:\\User\\MSACCESS.EXE");
    TestBasicRuntime runtime(&log);
    EXPECT_EQ(runtime.executablePath(0), "C:\\Legacy\\MSACCESS.EXE");
    ASSERT_FALSE(log.lines().empty());
    EXPECT_NE(log.lines().front().find("Get subkeys: "), std::string::npos) << log.lines().front();
    EXPECT_FALSE(anyLineContains(log, "UserData\\S-1-5-21-1000\\Components"));
}

TEST_F(InstallerComponents, UsersAreSearchedInEnumerationOrder) {
    // Made in reverse name order, so that creation order and enumeration order may differ.
    setUserValue("S-1-5-21-3000", kProduct, "C:\\Third\\MSACCESS.EXE");
    setUserValue("S-1-5-21-2000", kProduct, "C:\\Second\\MSACCESS.EXE");
    std::string first;
    for (const auto& name : userDataSubkeys())
        if (name == "S-1-5-21-3000" || name == "S-1-5-21-2000") {
            first = name;
            break;
        }
    ASSERT_FALSE(first.empty());
    TestBasicRuntime runtime(&log);
    EXPECT_EQ(runtime.executablePath(0),
              first == "S-1-5-21-3000" ? "C:\\Third\\MSACCESS.EXE" : "C:\\Second\\MSACCESS.EXE");
}

TEST_F(InstallerComponents, ValuesAreTakenAsTheInstallerLeftThem) {
    const struct {
        const char* what;
        const char* valueName;
        const char* stored;
        const char* expected;
    } cases[] = {
        {"question mark drive", kProduct, "C?\\Runtime\\MSACCESS.EXE", "C:\\Runtime\\MSACCESS.EXE"},
        {"another product's value", "00000000000000000000000000000001", "D:\\Shared\\MSACCESS.EXE",
         "D:\\Shared\\MSACCESS.EXE"},
        {"another product's value, repaired", "00000000000000000000000000000001", "D?\\Shared\\MSACCESS.EXE",
         "D:\\Shared\\MSACCESS.EXE"},
        {"empty value", kProduct, "", ""},
    };
    for (const auto& c : cases) {
        RegistrySeed data;
        ASSERT_TRUE(data.createKey(HKEY_LOCAL_MACHINE, kUserData + "\\S-1-5-21-4000", KEY_WOW64_64KEY));
        ASSERT_TRUE(data.setString(HKEY_LOCAL_MACHINE, kUserData + "\\S-1-5-21-4000\\Components\\" + kComponent,
                                   c.valueName, c.stored))
            << c.what;
        StringLog caseLog;
        TestBasicRuntime runtime(&caseLog);
        EXPECT_EQ(runtime.executablePath(1036), c.expected) << c.what;
    }
}

TEST_F(InstallerComponents, NothingRegisteredGivesAnEmptyPath) {
    addUser("S-1-5-21-5000");
    TestBasicRuntime runtime(&log);
    EXPECT_EQ(runtime.executablePath(0), "");
}

// A fresh system has no Installer data at all: no runtime then, and no error that would stop a
// launch with a full install.
TEST_F(InstallerComponents, UnlistableUserDataMeansNoRuntime) {
    setLegacyValue(kProduct, "C:\\Legacy\\MSACCESS.EXE");
    RemovedRegistryTree gone(HKEY_LOCAL_MACHINE, kUserData, KEY_WOW64_64KEY);
    ASSERT_TRUE(gone.removed());
    TestBasicRuntime runtime(&log);
    EXPECT_EQ(runtime.executablePath(0), "");
    EXPECT_TRUE(anyLineContains(log, "Couldn't open key:HKEY_LOCAL_MACHINE - '" + kUserData + "'"));
    EXPECT_FALSE(anyLineContains(log, "\\Components\\"));
}

// Windows Installer registers components in the 64-bit view only; a 32-bit launcher that read
// its own view reported a properly installed runtime as missing.
TEST_F(InstallerComponents, ComponentsAreFoundInEitherView) {
    const struct {
        const char* what;
        bool legacy;
        REGSAM view;
    } kCases[] = {
        {"user key, 64-bit view only", false, KEY_WOW64_64KEY},
        {"user key, 32-bit view only", false, KEY_WOW64_32KEY},
        {"legacy key, 64-bit view only", true, KEY_WOW64_64KEY},
        {"legacy key, 32-bit view only", true, KEY_WOW64_32KEY},
    };
    for (const auto& c : kCases) {
        RegistrySeed data;
        const std::string key = c.legacy ? kInstaller + "\\Components\\" + kComponent
                                         : kUserData + "\\S-1-5-21-6000\\Components\\" + kComponent;
        ASSERT_TRUE(data.createKey(HKEY_LOCAL_MACHINE, kUserData + "\\S-1-5-21-6000", KEY_WOW64_64KEY));
        ASSERT_TRUE(data.setString(HKEY_LOCAL_MACHINE, key, kProduct, "C:\\Views\\MSACCESS.EXE", c.view)) << c.what;
        StringLog caseLog;
        TestBasicRuntime runtime(&caseLog);
        EXPECT_EQ(runtime.executablePath(0), "C:\\Views\\MSACCESS.EXE") << c.what;
    }
}

TEST(BasicRuntimeInstall, RegisteredRuntimesAreFound) {
    for (int year : {2002, 2003}) {
        AccessInstall runtime(year, AccessKind::Runtime);
        ASSERT_TRUE(runtime.installed()) << year;
        NullLog log;
        auto locator = AccessRuntimeFactory(&log).createRuntime(year);
        ASSERT_TRUE(locator) << year;
        EXPECT_EQ(locator->executablePath(0), runtime.executablePath()) << year;
    }
    NullLog log;
    EXPECT_EQ(AccessRuntimeFactory(&log).createRuntime(2002)->executablePath(0), "");
}

namespace {

// Stands in for MsiGetComponentPathA: answers from a table of install states per language
// and remembers the languages asked, in order.
struct FakeInstaller {
    static std::map<std::string, int> states;  // language code -> INSTALLSTATE
    static std::vector<std::string> asked;
    static std::vector<std::string> components;
    static std::string pathFor(const std::string& language) { return "C:\\Runtime " + language + "\\MSACCESS.EXE"; }
    // An x64 product (platform digit 1: {90140000-001C-<language>-1000-...) is named "x64 <language>".
    static int WINAPI getComponentPath(const char* product, const char* component, char* buffer, DWORD* length) {
        std::string language = std::string(product).substr(15, 4);  // {90140000-001C-<here>-...
        if (std::string(product).substr(20, 1) == "1")
            language = "x64 " + language;
        asked.push_back(language);
        components.push_back(component);
        auto state = states.find(language);
        if (state == states.end())
            return -1;  // unknown product
        std::string path = state->second == -3 ? std::string(400, 'x') : pathFor(language);
        // Like msi.dll: copy what fits, report the size the whole path needs.
        DWORD copied = std::min<DWORD>(static_cast<DWORD>(path.size()), *length - 1);
        memcpy(buffer, path.data(), copied);
        buffer[copied] = '\0';
        *length = static_cast<DWORD>(path.size());
        return state->second;
    }
};
std::map<std::string, int> FakeInstaller::states;
std::vector<std::string> FakeInstaller::asked;
std::vector<std::string> FakeInstaller::components;

class SeamRuntime2010 : public MsiComponentAccessRuntime {
public:
    SeamRuntime2010() : MsiComponentAccessRuntime(*findAccessEdition(2010), &FakeInstaller::getComponentPath) {}
};

// A locator that loads the named library in place of msi.dll.
class LibraryRuntime2010 : public MsiComponentAccessRuntime {
public:
    explicit LibraryRuntime2010(const char* library) : MsiComponentAccessRuntime(*findAccessEdition(2010), library) {}
};

const std::vector<std::string> kAllLanguages = {"0000", "0409", "040C", "0401", "0004", "7C04", "0407",
                                                "040D", "0410", "0411", "0412", "0C0A", "041E"};

std::vector<std::string> joined(std::vector<std::string> first, const std::vector<std::string>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

std::vector<std::string> x64(const std::vector<std::string>& languages) {
    std::vector<std::string> named;
    for (const auto& language : languages)
        named.push_back("x64 " + language);
    return named;
}

}  // namespace

TEST(MsiComponentRuntime, AsksThePreferredLanguageFirstThenEveryLanguageInOrder) {
    const int kLocal = 3, kAdvertised = 1, kAbsent = 2, kMoreData = -3;
    std::vector<std::string> scanToSpanish = {"040C"};
    scanToSpanish.insert(scanToSpanish.end(), kAllLanguages.begin(), kAllLanguages.begin() + 12);
    const struct {
        const char* what;
        int languageId;
        std::map<std::string, int> states;
        const char* expectedLanguage;  // nullptr: empty path
        std::vector<std::string> asked;
    } cases[] = {
        {"nothing installed, no -LANG: x86, then x64", 0, {}, nullptr, joined(kAllLanguages, x64(kAllLanguages))},
        {"x86 before x64", 0, {{"x64 0000", kLocal}, {"0409", kLocal}}, "0409", {"0000", "0409"}},
        {"x64 with the same language passes",
         1036,
         {{"x64 040C", kLocal}, {"x64 0000", kLocal}},
         "x64 040C",
         joined(joined({"040C"}, kAllLanguages), {"x64 040C"})},
        {"negative -LANG skips the preference", -1036, {{"040C", kLocal}, {"0409", kLocal}}, "0409", {"0000", "0409"}},
        {"French preferred over English", 1036, {{"040C", kLocal}, {"0409", kLocal}}, "040C", {"040C"}},
        {"2057 is in no row: the table decides", 2057, {{"0407", kLocal}, {"0409", kLocal}}, "0409", {"0000", "0409"}},
        {"neutral product first", 1031, {{"0000", kLocal}, {"0409", kLocal}}, "0000", {"0407", "0000"}},
        {"advertised preference falls through", 1036, {{"040C", kAdvertised}, {"0C0A", kLocal}}, "0C0A", scanToSpanish},
        {"only local counts",
         1031,
         {{"0407", kAbsent}, {"0409", kMoreData}, {"040C", kAdvertised}, {"041E", kLocal}},
         "041E",
         [] {
             std::vector<std::string> asked = {"0407"};
             asked.insert(asked.end(), kAllLanguages.begin(), kAllLanguages.end());
             return asked;
         }()},
    };
    for (const auto& c : cases) {
        FakeInstaller::states = c.states;
        FakeInstaller::asked.clear();
        FakeInstaller::components.clear();
        SeamRuntime2010 runtime;
        std::string path = runtime.executablePath(c.languageId);
        EXPECT_EQ(path, c.expectedLanguage ? FakeInstaller::pathFor(c.expectedLanguage) : "") << c.what;
        EXPECT_EQ(FakeInstaller::asked, c.asked) << c.what;
        for (std::size_t i = 0; i < FakeInstaller::components.size(); ++i)
            EXPECT_EQ(FakeInstaller::components[i], FakeInstaller::asked[i].rfind("x64", 0) == 0
                                                        ? "{02F5CBEC-E7B5-4FC1-BD72-6043152BD1D4}"
                                                        : "{AE393348-E564-4894-B8C5-EBBC5E72EFC6}")
                << c.what;
    }
}

// A report lists every runtime a launch could find, each with its platform and language; a launch
// stops at the first.
TEST(MsiComponentRuntime, EveryPlatformIsListedWithItsLanguage) {
    FakeInstaller::states = {{"0409", 3}, {"x64 040C", 3}};
    SeamRuntime2010 runtime;
    const std::vector<RuntimeInstall> all = runtime.find(0, false);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].path, FakeInstaller::pathFor("0409"));
    EXPECT_STREQ(all[0].platform, "x86");
    EXPECT_EQ(all[0].language, "0409");
    EXPECT_EQ(all[1].path, FakeInstaller::pathFor("x64 040C"));
    EXPECT_STREQ(all[1].platform, "x64");
    EXPECT_EQ(all[1].language, "040C");
    EXPECT_EQ(runtime.find(0, true).size(), 1u);
}

TEST(MsiComponentRuntime, ALongPathStaysWithinTheBuffer) {
    FakeInstaller::states = {{"0409", -3}};
    SeamRuntime2010 runtime;
    std::string path;
    EXPECT_EQ(runtime.componentPath(runtime.productCode({"English", "0409"}), runtime.componentCode(), path), -3);
    EXPECT_LE(path.size(), 261u);
    EXPECT_EQ(path, std::string(path.size(), 'x'));
}

TEST(MsiComponentRuntime, AMissingLibraryOrEntryPointIsAFailedLoad) {
    for (const char* library : {"mallowbrook-no-such-library.dll", "kernel32.dll"}) {
        try {
            LibraryRuntime2010 runtime(library);
            ADD_FAILURE() << library << " was accepted";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "Couldn't load msi.dll") << library;
        }
    }
    EXPECT_NO_THROW(LibraryRuntime2010("msi.dll"));
}

TEST(AccessRuntimeFactory, CreatesTheLocatorOfEachEdition) {
    NullLog log;
    AccessRuntimeFactory factory(&log);
    for (int year : {2002, 2003})
        EXPECT_TRUE(std::dynamic_pointer_cast<BasicAccessRuntime>(factory.createRuntime(year))) << year;
    const struct {
        int year;
        const char* product;
    } msiEditions[] = {
        {2007, "{90120000-001C-0409-0000-0000000FF1CE}"},
        {2010, "{90140000-001C-0409-0000-0000000FF1CE}"},
        {2013, "{90150000-001C-0409-0000-0000000FF1CE}"},
        {2016, "{90160000-001C-0409-0000-0000000FF1CE}"},
    };
    for (const auto& edition : msiEditions) {
        auto runtime = std::dynamic_pointer_cast<MsiComponentAccessRuntime>(factory.createRuntime(edition.year));
        ASSERT_TRUE(runtime) << edition.year;
        EXPECT_EQ(runtime->productCode({"English", "0409"}), edition.product);
        // The x64 runtime differs in the platform digit alone, and 2007 has none.
        std::string x64Product = edition.product;
        x64Product[20] = '1';
        EXPECT_EQ(runtime->productCode({"English", "0409"}, MsiComponentAccessRuntime::Platform::X64), x64Product);
        EXPECT_EQ(runtime->componentCode(MsiComponentAccessRuntime::Platform::X64).empty(), edition.year == 2007);
    }
    for (int year : {0, 2005, 2012})
        EXPECT_FALSE(factory.createRuntime(year)) << year;
}

// Against Wine's own msi.dll, with the products registered as the Installer leaves them.
TEST(MsiComponentRuntime, FindsRegisteredRuntimesThroughWindowsInstaller) {
    NullLog log;
    auto locator = AccessRuntimeFactory(&log).createRuntime(2010);
    ASSERT_TRUE(locator);
    // msi.dll is there, the product is not.
    EXPECT_EQ(locator->executablePath(0), "");

    AccessInstall english(2010, AccessKind::Runtime, "", "0409");
    AccessInstall french(2010, AccessKind::Runtime, "", "040C");
    ASSERT_TRUE(english.installed());
    ASSERT_TRUE(french.installed());
    EXPECT_EQ(locator->executablePath(1036), french.executablePath());
    EXPECT_EQ(locator->executablePath(0), english.executablePath());
    EXPECT_EQ(locator->executablePath(2057), english.executablePath());
    EXPECT_EQ(locator->executablePath(1033), english.executablePath());

    // Registered but its file gone: absent, so the next installed language wins.
    ASSERT_TRUE(DeleteFileA(french.executablePath().c_str()));
    auto runtime = std::dynamic_pointer_cast<MsiComponentAccessRuntime>(locator);
    std::string path;
    EXPECT_NE(runtime->componentPath(runtime->productCode({"French", "040C"}), runtime->componentCode(), path), 3);
    EXPECT_EQ(locator->executablePath(1036), english.executablePath());
}

TEST(MsiComponentRuntime, AComponentWithoutItsProductIsNotInstalled) {
    NullLog log;
    auto runtime = std::dynamic_pointer_cast<MsiComponentAccessRuntime>(AccessRuntimeFactory(&log).createRuntime(2016));
    ASSERT_TRUE(runtime);
    RegistrySeed registry;
    std::string product = packedGuid(runtime->productCode({"English", "0409"}));
    std::string component = packedGuid(runtime->componentCode());
    ASSERT_TRUE(registry.setString(HKEY_LOCAL_MACHINE, kUserData + "\\S-1-5-18\\Components\\" + component, product,
                                   standinAccessPath(), KEY_WOW64_64KEY));
    std::string path;
    EXPECT_NE(runtime->componentPath(runtime->productCode({"English", "0409"}), runtime->componentCode(), path), 3);
    EXPECT_EQ(runtime->executablePath(1033), "");
}

TEST(ExecutableFile, BitnessIsReadFromTheProgramsOwnHeader) {
    const struct {
        std::string path;
        ExecutableBitness expected;
    } cases[] = {
        {standinAccessPath(), ExecutableBitness::Bits32},
        {standinAccess64Path(), ExecutableBitness::Bits64},
        {objectLibrary64Path(), ExecutableBitness::Unknown},  // a type library: no PE header
        {binFolder() + "standins\\NoSuch.EXE", ExecutableBitness::Unknown},
        {binFolder() + "standins", ExecutableBitness::Unknown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(executableFileBitness(c.path), c.expected) << c.path;
}
