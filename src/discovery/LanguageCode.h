#pragma once
#include <string>

// One language in which the Access runtimes are published.
struct LanguageCode {
    std::string name;  // English name, for reading only
    std::string code;  // the language identifier as four upper-case hexadecimal digits
};
