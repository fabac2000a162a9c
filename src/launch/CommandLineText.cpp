#include "launch/CommandLineText.h"

#include "base/PathText.h"
#include "launch/DatabasePath.h"

namespace {

const char kMachinePrefix[] = "HKLM\\";
const char kUserPrefix[] = "HKCU\\";
const size_t kPrefixLength = 5;

bool startsWith(const std::string& text, const char* prefix) {
    return text.compare(0, kPrefixLength, prefix) == 0;
}

}  // namespace

CommandKey splitCommandKey(const std::string& key) {
    if (startsWith(key, kMachinePrefix))
        return {CommandRoot::LocalMachine, key.substr(kPrefixLength)};
    if (startsWith(key, kUserPrefix))
        return {CommandRoot::CurrentUser, key.substr(kPrefixLength)};
    return {CommandRoot::LocalMachine, key};
}

std::string windowsProfileDatabase(const std::string& commandLine, const std::string& localFolder) {
    const std::string databasePath = databasePathFromCommandLine(commandLine);
    return ensureTrailingBackslash(localFolder) + fileNamePart(databasePath);
}

std::string windowsProfileCommandLine(const std::string& commandLine, const std::string& localFolder,
                                      const std::string& arguments) {
    const std::string newPath = windowsProfileDatabase(commandLine, localFolder);
    // Keep the text before the drive letter of the last absolute path (its opening quote too).
    size_t colon = commandLine.rfind(':');
    size_t cut = (colon == std::string::npos || colon == 0) ? 0 : colon - 1;
    return commandLine.substr(0, cut) + newPath + "\" " + arguments;
}

std::string profileCopyCommandLine(const std::string& commandLine, const std::string& copyPath) {
    size_t start = 0, length = 0;
    if (!findDatabasePath(commandLine, start, length))
        return commandLine;
    return commandLine.substr(0, start) + copyPath + commandLine.substr(start + length);
}
