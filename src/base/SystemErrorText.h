#pragma once
#include <string>

// The system's text for a Windows error code, including its trailing line end.
// Throws std::runtime_error when FormatMessageA has no text for it.
std::string systemErrorText(unsigned long code);
std::string lastErrorText();
// The same text without its line end, for one log line; "error <code>" when the system has no
// text for it. Never throws.
std::string systemErrorLine(unsigned long code);
