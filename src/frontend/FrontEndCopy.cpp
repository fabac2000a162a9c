#include "frontend/FrontEndCopy.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "base/AsciiCase.h"
#include "base/Crc32.h"
#include "base/MutexHold.h"
#include "base/PathText.h"
#include "base/UniqueHandle.h"
#include "base/WholeFile.h"
#include "frontend/FrontEndDecision.h"
#include "frontend/FrontEndProgress.h"

namespace {

const DWORD kChunkBytes = 1024 * 1024;
// How often a launch waiting for another one's copy looks at how far it has got.
const DWORD kTurnPollMs = 100;

std::uint64_t number(DWORD high, DWORD low) {
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

FrontEndResult outcome(FrontEndOutcome kind, DWORD error, bool copyExists) {
    FrontEndResult result;
    result.outcome = kind;
    result.error = error;
    result.copyExists = copyExists;
    return result;
}

bool sizeAndTime(HANDLE file, std::uint64_t& size, std::uint64_t& time, FILETIME* lastWrite = nullptr) {
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(file, &info))
        return false;
    size = number(info.nFileSizeHigh, info.nFileSizeLow);
    time = number(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime);
    if (lastWrite)
        *lastWrite = info.ftLastWriteTime;
    return true;
}

bool inUseError(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// Windows refuses to replace or rename over a read-only file (Wine does not), and a copy made
// read-only by a logon script would block every later update. Nothing of ours stays read-only.
void clearReadOnly(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) == 0)
        return;
    const DWORD rest = attributes & ~FILE_ATTRIBUTE_READONLY;
    SetFileAttributesA(path.c_str(), rest == 0 ? FILE_ATTRIBUTE_NORMAL : rest);
}

// Partial copies beside the copy: those of runs that were cut off, and the one another launch
// is writing.
template <typename Visit>
void forEachPartialCopy(const std::string& copy, Visit visit) {
    const std::string folder = ensureTrailingBackslash(folderPart(copy));
    WIN32_FIND_DATAA found = {};
    UniqueFind find(FindFirstFileA(partialCopyPattern(copy).c_str(), &found));
    for (bool more = static_cast<bool>(find); more; more = FindNextFileA(find.get(), &found) != 0) {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            continue;
        // NTFS updates the size in a folder listing only when the writer closes the file; the
        // file's own attributes give the size another launch has written so far.
        const std::string path = folder + found.cFileName;
        WIN32_FILE_ATTRIBUTE_DATA now = {};
        if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &now))
            visit(path, number(now.nFileSizeHigh, now.nFileSizeLow));
        else
            visit(path, number(found.nFileSizeHigh, found.nFileSizeLow));
    }
}

// Those of runs that were cut off (no other launch writes one while this one holds the turn);
// one that is still open stays.
void removePartialCopies(const std::string& copy) {
    forEachPartialCopy(copy, [](const std::string& path, std::uint64_t) { DeleteFileA(path.c_str()); });
}

std::uint64_t largestPartialCopy(const std::string& copy) {
    std::uint64_t largest = 0;
    forEachPartialCopy(copy, [&largest](const std::string&, std::uint64_t size) {
        if (size > largest)
            largest = size;
    });
    return largest;
}

// One name per profile copy, whatever the letter case of its path.
std::string turnName(const std::string& copy) {
    char name[64] = {};
    std::snprintf(name, sizeof(name), "Local\\MallowbrookFrontEnd-%08lx",
                  static_cast<unsigned long>(crc32(lowerCaseAscii(copy))));
    return name;
}

// Waits for the turn while another launch copies, showing how far its partial copy has got;
// false when that copy stopped growing for kFrontEndStallMs.
bool takeTurn(HANDLE mutex, std::optional<MutexHold>& turn, const std::string& master, const std::string& copy,
              FrontEndProgress& progress, bool& waited) {
    turn.emplace(mutex, 0);
    if (turn->held())
        return true;
    waited = true;
    const std::uint64_t total = decideFrontEnd(master, copy).facts.masterSize;
    std::uint64_t lastSize = 0;
    DWORD lastGrowth = GetTickCount();
    for (;;) {
        turn.emplace(mutex, kTurnPollMs);
        if (turn->held())
            return true;
        const std::uint64_t size = largestPartialCopy(copy);
        const DWORD now = GetTickCount();
        if (size != lastSize) {
            lastSize = size;
            lastGrowth = now;
        } else if (now - lastGrowth >= kFrontEndStallMs) {
            return false;
        }
        progress.show(true, size, total);
    }
}

// A new hidden file of a name nobody has used, so that nothing planted there is written through.
DWORD createPartial(const std::string& copy, UniqueFile& file, std::string& path) {
    for (int attempt = 0;; ++attempt) {
        path = partialCopyPath(copy, GetCurrentProcessId(), attempt);
        file.reset(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr));
        if (file)
            return ERROR_SUCCESS;
        const DWORD error = GetLastError();
        if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt == 99) {
            path.clear();  // not ours to delete
            return error;
        }
    }
}

bool allZero(const char* bytes, DWORD size) {
    static const char zeros[64 * 1024] = {};
    for (DWORD done = 0; done < size; done += sizeof(zeros))
        if (std::memcmp(bytes + done, zeros, std::min<DWORD>(sizeof(zeros), size - done)) != 0)
            return false;
    return true;
}

// Reads the master to its end into the partial copy. Only the file's data travels: no stream of
// the master (its zone marker included) and none of its attributes. A run of zeros is not
// written, the file only made longer: it reads back the same, and a file system that keeps holes
// keeps those of a sparse master.
FrontEndOutcome copyBytes(HANDLE from, HANDLE to, MasterReading& reading, DWORD& error, FrontEndProgress& progress) {
    std::vector<char> buffer(kChunkBytes);
    progress.show(false, 0, reading.sizeBefore);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(from, buffer.data(), kChunkBytes, &read, nullptr)) {
            error = GetLastError();
            return FrontEndOutcome::MasterUnreachable;
        }
        if (read == 0)
            return FrontEndOutcome::Updated;
        DWORD written = 0;
        LARGE_INTEGER skip = {};
        skip.QuadPart = read;
        const bool done = allZero(buffer.data(), read)
                              ? SetFilePointerEx(to, skip, nullptr, FILE_CURRENT) && SetEndOfFile(to)
                              : WriteFile(to, buffer.data(), read, &written, nullptr) && written == read;
        if (!done) {
            error = GetLastError() == ERROR_SUCCESS ? ERROR_DISK_FULL : GetLastError();
            return FrontEndOutcome::NotWritten;
        }
        reading.bytesRead += read;
        progress.show(false, reading.bytesRead, reading.sizeBefore);
    }
}

// Writes the master whole into a new partial copy beside the copy, checked and flushed.
FrontEndOutcome writePartial(const std::string& copy, HANDLE source, MasterReading& reading, const FILETIME& masterTime,
                             std::string& partialPath, DWORD& error, FrontEndProgress& progress) {
    UniqueFile partial;
    error = createPartial(copy, partial, partialPath);
    if (error != ERROR_SUCCESS)
        return FrontEndOutcome::NotWritten;
    const FrontEndOutcome kind = copyBytes(source, partial.get(), reading, error, progress);
    if (kind != FrontEndOutcome::Updated)
        return kind;
    LARGE_INTEGER written = {};
    if (!sizeAndTime(source, reading.sizeAfter, reading.timeAfter)) {
        error = GetLastError();
        return FrontEndOutcome::MasterUnreachable;
    }
    if (!readWhole(reading))
        return FrontEndOutcome::MasterChanged;
    if (!SetFileTime(partial.get(), nullptr, nullptr, &masterTime) || !FlushFileBuffers(partial.get()) ||
        !GetFileSizeEx(partial.get(), &written)) {
        error = GetLastError();
        return FrontEndOutcome::NotWritten;
    }
    if (static_cast<std::uint64_t>(written.QuadPart) != reading.sizeBefore) {
        error = ERROR_WRITE_FAULT;
        return FrontEndOutcome::NotWritten;
    }
    return FrontEndOutcome::Updated;
}

// The partial copy takes the copy's place and the old copy becomes the ".previous" one. The old
// record goes first: an interruption then leaves no record, never one naming a copy it does not
// describe.
FrontEndOutcome putInPlace(const std::string& copy, bool copyExists, const std::string& partialPath, DWORD& error) {
    const std::string record = recordPath(copy), previous = previousCopyPath(copy);
    clearReadOnly(record);
    if (!DeleteFileA(record.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
        error = GetLastError();
        return FrontEndOutcome::NotWritten;
    }
    if (copyExists) {
        clearReadOnly(copy);
        clearReadOnly(previous);
        if (!MoveFileExA(copy.c_str(), previous.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            error = GetLastError();
            return inUseError(error) ? FrontEndOutcome::InUse : FrontEndOutcome::NotWritten;
        }
    }
    if (!MoveFileExA(partialPath.c_str(), copy.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
        if (copyExists)
            MoveFileExA(previous.c_str(), copy.c_str(), MOVEFILE_WRITE_THROUGH);
        return FrontEndOutcome::NotWritten;
    }
    // The copy is an ordinary file like the one Access was always given, not a hidden one.
    SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
    return FrontEndOutcome::Updated;
}

FrontEndResult replaceCopy(const std::string& master, const std::string& copy, bool copyExists,
                           FrontEndProgress& progress) {
    // Others may go on reading it, and an administrator may put a new release in its place.
    UniqueFile source(CreateFileA(master.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    MasterReading reading;
    FILETIME masterTime = {};
    if (!source || !sizeAndTime(source.get(), reading.sizeBefore, reading.timeBefore, &masterTime))
        return outcome(FrontEndOutcome::MasterUnreachable, GetLastError(), copyExists);

    // Held shut until the new copy is ready, so that no Access opens the old one meanwhile.
    UniqueFile held;
    bool staleLockRemoved = false;
    if (copyExists) {
        const std::string lock = lockFilePath(copy);
        if (!lock.empty() && GetFileAttributesA(lock.c_str()) != INVALID_FILE_ATTRIBUTES) {
            staleLockRemoved = DeleteFileA(lock.c_str()) != 0;
            const DWORD error = GetLastError();
            if (!staleLockRemoved && error != ERROR_FILE_NOT_FOUND) {
                FrontEndResult result = outcome(FrontEndOutcome::InUse, error, true);
                result.lockHeld = true;
                return result;
            }
        }
        held.reset(CreateFileA(copy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!held) {
            const DWORD error = GetLastError();
            return outcome(inUseError(error) ? FrontEndOutcome::InUse : FrontEndOutcome::NotWritten, error, true);
        }
    }

    removePartialCopies(copy);
    std::string partialPath;
    DWORD error = ERROR_SUCCESS;
    FrontEndOutcome kind = writePartial(copy, source.get(), reading, masterTime, partialPath, error, progress);
    source.reset();
    held.reset();
    if (kind == FrontEndOutcome::Updated)
        kind = putInPlace(copy, copyExists, partialPath, error);
    if (kind != FrontEndOutcome::Updated && !partialPath.empty())
        DeleteFileA(partialPath.c_str());
    FrontEndResult result =
        outcome(kind, kind == FrontEndOutcome::Updated ? 0 : error, copyExists || kind == FrontEndOutcome::Updated);
    result.staleLockRemoved = staleLockRemoved;
    if (kind == FrontEndOutcome::Updated) {
        result.record = FrontEndRecord{master, reading.sizeBefore, reading.timeBefore};
        result.recordError = replaceFileWhole(recordPath(copy), formatFrontEndRecord(result.record));
    }
    return result;
}

}  // namespace

FrontEndResult updateProfileCopy(const std::string& master, const std::string& copy,
                                 const FrontEndUpdateOptions& options) {
    FrontEndProgress progress(options.instance, options.showProgress, master);
    // Without the mutex (a name some other object took) the launch goes on alone, as before turns.
    UniqueKernelHandle mutex(CreateMutexA(nullptr, FALSE, turnName(copy).c_str()));
    std::optional<MutexHold> turn;
    bool waited = false;
    if (mutex && !takeTurn(mutex.get(), turn, master, copy, progress, waited)) {
        // Not a copy to open: it may be replaced at any moment.
        FrontEndResult busy = outcome(FrontEndOutcome::Busy, 0, false);
        busy.waited = true;
        return busy;
    }

    const FrontEndDecision decision = decideFrontEnd(master, copy);
    const FrontEndFacts& facts = decision.facts;
    FrontEndResult result;
    if (decision.verdict == FrontEndVerdict::MasterUnreachable) {
        result = outcome(FrontEndOutcome::MasterUnreachable, decision.masterError, facts.copyExists);
    } else if (copyNeeded(decision.verdict)) {
        result = replaceCopy(master, copy, facts.copyExists, progress);
    } else {
        result = outcome(FrontEndOutcome::Current, 0, true);
        // A copy of an earlier build, current by its time: recorded now, so that Access's
        // writes to it do not count against it from here on.
        if (decision.verdict == FrontEndVerdict::CurrentByTime)
            result.recordError =
                replaceFileWhole(recordPath(copy), formatFrontEndRecord({master, facts.masterSize, facts.masterTime}));
    }
    result.waited = waited;
    return result;
}
