#include "ProgressWindow.h"

#include <commctrl.h>

#include "HelperResources.h"

ProgressWindow::ProgressWindow(HINSTANCE instance, HWND owner, int steps) {
    dialog_ =
        CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_PROGRESS), owner, dialogProc, static_cast<LPARAM>(steps));
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

// The work keeps the message loop busy, so the window is painted here rather than waiting for it.
void ProgressWindow::paint() {
    if (dialog_)
        RedrawWindow(dialog_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

INT_PTR CALLBACK ProgressWindow::dialogProc(HWND dialog, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case WM_INITDIALOG:
        return onInitDialog(dialog, static_cast<int>(l));
    case WM_DESTROY:
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR ProgressWindow::onInitDialog(HWND dialog, int steps) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
    HICON icon =
        static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_HELPER), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                      GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    // The work cannot be interrupted, so the window offers no way to close it.
    DeleteMenu(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND);
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, steps + 1);
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETSTEP, 1, 0);
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETPOS, 1, 0);
    return TRUE;
}
