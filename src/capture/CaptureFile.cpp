#include "capture/CaptureFile.h"

#include <windows.h>

#include <vector>

#include "base/UniqueHandle.h"

namespace {

const char kCaptureFileName[] = "~QVReg.dat";

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

void writeCaptureFile(const std::string& bytes) {
    UniqueFile file(CreateFileA(captureFilePath().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_HIDDEN, nullptr));
    if (!file)
        return;
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

bool takeCaptureFile(std::string& bytes) {
    const std::string path = captureFilePath();
    {
        UniqueFile file(
            CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_HIDDEN, nullptr));
        if (!file)
            return false;
        const DWORD size = GetFileSize(file.get(), nullptr);
        bytes.clear();
        if (size != INVALID_FILE_SIZE) {
            bytes.resize(size);
            DWORD total = 0;
            while (total < size) {
                DWORD read = 0;
                if (!ReadFile(file.get(), &bytes[total], size - total, &read, nullptr) || read == 0)
                    break;
                total += read;
            }
            bytes.resize(total);
        }
    }
    DeleteFileA(path.c_str());
    return true;
}
