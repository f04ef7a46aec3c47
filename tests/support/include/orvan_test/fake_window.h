// Recording fake of the window layer for unit tests: keeps every call as a readable line and
// serves the bitmaps and cursors a test declares.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orvan_test/fake_bitmap.h"
#include "orvan_test/fake_records.h"
#include "orvan_wnd/wnd.h"
// Files that read the Windows headers first still declare the operations under their own names.
#include "orvan_wnd/platform_names.h"

namespace orvan::fake {

struct FakeWindowState;

// Lines read like "StretchBlt bitmap 623 at (479,21) 114x30", "SetCapture" or
// "PostMessage 5024 (-1, 1001)"; capture, cursor, timers, posted messages and list-control rows
// are tracked as state. Thread-safe, like the window it stands in for.
class FakeWindow final : public wnd::Window {
  public:
    // 960 by 540 client area, no bitmaps, no resource cursors, the arrow showing; text measures
    // 8 pixels per character and 16 pixels high.
    FakeWindow();
    ~FakeWindow() override;
    FakeWindow(const FakeWindow&) = delete;
    FakeWindow& operator=(const FakeWindow&) = delete;

    // --- What the test declares.
    void AddBitmap(int32_t id, int32_t width, int32_t height);
    void AddBitmaps(std::initializer_list<int32_t> ids, int32_t width, int32_t height);
    void AddCursor(int32_t id);
    void SetTextMetrics(int32_t charWidth, int32_t height);
    void SetClientSize(int32_t cx, int32_t cy);
    void SetIsWindow(bool value);
    // Whether the queue takes posts it would otherwise take (those of the private range while
    // IsWindow holds); every post is recorded either way.
    void SetPostMessageResult(bool value);
    // What the next popup menus return: the id of the item the user picks (0: none). A test
    // may instead decide per menu, seeing its items.
    void SetPopupMenuChoice(uint32_t id);
    void SetPopupMenuChooser(std::function<uint32_t(const std::vector<wnd::MenuItem>&)> chooser);
    void SetClipboardResult(bool value);
    // Decides what OpenUrl returns (true when none is set); it runs outside the window's lock, as
    // the desktop's handler runs beside the program.
    void SetUrlHandler(std::function<bool(const std::string& url)> handler);

    // What the user types into text prompts, one answer after the other (nothing: Cancel). Each
    // answer goes through the prompt's check; one it refuses is recorded and the next is typed.
    void SetPromptAnswers(std::vector<std::optional<std::wstring>> answers);

    // --- What the code under test did.
    std::vector<std::string> Log() const;      // every recorded call, in order
    std::vector<std::string> Drawing() const;  // StretchBlt, FillSolidRect and TextOut only
    std::vector<std::string> Events() const;   // everything but drawing
    // Forgets the recorded lines and cursor changes; counters and state stay.
    void ClearLog();

    int InvalidateCount() const;
    int SetCaptureCount() const;
    int ReleaseCaptureCount() const;
    bool HasCapture() const;
    // "arrow", "cursor <id>" or "none".
    std::string CurrentCursor() const;
    std::vector<std::string> CursorChanges() const;
    std::vector<PostedMessage> PostedMessages() const;
    // Running timers: id -> period in milliseconds.
    std::map<uint32_t, uint32_t> ActiveTimers() const;
    // Device contexts obtained with GetDC and not yet destroyed.
    int OpenDeviceContexts() const;
    // The most recent list control created with controlId.
    std::optional<FakeListContents> ListControl(int32_t controlId) const;
    // Picture-drawing objects and fonts handed out and not yet deleted.
    int OpenPictureDrawers() const;
    // The items of every popup menu shown, in order.
    std::vector<std::vector<wnd::MenuItem>> PopupMenus() const;
    // What the clipboard holds: the text of the last successful SetClipboardText.
    std::wstring ClipboardText() const;
    // Every URL given to OpenUrl, in order, accepted or not.
    std::vector<std::string> OpenedUrls() const;
    // The texts of every notice shown, in order (each returns at once, as if closed).
    std::vector<std::wstring> Notices() const;
    // The prompts shown, and what their checks said to refused answers, in order.
    std::vector<wnd::TextPrompt> Prompts() const;
    std::vector<std::wstring> PromptErrors() const;
    int OpenFonts() const;

    // --- wnd::Window
    bool IsWindow() const override;
    void Invalidate(bool erase) override;
    std::unique_ptr<wnd::DeviceContext> GetDC() override;
    wnd::Size GetClientSize() const override;
    void SetCapture() override;
    void ReleaseCapture() override;
    wnd::CursorHandle LoadCursorResource(int32_t id) override;
    wnd::CursorHandle ArrowCursor() override;
    wnd::CursorHandle GetCursor() override;
    void SetCursor(wnd::CursorHandle cursor) override;
    std::unique_ptr<wnd::Bitmap> LoadBitmapResource(int32_t id) override;
    void SetTimer(uint32_t id, uint32_t milliseconds) override;
    void KillTimer(uint32_t id) override;
    bool PostMessage(uint32_t message, int64_t wparam, int64_t lparam) override;
    std::unique_ptr<wnd::ListControl> CreateListControl(int32_t controlId, int32_t left, int32_t top,
                                                        int32_t right, int32_t bottom) override;
    // Recorded as "OpenPictureDrawer" and "CreateFont "Face" height 16 weight 100 italic 0
    // underline 0"; deleting them records "ClosePictureDrawer" and "DeleteFont "Face"".
    // Recorded as "TrackPopupMenu at (x,y)" and "SetClipboardText "text"".
    uint32_t TrackPopupMenu(const std::vector<wnd::MenuItem>& items, wnd::Point point) override;
    bool SetClipboardText(const std::wstring& text) override;
    // Recorded as "OpenUrl url".
    bool OpenUrl(const std::string& url) override;
    void ShowNotice(const std::wstring& text) override;
    // Recorded as "PromptText "title"".
    std::optional<std::wstring> PromptText(const wnd::TextPrompt& prompt) override;
    std::unique_ptr<wnd::PictureDrawer> OpenPictureDrawer() override;
    std::unique_ptr<wnd::Font> CreateFontIndirect(const wnd::FontDesc& desc) override;

  private:
    friend class FakeDeviceContext;
    std::shared_ptr<FakeWindowState> state_;
};

// A device context that records into its window's log; a test can make one to call a paint
// operation directly. It may outlive the window.
class FakeDeviceContext final : public wnd::DeviceContext {
  public:
    explicit FakeDeviceContext(FakeWindow& window);
    ~FakeDeviceContext() override;
    FakeDeviceContext(const FakeDeviceContext&) = delete;
    FakeDeviceContext& operator=(const FakeDeviceContext&) = delete;

    void StretchBlt(int32_t x, int32_t y, int32_t width, int32_t height, const wnd::Bitmap& source,
                    int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight) override;
    void FillSolidRect(int32_t x, int32_t y, int32_t width, int32_t height, wnd::COLORREF color) override;
    wnd::Size GetTextExtent(const std::wstring& text) override;
    void TextOut(int32_t x, int32_t y, const std::wstring& text, wnd::COLORREF color) override;

  private:
    friend class FakeWindow;
    FakeDeviceContext(std::shared_ptr<FakeWindowState> state, bool counted);

    std::shared_ptr<FakeWindowState> state_;
    bool counted_;  // obtained through GetDC
};

}  // namespace orvan::fake
