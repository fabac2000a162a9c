#include "discovery/ExecutableFile.h"

#include <windows.h>

#include "base/UniqueHandle.h"

ExecutableBitness executableFileBitness(const std::string& path) {
    // Shared for writing too: a running Access or an installer may hold the file open.
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return ExecutableBitness::Unknown;
    std::string header(kExecutableHeaderReadSize, '\0');
    DWORD total = 0;
    while (total < header.size()) {
        DWORD read = 0;
        if (!ReadFile(file.get(), &header[total], static_cast<DWORD>(header.size() - total), &read, nullptr) ||
            read == 0)
            break;
        total += read;
    }
    header.resize(total);
    return executableBitnessOf(header);
}

std::string executableFileVersion(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0)
        return std::string();
    std::string block(size, '\0');
    if (!GetFileVersionInfoA(path.c_str(), 0, size, &block[0]))
        return std::string();
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &length) || info == nullptr ||
        length < sizeof(VS_FIXEDFILEINFO))
        return std::string();
    return std::to_string(HIWORD(info->dwFileVersionMS)) + "." + std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
           std::to_string(HIWORD(info->dwFileVersionLS)) + "." + std::to_string(LOWORD(info->dwFileVersionLS));
}
