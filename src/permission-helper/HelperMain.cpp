// MallowbrookPermissions.exe: started elevated by the launcher to open the machine-wide Access
// registration to the local Users group.
#include <windows.h>

#include <string>

#include "HelperProbe.h"
#include "HelperResources.h"
#include "HelperWindow.h"
#include "base/SystemDllSearch.h"
#include "base/UniqueHandle.h"
#include "permission-helper/HelperCommandLine.h"
#include "progress/ProgressWindow.h"

namespace {

// The security functions the work relies on exist from Windows 2000 on.
bool systemIsSupported() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExA(&version) && version.dwMajorVersion > 4;
}

std::string loadString(HINSTANCE instance, UINT id) {
    char text[256] = {};
    LoadStringA(instance, id, text, sizeof(text));
    return text;
}

int runMessageLoop(HWND window, HACCEL accelerators) {
    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!TranslateAcceleratorA(window, accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    // Runs with administrator rights from a folder the user can write to: no DLL from there.
    restrictDllSearchToSystemFolder();
    HelperProbe probe;
    probe.started(commandLine);
    if (!systemIsSupported())
        return 0;

    HelperWindowState state;
    state.instance = instance;
    state.showProgress = showsProgressWindow(commandLine);
    state.probe = &probe;

    const std::string title = loadString(instance, IDS_HELPER_TITLE);
    const std::string className = loadString(instance, IDS_HELPER_CLASS);
    registerHelperWindowClass(instance, className.c_str());
    // Kept loaded for the life of the process.
    const UniqueModule controls = loadProgressBarClass();
    HWND window = createHelperWindow(instance, className.c_str(), title.c_str(), &state);
    if (!window)
        return 0;
    SetTimer(window, HELPER_WORK_TIMER, HELPER_WORK_DELAY_MS, nullptr);
    return runMessageLoop(window, LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDA_HELPER)));
}
