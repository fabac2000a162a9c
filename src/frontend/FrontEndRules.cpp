#include "frontend/FrontEndRules.h"

#include <cstdio>
#include <cstdlib>

#include "base/AsciiCase.h"
#include "base/Crc32.h"
#include "base/PathText.h"

namespace {

struct LockFileRule {
    const char* extension;
    const char* lockExtension;
};

constexpr LockFileRule kLockFiles[] = {
    {".accdb", ".laccdb"}, {".accde", ".laccdb"}, {".accdr", ".laccdb"}, {".mdb", ".ldb"}, {".mde", ".ldb"},
};

const char kRecordHeader[] = "Mallowbrook front-end record 1";
const std::string kLineEnd = "\r\n";

std::string recordBody(const FrontEndRecord& record) {
    return std::string(kRecordHeader) + kLineEnd + "master=" + record.master + kLineEnd +
           "size=" + std::to_string(record.size) + kLineEnd + "last-write=" + std::to_string(record.lastWrite) +
           kLineEnd;
}

std::string checkLine(const std::string& body) {
    char check[16] = {};
    std::snprintf(check, sizeof(check), "%08lx", static_cast<unsigned long>(crc32(body)));
    return std::string("check=") + check + kLineEnd;
}

std::string amountIn(std::uint64_t bytes, std::uint64_t unit, const char* name) {
    const std::uint64_t tenths = (bytes % unit) * 10 / unit;
    return std::to_string(bytes / unit) + "." + std::to_string(tenths) + " " + name;
}

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
    case FrontEndOutcome::Busy:
        return "another launch is still copying " + master + " to " + copy + ", and it has not grown for " +
               std::to_string(kFrontEndStallMs / 1000) + " seconds";
    default:
        return std::string();
    }
}

}  // namespace

std::string formatFrontEndRecord(const FrontEndRecord& record) {
    const std::string body = recordBody(record);
    return body + checkLine(body);
}

bool parseFrontEndRecord(const std::string& text, FrontEndRecord& record) {
    // Each field where the writer puts it; anything else the text holds (another spelling of a
    // number, a line more or less, a checksum that does not fit) fails the comparison below.
    const auto field = [&text](const std::string& name) {
        const std::string::size_type at = text.find(kLineEnd + name + "=");
        const std::string::size_type start = at == std::string::npos ? text.size() : at + name.size() + 3;
        return text.substr(start, text.find(kLineEnd, start) - start);
    };
    const FrontEndRecord read{field("master"), std::strtoull(field("size").c_str(), nullptr, 10),
                              std::strtoull(field("last-write").c_str(), nullptr, 10)};
    if (read.master.empty() || formatFrontEndRecord(read) != text)
        return false;
    record = read;
    return true;
}

FrontEndVerdict judgeFrontEnd(const FrontEndFacts& facts) {
    if (!facts.masterFound)
        return FrontEndVerdict::MasterUnreachable;
    if (!facts.copyExists)
        return FrontEndVerdict::Missing;
    if (facts.recordFound) {
        if (!equalsIgnoringAsciiCase(facts.record.master, facts.master))
            return FrontEndVerdict::OtherMaster;
        return facts.record.size == facts.masterSize && facts.record.lastWrite == facts.masterTime
                   ? FrontEndVerdict::Current
                   : FrontEndVerdict::MasterChanged;
    }
    const std::uint64_t apart =
        facts.copyTime > facts.masterTime ? facts.copyTime - facts.masterTime : facts.masterTime - facts.copyTime;
    return apart <= kFrontEndTimeTolerance ? FrontEndVerdict::CurrentByTime : FrontEndVerdict::Unrecorded;
}

bool copyNeeded(FrontEndVerdict verdict) {
    return verdict == FrontEndVerdict::Missing || verdict == FrontEndVerdict::MasterChanged ||
           verdict == FrontEndVerdict::OtherMaster || verdict == FrontEndVerdict::Unrecorded;
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

std::string recordPath(const std::string& copyPath) {
    return copyPath + ".master";
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
           outcome == FrontEndOutcome::NotWritten || outcome == FrontEndOutcome::Busy;
}

std::string errorPhrase(const std::string& systemText, unsigned long error) {
    std::string text = systemText;
    while (!text.empty() && (text.back() == '.' || text.back() == ' '))
        text.pop_back();
    const std::string number = "error " + std::to_string(error);
    return text.empty() ? number : text + " (" + number + ")";
}

std::string lastWriteText(std::uint64_t fileTime) {
    // Days from 1601-01-01, the FILETIME epoch, to 1970-01-01; then the civil date of a day count.
    const std::uint64_t seconds = fileTime / 10000000;
    const std::int64_t days = static_cast<std::int64_t>(seconds / 86400) - 134774 + 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;
    const unsigned day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    const unsigned month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    const long long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    const unsigned secondOfDay = static_cast<unsigned>(seconds % 86400);
    char text[48] = {};
    std::snprintf(text, sizeof(text), "%04lld-%02u-%02u %02u:%02u:%02u UTC", year, month, day, secondOfDay / 3600,
                  secondOfDay / 60 % 60, secondOfDay % 60);
    return text;
}

std::string frontEndLogLine(const FrontEndResult& result, const std::string& master, const std::string& copy) {
    switch (result.outcome) {
    case FrontEndOutcome::Updated:
        return "Front-end updated from " + master + " (" + std::to_string(result.record.size) +
               " bytes, last written " + lastWriteText(result.record.lastWrite) + ")";
    case FrontEndOutcome::Current:
        return "Front-end is current";
    case FrontEndOutcome::Busy:
        return "Front-end not updated: " + reasonOf(result, master, copy) +
               "; Access is not started on a copy that may be being replaced";
    default:
        return "Front-end not updated: " + reasonOf(result, master, copy) +
               (result.copyExists ? "; opening the profile copy as it is" : "; there is no profile copy to open");
    }
}

std::string frontEndBoxText(const FrontEndResult& result, const std::string& master, const std::string& copy) {
    const std::string places = "\n\nFrom: " + master + "\nTo: " + copy + "\n\n";
    if (result.outcome == FrontEndOutcome::Busy)
        return "The application cannot be started: another start of it is copying its front-end, and the copy has "
               "not moved for " +
               std::to_string(kFrontEndStallMs / 60000) + " minutes." + places + "Try again in a few minutes.";
    std::string reason;
    const std::string error = errorPhrase(result.errorText, result.error);
    if (result.outcome == FrontEndOutcome::MasterChanged)
        reason = "The front-end changed while it was being copied. Try again in a moment.";
    else if (result.outcome == FrontEndOutcome::NotWritten)
        reason = "The copy cannot be written: " + error + ".";
    else
        reason = "The front-end cannot be read: " + error + ".";
    return "The application cannot be started: its front-end is not on this computer yet, and it could not be "
           "copied." +
           places + reason;
}

const char kCopyProgressCaption[] = "Copying the Application, Please Wait...";

std::string copyProgressLine(const std::string& master, bool waiting) {
    return (waiting ? "Another start is copying " : "Copying ") + master;
}

std::string copyAmountText(std::uint64_t copied, std::uint64_t total) {
    const bool gigabytes = total >= (1ull << 30);
    const std::uint64_t unit = gigabytes ? 1ull << 30 : 1ull << 20;
    const char* name = gigabytes ? "GB" : "MB";
    return amountIn(copied, unit, name) + " of " + amountIn(total, unit, name);
}

int copyProgressStep(std::uint64_t copied, std::uint64_t total) {
    if (total == 0 || copied >= total)
        return kCopyProgressSteps;
    return static_cast<int>(static_cast<double>(copied) / static_cast<double>(total) * kCopyProgressSteps);
}
