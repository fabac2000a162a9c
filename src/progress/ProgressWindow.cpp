#include "progress/ProgressWindow.h"

#include <commctrl.h>

#include "progress/ProgressDialog.h"

namespace {

// The lines of text, in dialog units, above and below the template's bar (16, 21, 203 x 16).
struct TextLine {
    int id;
    RECT place;
    DWORD style;
};
const TextLine kTextLines[] = {
    {IDC_PROGRESS_ABOVE, {16, 7, 219, 17}, SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS},
    {IDC_PROGRESS_BELOW, {16, 41, 219, 51}, SS_LEFT | SS_NOPREFIX},
};

void addTextLines(HWND dialog) {
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
    const WPARAM font = static_cast<WPARAM>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    for (const TextLine& line : kTextLines) {
        RECT place = line.place;
        MapDialogRect(dialog, &place);
        HWND text = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | line.style, place.left, place.top,
                                    place.right - place.left, place.bottom - place.top, dialog,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(line.id)), instance, nullptr);
        SendMessageA(text, WM_SETFONT, font, FALSE);
    }
}

}  // namespace

ProgressWindow::ProgressWindow(HINSTANCE instance, HWND owner, const ProgressLook& look) {
    dialog_ = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_PROGRESS), owner, dialogProc,
                                 reinterpret_cast<LPARAM>(&look));
    paint();
}

ProgressWindow::~ProgressWindow() {
    if (dialog_)
        DestroyWindow(dialog_);
}

void ProgressWindow::step() {
    if (dialog_)
        SendDlgItemMessageA(dialog_, IDC_PROGRESS_BAR, PBM_STEPIT, 0, 0);
    paint();
}

void ProgressWindow::setPosition(int position) {
    if (dialog_)
        SendDlgItemMessageA(dialog_, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    paint();
}

void ProgressWindow::setLines(const std::string& above, const std::string& below) {
    if (dialog_) {
        SetDlgItemTextA(dialog_, IDC_PROGRESS_ABOVE, above.c_str());
        SetDlgItemTextA(dialog_, IDC_PROGRESS_BELOW, below.c_str());
    }
    paint();
}

// The work keeps the thread busy, so the window's own messages are handled here, between its
// steps, and it is painted at once rather than whenever the work ends.
void ProgressWindow::paint() {
    if (!dialog_)
        return;
    MSG message;
    while (PeekMessageA(&message, dialog_, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    RedrawWindow(dialog_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

INT_PTR CALLBACK ProgressWindow::dialogProc(HWND dialog, UINT message, WPARAM, LPARAM l) {
    switch (message) {
    case WM_INITDIALOG:
        return onInitDialog(dialog, *reinterpret_cast<const ProgressLook*>(l));
    case WM_DESTROY:
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR ProgressWindow::onInitDialog(HWND dialog, const ProgressLook& look) {
    if (look.iconId != 0) {
        HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
        HICON icon =
            static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(look.iconId), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
        SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    if (!look.caption.empty())
        SetWindowTextA(dialog, look.caption.c_str());
    if (look.textLines)
        addTextLines(dialog);
    // The work cannot be interrupted, so the window offers no way to close it.
    DeleteMenu(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND);
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, look.steps + 1);
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETSTEP, 1, 0);
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETPOS, 1, 0);
    return TRUE;
}

UniqueModule loadProgressBarClass() {
    UniqueModule controls(LoadLibraryA("comctl32.dll"));
    using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto init =
        controls ? reinterpret_cast<InitFunction>(GetProcAddress(controls.get(), "InitCommonControlsEx")) : nullptr;
    if (init) {
        INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_PROGRESS_CLASS};
        init(&classes);
    }
    return controls;
}
