#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "discovery/LanguageCode.h"

using LanguageList = std::vector<LanguageCode>;

// The languages of the Access runtimes, in the order the runtime locators try them:
// the language-neutral product first, English second.
std::shared_ptr<const LanguageList> languageTable();

// The identifier as the table writes it: "%04X", so 1033 gives "0409" and 70000 "11170".
std::string languageCodeText(int languageId);

// The row of a -LANG identifier; none for 0 or less, or when the table has no such row.
std::optional<LanguageCode> preferredLanguage(int languageId);

// A -LANG value as the language it names: decimal digits only, naming a row of the table (not
// the neutral one). 0 for anything else: a letter, a sign, a number too large to hold, which must
// not wrap onto some language.
int tableLanguageId(const std::string& text);
