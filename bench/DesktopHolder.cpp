// Keeps Wine's desktop up while a bench runs. Wine starts its desktop process when the first
// program of a session makes a window and ends it a second after the last such program has
// gone; Windows always has one, the shell's. Without this holder each launch would be charged
// for starting Wine's desktop, which a launch on Windows never pays. It shows no window and
// ends when killed or when its hidden window is closed.
// With the argument "once" it ends as soon as its window exists: the floor of time and memory
// that any windowed program pays under Wine, the baseline of bench/maintenance-timing.
#include <windows.h>

#include <cstring>

namespace {

LRESULT CALLBACK holderProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, w, l);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = holderProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "MallowbrookBenchDesktopHolder";
    if (!RegisterClassA(&windowClass))
        return 1;
    if (!CreateWindowExA(0, windowClass.lpszClassName, "", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr))
        return 1;
    if (std::strcmp(commandLine, "once") == 0)
        return 0;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
