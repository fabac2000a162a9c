#include "launch/FrontEndRules.h"

#include "base/AsciiCase.h"
#include "base/PathText.h"

namespace {

struct LockFileRule {
    const char* extension;
    const char* lockExtension;
};

constexpr LockFileRule kLockFiles[] = {
    {".accdb", ".laccdb"}, {".accde", ".laccdb"}, {".accdr", ".laccdb"}, {".mdb", ".ldb"}, {".mde", ".ldb"},
};

std::string::size_type nameStart(const std::string& path) {
    const std::string::size_type separator = path.find_last_of("\\/");
    return separator == std::string::npos ? 0 : separator + 1;
}

std::string reasonOf(const FrontEndResult& result, const std::string& master, const std::string& copy) {
    const std::string error = errorPhrase(result.errorText, result.error);
    switch (result.outcome) {
    case FrontEndOutcome::InUse:
        return result.lockHeld ? copy + " is in use (its lock file " + lockFilePath(copy) + " cannot be deleted)"
                               : copy + " is in use (" + error + ")";
    case FrontEndOutcome::MasterUnreachable:
        return master + " cannot be reached (" + error + ")";
    case FrontEndOutcome::MasterChanged:
        return master + " changed while it was being copied; the partial copy was removed";
    case FrontEndOutcome::NotWritten:
        return copy + " could not be written (" + error + ")";
    default:
        return std::string();
    }
}

}  // namespace

FrontEndAge compareFrontEnd(bool copyExists, std::uint64_t masterTime, std::uint64_t copyTime) {
    if (!copyExists)
        return FrontEndAge::Missing;
    if (copyTime + kFrontEndTimeTolerance < masterTime)
        return FrontEndAge::Older;
    if (masterTime + kFrontEndTimeTolerance < copyTime)
        return FrontEndAge::Newer;
    return FrontEndAge::Current;
}

std::string profileCopyPath(const std::string& localFolder, const std::string& masterPath) {
    return joinPath(localFolder, masterPath.substr(nameStart(masterPath)));
}

std::string lockFilePath(const std::string& databasePath) {
    const std::string::size_type dot = databasePath.rfind('.');
    if (dot == std::string::npos || dot < nameStart(databasePath))
        return std::string();
    const std::string extension = lowerCaseAscii(databasePath.substr(dot));
    for (const LockFileRule& rule : kLockFiles)
        if (extension == rule.extension)
            return databasePath.substr(0, dot) + rule.lockExtension;
    return std::string();
}

std::string previousCopyPath(const std::string& copyPath) {
    return copyPath + ".previous";
}

std::string partialCopyPath(const std::string& copyPath, unsigned long processId, int attempt) {
    const std::string::size_type start = nameStart(copyPath);
    return copyPath.substr(0, start) + "~" + copyPath.substr(start) + "." + std::to_string(processId) + "-" +
           std::to_string(attempt) + ".tmp";
}

std::string partialCopyPattern(const std::string& copyPath) {
    const std::string::size_type start = nameStart(copyPath);
    return copyPath.substr(0, start) + "~" + copyPath.substr(start) + ".*.tmp";
}

bool readWhole(const MasterReading& reading) {
    return reading.bytesRead == reading.sizeBefore && reading.sizeAfter == reading.sizeBefore &&
           reading.timeAfter == reading.timeBefore;
}

bool frontEndFailed(FrontEndOutcome outcome) {
    return outcome == FrontEndOutcome::MasterUnreachable || outcome == FrontEndOutcome::MasterChanged ||
           outcome == FrontEndOutcome::NotWritten;
}

std::string errorPhrase(const std::string& systemText, unsigned long error) {
    std::string text = systemText;
    while (!text.empty() && (text.back() == '.' || text.back() == ' '))
        text.pop_back();
    const std::string number = "error " + std::to_string(error);
    return text.empty() ? number : text + " (" + number + ")";
}

std::string frontEndLogLine(const FrontEndResult& result, const std::string& master, const std::string& copy) {
    switch (result.outcome) {
    case FrontEndOutcome::Updated:
        return "Front-end updated from " + master;
    case FrontEndOutcome::Current:
        return "Front-end is current";
    case FrontEndOutcome::KeptNewer:
        return "Front-end kept: the profile copy " + copy + " is newer than " + master;
    default:
        return "Front-end not updated: " + reasonOf(result, master, copy) +
               (result.copyExists ? "; opening the profile copy as it is" : "; there is no profile copy to open");
    }
}

std::string frontEndBoxText(const FrontEndResult& result, const std::string& master, const std::string& copy) {
    std::string reason;
    const std::string error = errorPhrase(result.errorText, result.error);
    if (result.outcome == FrontEndOutcome::MasterChanged)
        reason = "The front-end changed while it was being copied. Try again in a moment.";
    else if (result.outcome == FrontEndOutcome::NotWritten)
        reason = "The copy cannot be written: " + error + ".";
    else
        reason = "The front-end cannot be read: " + error + ".";
    return "The application cannot be started: its front-end is not on this computer yet, and it could not be "
           "copied.\n\nFrom: " +
           master + "\nTo: " + copy + "\n\n" + reason;
}
