#pragma once
#include <cstdint>
#include <string>

// -UPDATE keeps each user's profile copy of a front-end the same as its master. These are its
// rules as plain text and numbers; the file work lives in FrontEndDecision and FrontEndCopy.

// Last-write times are FILETIMEs read as one number of 100 ns units. FAT and some file servers
// keep times to 2 seconds, so times nearer than that are the same time.
constexpr std::uint64_t kFrontEndTimeTolerance = 2ull * 10000000ull;
// A copy that takes longer than this shows the progress window.
constexpr unsigned long kFrontEndProgressDelayMs = 500;
// A launch waiting for another one's copy gives up once that copy has not grown for this long.
constexpr unsigned long kFrontEndStallMs = 120000;

// The master a copy was made from, as it was when it was copied. Access writes to the copy each
// time it opens it, so the copy's own time says nothing about which release it is; this does.
struct FrontEndRecord {
    std::string master;           // its path as the command line named it
    std::uint64_t size = 0;       // bytes
    std::uint64_t lastWrite = 0;  // FILETIME number
};
// Text with a closing checksum, so that a damaged record is known as one.
std::string formatFrontEndRecord(const FrontEndRecord& record);
// False for anything formatFrontEndRecord could not have written.
bool parseFrontEndRecord(const std::string& text, FrontEndRecord& record);

// What is known before anything is copied: the master's size and time (when it can be reached),
// the copy's time and its record.
struct FrontEndFacts {
    std::string master;
    bool masterFound = false;
    std::uint64_t masterSize = 0;
    std::uint64_t masterTime = 0;
    bool copyExists = false;
    std::uint64_t copyTime = 0;
    bool recordFound = false;  // a record that reads back whole
    FrontEndRecord record;
};

enum class FrontEndVerdict {
    MasterUnreachable,  // the master's size and time cannot be read
    Missing,            // there is no copy
    Current,            // the record names this master, at its size and time
    CurrentByTime,      // no record (an earlier build's copy, or one put there by hand): same time
    MasterChanged,      // the record names this master at another size or time: newer or older
    OtherMaster,        // the record names another file of the same name
    Unrecorded,         // no record, and another time
};
FrontEndVerdict judgeFrontEnd(const FrontEndFacts& facts);
// The verdicts that make a new copy.
bool copyNeeded(FrontEndVerdict verdict);

// The profile copy of a master: its file name (after the last "\" or "/") in the local folder.
std::string profileCopyPath(const std::string& localFolder, const std::string& masterPath);
// The lock file Access keeps beside an open database: ".laccdb" for .accdb, .accde and .accdr,
// ".ldb" for .mdb and .mde; empty for any other file.
std::string lockFilePath(const std::string& databasePath);
// The one generation kept before the copy was replaced, for rolling a bad release back by hand.
std::string previousCopyPath(const std::string& copyPath);
// The record of the copy's master, beside it.
std::string recordPath(const std::string& copyPath);
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
    Updated,            // the copy was missing or not the master's; it is now the master's bytes
    Current,            // the copy is the master's
    InUse,              // to be replaced, but its lock file is held or it is open
    MasterUnreachable,  // the master cannot be opened or read
    MasterChanged,      // it shrank or changed while being copied
    NotWritten,         // the new copy could not be written or put in place
    Busy,               // another launch kept copying it, without progress, past the wait
};

struct FrontEndResult {
    FrontEndOutcome outcome = FrontEndOutcome::Current;
    unsigned long error = 0;  // the system's error code, where one applies
    std::string errorText;    // the system's text for it, filled in by the caller
    bool copyExists = false;  // a profile copy is there to open afterwards
    bool lockHeld = false;    // in use because of the lock file (else the copy itself is open)
    bool staleLockRemoved = false;
    bool waited = false;            // another launch was copying it first
    FrontEndRecord record;          // Updated: what was copied
    unsigned long recordError = 0;  // the record could not be written (the copy is in place)
};

// The update was needed and did not happen; the old copy, if any, is left as it was.
bool frontEndFailed(FrontEndOutcome outcome);
// "The network path was not found (error 53)": the system's sentence and its number.
std::string errorPhrase(const std::string& systemText, unsigned long error);
// "2020-01-01 00:00:00 UTC".
std::string lastWriteText(std::uint64_t fileTime);
// The log line of the outcome.
std::string frontEndLogLine(const FrontEndResult& result, const std::string& master, const std::string& copy);
// The box shown when Access cannot be given a copy: there is none and none could be made, or
// another launch is still copying it.
std::string frontEndBoxText(const FrontEndResult& result, const std::string& master, const std::string& copy);

// The progress window: its caption, the line above the bar, the one below it ("120.5 MB of
// 400.0 MB") and the bar's step, 0 to kCopyProgressSteps.
constexpr int kCopyProgressSteps = 1000;
extern const char kCopyProgressCaption[];
std::string copyProgressLine(const std::string& master, bool waiting);
std::string copyAmountText(std::uint64_t copied, std::uint64_t total);
int copyProgressStep(std::uint64_t copied, std::uint64_t total);
