// The main frame on Win32: a top-level window with caption, system menu, minimise box and sizing
// border whose client area is the one child view. It is made from resource 128 (icon, menu,
// accelerators), as the program's frame always was; the shell takes the menu away again.
#pragma once

#include <atomic>
#include <memory>

#include "win32_child_view.h"

namespace orvan::wnd::win32 {

class Win32Frame final : public FrameWindow {
  public:
    // Creates the window and runs handler.OnCreate; null when either failed.
    static std::unique_ptr<Win32Frame> Create(FrameHandler& handler);
    ~Win32Frame() override;

    Window* CreateView(ViewHandler& handler) override;
    ScreenMetrics GetScreenMetrics() const override;
    void RemoveMaximizeBox() override;
    void RemoveMenu() override;
    void MoveWindow(int32_t left, int32_t top, int32_t width, int32_t height) override;
    void SetTitle(const std::wstring& title) override;
    void Show() override;
    void PostClose() override;

    HWND Hwnd() const { return hwnd_.load(); }
    Win32ChildView* View() const { return view_.get(); }

  private:
    explicit Win32Frame(FrameHandler& handler) : handler_(handler) {}
    template <typename Owner>
    friend LRESULT CALLBACK OwnedWindowProc(HWND, UINT, WPARAM, LPARAM);
    void Attach(HWND hwnd) { hwnd_ = hwnd; }
    LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
    // The handler's close path (once) and the window's end.
    void Close();

    FrameHandler& handler_;
    std::atomic<HWND> hwnd_{nullptr};  // PostClose may come from any thread
    std::unique_ptr<Win32ChildView> view_;
    bool created_ = false;
    bool closed_ = false;
};

// Runs the about box (dialog 100) modally over owner.
void RunAboutBox(HWND owner);

}  // namespace orvan::wnd::win32
