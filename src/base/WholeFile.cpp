#include "base/WholeFile.h"

#include <windows.h>

#include "base/UniqueHandle.h"

unsigned long replaceFileWhole(const std::string& path, const std::string& text) {
    if (path.empty())
        return ERROR_PATH_NOT_FOUND;
    const std::string temporary = path + ".new";
    // A name left over, or planted as a link, is removed itself; the new file is made, never opened.
    DeleteFileA(temporary.c_str());
    {
        UniqueFile file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!file)
            return GetLastError();
        DWORD written = 0;
        if (!WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
            written != text.size() || !FlushFileBuffers(file.get())) {
            const DWORD error = GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_DISK_FULL;
            file.reset();
            DeleteFileA(temporary.c_str());
            return error;
        }
    }
    if (MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return ERROR_SUCCESS;
    const DWORD error = GetLastError();
    DeleteFileA(temporary.c_str());
    return error;
}

bool readWholeFile(const std::string& path, std::string& text, unsigned long long largest) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!file || !GetFileInformationByHandle(file.get(), &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
        ((static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow) > largest)
        return false;
    text.clear();
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        text.append(buffer, read);
        if (text.size() > largest)
            return false;
    }
    return true;
}
