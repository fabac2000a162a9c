#include "HelperProbe.h"
#include "HelperProbeNames.h"

#include <windows.h>

#include <string>

#include "base/UniqueHandle.h"

HelperProbe::HelperProbe() {
    char value[8] = {};
    DWORD length = GetEnvironmentVariableA(kProbeVariable, value, sizeof(value));
    active_ = length > 0;
}

namespace {

void report(const std::string& message) {
    UniqueFile slot(CreateFileA(kProbeMailslot, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!slot)
        return;
    DWORD written = 0;
    WriteFile(slot.get(), message.data(), static_cast<DWORD>(message.size()), &written, nullptr);
}

void reportAndHold(const std::string& message) {
    report(message);
    UniqueKernelHandle event(OpenEventA(SYNCHRONIZE, FALSE, kProbeContinueEvent));
    if (!event)
        return;
    // Messages keep flowing meanwhile, so the test can ask the windows about their state.
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= kProbeHoldMs)
            return;
        const HANDLE handle = event.get();
        if (MsgWaitForMultipleObjects(1, &handle, FALSE, kProbeHoldMs - elapsed, QS_ALLINPUT) != WAIT_OBJECT_0 + 1)
            return;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

}  // namespace

void HelperProbe::started(const char* commandLine) const {
    if (active_)
        report(std::string(kProbeCommandLine) + (commandLine ? commandLine : ""));
}

void HelperProbe::workStarting() const {
    if (active_)
        reportAndHold(kProbeWorkStarting);
}

void HelperProbe::workFinished() const {
    if (active_)
        reportAndHold(kProbeWorkFinished);
}
