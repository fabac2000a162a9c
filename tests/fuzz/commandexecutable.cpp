// Any shell command yields a program name taken from the command itself: no quote in it, no
// white space unless it was quoted, and asking again for the program of the name in quotes
// gives the same name.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>

#include "discovery/CommandExecutable.h"

namespace {

bool hasSpace(const std::string& text) {
    for (char c : text)
        if (std::isspace(static_cast<unsigned char>(c)))
            return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string command(reinterpret_cast<const char*>(data), size);
    const std::string program = commandExecutable(command);

    size_t first = 0;
    while (first < command.size() && std::isspace(static_cast<unsigned char>(command[first])))
        ++first;
    if (first == command.size()) {
        if (!program.empty())
            __builtin_trap();
        return 0;
    }
    const bool quoted = command[first] == '"';
    const size_t start = quoted ? first + 1 : first;
    if (command.compare(start, program.size(), program) != 0)
        __builtin_trap();
    if (program.find('"') != std::string::npos && quoted)
        __builtin_trap();
    if (!quoted && (program.empty() || hasSpace(program)))
        __builtin_trap();
    // What follows the name ends it: the closing quote, white space or the end of the command.
    const size_t after = start + program.size();
    if (after < command.size()) {
        const char next = command[after];
        if (quoted ? next != '"' : !std::isspace(static_cast<unsigned char>(next)))
            __builtin_trap();
    }
    if (quoted && commandExecutable("\"" + program + "\" -arg") != program)
        __builtin_trap();
    if (!quoted && commandExecutable(" \t" + program + " x") != program)
        __builtin_trap();
    return 0;
}
