#include "MessageBoxDriver.h"
#include "TestWait.h"

namespace {

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK findDialog(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window))
        return TRUE;
    char className[64] = {};
    GetClassNameA(window, className, sizeof(className));
    if (std::string(className) != "#32770")
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND findBox(DWORD processId) {
    Search search{processId, nullptr};
    EnumWindows(findDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK collectChild(HWND child, LPARAM parameter) {
    auto* box = reinterpret_cast<MessageBoxInfo*>(parameter);
    char className[64] = {};
    GetClassNameA(child, className, sizeof(className));
    char text[1024] = {};
    GetWindowTextA(child, text, sizeof(text));
    std::string cls(className);
    if (cls == "Button") {
        std::string caption;
        for (const char* p = text; *p; ++p)
            if (*p != '&')
                caption += *p;
        box->buttons.push_back(caption);
    } else if (cls == "Static") {
        LONG style = GetWindowLongA(child, GWL_STYLE);
        if ((style & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child))
            box->hasWarningIcon = true;
    }
    return TRUE;
}

}  // namespace

MessageBoxInfo MessageBoxDriver::read(HWND window) {
    MessageBoxInfo box;
    box.window = window;
    char buffer[4096] = {};
    GetWindowTextA(window, buffer, sizeof(buffer));
    box.title = buffer;
    buffer[0] = '\0';
    GetDlgItemTextA(window, 0xFFFF, buffer, sizeof(buffer));
    box.text = buffer;
    EnumChildWindows(window, collectChild, reinterpret_cast<LPARAM>(&box));
    return box;
}

bool MessageBoxDriver::waitForBox(MessageBoxInfo& box, DWORD timeoutMs) const {
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND window = findBox(processId_)) {
            // A box is filled in just after it appears; give it a moment.
            Sleep(50);
            box = read(window);
            return true;
        }
        if (GetTickCount() - start >= testWait(timeoutMs))
            return false;
        Sleep(20);
    }
}

MessageBoxInfo MessageBoxDriver::answer(int commandId, DWORD timeoutMs) const {
    MessageBoxInfo box;
    if (waitForBox(box, timeoutMs))
        press(box, commandId);
    return box;
}

bool MessageBoxDriver::noBoxUntilExit(HANDLE process, DWORD timeoutMs) const {
    const DWORD start = GetTickCount();
    for (;;) {
        // A process that shows a box cannot end before it is answered, so the order is safe.
        if (findBox(processId_) != nullptr)
            return false;
        if (WaitForSingleObject(process, 20) == WAIT_OBJECT_0)
            return findBox(processId_) == nullptr;
        if (GetTickCount() - start >= testWait(timeoutMs))
            return false;
    }
}

void MessageBoxDriver::press(const MessageBoxInfo& box, int commandId) {
    PostMessageA(box.window, WM_COMMAND, static_cast<WPARAM>(commandId), 0);
    // Wait until the box has gone, so the next wait does not find it again.
    for (int i = 0; i < 250 && IsWindow(box.window) && IsWindowVisible(box.window); ++i)
        Sleep(20);
}
