#include "launch/ProcessWatcher.h"

#include "base/AsciiCase.h"
#include "base/PathText.h"
#include "base/SystemErrorText.h"
#include "launch/LaunchFailureText.h"

BOOL CALLBACK findProcessWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    if (GetParent(window) != nullptr)
        return TRUE;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId)
        return TRUE;
    if (search->className) {
        char className[256] = {};
        if (GetClassNameA(window, className, 255) <= 0 || !equalsIgnoringAsciiCase(className, search->className))
            return TRUE;
    }
    search->found = window;
    return FALSE;
}

ProcessWatcher::ProcessWatcher(const std::string& executable, const std::string& commandLine, ILog* log)
    : ProcessWatcher(executable, commandLine, log, ProcessStarter(OsVersionFlags::current())) {}

ProcessWatcher::ProcessWatcher(const std::string& executable, const std::string& commandLine, ILog* log,
                               ProcessStarter starter)
    : executable_(executable), commandLine_(commandLine), log_(log), starter_(starter) {}

DWORD ProcessWatcher::finalWaitFor(int waitMilliseconds) {
    return waitMilliseconds == 0 ? INFINITE : static_cast<DWORD>(waitMilliseconds);
}

HWND ProcessWatcher::findMainWindow(const std::string& windowClass) const {
    WindowSearch search;
    search.processId = processId_;
    search.className = windowClass.empty() ? nullptr : windowClass.c_str();
    EnumWindows(findProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string ProcessWatcher::startErrorText() const {
    return startErrorReason(systemErrorLine(startError_), executable_);
}

bool ProcessWatcher::startAndWait(const std::string& windowClass) {
    processId_ = starter_.start(executable_.c_str(), commandLine_.c_str(), process_, showCommand_, &startError_);
    if (processId_ == 0) {
        if (log_->IsEnabled())
            log_->WriteLine("Could not start " + executable_ + ": " + startErrorText());
        return false;
    }
    if (log_->IsEnabled())
        log_->WriteLine(fileNamePart(executable_) + " launched with ProcessID: " + std::to_string(processId_));
    if (onStarted_)
        onStarted_();

    int looks = 0;
    do {
        log_->WriteLine("Checking for process...");
        if (WaitForSingleObject(process_.get(), 0) != WAIT_TIMEOUT) {
            log_->WriteLine("Wait timed out. Assuming process exited.");
            endedBeforeWindow_ = true;
            break;
        }
        mainWindow_ = findMainWindow(windowClass);
        if (mainWindow_)
            break;
        ++looks;
        Sleep(pollInterval_);
    } while (looks < tries_);

    if (mainWindow_) {
        log_->WriteLine("Found main window.");
        log_->WriteLine("Waiting just a little longer.");
        WaitForSingleObject(process_.get(), finalWait_);
        log_->WriteLine("Done waiting for process launch / main window.");
        return true;
    }
    if (log_->IsEnabled())
        log_->WriteLine("Couldn't find main window of process after " + std::to_string(looks) +
                        " tries. Killing process and exiting.");
    TerminateProcess(process_.get(), 0);
    return false;
}
