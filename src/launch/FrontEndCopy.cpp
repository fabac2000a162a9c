#include "launch/FrontEndCopy.h"

#include <windows.h>

#include <cstdint>
#include <vector>

#include "base/PathText.h"
#include "base/UniqueHandle.h"

namespace {

const DWORD kChunkBytes = 1024 * 1024;

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

// Partial copies of runs that were cut off; one another launcher is writing stays, as it is open.
void removePartialCopies(const std::string& copy) {
    const std::string folder = ensureTrailingBackslash(folderPart(copy));
    WIN32_FIND_DATAA found = {};
    UniqueFind find(FindFirstFileA(partialCopyPattern(copy).c_str(), &found));
    for (bool more = static_cast<bool>(find); more; more = FindNextFileA(find.get(), &found) != 0)
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            DeleteFileA((folder + found.cFileName).c_str());
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

// Reads the master to its end into the partial copy. Only the file's data travels: no stream of
// the master (its zone marker included) and none of its attributes.
FrontEndOutcome copyBytes(HANDLE from, HANDLE to, std::uint64_t& total, DWORD& error) {
    std::vector<char> buffer(kChunkBytes);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(from, buffer.data(), kChunkBytes, &read, nullptr)) {
            error = GetLastError();
            return FrontEndOutcome::MasterUnreachable;
        }
        if (read == 0)
            return FrontEndOutcome::Updated;
        DWORD written = 0;
        if (!WriteFile(to, buffer.data(), read, &written, nullptr) || written != read) {
            error = written != read && GetLastError() == ERROR_SUCCESS ? ERROR_DISK_FULL : GetLastError();
            return FrontEndOutcome::NotWritten;
        }
        total += read;
    }
}

}  // namespace

FrontEndResult updateProfileCopy(const std::string& master, const std::string& copy) {
    WIN32_FILE_ATTRIBUTE_DATA copyInfo = {};
    const bool copyExists = GetFileAttributesExA(copy.c_str(), GetFileExInfoStandard, &copyInfo) &&
                            (copyInfo.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    // Others may go on reading it, and an administrator may put a new release in its place.
    UniqueFile source(CreateFileA(master.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    MasterReading reading;
    FILETIME masterTime = {};
    if (!source || !sizeAndTime(source.get(), reading.sizeBefore, reading.timeBefore, &masterTime))
        return outcome(FrontEndOutcome::MasterUnreachable, GetLastError(), copyExists);

    const FrontEndAge age =
        compareFrontEnd(copyExists, reading.timeBefore,
                        number(copyInfo.ftLastWriteTime.dwHighDateTime, copyInfo.ftLastWriteTime.dwLowDateTime));
    if (age == FrontEndAge::Current)
        return outcome(FrontEndOutcome::Current, 0, true);
    if (age == FrontEndAge::Newer)
        return outcome(FrontEndOutcome::KeptNewer, 0, true);

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
    UniqueFile partial;
    std::string partialPath;
    DWORD error = createPartial(copy, partial, partialPath);
    FrontEndOutcome kind = error == ERROR_SUCCESS ? copyBytes(source.get(), partial.get(), reading.bytesRead, error)
                                                  : FrontEndOutcome::NotWritten;
    if (kind == FrontEndOutcome::Updated) {
        LARGE_INTEGER written = {};
        if (!sizeAndTime(source.get(), reading.sizeAfter, reading.timeAfter)) {
            kind = FrontEndOutcome::MasterUnreachable;
            error = GetLastError();
        } else if (!readWhole(reading)) {
            kind = FrontEndOutcome::MasterChanged;
        } else if (!SetFileTime(partial.get(), nullptr, nullptr, &masterTime) || !FlushFileBuffers(partial.get()) ||
                   !GetFileSizeEx(partial.get(), &written)) {
            kind = FrontEndOutcome::NotWritten;
            error = GetLastError();
        } else if (static_cast<std::uint64_t>(written.QuadPart) != reading.sizeBefore) {
            kind = FrontEndOutcome::NotWritten;
            error = ERROR_WRITE_FAULT;
        }
    }
    partial.reset();
    source.reset();
    held.reset();

    const std::string previous = previousCopyPath(copy);
    if (kind == FrontEndOutcome::Updated && copyExists &&
        !MoveFileExA(copy.c_str(), previous.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
        kind = inUseError(error) ? FrontEndOutcome::InUse : FrontEndOutcome::NotWritten;
    } else if (kind == FrontEndOutcome::Updated &&
               !MoveFileExA(partialPath.c_str(), copy.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
        kind = FrontEndOutcome::NotWritten;
        if (copyExists)
            MoveFileExA(previous.c_str(), copy.c_str(), MOVEFILE_WRITE_THROUGH);
    }
    if (kind != FrontEndOutcome::Updated) {
        if (!partialPath.empty())
            DeleteFileA(partialPath.c_str());
        FrontEndResult result = outcome(kind, error, copyExists);
        result.staleLockRemoved = staleLockRemoved;
        return result;
    }
    // The copy is an ordinary file like the one Access was always given, not a hidden one.
    SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
    FrontEndResult result = outcome(FrontEndOutcome::Updated, 0, true);
    result.staleLockRemoved = staleLockRemoved;
    return result;
}
