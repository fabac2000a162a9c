// -REPORT: the launch's own steps run as far as a launch would go before starting Access, with
// every registry write recorded in a plan instead of made (RegistryPlan), and nothing else that
// changes the machine: no journal, no recovery, no front-end copy, no question, no helper.

#include <windows.h>
#include <shlobj.h>

#include <exception>

#include "MallowbrookVersion.h"
#include "base/AsciiCase.h"
#include "base/ScopeExit.h"
#include "base/SystemErrorText.h"
#include "base/SystemFacts.h"
#include "base/WholeFile.h"
#include "base/Wow64System.h"
#include "capture/CaptureFile.h"
#include "capture/CaptureFileCheck.h"
#include "discovery/AccessInventory.h"
#include "discovery/PathHelpers.h"
#include "environment/ObjectLibraryText.h"
#include "environment/RegistryDefaults.h"
#include "environment/TrustAssessment.h"
#include "environment/TrustedLocationText.h"
#include "environment/TrustedLocations.h"
#include "frontend/FrontEndDecision.h"
#include "journal/LauncherIdentity.h"
#include "journal/JournalLeftovers.h"
#include "launch/CommandLineLimit.h"
#include "launch/EnvironmentPlaceholders.h"
#include "launch/LauncherMessages.h"
#include "launch/Mallowbrook.h"
#include "launch/ReportText.h"
#include "registry/RegistryPlan.h"
#include "registry/RegistryRoot.h"

namespace {

std::string timeNowText() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return localTimeText(fileTimeNumber(now));
}

std::string captureFileState(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return "none";
    const std::string when = "written " + localTimeText(fileTimeNumber(data.ftLastWriteTime));
    std::string bytes;
    const unsigned long error = readCaptureFile(bytes);
    if (error != 0)
        return "cannot be read (" + captureFileErrorText(error) + "), " + when;
    const CaptureFileContent content = decodeCaptureFile(bytes);
    if (!content.usable)
        return "cannot be used because " + content.refusal + ", " + when;
    return std::to_string(content.values.size()) + " values, " + when + "; -RESTORE puts them back";
}

// HKEY_LOCAL_MACHINE\SOFTWARE\Classes\X is the machine's HKEY_CLASSES_ROOT\X, where the record names it.
void asClassesKey(Hive& hive, std::string& key) {
    const std::string prefix = "SOFTWARE\\Classes\\";
    if (hive == Hive::LocalMachine && key.size() > prefix.size() &&
        equalsIgnoringAsciiCase(key.substr(0, prefix.size()), prefix)) {
        hive = Hive::ClassesRoot;
        key.erase(0, prefix.size());
    }
}

// Whether the launch's put-back writes this value back: it is in the record.
bool putBackAfter(const PlannedChange& change, const RestoreSet& record) {
    if (change.removesKey)
        return false;
    Hive changeHive = change.hive;
    std::string changeKey = change.key;
    asClassesKey(changeHive, changeKey);
    for (const SavedValue& value : record.entries()) {
        Hive hive;
        if (hiveOf(value.root, hive) && hive == changeHive && (value.view == change.view || !change.viewsApart) &&
            equalsIgnoringAsciiCase(value.key, changeKey) && equalsIgnoringAsciiCase(value.valueName, change.valueName))
            return true;
    }
    return false;
}

std::string desktopReportPath() {
    char folder[kFolderBufferSize + 1] = {};
    specialFolderPath(CSIDL_DESKTOPDIRECTORY, folder);
    return folder[0] == '\0' ? std::string() : joinPath(folder, kReportFileName);
}

}  // namespace

void Mallowbrook::writeReport() {
    ReportFacts facts;
    facts.writtenAt = timeNowText();
    facts.commandLine = GetCommandLineA();
    facts.launcherVersion = MALLOWBROOK_VERSION_TEXT;
    facts.edition = version();
    facts.programPath = programPath();
    facts.windowsVersion = windowsVersionText();
    facts.windows64 = isWow64System();
    facts.user = userName();
    facts.elevation = elevationText();
    try {
        planLaunch(facts);
    } catch (const std::exception& error) {
        // What would end the real run with "The application encountered an unexpected error".
        facts.blocker = std::string("an error would end the run: ") + error.what();
    }
    facts.inventory = findEveryAccess(log, settings->languageId);
    facts.journals = findJournalLeftovers();
    facts.captureFile = captureFilePath();
    facts.captureState = captureFileState(facts.captureFile);

    // The exit code is the only word of a report that could not be written: it writes no log.
    const std::string path = desktopReportPath();
    if (path.empty() || replaceFileWhole(path, reportText(facts)) != ERROR_SUCCESS) {
        notifyWindow(kLaunchFailedMessage);
        return;
    }
    if (!reportWouldLaunch(facts))
        warnWindow(kExitReportNoLaunch);
}

// The run's own steps in the run's order, up to where Access would be started.
void Mallowbrook::planLaunch(ReportFacts& facts) {
    const int edition = version();
    if (settings->captureValues || settings->restoreValues || settings->openKeys ||
        (edition >= 2007 && !settings->trustedFolder().empty())) {
        facts.blocker = "the shortcut runs a maintenance option (-CAPTURE, -RESTORE, -OPENKEYS or -TRUSTEDFOLDER), "
                        "which ends the run before a launch";
        return;
    }
    composeCommandLine();
    std::string problem;
    if (settings->useWindowsProfile && !applyWindowsProfile(accessCommandLine, &problem)) {
        facts.blocker = "Windows cannot find the local application data folder that -WINDOWSPROFILE opens from (" +
                        problem + ")";
        return;
    }
    facts.accessCommandLine = accessCommandLine;

    std::string executable;
    if (!locateAccess(executable)) {
        std::string text = accessNotFoundText(edition);
        text.replace(text.find('\n'), 1, " ");
        facts.blocker = text;
        return;
    }
    facts.chosenPath = executable;
    facts.chosenSource = accessSource;
    reportFrontEnd(facts);
    if (!facts.blocker.empty())
        return;

    RegistryPlan plan;
    registry.planInto(&plan);
    auto endPlan = scopeExit([this] { registry.planInto(nullptr); });
    prepareRegistry();
    const std::size_t recordedFrom = plan.changes().size();
    saveDefaultSettings();  // only reads: the record is what would be put back
    switchTo(executable);
    switchBegun = false;
    keepObjectLibrary();
    endPlan.run();

    facts.switchPlanned = true;
    for (std::size_t index = 0; index < plan.changes().size(); ++index) {
        const PlannedChange& change = plan.changes()[index];
        facts.changes.push_back({change, index >= recordedFrom && putBackAfter(change, restoreSet)});
    }
    facts.asksToRepair = wouldAskToRepair;
    reportReadBackKeys(facts);
    reportTrust(facts);

    if (!prepareStart(executable)) {
        facts.blocker = executable + " does not exist";
        return;
    }
    facts.executable = executable;
    facts.accessCommandLine = accessCommandLine;
    const std::string overlong = commandLineLimitMessage(executable, accessCommandLine);
    if (!overlong.empty())
        facts.blocker = overlong;
}

// The keys whose writes a launch must make and reads back (CurVer, the object library
// registration), and whether this user may write them.
void Mallowbrook::reportReadBackKeys(ReportFacts& facts) const {
    const REGSAM libraryView = access64() ? KEY_WOW64_64KEY : 0;
    const std::pair<const char*, REGSAM> keys[] = {
        {kCurVerKey, 0},
        {access64() ? kObjectLibraryPathKey64 : kObjectLibraryPathKey, libraryView},
    };
    for (const auto& key : keys) {
        const LONG error = registry.writeAccess(HKEY_CLASSES_ROOT, key.first, true, key.second);
        facts.readBack.push_back({std::string("HKEY_CLASSES_ROOT\\") + key.first +
                                      registryViewNote(key.second != 0 ? RegistryView::View64 : RegistryView::Own),
                                  error == ERROR_SUCCESS ? std::string() : systemErrorLine(error)});
    }
}

void Mallowbrook::reportTrust(ReportFacts& facts) const {
    for (const TrustedFolder& trusted : trustedFolders) {
        ReportTrust trust;
        trust.folder = trusted.folder;
        trust.subfolders = trusted.subfolders;
        trust.verdict = assessTrust(version(), trusted.folder);
        try {
            const std::string key = trustedLocationsKey(version());
            trust.alreadyTrusted = registry.keyExists(HKEY_CURRENT_USER, key) &&
                                   findTrustedLocation(registry, trusted.folder, key,
                                                       *registry.getSubkeys(HKEY_CURRENT_USER, key));
        } catch (const std::exception&) {
            trust.alreadyTrusted = false;  // a key that cannot be read names no location
        }
        facts.trust.push_back(trust);
    }
}

// -WINDOWSPROFILE and -UPDATE as the launch would find them; the copy itself is not made.
void Mallowbrook::reportFrontEnd(ReportFacts& facts) {
    ReportFrontEnd& frontEnd = facts.frontEnd;
    frontEnd.used = settings->useWindowsProfile;
    if (!frontEnd.used)
        return;
    if (frontEndCopy.empty()) {
        frontEnd.opened = profileDatabase.empty() ? "(the command line names no database)" : profileDatabase;
        if (settings->updateFrontEnd)
            frontEnd.noCopy = "the command line names no database";
        return;
    }
    // The paths as Access will see them once the placeholders are replaced, as the update takes them.
    std::string master = frontEndMaster;
    frontEnd.copy = frontEndCopy;
    replaceEnvironment(master);
    replaceEnvironment(frontEnd.copy);
    frontEnd.opened = frontEnd.copy;
    if (equalsIgnoringAsciiCase(master, frontEnd.copy)) {
        frontEnd.noCopy = "the command line names the profile copy itself";
        return;
    }
    const FrontEndDecision decision = decideFrontEnd(master, frontEnd.copy);
    frontEnd.update = true;
    frontEnd.verdict = decision.verdict;
    frontEnd.facts = decision.facts;
    frontEnd.masterProblem = errorPhrase(systemErrorLine(decision.masterError), decision.masterError);
    if (decision.verdict == FrontEndVerdict::MasterUnreachable && !decision.facts.copyExists)
        facts.blocker = "the user has no copy of the front-end, and its master " + master + " cannot be reached (" +
                        frontEnd.masterProblem + ")";
}
