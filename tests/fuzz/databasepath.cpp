// Any command line yields either no path or a lower-case path ending in a database extension,
// taken from the command line itself; the extensions earlier in the list must not occur.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>

#include "launch/DatabasePath.h"

namespace {

const char* const kExtensions[] = {".accde", ".accdb", ".accdr", ".accdc", ".mde", ".mdb", ".ade", ".adp", ".mdw"};

std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string commandLine(reinterpret_cast<const char*>(data), size);
    const std::string path = databasePathFromCommandLine(commandLine);

    std::string text = lowerAscii(commandLine);
    text.erase(0, text.find_first_not_of(" \t\n\v\f\r") == std::string::npos ? text.size()
                                                                             : text.find_first_not_of(" \t\n\v\f\r"));
    // Which extension is found is decided by the list order alone.
    size_t matched = 0;
    while (matched < std::size(kExtensions)) {
        size_t at = text.find(kExtensions[matched]);
        if (at != std::string::npos && at != 0)
            break;
        ++matched;
    }
    if (matched == std::size(kExtensions)) {
        if (!path.empty())
            __builtin_trap();
        return 0;
    }

    const std::string extension = kExtensions[matched];
    if (!endsWith(path, extension) || path.find('"') != std::string::npos || path != lowerAscii(path))
        __builtin_trap();
    // The path runs from the last quote before the extension (or the start) up to the extension.
    const size_t at = text.find(extension);
    const size_t quote = text.rfind('"', at - 1);
    const size_t start = quote == std::string::npos ? 0 : quote + 1;
    if (text.compare(start, at - start, path, 0, path.size() - extension.size()) != 0 ||
        path.size() - extension.size() != at - start)
        __builtin_trap();
    return 0;
}
