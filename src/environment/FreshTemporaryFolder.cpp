#include "environment/FreshTemporaryFolder.h"

#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <stdexcept>

#include "base/SystemErrorText.h"
#include "environment/TemporaryFolder.h"

namespace {

// 32 hexadecimal digits from a fresh random GUID.
std::string unpredictableName() {
    GUID guid = {};
    if (FAILED(CoCreateGuid(&guid)))
        throw std::runtime_error("Couldn't make a name for a folder in the temporary folder.");
    char text[40] = {};
    std::snprintf(text, sizeof(text), "%08lX%04X%04X%02X%02X%02X%02X%02X%02X%02X%02X",
                  static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                  guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

}  // namespace

FreshTemporaryFolder::FreshTemporaryFolder() {
    const std::string parent = temporaryFolder();
    // A name already taken means somebody made that folder: never use it, take another.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::string candidate = parent + kNamePrefix + unpredictableName();
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            path_ = candidate + "\\";
            return;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("Couldn't create a folder in " + parent + ": " + systemErrorLine(error));
    }
    throw std::runtime_error("Couldn't create a folder of a new name in " + parent);
}

FreshTemporaryFolder::~FreshTemporaryFolder() {
    RemoveDirectoryA(path_.c_str());
}
