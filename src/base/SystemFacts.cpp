#include "base/SystemFacts.h"

#include <windows.h>

#include "base/UniqueHandle.h"

std::string windowsVersionText() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!GetVersionExA(&version))
        return "unknown";
    return std::to_string(version.dwMajorVersion) + "." + std::to_string(version.dwMinorVersion) + " (build " +
           std::to_string(version.dwBuildNumber) + ")";
}

std::string userName() {
    char name[257] = {};
    DWORD size = sizeof(name);
    return GetUserNameA(name, &size) ? std::string(name) : std::string();
}

std::string elevationText() {
    UniqueKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put()))
        return "unknown";
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    // Systems before Vista know no elevation.
    if (!GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof(elevation), &size))
        return "unknown";
    return elevation.TokenIsElevated ? "elevated" : "not elevated";
}

std::string programPath() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length <= MAX_PATH ? length : 0);
}
