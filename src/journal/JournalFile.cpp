#include "journal/JournalFile.h"

#include <windows.h>

#include <shlobj.h>

#include "base/UniqueHandle.h"
#include "discovery/PathHelpers.h"

namespace {

const char kPattern[] = "journal-*.txt";

}  // namespace

std::string journalFolder() {
    char buffer[kFolderBufferSize + 1] = {};
    specialFolderPath(CSIDL_LOCAL_APPDATA, buffer);
    if (buffer[0] == '\0')
        return std::string();
    const std::string folder = ensureTrailingBackslash(buffer) + "Mallowbrook\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string journalPath(unsigned long processId, unsigned long long started) {
    const std::string folder = journalFolder();
    if (folder.empty())
        return std::string();
    return folder + "journal-" + std::to_string(processId) + "-" + std::to_string(started) + ".txt";
}

std::vector<std::string> listJournalFiles() {
    std::vector<std::string> paths;
    const std::string folder = journalFolder();
    if (folder.empty())
        return paths;
    WIN32_FIND_DATAA found = {};
    UniqueFind find(FindFirstFileA((folder + kPattern).c_str(), &found));
    for (bool more = static_cast<bool>(find); more; more = FindNextFileA(find.get(), &found) != 0)
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            paths.push_back(folder + found.cFileName);
    return paths;
}

bool writeJournalFile(const std::string& path, const std::string& text) {
    if (path.empty())
        return false;
    const std::string temporary = path + ".new";
    {
        UniqueFile file(
            CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return false;
        DWORD written = 0;
        if (!WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
            written != text.size() || !FlushFileBuffers(file.get())) {
            file.reset();
            DeleteFileA(temporary.c_str());
            return false;
        }
    }
    if (MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(temporary.c_str());
    return false;
}

bool readJournalFile(const std::string& path, std::string& text) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    text.clear();
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        text.append(buffer, read);
        if (text.size() > (64u << 20))  // no journal of ours comes near this
            return false;
    }
    return true;
}

bool removeJournalFile(const std::string& path) {
    return DeleteFileA(path.c_str()) != 0;
}
