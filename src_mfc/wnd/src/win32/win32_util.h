// Small helpers of the Win32 window layer: the program's module, text conversion, thread checks and
// the private messages the layer's windows send each other.
#pragma once

#include <string>

// The system's headers go first: the window layer's header takes back the names they would take.
// winsock2.h before windows.h, which would otherwise bring the old socket header.
// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
#include "orvan_wnd/platform_names.h"
// clang-format on

#include "orvan_wnd/host.h"

namespace orvan::wnd::win32 {

// The module whose resources and window classes the layer uses (the program itself).
HINSTANCE Module();

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& text);

// True when the calling thread runs window's messages.
bool OwnsWindow(HWND window);

// Private messages, above the range the program's own posted messages use.
inline constexpr UINT kListSync = WM_APP + 1;       // list view: catch up with the row model
inline constexpr UINT kListDestroy = WM_APP + 2;    // list view: destroy yourself (from another thread)
inline constexpr UINT kListNotify = WM_APP + 3;     // child view: lParam points at a ListNotification
inline constexpr UINT kWatchReadable = WM_APP + 4;  // message window: the watch wParam fired

// The range of messages Window::PostMessage accepts is the system's own private range.
static_assert(kFirstPostableMessage == WM_USER && kLastPostableMessage == WM_APP - 1);

}  // namespace orvan::wnd::win32
