#include "discovery/CommandExecutable.h"

#include "base/TextRules.h"

std::string commandExecutable(const std::string& command) {
    std::string::size_type cursor = 0;
    while (cursor < command.size() && isAsciiSpace(command[cursor]))
        ++cursor;
    if (cursor == command.size())
        return std::string();
    if (command[cursor] == '"') {
        ++cursor;
        std::string::size_type end = command.find('"', cursor);
        return command.substr(cursor, end == std::string::npos ? std::string::npos : end - cursor);
    }
    std::string::size_type end = cursor;
    while (end < command.size() && !isAsciiSpace(command[end]))
        ++end;
    return command.substr(cursor, end - cursor);
}
