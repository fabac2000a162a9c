#include "base/SystemDllSearch.h"

#include <windows.h>

namespace {

constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCSTR);

}  // namespace

void restrictDllSearchToSystemFolder() {
    // Kernel32 is in every process already: asking for its handle loads nothing.
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel)
        return;
    auto setDefault =
        reinterpret_cast<SetDefaultDllDirectoriesFunction>(GetProcAddress(kernel, "SetDefaultDllDirectories"));
    if (setDefault && setDefault(kSearchSystem32))
        return;
    auto setDirectory = reinterpret_cast<SetDllDirectoryFunction>(GetProcAddress(kernel, "SetDllDirectoryA"));
    if (setDirectory)
        setDirectory("");
}
