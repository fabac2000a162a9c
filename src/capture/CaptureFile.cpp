#include "capture/CaptureFile.h"

#include <windows.h>

#include <stdexcept>
#include <vector>

#include "base/SystemErrorText.h"
#include "base/UniqueHandle.h"

namespace {

const char kCaptureFileName[] = "~QVReg.dat";
// No capture of the fixed table comes near this; anything larger was not written by us.
const DWORD kLargestCaptureFile = 16 * 1024 * 1024;

// A new hidden file of a name nobody has used, so that nothing planted there is written through.
DWORD createFresh(const std::string& folder, UniqueFile& file, std::string& path) {
    for (int attempt = 0;; ++attempt) {
        path = folder + "\\~QVReg-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt) + ".tmp";
        file.reset(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_HIDDEN, nullptr));
        if (file)
            return ERROR_SUCCESS;
        const DWORD error = GetLastError();
        if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt == 99)
            return error;
    }
}

DWORD writeAll(HANDLE file, const std::string& bytes) {
    std::size_t total = 0;
    while (total < bytes.size()) {
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + total, static_cast<DWORD>(bytes.size() - total), &written, nullptr))
            return GetLastError();
        if (written == 0)
            return ERROR_WRITE_FAULT;
        total += written;
    }
    return FlushFileBuffers(file) ? ERROR_SUCCESS : GetLastError();
}

}  // namespace

std::string captureFilePath() {
    const DWORD needed = GetTempPathA(0, nullptr);
    if (needed == 0)
        return kCaptureFileName;
    std::vector<char> folder(needed + 1, '\0');
    const DWORD length = GetTempPathA(static_cast<DWORD>(folder.size()), folder.data());
    if (length == 0 || length >= folder.size())
        return kCaptureFileName;
    return std::string(folder.data(), length) + kCaptureFileName;
}

unsigned long writeCaptureFile(const std::string& bytes) {
    const std::string path = captureFilePath();
    const std::size_t slash = path.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    UniqueFile file;
    std::string temporary;
    DWORD error = createFresh(folder, file, temporary);
    if (error != ERROR_SUCCESS)
        return error;
    error = writeAll(file.get(), bytes);
    file.reset();
    if (error == ERROR_SUCCESS &&
        !MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (error != ERROR_SUCCESS)
        DeleteFileA(temporary.c_str());
    return error;
}

unsigned long readCaptureFile(std::string& bytes) {
    bytes.clear();
    UniqueFile file(CreateFileA(captureFilePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_HIDDEN, nullptr));
    if (!file)
        return GetLastError();
    const DWORD size = GetFileSize(file.get(), nullptr);
    if (size == INVALID_FILE_SIZE)
        return GetLastError();
    if (size > kLargestCaptureFile)
        return ERROR_FILE_TOO_LARGE;
    bytes.resize(size);
    DWORD total = 0;
    while (total < size) {
        DWORD read = 0;
        if (!ReadFile(file.get(), &bytes[total], size - total, &read, nullptr))
            return GetLastError();
        if (read == 0)
            return ERROR_HANDLE_EOF;
        total += read;
    }
    return ERROR_SUCCESS;
}

unsigned long deleteCaptureFile() {
    return DeleteFileA(captureFilePath().c_str()) ? ERROR_SUCCESS : GetLastError();
}

std::string captureFileErrorText(unsigned long error) {
    std::string text;
    try {
        text = systemErrorText(error);
    } catch (const std::runtime_error&) {
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text.empty() ? "error " + std::to_string(error) : text + ", error " + std::to_string(error);
}
