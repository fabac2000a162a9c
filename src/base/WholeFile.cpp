#include "base/WholeFile.h"

#include <windows.h>

#include "base/SystemErrorText.h"
#include "base/UniqueHandle.h"

bool replaceFileWhole(const std::string& path, const std::string& bytes, std::string* problem) {
    auto fail = [problem](DWORD error) {
        if (problem != nullptr)
            *problem = systemErrorLine(error);
        return false;
    };
    if (path.empty())
        return fail(ERROR_PATH_NOT_FOUND);
    const std::string temporary = path + ".new";
    DeleteFileA(temporary.c_str());
    {
        UniqueFile file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!file)
            return fail(GetLastError());
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size() || !FlushFileBuffers(file.get())) {
            const DWORD error = GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_DISK_FULL;
            file.reset();
            DeleteFileA(temporary.c_str());
            return fail(error);
        }
    }
    if (MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    const DWORD error = GetLastError();
    DeleteFileA(temporary.c_str());
    return fail(error);
}
