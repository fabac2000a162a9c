#pragma once
#include <string>

// The program named at the start of a shell command: the text between the first pair of
// double quotes when it starts with one (to the end when the quote is never closed), else
// the text up to the first white space. Leading white space is skipped. Pure text.
std::string commandExecutable(const std::string& command);
