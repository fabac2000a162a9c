#include "launch/DatabasePath.h"

#include <exception>

namespace {

// Tried in this order: the first extension that occurs anywhere wins, not the first occurrence.
const char* const kDatabaseExtensions[] = {".accde", ".accdb", ".accdr", ".accdc", ".mde",
                                           ".mdb",   ".ade",   ".adp",   ".mdw"};

bool isLeadingSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string lowerCaseAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace

std::string databasePathFromCommandLine(const std::string& commandLine) {
    try {
        std::string text = lowerCaseAscii(commandLine);
        size_t first = 0;
        while (first < text.size() && isLeadingSpace(text[first]))
            ++first;
        text.erase(0, first);

        for (const char* extension : kDatabaseExtensions) {
            size_t position = text.find(extension);
            if (position == std::string::npos || position == 0)
                continue;
            // The path starts after the nearest quote before the extension, or at the start.
            size_t quote = text.rfind('"', position - 1);
            size_t start = quote == std::string::npos ? 0 : quote + 1;
            return text.substr(start, position - start) + extension;
        }
    } catch (const std::exception&) {
        // An allocation failure means no path was found.
    }
    return std::string();
}
