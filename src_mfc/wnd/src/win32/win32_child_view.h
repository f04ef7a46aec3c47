// The child view on Win32: a child window filling the frame's client area that keeps its pixels in
// a backing DIB, hands its events to a ViewHandler, runs timers by id, takes posted messages in
// order, and translates the notifications of its list controls.
#pragma once

#include <atomic>
#include <memory>

#include "win32_backing.h"

namespace orvan::wnd::win32 {

class Win32ChildView final : public Window {
  public:
    // Null when the window cannot be created.
    static std::unique_ptr<Win32ChildView> Create(HWND parent, ViewHandler& handler);
    ~Win32ChildView() override;

    HWND Hwnd() const { return hwnd_.load(); }

    bool IsWindow() const override;
    void Invalidate(bool erase) override;
    std::unique_ptr<DeviceContext> GetDC() override;
    Size GetClientSize() const override;

    void SetCapture() override;
    void ReleaseCapture() override;

    CursorHandle LoadCursorResource(int32_t id) override;
    CursorHandle ArrowCursor() override;
    CursorHandle GetCursor() override { return current_cursor_; }
    void SetCursor(CursorHandle cursor) override;

    std::unique_ptr<Bitmap> LoadBitmapResource(int32_t id) override;

    void SetTimer(uint32_t id, uint32_t milliseconds) override;
    void KillTimer(uint32_t id) override;

    // Also false when the queue refuses.
    bool PostMessage(uint32_t message, int64_t wparam, int64_t lparam) override;

    std::unique_ptr<ListControl> CreateListControl(int32_t controlId, int32_t left, int32_t top,
                                                   int32_t right, int32_t bottom) override;
    uint32_t TrackPopupMenu(const std::vector<MenuItem>& items, Point point) override;
    bool SetClipboardText(const std::wstring& text) override;
    bool OpenUrl(const std::string& url) override;
    void ShowNotice(const std::wstring& text) override;
    std::optional<std::wstring> PromptText(const TextPrompt& prompt) override;
    std::unique_ptr<PictureDrawer> OpenPictureDrawer() override;
    std::unique_ptr<Font> CreateFontIndirect(const FontDesc& desc) override;

    // The pixels the window shows (tests).
    const Backing& Pixels() const { return backing_; }

  private:
    explicit Win32ChildView(ViewHandler& handler);
    template <typename Owner>
    friend LRESULT CALLBACK OwnedWindowProc(HWND, UINT, WPARAM, LPARAM);
    void Attach(HWND hwnd) { hwnd_ = hwnd; }
    LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
    void Paint();
    LRESULT SetCursorMessage(WPARAM wparam, LPARAM lparam);
    void Notify(const ListNotification& notification);

    ViewHandler& handler_;
    std::atomic<HWND> hwnd_{nullptr};  // read by other threads when they post
    Backing backing_;
    bool invalid_ = false;        // the handler has to paint the whole view
    bool erase_pending_ = false;  // ... and was asked to erase its background first
    HRGN shown_only_ = nullptr;   // drawn outside a paint: only needs to reach the screen
    CursorHandle current_cursor_ = nullptr;
};

}  // namespace orvan::wnd::win32
