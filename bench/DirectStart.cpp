// The simplest way to start Access, like a shortcut that names MSACCESS.EXE: a GUI program that
// starts the command line in DIRECTSTART_COMMAND with CreateProcessA and ends. Without a command
// it ends at once, which gives the cost of a minimal program's own start and exit.
#include <windows.h>

#include "base/UniqueHandle.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char command[32768] = {};
    if (GetEnvironmentVariableA("DIRECTSTART_COMMAND", command, sizeof(command)) == 0)
        return 0;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup,
                        &info))
        return 1;
    UniqueKernelHandle process(info.hProcess), thread(info.hThread);
    return 0;
}
