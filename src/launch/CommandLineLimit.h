#pragma once
#include <cstddef>
#include <string>

// Windows takes a command line of at most 32,767 characters, its terminating NUL, the quoted
// program path and the blank after it included; a longer one is cut, and Access would open
// some other path. Pure text.
constexpr std::size_t kCommandLineLimit = 32767;

// The characters Windows needs for `"program" arguments` and its NUL.
std::size_t commandLineLength(const std::string& program, const std::string& arguments);
// The message for a line over the limit; empty when it fits.
std::string commandLineLimitMessage(const std::string& program, const std::string& arguments);
