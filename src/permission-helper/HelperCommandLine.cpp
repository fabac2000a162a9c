#include "permission-helper/HelperCommandLine.h"

#include <cstddef>

namespace {

const char kNoProgress[] = "noprogress";

}  // namespace

bool showsProgressWindow(const char* commandLine) {
    if (commandLine == nullptr)
        return true;
    std::size_t i = 0;
    for (; kNoProgress[i] != '\0'; ++i) {
        char c = commandLine[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != kNoProgress[i])
            return true;
    }
    return commandLine[i] != '\0';
}
