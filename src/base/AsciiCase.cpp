#include "base/AsciiCase.h"

namespace {

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool equalsIgnoringAsciiCase(const std::string& first, const std::string& second) {
    if (first.size() != second.size())
        return false;
    for (std::string::size_type i = 0; i < first.size(); ++i)
        if (asciiLower(first[i]) != asciiLower(second[i]))
            return false;
    return true;
}

std::string lowerCaseAscii(std::string text) {
    for (char& c : text)
        c = asciiLower(c);
    return text;
}
