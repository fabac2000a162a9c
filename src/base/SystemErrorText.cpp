#include "base/SystemErrorText.h"

#include <windows.h>

#include <stdexcept>

std::string systemErrorText(unsigned long code) {
    char buffer[4096] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code, 0, buffer, sizeof(buffer), nullptr);
    if (length == 0)
        throw std::runtime_error("Tried to get information about an error but FormatMessage failed.");
    return std::string(buffer, length);
}

std::string lastErrorText() {
    return systemErrorText(GetLastError());
}
