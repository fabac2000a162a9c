#include "HelperWindow.h"

#include "HelperResources.h"
#include "HelperWork.h"

namespace {

LRESULT onCreate(HWND window, const CREATESTRUCTA* create) {
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    return 0;
}

LRESULT onTimer(HWND window, UINT_PTR timer) {
    if (timer != HELPER_WORK_TIMER)
        return 0;
    KillTimer(window, HELPER_WORK_TIMER);
    auto* state = reinterpret_cast<HelperWindowState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (state)
        state->keysUnchanged = runRepairWork(state->instance, window, state->showProgress, *state->probe);
    DestroyWindow(window);
    return 0;
}

LRESULT onDestroy(HWND window) {
    const auto* state = reinterpret_cast<const HelperWindowState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    PostQuitMessage(state ? state->keysUnchanged : 0);
    return 0;
}

LRESULT CALLBACK helperWindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case WM_CREATE:
        return onCreate(window, reinterpret_cast<const CREATESTRUCTA*>(l));
    case WM_TIMER:
        return onTimer(window, static_cast<UINT_PTR>(w));
    case WM_DESTROY:
        return onDestroy(window);
    default:
        return DefWindowProcA(window, message, w, l);
    }
}

}  // namespace

bool registerHelperWindowClass(HINSTANCE instance, const char* className) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = helperWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_HELPER));
    windowClass.hIconSm = windowClass.hIcon;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className;
    return RegisterClassExA(&windowClass) != 0;
}

HWND createHelperWindow(HINSTANCE instance, const char* className, const char* title, HelperWindowState* state) {
    return CreateWindowExA(0, className, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, nullptr,
                           nullptr, instance, state);
}
