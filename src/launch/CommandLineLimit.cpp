#include "launch/CommandLineLimit.h"

std::size_t commandLineLength(const std::string& program, const std::string& arguments) {
    return 1 + program.size() + 1 + 1 + arguments.size() + 1;
}

std::string commandLineLimitMessage(const std::string& program, const std::string& arguments) {
    const std::size_t length = commandLineLength(program, arguments);
    if (length <= kCommandLineLimit)
        return std::string();
    return "The Access command line is " + std::to_string(length) + " characters long; Windows accepts at most " +
           std::to_string(kCommandLineLimit) +
           ".\nAccess was not started. Shorten the database path or the command line options.";
}
