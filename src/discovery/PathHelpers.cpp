#include "discovery/PathHelpers.h"

#include <windows.h>

#include <shlobj.h>

#include <cstring>

#include "base/UniqueHandle.h"
#include "registry/RegistryPrimitives.h"

namespace {

using SHGetFolderPathAFunction = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);

}  // namespace

bool fileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void copyFolderText(const std::string& folder, char* buffer) {
    if (folder.size() < kFolderBufferSize)
        std::memcpy(buffer, folder.c_str(), folder.size() + 1);
}

void specialFolderPathFrom(const char* library, const char* function, int folderId, char* buffer) {
    {
        // Old shells lack SHGetFolderPathA, so it is looked up rather than linked.
        UniqueModule shell(LoadLibraryA(library));
        if (shell) {
            if (auto getFolderPath =
                    reinterpret_cast<SHGetFolderPathAFunction>(GetProcAddress(shell.get(), function))) {
                getFolderPath(nullptr, folderId, nullptr, 0, buffer);
                return;
            }
        }
    }
    std::string folder;
    if (readStringValue(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "CommonFilesDir", folder) ==
        ERROR_SUCCESS)
        copyFolderText(folder, buffer);
}

void specialFolderPath(int folderId, char* buffer) {
    specialFolderPathFrom("shell32.dll", "SHGetFolderPathA", folderId, buffer);
}

std::string commonFilesFolder64() {
    std::string folder;
    if (readStringValue(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "CommonFilesDir", folder,
                        KEY_WOW64_64KEY) == ERROR_SUCCESS &&
        !folder.empty())
        return folder;
    char buffer[kFolderBufferSize] = {};
    const DWORD length = GetEnvironmentVariableA("CommonProgramW6432", buffer, sizeof(buffer));
    if (length > 0 && length < sizeof(buffer))
        return buffer;
    return commonFilesFolder();
}

std::string commonFilesFolder() {
    char buffer[kFolderBufferSize + 1] = {};
    specialFolderPath(CSIDL_PROGRAM_FILES_COMMON, buffer);
    return buffer;
}
