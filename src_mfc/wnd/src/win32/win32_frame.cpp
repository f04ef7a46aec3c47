#include "win32_frame.h"

#include "frame_client.h"
#include "resource_ids.h"
#include "win32_owned_window.h"
#include "win32_resources.h"

namespace orvan::wnd::win32 {

namespace {

constexpr wchar_t kClassName[] = L"OrvanMainFrame";
constexpr int kFrameResourceId = 128;
// The standard commands of the frame's menu.
constexpr UINT kAppAboutCommand = 57664;
constexpr UINT kAppExitCommand = 57665;

}  // namespace

std::unique_ptr<Win32Frame> Win32Frame::Create(FrameHandler& handler) {
    static const bool registered =
        RegisterOwnedClass(kClassName, &OwnedWindowProc<Win32Frame>, CS_HREDRAW | CS_VREDRAW,
                           LoadIconW(Module(), MAKEINTRESOURCEW(kFrameResourceId)));
    if (!registered) return nullptr;
    std::unique_ptr<Win32Frame> frame(new Win32Frame(handler));
    // A menu that cannot be loaded is no reason to fail.
    HMENU menu = LoadMenuW(Module(), MAKEINTRESOURCEW(kFrameResourceId));
    HWND hwnd = CreateWindowExW(0, kClassName, L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menu, Module(), frame.get());
    if (hwnd == nullptr) return nullptr;  // a failed creation destroyed the menu with the window
    return frame;
}

Win32Frame::~Win32Frame() {
    view_.reset();
    DestroyOwnedWindow(hwnd_.exchange(nullptr));
}

LRESULT Win32Frame::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE:
            if (handler_.OnCreate(*this) != 0) return -1;
            created_ = true;
            return 0;
        case WM_SIZE:
            // A minimised frame leaves its view as it was, picture and all, for when it comes back.
            if (view_ != nullptr && wparam != SIZE_MINIMIZED)
                ::MoveWindow(view_->Hwnd(), 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE);
            return 0;
        case WM_SETFOCUS:
            if (view_ != nullptr) SetFocus(view_->Hwnd());
            return 0;
        case WM_COMMAND:
            if (LOWORD(wparam) == kAppAboutCommand) {
                RunAboutBox(hwnd_);
                return 0;
            }
            if (LOWORD(wparam) == kAppExitCommand) {
                PostClose();
                return 0;
            }
            break;
        case WM_CLOSE:
            Close();
            return 0;
        case WM_ENDSESSION:
            // At logoff and shutdown a window program gets no console event: this is its last word.
            // Windows may end the process any time after this returns, so what closing the window
            // removes (the added address among it) goes now, on the same path.
            if (wparam != FALSE) Close();
            return 0;
        case WM_DESTROY:
            // Closing the frame ends the message loop; a frame taken down without closing (its
            // creation failed, or its owner let it go) leaves the loop alone.
            if (closed_) PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wparam, lparam);
}

void Win32Frame::Close() {
    // The close path runs once, however many requests arrive.
    if (!closed_) {
        closed_ = true;
        handler_.OnClose();
    }
    DestroyWindow(hwnd_);
}

Window* Win32Frame::CreateView(ViewHandler& handler) {
    if (view_ == nullptr) {
        view_ = Win32ChildView::Create(hwnd_, handler);
        if (view_ == nullptr) return nullptr;
        RECT client{};
        GetClientRect(hwnd_, &client);
        ::MoveWindow(view_->Hwnd(), 0, 0, client.right, client.bottom, TRUE);
    }
    return view_.get();
}

ScreenMetrics Win32Frame::GetScreenMetrics() const {
    ScreenMetrics metrics;
    metrics.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    metrics.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    metrics.captionHeight = GetSystemMetrics(SM_CYCAPTION);
    metrics.dlgFrameWidth = GetSystemMetrics(SM_CXDLGFRAME);
    metrics.dlgFrameHeight = GetSystemMetrics(SM_CYDLGFRAME);
    metrics.borderWidth = GetSystemMetrics(SM_CXBORDER);
    metrics.borderHeight = GetSystemMetrics(SM_CYBORDER);
    return metrics;
}

void Win32Frame::RemoveMaximizeBox() {
    const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    SetWindowLongPtrW(hwnd_, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_MAXIMIZEBOX));
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Frame::RemoveMenu() {
    HMENU menu = GetMenu(hwnd_);
    if (menu == nullptr) return;
    SetMenu(hwnd_, nullptr);
    DestroyMenu(menu);
}

void Win32Frame::MoveWindow(int32_t left, int32_t top, int32_t width, int32_t height) {
    // The rectangle comes from a formula over the screen metrics; the decoration Windows really
    // draws for this style differs from it (padded borders, themes), so the window is sized for the
    // client area the formula meant rather than for its outer size.
    const Size client = ClientSizeOfFrame(GetScreenMetrics(), width, height);
    RECT outer{0, 0, client.cx, client.cy};
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
    AdjustWindowRectEx(&outer, style, GetMenu(hwnd_) != nullptr, exStyle);
    ::MoveWindow(hwnd_, left, top, outer.right - outer.left, outer.bottom - outer.top, TRUE);
}

void Win32Frame::SetTitle(const std::wstring& title) {
    SetWindowTextW(hwnd_, title.c_str());
}

void Win32Frame::Show() {
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
}

void Win32Frame::PostClose() {
    if (HWND hwnd = hwnd_.load(); hwnd != nullptr) PostMessageW(hwnd, WM_CLOSE, 0, 0);
}

}  // namespace orvan::wnd::win32
