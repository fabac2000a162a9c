#pragma once
#include <string>
#include <vector>

// Replaces "%APPDATA%", "%USERNAME%" and "%LOCALAPPDATA%" (exact case) in the command line
// with the user's values, in that order.
void replaceEnvironment(std::string& commandLine);

struct Placeholder {
    std::string name;   // "%APPDATA%"
    std::string value;  // what it stands for
};
// Pure text: each placeholder in turn, left to right; inserted text is not searched again.
std::string replacePlaceholders(std::string text, const std::vector<Placeholder>& placeholders);
