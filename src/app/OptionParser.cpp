#include "app/OptionParser.h"

#include "app/OptionScanner.h"
#include "base/AsciiCase.h"
#include "base/TextRules.h"
#include "discovery/LanguageTable.h"

namespace {

bool sameName(const std::string& a, const char* b) {
    return equalsIgnoringAsciiCase(a, b);
}

}  // namespace

int OptionParser::toInteger(const std::string& text) {
    return wrappingInteger(text);
}

std::string OptionParser::plainValue(OptionScanner& scanner) {
    scanner.skipBlanks();
    scanner.expect('=');
    scanner.skipBlanks();
    std::string value = scanner.readUntil(OptionScanner::isWhiteSpace);
    scanner.skipBlanks();
    return value;
}

std::string OptionParser::quotedValue(OptionScanner& scanner) {
    scanner.skipBlanks();
    scanner.expect('=');
    scanner.skipBlanks();
    scanner.expect('"');
    std::string value = scanner.readUntil([](char c) { return c == '"'; });
    scanner.expect('"');
    scanner.skipBlanks();
    return value;
}

bool OptionParser::parse(const std::string& commandLine, Settings& settings) {
    OptionScanner scanner(commandLine);
    scanner.skipBlanks();
    while (!scanner.atEnd() && scanner.peek() == '-') {
        // Only a blank or "=" ends a name; a tab does not.
        std::string name = scanner.readUntil([](char c) { return c == ' ' || c == '='; });
        if (sameName(name, "-OPENKEYS")) {
            settings.openKeys = true;
        } else if (sameName(name, "-CAPTURE")) {
            settings.captureValues = true;
        } else if (sameName(name, "-RESTORE")) {
            settings.restoreValues = true;
        } else if (sameName(name, "-NOPROGRESS")) {
            settings.noProgress = true;
        } else if (sameName(name, "-MIN")) {
            settings.showCommand = 2;
        } else if (sameName(name, "-NORMAL")) {
            settings.showCommand = 1;
        } else if (sameName(name, "-LOGGING")) {
            settings.logging = true;
        } else if (sameName(name, "-SUBFOLDERS")) {
            settings.includeSubfolders = true;
        } else if (sameName(name, "-WINDOWSPROFILE")) {
            settings.useWindowsProfile = true;
        } else if (sameName(name, "-UPDATE")) {
            settings.updateFrontEnd = true;
        } else if (sameName(name, "-REPORT")) {
            settings.report = true;
        } else if (sameName(name, "-WAITFORACCESSTOCLOSE")) {
            settings.waitForAccessToClose = true;
        } else if (sameName(name, "-LANG")) {
            std::string value = plainValue(scanner);
            // Office keeps what a launch writes for it: only a language of the table is worth it.
            if (const int id = tableLanguageId(value))
                settings.languageId = id;
            else if (log_ && log_->IsEnabled())
                log_->WriteLine("-LANG=" + value + " names no language of the language table; ignored");
        } else if (sameName(name, "-VER")) {
            toInteger(plainValue(scanner));  // accepted for compatibility; it selects nothing
        } else if (sameName(name, "-WAIT")) {
            std::string value = plainValue(scanner);
            if (!value.empty())
                settings.waitMilliseconds = toInteger(value);
        } else if (sameName(name, "-CMD")) {
            settings.commandKey_ = quotedValue(scanner);
        } else if (sameName(name, "-VALUE")) {
            settings.commandValueName_ = quotedValue(scanner);
        } else if (sameName(name, "-TRUSTEDFOLDER")) {
            settings.trustedFolder_ = quotedValue(scanner);
        } else if (sameName(name, "-SECFILE")) {
            settings.secureFile_ = quotedValue(scanner);
        } else if (log_ && log_->IsEnabled()) {
            log_->WriteLine("Unknown command encountered: " + name);
        }
        scanner.skipBlanks();
    }
    settings.arguments_ = scanner.rest();
    return true;
}
