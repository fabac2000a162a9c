#pragma once
#include <windows.h>

#include <memory>
#include <mutex>
#include <string>

#include "MallowbrookVersion.h"
#include "app/Factory.h"
#include "launch/LauncherMessages.h"
#include "launch/Settings.h"
#include "log/ILog.h"

class Mallowbrook;

// The process: parses the options, opens the log, owns the hidden window and its
// message loop, and starts the worker thread that does the launch.
class Application {
public:
    Application(HINSTANCE instance, std::string commandLine, int edition);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Returns the exit code; malformed options throw std::exception to the entry point.
    int run();
    // Parses the options and opens the log; false only for an empty command line.
    bool initialise();

    int edition() const { return edition_; }
    HINSTANCE instance() const { return instance_; }
    ILog* log() const { return log_; }
    HWND window() const { return window_; }
    Settings* settings() { return &settings_; }
    // The worker's launcher, for the put-back at session end.
    void setLauncher(std::shared_ptr<Mallowbrook> launcher);

    static constexpr const char* kVersion = MALLOWBROOK_VERSION_TEXT;

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM w, LPARAM l);
    LRESULT onCreate(HWND window);
    LRESULT onTimer(HWND window);
    static LRESULT onPaint(HWND window);
    LRESULT onEndSession(HWND window, bool ending);
    void showBusyReason(HWND window, bool busy);
    void noteWarning(int exitCode) {
        if (warningExit_ == 0 || exitCode < warningExit_)
            warningExit_ = exitCode;
    }
    void registerWindowClass();
    void createWindow();

    int edition_;
    HINSTANCE instance_;
    std::string commandLine_;
    Settings settings_;
    Factory factory_;
    ILog* log_ = nullptr;
    std::string className_ = "MallowbrookClass";
    std::string windowTitle_ = "Mallowbrook";
    HWND window_ = nullptr;
    UINT_PTR timerId_ = 1;
    DWORD threadId_ = 0;
    bool runFailed_ = false;
    int warningExit_ = 0;  // the most serious warning exit code posted by the run, or 0
    std::mutex launcherLock_;
    std::shared_ptr<Mallowbrook> launcher_;
};
