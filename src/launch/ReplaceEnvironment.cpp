#include <windows.h>
#include <shlobj.h>

#include "discovery/PathHelpers.h"
#include "launch/EnvironmentPlaceholders.h"

namespace {

// An unset variable stands for the empty text.
std::string environmentVariable(const char* name) {
    DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    if (size == 0)
        return std::string();
    std::string value(size, '\0');
    DWORD length = GetEnvironmentVariableA(name, &value[0], size);
    value.resize(length < size ? length : 0);
    return value;
}

std::string localAppDataFolder() {
    char buffer[kFolderBufferSize + 1] = {};
    specialFolderPath(CSIDL_LOCAL_APPDATA, buffer);
    return buffer;
}

}  // namespace

void replaceEnvironment(std::string& commandLine) {
    std::vector<Placeholder> placeholders = {
        {"%APPDATA%", environmentVariable("APPDATA")},
        {"%USERNAME%", environmentVariable("USERNAME")},
    };
    // The shell look-up only when the placeholder is there.
    if (commandLine.find("%LOCALAPPDATA%") != std::string::npos)
        placeholders.push_back({"%LOCALAPPDATA%", localAppDataFolder()});
    commandLine = replacePlaceholders(commandLine, placeholders);
}
