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

std::string systemErrorLine(unsigned long code) {
    char buffer[4096] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buffer,
                                  sizeof(buffer), nullptr);
    while (length > 0 && (buffer[length - 1] == '\r' || buffer[length - 1] == '\n' || buffer[length - 1] == ' '))
        --length;
    if (length == 0)
        return "error " + std::to_string(code);
    return std::string(buffer, length);
}
