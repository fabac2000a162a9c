#pragma once
#include <string>
#include "launch/Settings.h"
#include "log/ILog.h"

class OptionScanner;

// Reads the run of "-" options at the front of the command line; the rest is handed to Access.
class OptionParser {
public:
    explicit OptionParser(ILog* log) : log_(log) {}

    // Always true; a malformed value throws std::runtime_error with the scanner's message.
    bool parse(const std::string& commandLine, Settings& settings);

    // Leading white space and one sign, then decimal digits; no digits give 0.
    static int toInteger(const std::string& text);

private:
    static std::string plainValue(OptionScanner& scanner);
    static std::string quotedValue(OptionScanner& scanner);

    ILog* log_;
};
