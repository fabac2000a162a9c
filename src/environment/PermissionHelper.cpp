#include "environment/PermissionHelper.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <stdexcept>
#include <vector>

#include "base/UniqueHandle.h"
#include "environment/PermissionHelperResource.h"
#include "permission-helper/HelperCommandLine.h"

namespace {

struct ResourceBytes {
    const void* data = nullptr;
    DWORD size = 0;
};

ResourceBytes embeddedHelper() {
    HRSRC found =
        FindResourceA(nullptr, MAKEINTRESOURCEA(PERMISSION_HELPER_RESOURCE_ID), PERMISSION_HELPER_RESOURCE_TYPE);
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    if (!loaded)
        throw std::runtime_error("Couldn't read resource data for MallowbrookPermissions.");
    ResourceBytes bytes;
    bytes.size = SizeofResource(nullptr, found);
    bytes.data = LockResource(loaded);
    if (!bytes.data)
        throw std::runtime_error("Could not lock resource data for MallowbrookPermissions.");
    return bytes;
}

// Opens the written copy so that nobody can change or delete it while the helper is being
// started, and makes sure it still holds exactly the embedded bytes.
UniqueFile holdVerifiedCopy(const std::string& path) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw std::runtime_error("Couldn't create a file handle to: " + path);
    const ResourceBytes expected = embeddedHelper();
    std::vector<char> content(static_cast<size_t>(expected.size) + 1);
    DWORD read = 0;
    ReadFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &read, nullptr);
    if (read != expected.size || std::memcmp(content.data(), expected.data, expected.size) != 0)
        throw std::runtime_error("The permission helper was changed before it could be started: " + path);
    return file;
}

}  // namespace

PermissionHelper::~PermissionHelper() {
    if (exists())
        DeleteFileA(helperPath.c_str());
}

bool PermissionHelper::exists() const {
    if (helperPath.empty())
        return false;
    const DWORD attributes = GetFileAttributesA(helperPath.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void PermissionHelper::extract() {
    // Always a fresh copy: anything that runs as the user can put a file of this name in the
    // temporary folder, and it would be started with administrator rights.
    const ResourceBytes bytes = embeddedHelper();
    UniqueFile file(CreateFileA(helperPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw std::runtime_error("Couldn't create a file handle to: " + helperPath);
    DWORD written = 0;
    WriteFile(file.get(), bytes.data, bytes.size, &written, nullptr);
    file.reset();
    if (written != bytes.size)
        throw std::runtime_error("Not all resource data written to disk. Executable likely incomplete.");
}

HelperOutcome PermissionHelper::run(bool showProgress) {
    extract();
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    // The launcher reports a failed start in its log: no error box from the shell, which would
    // hold an unattended -OPENKEYS run. The elevation prompt is not an error box and still shows.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = helperPath.c_str();
    info.lpParameters = showProgress ? "" : kNoProgressArgument;
    info.nShow = SW_SHOWNORMAL;
    HelperOutcome outcome;
    {
        UniqueFile held = holdVerifiedCopy(helperPath);
        // Fails when the user declines elevation (ERROR_CANCELLED) or nothing could be started.
        outcome.started = ShellExecuteExA(&info) != FALSE;
        if (!outcome.started)
            outcome.startError = GetLastError();
    }
    UniqueKernelHandle process(info.hProcess);
    if (process) {
        WaitForSingleObject(process.get(), INFINITE);
        DWORD exitCode = 0;
        if (GetExitCodeProcess(process.get(), &exitCode))
            outcome.exitCode = exitCode;
    }
    process.reset();
    if (exists())
        DeleteFileA(helperPath.c_str());
    return outcome;
}
