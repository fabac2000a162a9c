#include "launch/LaunchFailureText.h"

#include <cstdio>

#include "base/PathText.h"

std::string startErrorReason(const std::string& systemText, const std::string& program) {
    std::string reason = systemText;
    const std::string name = fileNamePart(program);
    for (size_t at = reason.find("%1"); at != std::string::npos; at = reason.find("%1", at + name.size()))
        reason.replace(at, 2, name);
    return reason;
}

std::string accessNotStartedMessage(const std::string& program, const std::string& reason) {
    return "Access could not be started, so the application did not open.\n\nProgram: " + program +
           "\nReason: " + reason;
}

std::string noMainWindowMessage(const std::string& program, bool endedByItself, unsigned long exitCode,
                                unsigned long secondsWaited) {
    if (endedByItself) {
        // Crash codes are known by their hexadecimal form.
        char code[32] = {};
        std::snprintf(code, sizeof(code), "%lu (0x%08lX)", exitCode, exitCode);
        return "Access ended before its main window appeared, so the application did not open.\n\nProgram: " + program +
               "\nExit code: " + code;
    }
    return "Access did not show its main window within " + std::to_string(secondsWaited) +
           " seconds and was ended, so the application did not open.\n\nProgram: " + program;
}

std::string noLocalAppDataMessage(const std::string& reason) {
    return "The application cannot be started: it opens from your local application data folder, and Windows "
           "cannot find that folder.\n\nReason: " +
           reason + "\n\nIf your folders are kept on a network drive, connect to the network and try again.";
}
