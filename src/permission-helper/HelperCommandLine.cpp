#include "permission-helper/HelperCommandLine.h"

#include <cstddef>

bool showsProgressWindow(const char* commandLine) {
    if (commandLine == nullptr)
        return true;
    std::size_t i = 0;
    for (; kNoProgressArgument[i] != '\0'; ++i) {
        char c = commandLine[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != kNoProgressArgument[i])
            return true;
    }
    return commandLine[i] != '\0';
}
