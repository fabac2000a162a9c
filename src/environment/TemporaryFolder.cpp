#include "environment/TemporaryFolder.h"

#include <windows.h>

#include <stdexcept>

#include "base/SystemErrorText.h"

std::string temporaryFolder() {
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof(buffer), buffer);
    if (length > sizeof(buffer))
        throw std::runtime_error(
            "GetTempPath returned a path larger than MAX_PATH + 1, which the documentation says it shouldn't do.");
    if (length == 0)
        throw std::runtime_error(lastErrorText());
    return buffer;
}
