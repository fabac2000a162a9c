#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Finds the message boxes a started process shows, reads them and answers them,
// as a user would. Every wait is bounded so a box that never comes fails quickly.
struct MessageBoxInfo {
    HWND window = nullptr;
    std::string title;
    std::string text;
    std::vector<std::string> buttons;  // button captions in tab order, "&" removed
    bool hasWarningIcon = false;       // true when the box shows an icon
};

class MessageBoxDriver {
public:
    explicit MessageBoxDriver(DWORD processId) : processId_(processId) {}

    // The first dialog box of the process that is visible within the time, if any.
    bool waitForBox(MessageBoxInfo& box, DWORD timeoutMs = 5000) const;
    // Waits for a box and presses the button with the given command id (IDOK, IDYES, IDNO, ...).
    // Returns the box it answered; a missing box gives an empty window.
    MessageBoxInfo answer(int commandId, DWORD timeoutMs = 5000) const;
    // True when the process (the driver's own) ends within the time without showing a box. A box,
    // or a process still running at the end of the time, gives false.
    bool noBoxUntilExit(HANDLE process, DWORD timeoutMs) const;

    static void press(const MessageBoxInfo& box, int commandId);
    static MessageBoxInfo read(HWND box);

private:
    DWORD processId_;
};
