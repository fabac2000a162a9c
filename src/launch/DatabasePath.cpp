#include "launch/DatabasePath.h"

#include <exception>
#include <string>

#include "base/AsciiCase.h"
#include "base/TextRules.h"

namespace {

// Tried in this order: the first extension that occurs anywhere wins, not the first occurrence.
const char* const kDatabaseExtensions[] = {".accde", ".accdb", ".accdr", ".accdc", ".mde",
                                           ".mdb",   ".ade",   ".adp",   ".mdw"};

}  // namespace

bool findDatabasePath(const std::string& commandLine, std::size_t& start, std::size_t& length) {
    try {
        std::string text = lowerCaseAscii(commandLine);
        size_t first = 0;
        while (first < text.size() && isAsciiSpace(text[first]))
            ++first;
        text.erase(0, first);

        for (const char* extension : kDatabaseExtensions) {
            size_t position = text.find(extension);
            if (position == std::string::npos || position == 0)
                continue;
            // The path starts after the nearest quote before the extension, or at the start.
            size_t quote = text.rfind('"', position - 1);
            size_t from = quote == std::string::npos ? 0 : quote + 1;
            start = first + from;
            length = position - from + std::char_traits<char>::length(extension);
            return true;
        }
    } catch (const std::exception&) {
        // An allocation failure means no path was found.
    }
    return false;
}

std::string databasePathFromCommandLine(const std::string& commandLine) {
    try {
        return lowerCaseAscii(databasePathAsWritten(commandLine));
    } catch (const std::exception&) {
        return std::string();
    }
}

std::string databasePathAsWritten(const std::string& commandLine) {
    std::size_t start = 0, length = 0;
    try {
        if (findDatabasePath(commandLine, start, length))
            return commandLine.substr(start, length);
    } catch (const std::exception&) {
    }
    return std::string();
}
