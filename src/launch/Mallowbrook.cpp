#include "launch/Mallowbrook.h"

#include "discovery/AccessLocations.h"
#include "discovery/PathHelpers.h"
#include "launch/AccessSource.h"
#include "launch/CommandLineLimit.h"
#include "launch/EnvironmentPlaceholders.h"
#include "launch/LaunchFailureText.h"
#include "journal/JournalRecovery.h"
#include "journal/LaunchJournal.h"
#include "launch/LauncherMessages.h"
#include "launch/ProcessWatcher.h"
#include "launch/RecordingOrder.h"

Mallowbrook::Mallowbrook(ILog* log, HWND window, HINSTANCE instance, Settings* settings)
    : log(log),
      window(window),
      instance(instance),
      settings(settings),
      registry(log),
      restoreSet(false),
      recovery(std::make_unique<JournalRecovery>()) {}

Mallowbrook::~Mallowbrook() = default;

std::string Mallowbrook::mainWindowClass() const {
    return "OMain";
}

std::string Mallowbrook::mdbDefault() const {
    return registry.getString(HKEY_CLASSES_ROOT, ".mdb", "");
}

void Mallowbrook::closeWindow() {
    if (window != nullptr)
        PostMessageA(window, WM_CLOSE, 0, 0);
}

void Mallowbrook::run() {
    // A report changes nothing, not even what an interrupted launch left switched.
    if (settings->report) {
        writeReport();
        closeWindow();
        return;
    }
    // Whatever this run goes on to do, what an interrupted launch left switched goes back first.
    recoverInterrupted();
    bool maintenanceFailed = false;
    if (settings->captureValues)
        maintenanceFailed = !captureToFile(log, window);
    else if (settings->restoreValues)
        maintenanceFailed = !restoreFromFile(log, window);

    const int edition = version();
    bool trusted = false;
    if (edition >= 2007)
        trusted = setTrustedFolder();
    if (settings->openKeys)
        repairPermissions();

    if (settings->captureValues || settings->restoreValues || settings->openKeys || trusted) {
        log->WriteLine("Exiting Mallowbrook because we did one of the following:");
        log->WriteLine("capture values, restore values, open keys, set trusted folder location.");
        // The user has been told; the exit code tells scripts.
        if (maintenanceFailed && window != nullptr)
            PostMessageA(window, kLaunchFailedMessage, 0, 0);
        closeWindow();
        return;
    }

    composeCommandLine();
    if (settings->useWindowsProfile) {
        std::string problem;
        if (!applyWindowsProfile(accessCommandLine, &problem)) {
            MessageBoxA(nullptr, noLocalAppDataMessage(problem).c_str(), "Mallowbrook Warning",
                        MB_OK | MB_ICONWARNING);
            notifyWindow(kLaunchFailedMessage);
            closeWindow();
            return;
        }
    } else if (settings->updateFrontEnd)
        log->WriteLine("-UPDATE has no effect without -WINDOWSPROFILE");
    // The association is only worth reading when somebody will see it.
    if (log->IsEnabled())
        log->WriteLine(".mdb default: " + mdbDefault());

    std::string executable;
    if (!locateAccess(executable)) {
        const std::string text = accessNotFoundText(edition);
        MessageBoxA(nullptr, text.c_str(), "Mallowbrook Warning", MB_OK | MB_ICONWARNING);
        closeWindow();
        return;
    }

    // Before anything is recorded or switched: a copy that cannot be had ends the run with nothing to put back.
    if (!frontEndCopy.empty() && !updateFrontEnd()) {
        notifyWindow(kLaunchFailedMessage);
        closeWindow();
        return;
    }

    prepareRegistry();
    recordingOrder = std::make_unique<RecordingOrder>([this] { recordWithJournal(); });
    switchTo(executable);
    if (prepareStart(executable) && !refuseOverlongCommandLine(executable))
        launchAndWait(executable, accessCommandLine);
    finish();
}

bool Mallowbrook::locateAccess(std::string& executable) {
    AccessLocations locations(log);
    locations.discover();
    std::string fullPath;
    const bool fullFound = locations.fullInstallPath(version(), fullPath);
    return chooseAccess(fullFound, fullPath, executable);
}

void Mallowbrook::prepareRegistry() {
    setGraphicsFilterDefaults();
    registry.setDword(HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\9.0\\Access", "UserData", 1);
    removeDdeCommands();
}

void Mallowbrook::switchTo(const std::string& executable) {
    curVerBefore = readCurVer();
    if (log->IsEnabled())
        log->WriteLine("Access.Application\\CurVer (before switch) = " + curVerBefore);
    switchBegun = true;
    curVerAfter = switchCurVer(folderPart(executable));
    if (log->IsEnabled())
        log->WriteLine("Access.Application\\CurVer (after switch) = " + curVerAfter);
}

bool Mallowbrook::prepareStart(std::string& executable) {
    if (!settings->secureFile().empty())
        useLaunch32(executable);
    if (!fileExists(executable))
        return false;
    if (log->IsEnabled())
        log->WriteLine("Getting ready to launch Access: " + executable + "\r\n\twith command line: " + accessCommandLine);
    replaceEnvironment(accessCommandLine);
    if (log->IsEnabled())
        log->WriteLine("Command line after env replacement: " + accessCommandLine);
    return true;
}

// Started cut short, Access would open some other path. The values go back before the box, so
// the registry is whole even if the box is never answered.
bool Mallowbrook::refuseOverlongCommandLine(const std::string& executable) {
    const std::string message = commandLineLimitMessage(executable, accessCommandLine);
    if (message.empty())
        return false;
    log->WriteLine(message);
    if (recordingOrder)
        recordingOrder->waitForLaterLaunchers(log);
    putBackAndConfirm(true);
    MessageBoxA(nullptr, message.c_str(), "Mallowbrook Warning", MB_OK | MB_ICONWARNING);
    notifyWindow(kLaunchFailedMessage);
    return true;
}

void Mallowbrook::launchAndWait(const std::string& accessExe, const std::string& commandLine) {
    watcher = std::make_unique<ProcessWatcher>(accessExe, commandLine, log);
    watcher->setShowCommand(settings->showCommand);
    if (version() >= 2003)
        watcher->setTries(60);
    watcher->setFinalWait(ProcessWatcher::finalWaitFor(settings->waitMilliseconds));
    // Read while Access starts, so that the journal adds nothing to the wait for it.
    watcher->setOnStarted([this] { journalSwitchDone(); });
    if (watcher->startAndWait(mainWindowClass())) {
        log->WriteLine("Found main Access window - shutting down");
        return;
    }
    if (watcher->processId() == 0) {
        launchProblem = accessNotStartedMessage(accessExe, watcher->startErrorText());
        launchProblemExit = kExitAccessNotStarted;
        return;
    }
    log->WriteLine("Timed Out - main Access window not found!");
    DWORD exitCode = 0;
    const bool endedByItself = watcher->endedBeforeWindow() && GetExitCodeProcess(watcher->processHandle(), &exitCode);
    launchProblem =
        noMainWindowMessage(accessExe, endedByItself, exitCode, watcher->tries() * watcher->pollInterval() / 1000);
    launchProblemExit = kExitNoMainWindow;
}

void Mallowbrook::finish() {
    if (recordingOrder)
        recordingOrder->waitForLaterLaunchers(log);
    keepObjectLibrary();
    log->WriteLine("Restoring registry keys");
    if (restoreSet.fileMode())
        restoreSet.load();
    putBackAndConfirm(true);
    switchBegun = false;
    recordingOrder.reset();
    if (!launchProblem.empty()) {
        warnWindow(launchProblemExit);
        MessageBoxA(nullptr, launchProblem.c_str(), "Mallowbrook Warning", MB_OK | MB_ICONWARNING);
    }

    // The registry is already back; Access may still be running while we wait for it.
    if (settings->waitForAccessToClose && watcher && watcher->processHandle() != nullptr)
        WaitForSingleObject(watcher->processHandle(), INFINITE);

    if (window != nullptr) {
        log->WriteLine("Exiting application");
        closeWindow();
    }
}

void Mallowbrook::putBackAfterFailure() {
    if (recordingOrder)
        recordingOrder->waitForLaterLaunchers(log);
    putBackAndConfirm(switchBegun);
    switchBegun = false;
    recordingOrder.reset();
}
