#pragma once
#include <string>

// The few text rules every parser of ours shares. Pure text, whatever the locale.

// The six characters isspace() takes in the "C" locale: blank, tab, line feed, vertical tab,
// form feed and carriage return.
inline bool isAsciiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Leading ASCII spaces, an optional sign, then decimal digits up to the first other character,
// as atoi reads them; accumulated modulo 2^32, so an overlong number wraps instead of overflowing.
// 0 when there are no digits.
int wrappingInteger(const std::string& text);
