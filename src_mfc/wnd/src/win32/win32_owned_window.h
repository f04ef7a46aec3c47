// Windows that belong to an object: the object comes with the creation parameters, is kept in the
// window's user data and handles the window's messages until WM_NCDESTROY, after which the window
// forgets it. The owner provides Attach(HWND) (null once the window is gone) and
// Handle(UINT, WPARAM, LPARAM), reachable by befriending OwnedWindowProc<Owner>.
#pragma once

#include "win32_util.h"

namespace orvan::wnd::win32 {

template <typename Owner>
LRESULT CALLBACK OwnedWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* created = static_cast<Owner*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        if (created != nullptr) created->Attach(hwnd);
    }
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (owner == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        owner->Attach(nullptr);
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    return owner->Handle(message, wparam, lparam);
}

// Takes a window away from its owner (which no longer hears of it) and destroys it; the owner's
// destructor calls this for a window still there.
void DestroyOwnedWindow(HWND hwnd);

// Registers a window class of this module with OwnedWindowProc<Owner> as its procedure, once per
// class name; false when that failed.
bool RegisterOwnedClass(const wchar_t* name, WNDPROC procedure, UINT style, HICON icon);

}  // namespace orvan::wnd::win32
