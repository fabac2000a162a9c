#include "discovery/AccessInventory.h"

#include <exception>

#include "discovery/AccessLocations.h"
#include "discovery/AccessRuntimeFactory.h"
#include "discovery/ClickToRunAccess.h"
#include "discovery/ExecutableFile.h"
#include "discovery/PathHelpers.h"

namespace {

InstalledAccess describe(int year, bool runtime, const std::string& installedBy, const std::string& language,
                         const std::string& path) {
    InstalledAccess access;
    access.year = year;
    access.runtime = runtime;
    access.installedBy = installedBy;
    access.language = language;
    access.path = path;
    access.exists = fileExists(path);
    if (access.exists) {
        access.bitness = executableFileBitness(path);
        access.fileVersion = executableFileVersion(path);
    }
    return access;
}

}  // namespace

AccessInventory findEveryAccess(ILog* log, int languageId) {
    AccessInventory inventory;
    AccessLocations locations(log);
    locations.discover();
    for (const AccessEdition& edition : kAccessEditions) {
        try {
            if (auto runtime = AccessRuntimeFactory(log).createRuntime(edition.year))
                for (const RuntimeInstall& install : runtime->find(languageId, false))
                    inventory.found.push_back(describe(edition.year, true, std::string("Windows Installer ") +
                                                                               install.platform,
                                                       install.language, install.path));
        } catch (const std::exception& error) {
            inventory.problems.push_back(std::string(edition.displayName) + " runtime: " + error.what());
        }
        std::string fullPath;
        if (locations.commandPath(edition.year, fullPath))
            inventory.found.push_back(describe(edition.year, false, "shell command", "", fullPath));
        if (const auto clickToRun = findClickToRunAccess(log, edition))
            inventory.found.push_back(describe(edition.year, clickToRun->runtime, "Click-to-Run " + clickToRun->platform,
                                               clickToRun->culture, clickToRun->executable));
    }
    return inventory;
}
