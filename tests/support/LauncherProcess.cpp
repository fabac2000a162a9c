#include "LauncherProcess.h"
#include "TestWait.h"

#include <shlobj.h>

#include <fstream>
#include <sstream>

LauncherProcess::LauncherProcess(const std::string& program, const std::string& arguments, HANDLE token) {
    std::string path = binFolder() + program;
    std::string commandLine = "\"" + path + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    const BOOL started = token ? CreateProcessAsUserA(token, path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                                                      nullptr, nullptr, &startup, &info)
                               : CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                                nullptr, &startup, &info);
    if (started) {
        process_.reset(info.hProcess);
        UniqueKernelHandle thread(info.hThread);
        id_ = info.dwProcessId;
    }
}

UniqueKernelHandle standardUserToken() {
    UniqueKernelHandle own, restricted;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, own.put()))
        return restricted;
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof(sid);
    if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &size))
        return restricted;
    SID_AND_ATTRIBUTES administrators = {sid, 0};
    CreateRestrictedToken(own.get(), 0, 1, &administrators, 0, nullptr, 0, nullptr, restricted.put());
    return restricted;
}

bool LauncherProcess::waitForExit(DWORD timeoutMs) {
    if (!process_)
        return false;
    if (WaitForSingleObject(process_.get(), testWait(timeoutMs)) == WAIT_OBJECT_0)
        return true;
    TerminateProcess(process_.get(), 99);
    WaitForSingleObject(process_.get(), 5000);
    return false;
}

DWORD LauncherProcess::exitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

std::string binFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path);
    return text.substr(0, text.rfind('\\') + 1);
}

std::string desktopFolder() {
    char folder[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, folder, CSIDL_DESKTOPDIRECTORY, FALSE);
    return folder;
}

std::string logFilePath() {
    return desktopFolder() + "\\MallowbrookLog5.txt";
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool fileExistsAt(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void removeFile(const std::string& path) {
    DeleteFileA(path.c_str());
}
