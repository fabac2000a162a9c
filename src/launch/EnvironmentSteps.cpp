// The launcher's steps that prepare the registry and Office: defaults, language, trusted
// locations, the object library, the COM server paths and the permission repair. The work itself
// lives in environment/, beside each step's own data; these bind it to the run.

#include "base/AsciiCase.h"
#include "base/OsVersionFlags.h"
#include "base/SystemErrorText.h"
#include "discovery/PathHelpers.h"
#include "environment/ComServerRegistration.h"
#include "environment/ComponentPathTable.h"
#include "environment/LanguageSettings.h"
#include "environment/ObjectLibrary.h"
#include "environment/OfficeTypeLibrary.h"
#include "environment/PermissionRepair.h"
#include "environment/RecordedValues.h"
#include "environment/RegistryDefaults.h"
#include "environment/TrustAssessment.h"
#include "environment/TrustedLocationText.h"
#include "environment/TrustedLocations.h"
#include "launch/DatabasePath.h"
#include "launch/LauncherMessages.h"
#include "launch/MallowbrookPost2007.h"
#include "launch/Settings.h"
#include "registry/RegistryRoot.h"

// Registry defaults and file associations.

void Mallowbrook::setGraphicsFilterDefaults() {
    ::setGraphicsFilterDefaults(registry);
}

void Mallowbrook::removeDdeCommands() {
    ::removeDdeCommands(registry);
}

void Mallowbrook::setLastAccessInstall(DWORD number) {
    ::setLastAccessInstall(registry, number);
}

std::string Mallowbrook::readCurVer() const {
    return ::readCurVer(registry);
}

void Mallowbrook::writeCurVer(const std::string& value) {
    ::writeCurVer(registry, value);
}

void Mallowbrook::setHtmlEditor(const std::string& accessFolder) {
    ::setHtmlEditor(registry, accessFolder);
}

void Mallowbrook::registerOfficeTypeLibrary() {
    ::registerOfficeTypeLibrary(registry, accessEdition());
}

void Mallowbrook::setIgnoreDdeRequests() {
    ::setIgnoreDdeRequests(registry, accessEdition());
}

void MallowbrookPost2007::suppressFirstRunOptIn() {
    ::suppressFirstRunOptIn(registry, officeVersion());
}

// Recording and language.

void Mallowbrook::saveDefaultSettings() {
    log->WriteLine("Saving default registry settings");
    for (const RecordedRow& row : recordedRows(accessEdition(), access64())) {
        if (row.numberWhenAbsent)
            restoreSet.addNumber(rootKey(row.hive), row.key, row.valueName, row.absentNumber, row.view);
        else
            restoreSet.add(rootKey(row.hive), row.key, row.valueName, row.view);
    }
    restoreSet.capture();
}

void MallowbrookPost2007::applyLanguage() {
    const int id = settings->languageId;
    if (id == 0)
        return;
    if (log->IsEnabled())
        log->WriteLine(std::to_string(version()) + " - LangCode set to: " + std::to_string(id));
    ::applyLanguage(registry, officeVersion(), id);
}

// Trusted locations.

bool Mallowbrook::setTrustedFolder() {
    const std::string folder = settings->trustedFolder();
    if (folder.empty())
        return false;
    if (log->IsEnabled())
        log->WriteLine(std::to_string(version()) + " - setting trusting folder location to: " + folder);
    trustFolder(folder, settings->includeSubfolders);
    return true;
}

void Mallowbrook::trustFolder(const std::string& folder, bool includeSubfolders, bool voidedEndsRun) {
    trustedFolders.push_back({folder, includeSubfolders});
    const int edition = version();
    // Judged before anything is written, as a report of the launch judges it.
    const TrustVerdict verdict = assessTrust(edition, folder);
    SetTrustedFolderLocation(registry, folder, includeSubfolders, edition);
    if (onNetwork(verdict.kind)) {
        LONG error = ERROR_SUCCESS;
        const bool written = allowNetworkLocations(registry, edition, &error);
        if (log->IsEnabled())
            log->WriteLine(networkLocationsLine(edition, folder, verdict.kind, written,
                                                error == ERROR_SUCCESS ? std::string() : systemErrorLine(error)));
    }
    if (!verdict.voided)
        return;
    // Access still starts, since the user wants to work; the exit code tells the deployment.
    if (log->IsEnabled())
        log->WriteLine(trustVoidedLine(edition, folder, verdict));
    if (voidedEndsRun)
        warnWindow(kExitTrustVoidedByPolicy);
}

MallowbrookPost2007::TrustTarget MallowbrookPost2007::databaseTrustTarget() const {
    // With -WINDOWSPROFILE Access opens the profile copy, so its folder is the one to trust; never
    // with its subfolders, which hold the temporary folder and whatever lands there.
    if (settings->useWindowsProfile)
        return {databaseFolderToTrust(lowerCaseAscii(frontEndCopy.empty() ? profileDatabase : frontEndCopy)), false};
    return {databaseFolderToTrust(databasePathFromCommandLine(settings->arguments())), settings->includeSubfolders};
}

void MallowbrookPost2007::trustDatabaseFolder() {
    const TrustTarget target = databaseTrustTarget();
    if (target.folder.empty())
        return;
    if (log->IsEnabled())
        log->WriteLine(std::to_string(version()) + " - Making sure that: " + target.folder + " is a trusted folder");
    trustFolder(target.folder, target.includeSubfolders);
}

void MallowbrookPost2007::trustAccessFolder(const std::string& accessFolder) {
    if (log->IsEnabled())
        log->WriteLine(std::to_string(version()) + " - Making sure that executable dir: " + accessFolder +
                       " is a trusted folder");
    // Policy that admits only its own locations rarely names Access's program folder; that alone
    // must not fail every launch of an application whose own folder policy trusts.
    trustFolder(accessFolder, settings->includeSubfolders, false);
}

// Object library.

bool Mallowbrook::ensureObjectLibrary(const std::string& accessFolder) {
    return ObjectLibraryRegistration(registry, version(), access64())
        .ensure(accessFolder, OsVersionFlags::current().isWin9x, [this] { return askToRepairPermissions(); });
}

bool Mallowbrook::registerObjectLibrary(const std::string& olbPath) {
    return ObjectLibraryRegistration(registry, version(), access64()).registerLibrary(olbPath);
}

std::string Mallowbrook::objectLibraryPath() const {
    return ObjectLibraryRegistration(registry, version(), access64()).registeredPath();
}

void Mallowbrook::keepObjectLibrary() {
    keepObjectLibraryEntries(log, restoreSet, curVerBefore, curVerAfter);
}

// COM servers.

// A 64-bit Office keeps its shared files (ACE, DAO) with the other 64-bit programs.
std::string MallowbrookPost2007::sharedFolder() const {
    return officeSharedFolder(access64() ? commonFilesFolder64() : commonFilesFolder(), officeFolder());
}

void MallowbrookPost2007::registerAceCore() {
    writeAceCorePath(registry, sharedFolder());
}

void MallowbrookPost2007::repairComponentPaths(const std::string& accessFolder) {
    writeComponentPaths(registry, accessFolder, sharedFolder());
}

// Permission repair.

void Mallowbrook::repairPermissions() {
    // An administrator's script must learn that nothing, or not everything, was repaired.
    switch (::repairPermissions(log, !settings->noProgress)) {
    case RepairOutcome::HelperDidNotRun:
        if (window != nullptr)
            PostMessageA(window, kLaunchFailedMessage, 0, 0);
        break;
    case RepairOutcome::SomeKeysUnchanged:
        warnWindow(kExitKeysNotAllOpened);
        break;
    case RepairOutcome::Repaired:
        break;
    }
}

bool Mallowbrook::askToRepairPermissions() {
    // A dry run asks nobody and repairs nothing: it notes that a launch would ask.
    if (registry.planning()) {
        wouldAskToRepair = true;
        return false;
    }
    return ::askToRepairPermissions(log, applicationTitle, version());
}
