#pragma once
#include <string>

// The command text CreateProcessA gets: the executable in double quotes, then one blank and
// the arguments. With no arguments at all (null) only the quoted executable. Pure text.
std::string quotedCommandText(const char* executable, const char* arguments);
