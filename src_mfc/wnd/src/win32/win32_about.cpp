// The about box: dialog 100 of the program's resources (icon, name and version, copyright, OK).
#include "win32_frame.h"

namespace orvan::wnd::win32 {

namespace {

constexpr int kAboutDialogId = 100;

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;  // the default button takes the focus
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
                EndDialog(dialog, LOWORD(wparam));
                return TRUE;
            }
            break;
        default:
            break;
    }
    return FALSE;
}

}  // namespace

void RunAboutBox(HWND owner) {
    DialogBoxParamW(Module(), MAKEINTRESOURCEW(kAboutDialogId), owner, &AboutProc, 0);
}

}  // namespace orvan::wnd::win32
