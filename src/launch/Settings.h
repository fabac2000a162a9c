#pragma once
#include <string>

// The parsed command-line options. Written once during start-up, read-only afterwards.
class Settings {
public:
    bool openKeys = false;
    bool noProgress = false;
    bool captureValues = false;
    bool restoreValues = false;
    int showCommand = 3;  // SW_SHOWMAXIMIZED
    int waitMilliseconds = 15000;
    bool logging = false;
    int languageId = 0;
    bool includeSubfolders = false;
    bool useWindowsProfile = false;
    bool waitForAccessToClose = false;
    // With useWindowsProfile: the profile copy is brought up to date from the named database first.
    bool updateFrontEnd = false;
    // -REPORT: the launch's decisions are written to a report instead of being carried out.
    bool report = false;

    std::string commandKey() const { return commandKey_; }
    std::string commandValueName() const { return commandValueName_; }
    std::string trustedFolder() const { return trustedFolder_; }
    std::string secureFile() const { return secureFile_; }
    std::string arguments() const { return arguments_; }

private:
    friend class OptionParser;  // the only writer of the text fields

    std::string commandKey_;
    std::string commandValueName_ = "CmdLine";
    std::string trustedFolder_;
    std::string secureFile_;
    std::string arguments_;
};
