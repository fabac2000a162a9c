#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "base/UniqueHandle.h"
#include "progress/ProgressWindow.h"

// The progress window of a front-end copy, or of the wait for another launch's copy: shown once
// either has run for about half a second, never for a quicker one, and closed when this goes.
class FrontEndProgress {
public:
    // Shows nothing unless enabled (-NOPROGRESS turns it off).
    FrontEndProgress(HINSTANCE instance, bool enabled, const std::string& master);
    FrontEndProgress(const FrontEndProgress&) = delete;
    FrontEndProgress& operator=(const FrontEndProgress&) = delete;

    // Called as the copy (or the wait) goes on; the first call starts the clock.
    void show(bool waiting, std::uint64_t copied, std::uint64_t total);

private:
    HINSTANCE instance_;
    bool enabled_;
    std::string master_;
    bool running_ = false;
    DWORD started_ = 0;
    DWORD shown_ = 0;  // when the window was last brought up to date
    UniqueModule controls_;
    std::unique_ptr<ProgressWindow> window_;
};
