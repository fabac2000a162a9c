#include <windows.h>
#include <shlobj.h>

#include "base/SystemErrorText.h"
#include "discovery/AccessRuntimeFactory.h"
#include "discovery/PathHelpers.h"
#include "frontend/FrontEndRules.h"
#include "launch/CommandLineText.h"
#include "launch/DatabasePath.h"
#include "launch/Mallowbrook.h"

void Mallowbrook::composeCommandLine() {
    const CommandKey key = splitCommandKey(settings->commandKey());
    const HKEY root = key.root == CommandRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    const std::string arguments = settings->arguments();

    LONG commandError = 0;
    const std::string stored = registry.getString(root, key.subkey, settings->commandValueName(), &commandError);
    LONG titleError = 0;
    const std::string title = registry.getString(root, key.subkey + "\\Run-Time Options", "TitleBar", &titleError);

    if (commandError != 0) {
        if (log->IsEnabled())
            log->WriteLine("Using only parsed command line (no registry): " + arguments);
        accessCommandLine = arguments;
    } else {
        if (log->IsEnabled()) {
            log->WriteLine("Have command line from registry: " + stored);
            log->WriteLine("Plus parsed command line: " + arguments);
        }
        accessCommandLine = stored + " " + arguments;
    }

    if (titleError != 0) {
        log->WriteLine("No registry title. Making it generic");
        applicationTitle = "The application";
    } else {
        if (log->IsEnabled())
            log->WriteLine("Using registry title: " + title);
        applicationTitle = title;
    }
}

bool Mallowbrook::applyWindowsProfile(std::string& commandLine, std::string* problem) {
    const std::string original = commandLine;
    log->WriteLine("******* Windows Profile = true");

    char buffer[MAX_PATH] = {};
    const HRESULT found = SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, buffer);
    // S_FALSE: the folder is named but does not exist (a redirection whose target is offline).
    if (found != S_OK || buffer[0] == '\0') {
        // Access would be handed a path in no folder of this user.
        const std::string reason =
            systemErrorLine(FAILED(found) ? static_cast<unsigned long>(found) : ERROR_PATH_NOT_FOUND);
        if (log->IsEnabled())
            log->WriteLine("The local application data folder cannot be found: " + reason);
        if (problem != nullptr)
            *problem = reason;
        return false;
    }
    const std::string folder = buffer;
    const std::string master = settings->updateFrontEnd ? databasePathAsWritten(commandLine) : std::string();
    if (!master.empty()) {
        // Access gets the copy once, in the master's place, and the switches as they were.
        frontEndMaster = master;
        frontEndCopy = profileCopyPath(folder, master);
        commandLine = profileCopyCommandLine(commandLine, frontEndCopy);
    } else {
        if (settings->updateFrontEnd)
            log->WriteLine("Front-end not updated: the command line names no database");
        // The database Access opens there is the one whose folder the launch trusts.
        if (!databasePathFromCommandLine(commandLine).empty())
            profileDatabase = windowsProfileDatabase(commandLine, folder);
        commandLine = windowsProfileCommandLine(commandLine, folder, settings->arguments());
    }

    if (log->IsEnabled()) {
        log->WriteLine("Original Access command line: " + original);
        log->WriteLine("Changed to: " + commandLine + " by UseWindowsProfile.");
    }
    return true;
}

bool Mallowbrook::findRuntime(std::string& path) {
    const int edition = version();
    std::string candidate;
    {
        // The locator is asked once and released before the launch.
        auto runtime = AccessRuntimeFactory(log).createRuntime(edition);
        if (runtime)
            candidate = runtime->executablePath(settings->languageId);
    }
    if (!candidate.empty() && fileExists(candidate)) {
        if (log->IsEnabled())
            log->WriteLine("The Access " + std::to_string(edition) + " runtime was found!");
        path = candidate;
        return true;
    }
    if (log->IsEnabled())
        log->WriteLine(candidate + " does not exist.  Will try full version instead!");
    return false;
}

void Mallowbrook::useLaunch32(std::string& executablePath) {
    log->WriteLine("Launching with Launch32.exe");
    const std::string secureFile = settings->secureFile();
    const std::string candidate = ensureTrailingBackslash(folderPart(secureFile)) + "launch32.exe";
    if (!fileExists(candidate))
        return;
    executablePath = candidate;
    if (log->IsEnabled())
        log->WriteLine("Executable location changed to: " + candidate);
    accessCommandLine = secureFile;
}
