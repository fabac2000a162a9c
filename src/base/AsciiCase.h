#pragma once
#include <string>

// Equal when the texts differ at most in the case of ASCII letters; other bytes must match
// exactly, whatever the code page. Pure text.
bool equalsIgnoringAsciiCase(const std::string& first, const std::string& second);
