#include "support/TestWait.h"

#include <cstdlib>

DWORD testWait(DWORD milliseconds) {
    static const DWORD scale = [] {
        const char* text = std::getenv("MALLOWBROOK_WAIT_SCALE");
        const long value = text != nullptr ? std::strtol(text, nullptr, 10) : 1;
        return value >= 1 && value <= 20 ? static_cast<DWORD>(value) : 1;
    }();
    return milliseconds == INFINITE ? INFINITE : milliseconds * scale;
}
