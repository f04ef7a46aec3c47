#include "win32_owned_window.h"

namespace orvan::wnd::win32 {

void DestroyOwnedWindow(HWND hwnd) {
    if (hwnd == nullptr || !IsWindow(hwnd)) return;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
}

bool RegisterOwnedClass(const wchar_t* name, WNDPROC procedure, UINT style, HICON icon) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = procedure;
    wc.hInstance = Module();
    wc.hIcon = icon;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = name;
    // A class a previous window layer object registered is just as good.
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace orvan::wnd::win32
