#include "launch/ProcessStarter.h"

#include <shellapi.h>

#include <string>

#include "launch/QuotedCommand.h"

DWORD ProcessStarter::start(const char* executable, const char* arguments, UniqueKernelHandle& processHandle,
                            int showCommand, DWORD* error) const {
    processHandle.reset();
    if (!executable) {
        if (error)
            *error = ERROR_INVALID_PARAMETER;
        return 0;
    }
    DWORD failure = ERROR_SUCCESS;
    const DWORD id = flags_.isVistaOrLater
                         ? startWithShell(executable, arguments, processHandle, showCommand, failure)
                         : startWithCreateProcess(executable, arguments, processHandle, showCommand, failure);
    if (error)
        *error = failure;
    return id;
}

DWORD ProcessStarter::startWithShell(const char* executable, const char* arguments, UniqueKernelHandle& processHandle,
                                     int showCommand, DWORD& error) const {
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = executable;
    info.lpParameters = arguments;
    info.nShow = showCommand;
    if (!ShellExecuteExA(&info)) {
        error = GetLastError();
        return 0;
    }
    UniqueKernelHandle process(info.hProcess);
    // GetProcessId exists from XP SP1 on; looked up so the program still loads without it.
    UniqueModule kernel(LoadLibraryA("Kernel32.dll"));
    if (!kernel) {
        error = GetLastError();
        return 0;
    }
    using GetProcessIdFunction = DWORD(WINAPI*)(HANDLE);
    auto getProcessId = reinterpret_cast<GetProcessIdFunction>(GetProcAddress(kernel.get(), "GetProcessId"));
    if (!getProcessId) {
        error = GetLastError();
        return 0;
    }
    DWORD id = getProcessId(process.get());
    processHandle = std::move(process);
    return id;
}

DWORD ProcessStarter::startWithCreateProcess(const char* executable, const char* arguments,
                                             UniqueKernelHandle& processHandle, int showCommand, DWORD& error) const {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showCommand);
    std::string command = quotedCommandText(executable, arguments);
    PROCESS_INFORMATION info = {};
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup,
                       &info) != 1) {
        error = GetLastError();
        return 0;
    }
    UniqueKernelHandle thread(info.hThread);
    processHandle.reset(info.hProcess);
    return info.dwProcessId;
}
