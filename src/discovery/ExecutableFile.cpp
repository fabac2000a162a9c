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
