#pragma once
#include <windows.h>

#include <string>

#include "base/UniqueHandle.h"

// The test side of the permission helper's probe: sets MALLOWBROOK_HELPER_PROBE for the programs
// this process starts, receives the helper's reports through its mailslot and, when asked to
// hold, makes the helper wait at its two stops until release() is called.
class HelperProbeListener {
public:
    explicit HelperProbeListener(bool hold);
    ~HelperProbeListener();
    HelperProbeListener(const HelperProbeListener&) = delete;
    HelperProbeListener& operator=(const HelperProbeListener&) = delete;

    bool ready() const { return static_cast<bool>(slot_); }
    // The next report, or "(none)" when none came within the time.
    std::string next(DWORD timeoutMs = 10000);
    // True when no report comes within the time.
    bool quietFor(DWORD ms);
    // Lets a holding helper go on from its current stop.
    void release();

private:
    UniqueFile slot_;
    UniqueKernelHandle continueEvent_;
};

// The helper's report of its command line: "command line:" + text.
std::string reportedCommandLine(const std::string& commandLine);
