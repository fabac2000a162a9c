#pragma once
#include <string>

// Equal when the texts differ at most in the case of ASCII letters; other bytes must match
// exactly, whatever the code page. Pure text.
bool equalsIgnoringAsciiCase(const std::string& first, const std::string& second);
// The text with its ASCII capitals made small; other bytes unchanged.
std::string lowerCaseAscii(std::string text);
