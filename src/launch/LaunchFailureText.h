#pragma once
#include <string>

// The boxes of a launch that did not open the application, so that nobody takes it for one that
// did. Pure text.

// The system's text for a start's error with its "%1" filled in with the program's file name, as
// Windows fills it in for its own message ("MSACCESS.EXE is not a valid Win32 application.").
std::string startErrorReason(const std::string& systemText, const std::string& program);
// Access could not be started at all; `reason` as startErrorReason gives it.
std::string accessNotStartedMessage(const std::string& program, const std::string& reason);
// Access started but showed no main window: it ended by itself (with its exit code) or was ended
// after the watcher's tries.
std::string noMainWindowMessage(const std::string& program, bool endedByItself, unsigned long exitCode,
                                unsigned long secondsWaited);
// -WINDOWSPROFILE when Windows cannot name the user's local application data folder.
std::string noLocalAppDataMessage(const std::string& reason);
