#pragma once
#include <windows.h>

#include <string>

#include "base/UniqueHandle.h"

// A program of the build started the way a shortcut starts it, with a bounded wait for its end.
class LauncherProcess {
public:
    // program: a file name in the build's bin folder, e.g. "Mallowbrook.exe". With a token the
    // program runs as that token's user (CreateProcessAsUserA); its children inherit the token.
    LauncherProcess(const std::string& program, const std::string& arguments, HANDLE token = nullptr);

    bool started() const { return static_cast<bool>(process_); }
    DWORD id() const { return id_; }
    HANDLE handle() const { return process_.get(); }
    // Waits for the end; false when it did not end in time (the process is then killed).
    bool waitForExit(DWORD timeoutMs = 15000);
    // The exit code as Windows reports it; -1 shows as 0xFFFFFFFF.
    DWORD exitCode() const;

private:
    UniqueKernelHandle process_;
    DWORD id_ = 0;
};

// This process's token with the Administrators group made deny-only: a process started with it
// may do what a standard user may. Empty when it cannot be made.
UniqueKernelHandle standardUserToken();

// The folder of the running test program (the build's bin folder), with a trailing "\".
std::string binFolder();
// The desktop folder of the prefix, where the log file lands.
std::string desktopFolder();
std::string logFilePath();
std::string readFile(const std::string& path);
bool fileExistsAt(const std::string& path);
void removeFile(const std::string& path);
