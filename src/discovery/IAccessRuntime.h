#pragma once
#include <string>

// Finds the Access executable of one edition's runtime as Windows Installer registered it.
class IAccessRuntime {
public:
    virtual ~IAccessRuntime() = default;
    // languageId: the -LANG identifier, 0 when none was given. Empty when not installed.
    virtual std::string executablePath(int languageId) = 0;
};
