#pragma once
#include <windows.h>

#include <string>

#include "base/UniqueHandle.h"

// What the programs that show the progress window choose for it.
struct ProgressLook {
    int steps = 1;           // the bar is ranged 0 to steps + 1 and starts at 1, so it is full after the last step
    int iconId = 0;          // its small icon, from the program's resources; 0 for none
    std::string caption;     // empty: the template's, "Updating System Configuration, Please Wait..."
    bool textLines = false;  // a line of text above the bar and one below it
};

// The modeless progress dialog, template IDD_PROGRESS of the program's resources
// (progress/ProgressDialog.rc). It is shown while the work runs on the thread that made it and
// has no way to be closed: the work cannot be interrupted.
class ProgressWindow {
public:
    ProgressWindow(HINSTANCE instance, HWND owner, const ProgressLook& look);
    ~ProgressWindow();
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    // False when the dialog could not be created; the work then runs without it.
    bool exists() const { return dialog_ != nullptr; }
    void step();
    void setPosition(int position);
    // The lines above and below the bar (with textLines).
    void setLines(const std::string& above, const std::string& below);

private:
    void paint();
    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM w, LPARAM l);
    static INT_PTR onInitDialog(HWND dialog, const ProgressLook& look);

    HWND dialog_ = nullptr;
};

// Registers the progress bar's window class. The common controls are loaded at run time, once the
// program has restricted its DLL search, not through the import table: loading them pulls in
// further DLLs (the theme library) that would otherwise be looked for beside the program before
// its first statement runs. The module stays loaded while the returned owner lives.
UniqueModule loadProgressBarClass();
