// Starts a program with a command-line text taken verbatim from the environment variable
// RUNRAW_ARGUMENTS, waits for it and returns its exit code. Wine would otherwise re-quote
// arguments given on a Linux shell, and the launcher must see the text a shortcut gives it.
#include <windows.h>

#include <cstdio>
#include <string>

#include "base/UniqueHandle.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: runraw program.exe (arguments in RUNRAW_ARGUMENTS)\n");
        return 2;
    }
    char arguments[32768] = {};
    GetEnvironmentVariableA("RUNRAW_ARGUMENTS", arguments, sizeof(arguments));
    std::string commandLine = std::string("\"") + argv[1] + "\"";
    if (arguments[0] != '\0')
        commandLine += std::string(" ") + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(argv[1], &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        std::fprintf(stderr, "runraw: cannot start %s (error %lu)\n", argv[1], GetLastError());
        return 2;
    }
    UniqueKernelHandle process(info.hProcess), thread(info.hThread);
    WaitForSingleObject(process.get(), INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    return static_cast<int>(code);
}
