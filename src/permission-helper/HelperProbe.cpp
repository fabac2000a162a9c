#include "HelperProbe.h"

#include <windows.h>

#include "app/UniqueHandle.h"

HelperProbe::HelperProbe() {
    char value[8] = {};
    DWORD length = GetEnvironmentVariableA(kProbeVariable, value, sizeof(value));
    active_ = length > 0;
}

void HelperProbe::report(const std::string& message) const {
    if (!active_)
        return;
    UniqueFile slot(CreateFileA(kProbeMailslot, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!slot)
        return;
    DWORD written = 0;
    WriteFile(slot.get(), message.data(), static_cast<DWORD>(message.size()), &written, nullptr);
}

void HelperProbe::reportAndHold(const std::string& message) const {
    if (!active_)
        return;
    report(message);
    UniqueKernelHandle event(OpenEventA(SYNCHRONIZE, FALSE, kProbeContinueEvent));
    if (event)
        WaitForSingleObject(event.get(), kProbeHoldMs);
}
