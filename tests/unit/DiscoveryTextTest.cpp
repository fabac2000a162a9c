// Text rules of finding and starting Access; no Windows calls, so they also run natively.
#include <gtest/gtest.h>

#include <cstdint>

#include "base/AsciiCase.h"
#include "discovery/AccessEditions.h"
#include "discovery/ClickToRunProducts.h"
#include "discovery/ExecutableBitness.h"
#include "discovery/CommandExecutable.h"
#include "discovery/InstallerPath.h"
#include "discovery/LanguageTable.h"
#include "launch/QuotedCommand.h"

TEST(LanguageTable, PreferredLanguageMatchesTheFormattedIdentifierExactly) {
    const struct {
        int languageId;
        const char* text;  // "%04X"
        const char* name;  // nullptr: no preferred row
    } cases[] = {
        {0, "0000", nullptr},  // "Default" is never preferred
        {-1033, nullptr, nullptr},
        {1033, "0409", "English"},
        {1036, "040C", "French"},
        {4, "0004", "Chinese Simplified"},
        {31748, "7C04", "Chinese Traditional"},
        {3082, "0C0A", "Spanish"},
        {1054, "041E", "Thai"},
        {2057, "0809", nullptr},
        {70000, "11170", nullptr},
    };
    for (const auto& c : cases) {
        if (c.text)
            EXPECT_EQ(languageCodeText(c.languageId), c.text) << c.languageId;
        auto preferred = preferredLanguage(c.languageId);
        if (c.name) {
            ASSERT_TRUE(preferred.has_value()) << c.languageId;
            EXPECT_EQ(preferred->name, c.name) << c.languageId;
            EXPECT_EQ(preferred->code, c.text) << c.languageId;
        } else {
            EXPECT_FALSE(preferred.has_value()) << c.languageId;
        }
    }
}

// -LANG takes a language of the table in decimal; nothing wraps onto one (4294968332 is 1036 + 2^32).
TEST(LanguageTable, LangValueMustNameALanguageOfTheTable) {
    const std::pair<const char*, int> cases[] = {
        {"1036", 1036}, {"01036", 1036}, {"31748", 31748}, {"0", 0},          {"2057", 0},
        {"1O36", 0},    {"-1", 0},       {"+1036", 0},     {"4294968332", 0}, {"99999999999999999999", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(tableLanguageId(c.first), c.second) << c.first;
}

TEST(CommandExecutable, TakesTheProgramAtTheStartOfACommand) {
    const struct {
        const char* command;
        const char* expected;
    } cases[] = {
        {"  \"C:\\Program Files\\Office\\MSACCESS.EXE\" /NOSTARTUP \"%1\"", "C:\\Program Files\\Office\\MSACCESS.EXE"},
        {"C:\\Office\\MSACCESS.EXE /NOSTARTUP \"%1\"", "C:\\Office\\MSACCESS.EXE"},
        {"\"C:\\Program Files\\Office\\MSACCESS.EXE /NOSTARTUP", "C:\\Program Files\\Office\\MSACCESS.EXE /NOSTARTUP"},
        {"\t\r\nC:\\A.EXE\targs", "C:\\A.EXE"},
        {"\"\" rest", ""},
        {"C:\\A.EXE", "C:\\A.EXE"},
        {"   ", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(commandExecutable(c.command), c.expected) << "[" << c.command << "]";
}

// Every column of a row follows from its Office version; a row typed wrong in one place breaks
// the agreement.
TEST(AccessEditions, EachRowAgreesWithItsOfficeVersion) {
    int previousYear = 0;
    for (const AccessEdition& edition : kAccessEditions) {
        SCOPED_TRACE(edition.year);
        EXPECT_GT(edition.year, previousYear);  // every list of editions is processed in this order
        previousYear = edition.year;
        const std::string office = edition.officeVersion;
        ASSERT_EQ(office.size(), 4u);
        const std::string major = office.substr(0, 2);
        EXPECT_EQ(std::string(edition.progId), "Access.Application." + major);
        EXPECT_EQ(std::string(edition.openCommandKey), std::string(edition.progId) + "\\shell\\open\\command");
        EXPECT_EQ(std::string(edition.displayName), "Access " + std::to_string(edition.year));
        EXPECT_TRUE(equalsIgnoringAsciiCase(edition.sharedFolder, "Office" + major));
        if (edition.lastAccessInstall != 0)
            EXPECT_EQ(std::to_string(edition.lastAccessInstall), major);
        const std::string component = edition.runtimeComponent;
        const std::string product = edition.runtimeProduct;
        if (edition.runtimeSearch == RuntimeSearch::InstallerComponents) {
            EXPECT_EQ(component.size(), 32u);
            EXPECT_EQ(product.size(), 32u);
        } else {
            EXPECT_EQ(component.size(), 38u);
            EXPECT_EQ(product, "{90" + major + "0000-001C-");
        }
        if (edition.officeTypeLibraryVersion != nullptr)
            EXPECT_EQ(std::string(edition.officeTypeLibraryDescription),
                      "Microsoft Office " + office + " Object Library");
        if (edition.trustedLocationsKey != nullptr)
            EXPECT_EQ(std::string(edition.trustedLocationsKey),
                      "Software\\Microsoft\\Office\\" + office + "\\Access\\Security\\Trusted Locations");
        EXPECT_EQ(findAccessEdition(edition.year), &edition);
    }
    for (int year : {0, 2005, 2012, -2002})
        EXPECT_EQ(findAccessEdition(year), nullptr) << year;
}

TEST(InstallerPath, RepairsEveryQuestionMarkBeforeABackslash) {
    const struct {
        const char* stored;
        const char* expected;
    } cases[] = {
        {"C?\\Program Files\\MSACCESS.EXE", "C:\\Program Files\\MSACCESS.EXE"},
        {"C?\\A?\\B?\\x.exe", "C:\\A:\\B:\\x.exe"},
        {"C:\\Program Files\\MSACCESS.EXE", "C:\\Program Files\\MSACCESS.EXE"},
        {"C?x\\?", "C?x\\?"},
        {"??\\", "?:\\"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(repairInstallerPath(c.stored), c.expected) << c.stored;
}

TEST(QuotedCommand, QuotesTheExecutableAndKeepsTheArgumentsAsGiven) {
    const struct {
        const char* executable;
        const char* arguments;
        const char* expected;
    } cases[] = {
        {"C:\\Program Files\\MSACCESS.EXE", "\"C:\\Apps\\Demo.mdb\" /runtime",
         "\"C:\\Program Files\\MSACCESS.EXE\" \"C:\\Apps\\Demo.mdb\" /runtime"},
        {"C:\\A.EXE", "", "\"C:\\A.EXE\" "},
        {"C:\\A.EXE", nullptr, "\"C:\\A.EXE\""},
        {"C:\\A.EXE", "  two  blanks ", "\"C:\\A.EXE\"   two  blanks "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(quotedCommandText(c.executable, c.arguments), c.expected) << c.expected;
}

TEST(AsciiCase, IgnoresTheCaseOfAsciiLettersOnly) {
    const struct {
        const char* first;
        const char* second;
        bool equal;
    } cases
        [] =
            {
                {"OMain", "omain", true},   {"OMain", "OMAIN", true}, {"OMain", "OMain", true},
                {"OMain", "OMain ", false}, {"OMain", "OMai", false}, {"", "", true},
                {"\xC4", "\xE4", false},  // A and a with diaeresis in code page 1252 are not ASCII
                {"[", "{", false},        // differ by the same bit as letters do
            };
    for (const auto& c : cases)
        EXPECT_EQ(equalsIgnoringAsciiCase(c.first, c.second), c.equal) << c.first << " / " << c.second;
}

namespace {

// A minimal program header: DOS stub with its e_lfanew, PE signature, file header and the
// optional header's magic.
std::string programHeader(std::uint16_t magic, std::uint16_t machine = 0x14C, std::uint32_t peAt = 0x80,
                          std::uint16_t optionalSize = 0xE0) {
    std::string bytes(peAt + 24 + 2, '\0');
    const auto put = [&bytes](std::size_t at, std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes[at + i] = static_cast<char>(value >> (8 * i));
    };
    put(0, 0x5A4D, 2);  // "MZ"
    put(0x3C, peAt, 4);
    put(peAt, 0x4550, 4);  // "PE\0\0"
    put(peAt + 4, machine, 2);
    put(peAt + 20, optionalSize, 2);
    put(peAt + 24, magic, 2);
    return bytes;
}

// A header with some of its bytes overwritten.
std::string patched(std::string header, std::size_t at, const std::string& bytes) {
    return header.replace(at, bytes.size(), bytes);
}

}  // namespace

TEST(ExecutableBitness, TheOptionalHeaderMagicDecides) {
    const ExecutableBitness k32 = ExecutableBitness::Bits32, k64 = ExecutableBitness::Bits64,
                            kUnknown = ExecutableBitness::Unknown;
    const std::string pe32Plus = programHeader(0x20B, 0x8664);
    const struct {
        const char* what;
        std::string header;
        ExecutableBitness expected;
    } cases[] = {
        {"PE32, i386", programHeader(0x10B), k32},
        {"PE32+, x64", pe32Plus, k64},
        {"headers far into the file", programHeader(0x20B, 0x8664, 0x4000), k64},
        {"cut before the magic's second byte", pe32Plus.substr(0, pe32Plus.size() - 1), kUnknown},
        {"e_lfanew past the end", programHeader(0x20B).substr(0, 0x80), kUnknown},
        {"e_lfanew near 4 GiB", patched(programHeader(0x20B), 0x3C, "\xF0\xFF\xFF\xFF"), kUnknown},
        {"no PE signature", patched(programHeader(0x20B), 0x81, "X"), kUnknown},
        {"no MZ", patched(programHeader(0x20B), 0, "Z"), kUnknown},
        {"no optional header", programHeader(0x20B, 0x8664, 0x80, 0), kUnknown},
        {"empty", "", kUnknown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(executableBitnessOf(c.header), c.expected) << c.what;
    EXPECT_STREQ(executableBitnessText(k64), "64-bit");
    EXPECT_STREQ(executableBitnessText(kUnknown), "of unknown bitness");
}

TEST(ClickToRunProducts, TheRuntimeAloneCountsAsTheRuntime) {
    const struct {
        const char* ids;
        bool runtime;
    } cases[] = {
        {"AccessRuntimeRetail", true},
        {"accessruntimeretail", true},
        {"AccessRuntimeRetail,StandardRetail,HomeBusinessRetail", true},  // suites without Access
        {"O365ProPlusRetail,AccessRuntimeRetail", false},
        {"AccessRuntimeRetail,Access2021Retail", false},
        {"O365ProPlusRetail", false},
        {"AccessRuntimeRetailX", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isClickToRunRuntime(c.ids), c.runtime) << c.ids;
    // Blanks around ids and empty ids are dropped before the runtime rule looks at them.
    EXPECT_EQ(clickToRunReleaseIds(" A ,,B\t"), (std::vector<std::string>{"A", "B"}));
}
