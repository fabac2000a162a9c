#include "HelperProbeListener.h"
#include "TestWait.h"

#include <vector>

#include "permission-helper/HelperProbeNames.h"

HelperProbeListener::HelperProbeListener(bool hold) {
    slot_.reset(CreateMailslotA(kProbeMailslot, 0, 0, nullptr));
    if (hold)
        continueEvent_.reset(CreateEventA(nullptr, FALSE, FALSE, kProbeContinueEvent));
    SetEnvironmentVariableA(kProbeVariable, "1");
}

HelperProbeListener::~HelperProbeListener() {
    SetEnvironmentVariableA(kProbeVariable, nullptr);
}

std::string HelperProbeListener::next(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        DWORD nextSize = MAILSLOT_NO_MESSAGE, count = 0;
        if (GetMailslotInfo(slot_.get(), nullptr, &nextSize, &count, nullptr) && nextSize != MAILSLOT_NO_MESSAGE) {
            std::vector<char> buffer(nextSize + 1);
            DWORD read = 0;
            if (ReadFile(slot_.get(), buffer.data(), nextSize, &read, nullptr))
                return std::string(buffer.data(), read);
        }
        if (GetTickCount() - start >= testWait(timeoutMs))
            return "(none)";
        Sleep(20);
    }
}

bool HelperProbeListener::quietFor(DWORD ms) {
    return next(ms) == "(none)";
}

void HelperProbeListener::release() {
    if (continueEvent_)
        SetEvent(continueEvent_.get());
}

std::string reportedCommandLine(const std::string& commandLine) {
    return kProbeCommandLine + commandLine;
}
