#pragma once
#include <windows.h>

// The modeless "Updating System Configuration, Please Wait..." dialog with its progress bar,
// ranged 0 to steps + 1 and starting at 1, so that it is full after the last step.
class ProgressWindow {
public:
    ProgressWindow(HINSTANCE instance, HWND owner, int steps);
    ~ProgressWindow();
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    // False when the dialog could not be created; the work then runs without it.
    bool exists() const { return dialog_ != nullptr; }
    void step();

private:
    void paint();
    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM w, LPARAM l);
    static INT_PTR onInitDialog(HWND dialog, int steps);

    HWND dialog_ = nullptr;
};
