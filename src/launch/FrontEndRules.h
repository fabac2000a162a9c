#pragma once
#include <cstdint>
#include <string>

// -UPDATE keeps each user's profile copy of a front-end current from its master. These are its
// rules as plain text and numbers; the file work lives in FrontEndCopy.

// Last-write times are FILETIMEs read as one number of 100 ns units. FAT and some file servers
// keep times to 2 seconds, so times nearer than that are the same time.
constexpr std::uint64_t kFrontEndTimeTolerance = 2ull * 10000000ull;

enum class FrontEndAge { Missing, Older, Current, Newer };
FrontEndAge compareFrontEnd(bool copyExists, std::uint64_t masterTime, std::uint64_t copyTime);

// The profile copy of a master: its file name (after the last "\" or "/") in the local folder.
std::string profileCopyPath(const std::string& localFolder, const std::string& masterPath);
// The lock file Access keeps beside an open database: ".laccdb" for .accdb, .accde and .accdr,
// ".ldb" for .mdb and .mde; empty for any other file.
std::string lockFilePath(const std::string& databasePath);
// The one generation kept before the copy was replaced, for rolling a bad release back by hand.
std::string previousCopyPath(const std::string& copyPath);
// The hidden file a new copy is written to before it takes the copy's place, and the pattern
// that finds such files left behind by runs that were cut off.
std::string partialCopyPath(const std::string& copyPath, unsigned long processId, int attempt);
std::string partialCopyPattern(const std::string& copyPath);

// The master as the copy saw it: its size and time when opened, what was read, and its size and
// time once read. Anything but the same file throughout means it changed under the copy.
struct MasterReading {
    std::uint64_t sizeBefore = 0;
    std::uint64_t timeBefore = 0;
    std::uint64_t bytesRead = 0;
    std::uint64_t sizeAfter = 0;
    std::uint64_t timeAfter = 0;
};
bool readWhole(const MasterReading& reading);

enum class FrontEndOutcome {
    Updated,            // the copy was missing or older; it is now the master's bytes
    Current,            // same time, within the tolerance
    KeptNewer,          // the user's copy is newer than the master
    InUse,              // older, but its lock file is held or it is open
    MasterUnreachable,  // the master cannot be opened or read
    MasterChanged,      // it shrank or changed while being copied
    NotWritten,         // the new copy could not be written or put in place
};

struct FrontEndResult {
    FrontEndOutcome outcome = FrontEndOutcome::Current;
    unsigned long error = 0;  // the system's error code, where one applies
    std::string errorText;    // the system's text for it, filled in by the caller
    bool copyExists = false;  // a profile copy is there to open afterwards
    bool lockHeld = false;    // in use because of the lock file (else the copy itself is open)
    bool staleLockRemoved = false;
};

// The update was needed and did not happen; the old copy, if any, is left as it was.
bool frontEndFailed(FrontEndOutcome outcome);
// "The network path was not found (error 53)": the system's sentence and its number.
std::string errorPhrase(const std::string& systemText, unsigned long error);
// The log line of the outcome.
std::string frontEndLogLine(const FrontEndResult& result, const std::string& master, const std::string& copy);
// The box shown when there is no copy to open and none could be made.
std::string frontEndBoxText(const FrontEndResult& result, const std::string& master, const std::string& copy);
