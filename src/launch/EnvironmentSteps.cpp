// The launcher's steps that prepare Office: trusted locations, the object library and the COM
// server paths. The work itself lives beside each step's own data; these bind it to the run.

#include "discovery/PathHelpers.h"
#include "launch/Settings.h"
#include "launch/MallowbrookPost2007.h"
#include "environment/ComServerRegistration.h"
#include "environment/ComponentPathTable.h"
#include "environment/ObjectLibrary.h"
#include "environment/TrustedLocationText.h"
#include "environment/TrustedLocations.h"
#include "launch/DatabasePath.h"
#include "base/OsVersionFlags.h"

// Trusted locations.

bool Mallowbrook::setTrustedFolder() {
    const std::string folder = settings->trustedFolder();
    if (folder.empty())
        return false;
    if (log->IsEnabled())
        log->WriteLine(std::to_string(version()) + " - setting trusting folder location to: " + folder);
    SetTrustedFolderLocation(registry, folder, settings->includeSubfolders, version());
    return true;
}

void MallowbrookPost2007::trustDatabaseFolder() {
    const std::string folder = databaseFolderToTrust(databasePathFromCommandLine(settings->arguments()));
    if (folder.empty())
        return;
    if (log->IsEnabled())
        log->WriteLine(std::to_string(version()) + " - Making sure that: " + folder + " is a trusted folder");
    SetTrustedFolderLocation(registry, folder, settings->includeSubfolders, version());
}

void MallowbrookPost2007::trustAccessFolder(const std::string& accessFolder) {
    if (log->IsEnabled())
        log->WriteLine(std::to_string(version()) + " - Making sure that executable dir: " + accessFolder +
                       " is a trusted folder");
    SetTrustedFolderLocation(registry, accessFolder, settings->includeSubfolders, version());
}

// Object library.

bool Mallowbrook::ensureObjectLibrary(const std::string& accessFolder) {
    return ObjectLibraryRegistration(registry, version())
        .ensure(accessFolder, OsVersionFlags::current().isWin9x, [this] { return askToRepairPermissions(); });
}

bool Mallowbrook::registerObjectLibrary(const std::string& olbPath) {
    return ObjectLibraryRegistration(registry, version()).registerLibrary(olbPath);
}

std::string Mallowbrook::objectLibraryPath() const {
    return ObjectLibraryRegistration(registry, version()).registeredPath();
}

void Mallowbrook::keepObjectLibrary() {
    keepObjectLibraryEntries(log, restoreSet, curVerBefore, curVerAfter);
}

// COM servers.

void MallowbrookPost2007::registerAceCore() {
    writeAceCorePath(registry, officeSharedFolder(commonFilesFolder(), officeFolder()));
}

void MallowbrookPost2007::repairComponentPaths(const std::string& accessFolder) {
    writeComponentPaths(registry, accessFolder, officeSharedFolder(commonFilesFolder(), officeFolder()));
}
