#pragma once
#include <string>
#include <vector>

// One runtime as Windows Installer registered it.
struct RuntimeInstall {
    std::string path;
    const char* platform = "x86";  // "x86" or "x64"
    std::string language;          // the language's code ("0409") where the product names it, else empty
};

// Finds the Access executable of one edition's runtime as Windows Installer registered it.
class IAccessRuntime {
public:
    virtual ~IAccessRuntime() = default;
    // languageId: the -LANG identifier, 0 when none was given. Every runtime the search finds, in
    // the order it tries them; with firstOnly it stops at the first, which is the one a launch takes.
    virtual std::vector<RuntimeInstall> find(int languageId, bool firstOnly) = 0;
    // The runtime a launch takes; empty when none is installed.
    std::string executablePath(int languageId) {
        const std::vector<RuntimeInstall> found = find(languageId, true);
        return found.empty() ? std::string() : found.front().path;
    }
};
