#pragma once
#include <string>
#include <vector>

#include "discovery/InstalledAccess.h"
#include "environment/TrustVerdict.h"
#include "frontend/FrontEndRules.h"
#include "journal/JournalLeftovers.h"
#include "launch/AccessSource.h"
#include "registry/PlannedChange.h"

// -REPORT's file, MallowbrookReport.txt: what this machine has and what this shortcut's launch
// would do. The facts are gathered by the launch's own code with nothing changed; this is only
// their text. ANSI text with CRLF line ends, like the log; arrows are written "->". Pure text.

constexpr char kReportFileName[] = "MallowbrookReport.txt";

// A value the launch would write, and whether it goes back after the launch.
struct ReportChange {
    PlannedChange change;
    bool putBack = false;  // recorded and written back after the launch; else it stays as written
};

// A key whose write the launch reads back, and whether this user may write it.
struct ReadBackKey {
    std::string key;      // "HKEY_CLASSES_ROOT\Access.Application\CurVer"
    std::string problem;  // empty when this user may write it; else the system's reason
};

// A folder the launch makes a trusted location, and whether that takes effect.
struct ReportTrust {
    std::string folder;
    bool subfolders = false;
    bool alreadyTrusted = false;  // a trusted location of the edition names it already
    TrustVerdict verdict;         // on the network or not, and what Office policy says
};

// -WINDOWSPROFILE and -UPDATE, as the launch would find them.
struct ReportFrontEnd {
    bool used = false;     // -WINDOWSPROFILE
    std::string opened;    // the profile path Access opens
    std::string noCopy;    // -UPDATE that would copy nothing, and why; empty otherwise
    bool update = false;   // -UPDATE with a master to copy: the decision below applies
    std::string copy;      // the profile copy
    FrontEndVerdict verdict = FrontEndVerdict::MasterUnreachable;
    FrontEndFacts facts;
    std::string masterProblem;  // why the master cannot be reached
};

struct ReportFacts {
    std::string writtenAt;  // local time
    std::string commandLine;

    // 1. The launcher.
    std::string launcherVersion;
    int edition = 0;
    std::string programPath;
    std::string windowsVersion;
    bool windows64 = false;
    std::string user;
    std::string elevation;  // "elevated", "not elevated", "unknown"

    // 2. Every Access on the machine, and the one the launch would start.
    AccessInventory inventory;
    std::string chosenPath;
    AccessSource chosenSource = AccessSource::None;

    // 3. The switch; empty unless the launch would get as far as the switch.
    bool switchPlanned = false;
    std::vector<ReportChange> changes;
    std::vector<ReadBackKey> readBack;
    bool asksToRepair = false;  // a write the launch reads back would not stick: the "Registry Error" question

    // 4. Trust (2007 and later).
    std::vector<ReportTrust> trust;

    // 5. The front-end.
    ReportFrontEnd frontEnd;

    // 6. Left over.
    JournalLeftovers journals;
    std::string captureFile;   // its path
    std::string captureState;  // "none", "354 values, written ...", or why it cannot be used

    // 7. The verdict: what a launch would start, or why it would not start Access.
    std::string executable;
    std::string accessCommandLine;
    std::string blocker;
};

// A launch would start Access: the report's run ends with 0, else with its own code.
bool reportWouldLaunch(const ReportFacts& facts);

std::string reportText(const ReportFacts& facts);

// One value as the report shows it: "(absent)", a text in quotes, a number, or its type and size.
std::string reportValueText(const StoredValue& value);
// "HKEY_CLASSES_ROOT\Access.Application\CurVer [(Default)]: \"Access.Application.11\" ->
// \"Access.Application.10\"" with the view, what becomes of it after the launch, and a write this
// user may not make.
std::string reportChangeLine(const ReportChange& row);
