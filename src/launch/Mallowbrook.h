#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "capture/RestoreSet.h"
#include "discovery/AccessEditions.h"
#include "discovery/ExecutableBitness.h"
#include "launch/AccessSource.h"
#include "launch/Settings.h"
#include "log/ILog.h"
#include "registry/RegistryAccessor.h"

class JournalRecovery;
class LaunchJournal;
class ProcessWatcher;
class RecordingOrder;
struct ReportFacts;

// The launcher: one per run, created for the build's Access edition and run once on the
// worker thread. The base class holds the run sequence; each edition supplies its year and
// the registry steps that point Access at it.
class Mallowbrook {
public:
    Mallowbrook(ILog* log, HWND window, HINSTANCE instance, Settings* settings);
    virtual ~Mallowbrook();
    Mallowbrook(const Mallowbrook&) = delete;
    Mallowbrook& operator=(const Mallowbrook&) = delete;

    // Window class of the Access main window.
    virtual std::string mainWindowClass() const;
    // The edition year: 2002, 2003, 2007, 2010, 2013 or 2016.
    virtual int version() const = 0;
    // Points "Access.Application\CurVer" at this edition; returns the value written.
    virtual std::string switchCurVer(const std::string& accessFolder) = 0;
    virtual void finishRun() = 0;
    virtual void writeCurVer(const std::string& value);

    // The whole run; every path ends by posting WM_CLOSE to the window (when there is one).
    void run();
    // -REPORT: makes the launch's own decisions with nothing changed and writes them, with what
    // the machine has, to MallowbrookReport.txt on the desktop. Posts the exit code: none when a
    // launch would start Access, kExitReportNoLaunch when it would not, a failure when the
    // report could not be written.
    void writeReport();
    // Starts and watches Access. When it could not be started or showed no main window, the box
    // and exit code that say so wait for finish(), after the values are back.
    void launchAndWait(const std::string& accessExe, const std::string& commandLine);
    // A command line longer than Windows takes: the box, and true; the run then ends with -1.
    bool refuseOverlongCommandLine(const std::string& executable);
    void finish();
    std::string mdbDefault() const;
    // After an exception escaped run(): writes back what was recorded so far, and undoes the
    // edition's own change when its switch had begun.
    void putBackAfterFailure();
    // Called on the window's thread when the session ends while Access runs: writes the
    // recorded values back from the journal before the process is ended. False when some did not come back.
    bool putBackAtSessionEnd();

    // The Access command line.
    void composeCommandLine();
    // False, with the system's reason, when Windows cannot name the local application data folder:
    // the run must end before anything is switched.
    bool applyWindowsProfile(std::string& commandLine, std::string* problem = nullptr);
    // -UPDATE: brings the profile copy up to date from its master. False when there is no copy to
    // open and none could be made: the box has been shown and the run must end.
    bool updateFrontEnd();
    bool findRuntime(std::string& path);
    // The Access to start, in this order: the Windows Installer runtime, the Click-to-Run
    // runtime, the full product of the shell open command, the Click-to-Run full product. Logs
    // which kind it is and its bitness, and points the switch at the registry view that Access
    // reads. False when there is none.
    bool chooseAccess(bool fullFound, const std::string& fullPath, std::string& executable);
    // The full product of the shell open command, then chooseAccess.
    bool locateAccess(std::string& executable);
    // Before anything is recorded: the defaults every launch writes and leaves.
    void prepareRegistry();
    // CurVer before, the edition's switch for the Access in that folder, CurVer after.
    void switchTo(const std::string& executable);
    // The program to start (launch32.exe with -SECFILE) and the command line with its placeholders
    // replaced; false when that program is not there, and nothing is started.
    bool prepareStart(std::string& executable);
    void useLaunch32(std::string& executablePath);
    // The MSACCESS.EXE chosen is a 64-bit program.
    bool access64() const { return accessBitness == ExecutableBitness::Bits64; }

    // Registry defaults and file associations.
    void setGraphicsFilterDefaults();
    void removeDdeCommands();
    void setLastAccessInstall(DWORD number);
    std::string readCurVer() const;
    void setHtmlEditor(const std::string& accessFolder);

    // Fills the restore set and records the current values.
    void saveDefaultSettings();

    // Trusted folder given with -TRUSTEDFOLDER; false when none was given.
    bool setTrustedFolder();
    // Makes the folder a trusted location that takes effect: on the network, the user's
    // AllowNetworkLocations is set too; where Office policy voids it, that is logged and (unless
    // voidedEndsRun is false) the run ends with 8.
    void trustFolder(const std::string& folder, bool includeSubfolders, bool voidedEndsRun = true);

    // Object library registration.
    bool ensureObjectLibrary(const std::string& accessFolder);
    bool registerObjectLibrary(const std::string& olbPath);
    std::string objectLibraryPath() const;
    void keepObjectLibrary();

    // Registry permission repair.
    void repairPermissions();
    bool askToRepairPermissions();

    const std::string& commandLine() const { return accessCommandLine; }
    const std::string& title() const { return applicationTitle; }
    const RestoreSet& recordedValues() const { return restoreSet; }
    const ProcessWatcher* accessWatcher() const { return watcher.get(); }

protected:
    // The edition's Office type library (2002 and 2003), registered when mso.dll is there but
    // unregistered.
    void registerOfficeTypeLibrary();
    // "Ignore DDE Requests" of 2002 and 2003: 0 when ".mdb" opens with this edition, else 1.
    void setIgnoreDdeRequests();

    // The registered names of this launcher's edition.
    const AccessEdition& accessEdition() const { return *findAccessEdition(version()); }
    void closeWindow();

    // The journal of recorded values, so that an interrupted launch is put back by the next one.
    void notifyWindow(UINT message);
    // The run ends with this exit code (the lowest of those posted) unless it fails outright.
    void warnWindow(int exitCode);
    void recoverInterrupted();
    void recordWithJournal();
    void journalSwitchDone();
    // Writes the record back, reads it back and settles the journal.
    void putBackAndConfirm(bool undoSwitch);

    // -REPORT: the launch's decisions, each step as the run takes it, the switch as a dry run.
    void planLaunch(ReportFacts& facts);
    void reportReadBackKeys(ReportFacts& facts) const;
    void reportTrust(ReportFacts& facts) const;
    void reportFrontEnd(ReportFacts& facts);

    ILog* log;
    HWND window;
    HINSTANCE instance;
    Settings* settings;
    RegistryAccessor registry;
    RestoreSet restoreSet;
    std::string accessCommandLine;
    std::string applicationTitle = "Unknown";
    std::string curVerBefore;
    std::string curVerAfter;
    ExecutableBitness accessBitness = ExecutableBitness::Unknown;
    AccessSource accessSource = AccessSource::None;  // where chooseAccess found it
    // The folders the switch made sure are trusted locations, in order.
    struct TrustedFolder {
        std::string folder;
        bool subfolders;
    };
    std::vector<TrustedFolder> trustedFolders;
    // -REPORT: a write the launch reads back did not stick in the dry run, so a launch would ask
    // to repair the permissions.
    bool wouldAskToRepair = false;
    // -UPDATE: the database the command line named, and its copy that Access opens instead.
    std::string frontEndMaster;
    std::string frontEndCopy;
    // -WINDOWSPROFILE without -UPDATE: the database Access opens in the local application data folder.
    std::string profileDatabase;
    std::unique_ptr<ProcessWatcher> watcher;
    // The launch did not open the application: finish() shows this box and ends with this code.
    std::string launchProblem;
    int launchProblemExit = 0;
    // Held from recording until the values are back, when other launchers run at the same time.
    std::unique_ptr<RecordingOrder> recordingOrder;
    std::unique_ptr<LaunchJournal> journal;  // touched only under the JournalLock
    std::unique_ptr<JournalRecovery> recovery;  // likewise; one for the whole run
    bool switchBegun = false;                // switchCurVer was entered; finishRun has something to undo
};
