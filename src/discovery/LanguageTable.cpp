#include "discovery/LanguageTable.h"

#include <climits>
#include <cstdio>

namespace {

struct LanguageRow {
    const char* name;
    const char* code;
};

const LanguageRow kLanguages[] = {
    {"Default", "0000"},
    {"English", "0409"},
    {"French", "040C"},
    {"Arabic", "0401"},
    {"Chinese Simplified", "0004"},
    {"Chinese Traditional", "7C04"},
    {"German", "0407"},
    {"Hebrew", "040D"},
    {"Italian", "0410"},
    {"Japanese", "0411"},
    {"Korean", "0412"},
    {"Spanish", "0C0A"},
    {"Thai", "041E"},
};

}  // namespace

std::shared_ptr<const LanguageList> languageTable() {
    auto table = std::make_shared<LanguageList>();
    table->reserve(std::size(kLanguages));
    for (const auto& row : kLanguages)
        table->push_back(LanguageCode{row.name, row.code});
    return table;
}

std::string languageCodeText(int languageId) {
    char text[16] = {};
    std::snprintf(text, sizeof(text), "%04X", static_cast<unsigned>(languageId));
    return text;
}

std::optional<LanguageCode> preferredLanguage(int languageId) {
    if (languageId <= 0)
        return std::nullopt;
    std::string code = languageCodeText(languageId);
    for (const auto& row : kLanguages)
        if (code == row.code)
            return LanguageCode{row.name, row.code};
    return std::nullopt;
}

int tableLanguageId(const std::string& text) {
    if (text.empty() || text.size() > 10)
        return 0;
    long long id = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return 0;
        id = id * 10 + (c - '0');
    }
    return id <= INT_MAX && preferredLanguage(static_cast<int>(id)) ? static_cast<int>(id) : 0;
}
