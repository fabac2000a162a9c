#include <gtest/gtest.h>

#include "discovery/LanguageTable.h"

TEST(LanguageTable, HoldsThePublishedLanguagesInSearchOrder) {
    const LanguageCode expected[] = {
        {"Default", "0000"},  {"English", "0409"},  {"French", "040C"},   {"Arabic", "0401"},
        {"Chinese Simplified", "0004"}, {"Chinese Traditional", "7C04"}, {"German", "0407"},
        {"Hebrew", "040D"},   {"Italian", "0410"},  {"Japanese", "0411"}, {"Korean", "0412"},
        {"Spanish", "0C0A"},  {"Thai", "041E"},
    };
    auto table = languageTable();
    ASSERT_EQ(table->size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ((*table)[i].name, expected[i].name) << "row " << i + 1;
        EXPECT_EQ((*table)[i].code, expected[i].code) << "row " << i + 1;
    }
    // Built anew for every caller.
    EXPECT_NE(languageTable().get(), table.get());
}

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
