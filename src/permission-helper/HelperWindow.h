#pragma once
#include <windows.h>

class HelperProbe;

// The helper's main window: never shown; its timer starts the work once the message loop runs,
// and destroying it after the work ends the program.
struct HelperWindowState {
    HINSTANCE instance = nullptr;
    bool showProgress = true;
    const HelperProbe* probe = nullptr;
    int keysUnchanged = 0;  // the exit code: keys that were there but could not be changed
};

bool registerHelperWindowClass(HINSTANCE instance, const char* className);
// The state must outlive the window. Null when the window cannot be created.
HWND createHelperWindow(HINSTANCE instance, const char* className, const char* title, HelperWindowState* state);
