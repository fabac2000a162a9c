#include "discovery/CommandExecutable.h"

#include <cctype>

namespace {

bool isSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

std::string commandExecutable(const std::string& command) {
    std::string::size_type cursor = 0;
    while (cursor < command.size() && isSpace(command[cursor]))
        ++cursor;
    if (cursor == command.size())
        return std::string();
    if (command[cursor] == '"') {
        ++cursor;
        std::string::size_type end = command.find('"', cursor);
        return command.substr(cursor, end == std::string::npos ? std::string::npos : end - cursor);
    }
    std::string::size_type end = cursor;
    while (end < command.size() && !isSpace(command[end]))
        ++end;
    return command.substr(cursor, end - cursor);
}
