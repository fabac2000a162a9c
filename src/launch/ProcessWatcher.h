#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "base/UniqueHandle.h"
#include "launch/ProcessStarter.h"
#include "log/ILog.h"

// Starts Access and watches for its main window: a look every poll interval, up to the
// number of tries; once found, a grace period that ends early when Access exits; when never
// found, the process is terminated. The process handle stays open for a later wait.
class ProcessWatcher {
public:
    ProcessWatcher(const std::string& executable, const std::string& commandLine, ILog* log);
    // With a given starter, for tests of the older start path.
    ProcessWatcher(const std::string& executable, const std::string& commandLine, ILog* log, ProcessStarter starter);
    ProcessWatcher(const ProcessWatcher&) = delete;
    ProcessWatcher& operator=(const ProcessWatcher&) = delete;

    // True when a parentless top-level window of the class (ASCII case ignored; empty = any
    // class) belonging to the started process appeared, after the grace period. False when
    // the process could not be started or showed no such window (then it was terminated).
    bool startAndWait(const std::string& windowClass);

    // The grace period for a -WAIT value: 0 means no limit; a negative value is taken as the
    // unsigned number of the same bits.
    static DWORD finalWaitFor(int waitMilliseconds);

    void setShowCommand(int showCommand) { showCommand_ = showCommand; }
    void setPollInterval(DWORD milliseconds) { pollInterval_ = milliseconds; }
    void setTries(int tries) { tries_ = tries; }
    void setFinalWait(DWORD milliseconds) { finalWait_ = milliseconds; }
    // Runs once the process has started, before the first look for its window.
    void setOnStarted(std::function<void()> onStarted) { onStarted_ = std::move(onStarted); }

    int showCommand() const { return showCommand_; }
    DWORD pollInterval() const { return pollInterval_; }
    int tries() const { return tries_; }
    DWORD finalWait() const { return finalWait_; }
    DWORD processId() const { return processId_; }
    // Why the process could not be started (processId 0 after startAndWait); 0 otherwise.
    DWORD startError() const { return startError_; }
    // The same as the system words it, the program's name filled in.
    std::string startErrorText() const;
    // The process ended by itself before its window appeared.
    bool endedBeforeWindow() const { return endedBeforeWindow_; }
    // Null until a process was started.
    HANDLE processHandle() const { return process_.get(); }
    HWND mainWindow() const { return mainWindow_; }

private:
    HWND findMainWindow(const std::string& windowClass) const;

    // Copies: the watcher outlives nothing the caller passes in.
    std::string executable_;
    std::string commandLine_;
    ILog* log_;
    int showCommand_ = 0;
    DWORD pollInterval_ = 1000;
    int tries_ = 30;
    DWORD finalWait_ = 1000;
    ProcessStarter starter_;
    DWORD processId_ = 0;
    DWORD startError_ = 0;
    bool endedBeforeWindow_ = false;
    UniqueKernelHandle process_;
    HWND mainWindow_ = nullptr;
    std::function<void()> onStarted_;
};

// What EnumWindows looks for.
struct WindowSearch {
    DWORD processId = 0;
    HWND found = nullptr;
    const char* className = nullptr;  // null: any class
};
// EnumWindows callback; lParam is the address of a WindowSearch. Stops at the first
// parentless window of the process whose class matches.
BOOL CALLBACK findProcessWindow(HWND window, LPARAM search);
