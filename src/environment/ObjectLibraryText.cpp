#include "environment/ObjectLibraryText.h"

#include <climits>

const char* const kKeptObjectLibraryKeys[kKeptObjectLibraryKeyCount] = {
    "Access.Application\\CurVer",
    "Access.Application\\CLSID",
    "TypeLib\\{4AFFC9A0-5F99-101B-AF4E-00AA003F0F07}\\9.0",
    "TypeLib\\{4AFFC9A0-5F99-101B-AF4E-00AA003F0F07}\\9.0\\0\\win32",
};

namespace {

// Length of "Access.Application.": the number is read from there on whatever the text before it is.
constexpr std::size_t kProgIdPrefixLength = 19;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

int progIdVersionNumber(const std::string& progId) {
    if (progId.size() <= kProgIdPrefixLength)
        return 0;
    std::size_t at = kProgIdPrefixLength;
    while (at < progId.size() && isSpace(progId[at]))
        ++at;
    bool negative = false;
    if (at < progId.size() && (progId[at] == '+' || progId[at] == '-')) {
        negative = progId[at] == '-';
        ++at;
    }
    // Saturates instead of overflowing: a registry value is not trusted to be short.
    long long number = 0;
    for (; at < progId.size() && progId[at] >= '0' && progId[at] <= '9'; ++at) {
        number = number * 10 + (progId[at] - '0');
        if (number > INT_MAX)
            number = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        return number > INT_MAX ? INT_MIN : static_cast<int>(-number);
    return number > INT_MAX ? INT_MAX : static_cast<int>(number);
}

bool keepsObjectLibrarySwitched(const std::string& curVerBefore, const std::string& curVerAfter) {
    if (curVerBefore.empty() || curVerAfter.empty())
        return false;
    const int before = progIdVersionNumber(curVerBefore);
    const int after = progIdVersionNumber(curVerAfter);
    return before <= after && after < 14;
}
