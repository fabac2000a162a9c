// Any command line either parses or fails with the scanner's message; nothing else may happen.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "app/OptionParser.h"
#include "log/StringLog.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string commandLine(reinterpret_cast<const char*>(data), size);
    StringLog log;
    Settings settings;
    try {
        OptionParser(&log).parse(commandLine, settings);
    } catch (const std::runtime_error& error) {
        if (std::string(error.what()).rfind("Expected next character to be '", 0) != 0)
            __builtin_trap();
        return 0;
    }
    // Whatever was not taken as an option is handed on untouched: a suffix of the input.
    const std::string rest = settings.arguments();
    if (rest.size() > commandLine.size() ||
        commandLine.compare(commandLine.size() - rest.size(), rest.size(), rest) != 0)
        __builtin_trap();
    return 0;
}
