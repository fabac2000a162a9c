#include "base/Wow64System.h"

#include <windows.h>

bool isWow64System() {
    using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
    // Systems before XP SP2 lack the function, and are 32-bit ones.
    HMODULE kernel = GetModuleHandleA("kernel32.dll");  // loaded with the program: not ours to free
    auto isWow64Process =
        kernel ? reinterpret_cast<IsWow64ProcessFunction>(GetProcAddress(kernel, "IsWow64Process")) : nullptr;
    BOOL wow64 = FALSE;
    return isWow64Process && isWow64Process(GetCurrentProcess(), &wow64) && wow64;
}
