#include "journal/JournalFile.h"

#include <windows.h>

#include <shlobj.h>

#include <cstring>
#include <stdexcept>

#include "base/SystemErrorText.h"
#include "base/UniqueHandle.h"
#include "base/WholeFile.h"
#include "discovery/PathHelpers.h"
#include "environment/TemporaryFolder.h"

namespace {

const char kPattern[] = "journal-*.txt";
const char kSetAsideSuffix[] = ".damaged";
const char kSetAsidePattern[] = "journal-*.txt.damaged";
const char kFolderName[] = "Mallowbrook";
const unsigned long long kLargestJournal = 64ull << 20;  // no journal of ours comes near this

std::string localAppDataFolder() {
    char buffer[kFolderBufferSize + 1] = {};
    specialFolderPath(CSIDL_LOCAL_APPDATA, buffer);
    return buffer;
}

std::string temporaryParent() {
    try {
        return temporaryFolder();
    } catch (const std::exception&) {
        return std::string();  // then the temporary folder is not a place for journals
    }
}

JournalPlace placeIn(const std::string& parent, bool create) {
    JournalPlace place;
    if (parent.empty())
        return place;
    place.folder = ensureTrailingBackslash(parent) + kFolderName + "\\";
    const std::string name = place.folder.substr(0, place.folder.size() - 1);
    if (create && !CreateDirectoryA(name.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        place.problem = systemErrorLine(GetLastError());
        return place;
    }
    const DWORD attributes = GetFileAttributesA(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        place.problem = systemErrorLine(GetLastError());
    else if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        place.problem = "it is a link or junction";
    else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        place.problem = "it is a file, not a folder";
    return place;
}

}  // namespace

std::vector<JournalPlace> journalPlaces(bool create) {
    std::vector<JournalPlace> places{placeIn(localAppDataFolder(), create)};
    const std::string temporary = temporaryParent();
    // A profile whose temporary folder is the local application data folder has one place only.
    if (_stricmp(ensureTrailingBackslash(temporary).c_str(), ensureTrailingBackslash(localAppDataFolder()).c_str()) != 0)
        places.push_back(placeIn(temporary, create));
    return places;
}

std::string journalFolder() {
    for (const JournalPlace& place : journalPlaces())
        if (!place.folder.empty() && place.problem.empty())
            return place.folder;
    return std::string();
}

std::string journalFileName(unsigned long processId, unsigned long long started) {
    return "journal-" + std::to_string(processId) + "-" + std::to_string(started) + ".txt";
}

namespace {

std::vector<std::string> listFiles(const char* pattern) {
    std::vector<std::string> paths;
    for (const JournalPlace& place : journalPlaces()) {
        if (place.folder.empty() || !place.problem.empty())
            continue;
        WIN32_FIND_DATAA found = {};
        UniqueFind find(FindFirstFileA((place.folder + pattern).c_str(), &found));
        for (bool more = static_cast<bool>(find); more; more = FindNextFileA(find.get(), &found) != 0)
            if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0)
                paths.push_back(place.folder + found.cFileName);
    }
    return paths;
}

}  // namespace

std::vector<std::string> listJournalFiles() {
    return listFiles(kPattern);
}

std::vector<std::string> listSetAsideJournals() {
    return listFiles(kSetAsidePattern);
}

bool writeJournalFile(const std::string& path, const std::string& text, std::string* problem) {
    const unsigned long error = replaceFileWhole(path, text);
    if (error != ERROR_SUCCESS && problem != nullptr)
        *problem = systemErrorLine(error);
    return error == ERROR_SUCCESS;
}

bool readJournalFile(const std::string& path, std::string& text) {
    return readWholeFile(path, text, kLargestJournal);
}

bool removeJournalFile(const std::string& path) {
    return DeleteFileA(path.c_str()) != 0;
}

bool setJournalAside(const std::string& path) {
    return MoveFileExA(path.c_str(), (path + kSetAsideSuffix).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}
