// The window layer as the toolkit and the screens see it: device contexts, resource bitmaps and
// cursors, the child view's invalidation, capture, timers and posted messages, the list control,
// popup menu, clipboard and the desktop's URL handler. The Qt implementation lives next to this header and is the only
// code that includes Qt; tests drive the toolkit through a recording implementation instead.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orvan_wnd/picture.h"
#include "orvan_wnd/platform_names.h"

namespace orvan::wnd {

// Colour as 0x00BBGGRR (red in the low byte).
using COLORREF = uint32_t;
constexpr COLORREF RGB(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}

struct Point {
    int32_t x = 0;
    int32_t y = 0;
};

struct Size {
    int32_t cx = 0;
    int32_t cy = 0;
};

// Mouse flags delivered with mouse events.
inline constexpr uint32_t MK_LBUTTON = 0x0001;
inline constexpr uint32_t MK_RBUTTON = 0x0002;
inline constexpr uint32_t MK_CONTROL = 0x0008;

// Virtual key codes reported with list-control key notifications.
inline constexpr int32_t VK_C = 0x43;

// A 24-bit bitmap loaded from the program's resources by id.
class Bitmap {
  public:
    virtual ~Bitmap() = default;
    virtual int32_t Width() const = 0;
    virtual int32_t Height() const = 0;
    virtual int32_t ResourceId() const = 0;
};

// Opaque cursor handle; null means none.
using CursorHandle = const void*;

// Drawing surface of the child view. Text uses the default GUI font on a transparent background.
class DeviceContext {
  public:
    virtual ~DeviceContext() = default;
    virtual void StretchBlt(int32_t x, int32_t y, int32_t width, int32_t height, const Bitmap& source,
                            int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight) = 0;
    virtual void FillSolidRect(int32_t x, int32_t y, int32_t width, int32_t height, COLORREF color) = 0;
    virtual Size GetTextExtent(const std::wstring& text) = 0;
    virtual void TextOut(int32_t x, int32_t y, const std::wstring& text, COLORREF color) = 0;
    ORVAN_WND_SYSTEM_SPELLINGS(void, TextOut,
                               (int32_t x, int32_t y, const std::wstring& text, COLORREF color),
                               (x, y, text, color))
};

// The program's private message range: the window system sends nothing of its own there, so a
// posted message outside it would reach the view as a system message (a close, a paint...).
inline constexpr uint32_t kFirstPostableMessage = 0x0400;
inline constexpr uint32_t kLastPostableMessage = 0x7FFF;
constexpr bool IsPostableMessage(uint32_t message) {
    return message >= kFirstPostableMessage && message <= kLastPostableMessage;
}

// Report-style list control (columns with headings, full-row selection, grid lines).
class ListControl {
  public:
    virtual ~ListControl() = default;
    virtual void InsertColumn(int32_t index, const std::wstring& heading, int32_t width) = 0;
    virtual void DeleteColumn(int32_t index) = 0;
    // Appends or inserts a row whose first column reads text; returns its index or -1.
    virtual int32_t InsertItem(int32_t index, const std::wstring& text) = 0;
    virtual void SetItemText(int32_t row, int32_t column, const std::wstring& text) = 0;
    virtual void DeleteItem(int32_t row) = 0;
    virtual void DeleteAllItems() = 0;
    virtual int32_t GetItemCount() const = 0;
    virtual std::wstring GetItemText(int32_t row, int32_t column) const = 0;
    virtual bool DestroyWindow() = 0;
    // Highlights row and makes it the current one (-1: none). The program's own choice, so it
    // sends no notification back.
    virtual void SetSelectedItem(int32_t row) = 0;
    // An arrow on column's heading pointing up for an ascending order; -1 shows none.
    virtual void SetSortIndicator(int32_t column, bool ascending) = 0;
    // Shown across the list while it has no row; lines separated by '\n', empty for none.
    virtual void SetEmptyText(const std::wstring& text) = 0;
};

// Notification code of a row click in a list control.
inline constexpr int32_t NM_CLICK = -2;
// Notification code of a move of a list control's current row by the keyboard.
inline constexpr int32_t LVN_ITEMCHANGED = -101;
// A double click on a row (item: the row, -1 below the last row).
inline constexpr int32_t NM_DBLCLK = -3;
// Enter pressed in the list (item: the current row, -1 for none).
inline constexpr int32_t NM_RETURN = -4;
// A right click (item: the row under the pointer or -1; point: where, in the view's coordinates).
inline constexpr int32_t NM_RCLICK = -5;
// A click on a column heading (subItem: the column).
inline constexpr int32_t LVN_COLUMNCLICK = -108;
// A key the screens act on (key: virtual key code, flags: MK_CONTROL when Control was down; item:
// the current row). Only the copy shortcut is reported: key VK_C with MK_CONTROL.
inline constexpr int32_t LVN_KEYDOWN = -155;

// A notification from a child control: which control, what happened and, for a click, the row
// (-1 below the last row).
struct ListNotification {
    int32_t controlId = 0;
    int32_t code = 0;
    int32_t item = -1;
    int32_t subItem = 0;
    Point point{};
    int32_t key = 0;
    uint32_t flags = 0;
};

// One line of a popup menu; id 0 draws a separator.
struct MenuItem {
    uint32_t id = 0;
    std::wstring text;
};

// A small modal dialog that asks for one line of text: a title, a line saying what to type, the
// field, OK and Cancel.
struct TextPrompt {
    std::wstring title;
    std::wstring label;
    std::wstring text;  // in the field when the dialog opens
    // Runs on OK with the field's text: an empty answer takes the text; any other is shown in the
    // dialog, which stays open for a correction. Empty: every text is taken.
    std::function<std::wstring(const std::wstring&)> check;
};

// The child view as seen by the toolkit and the screens.
class Window {
  public:
    virtual ~Window() = default;

    // False once the view's window is gone (its frame closed): timers stop and posts are refused.
    virtual bool IsWindow() const = 0;
    virtual void Invalidate(bool erase) = 0;
    // A device context for drawing outside a paint; it draws onto the view's backing image.
    virtual std::unique_ptr<DeviceContext> GetDC() = 0;
    virtual Size GetClientSize() const = 0;

    virtual void SetCapture() = 0;
    virtual void ReleaseCapture() = 0;

    virtual CursorHandle LoadCursorResource(int32_t id) = 0;
    virtual CursorHandle ArrowCursor() = 0;
    virtual CursorHandle GetCursor() = 0;
    virtual void SetCursor(CursorHandle cursor) = 0;

    // Null when the resource does not exist or cannot be decoded.
    virtual std::unique_ptr<Bitmap> LoadBitmapResource(int32_t id) = 0;

    virtual void SetTimer(uint32_t id, uint32_t milliseconds) = 0;
    virtual void KillTimer(uint32_t id) = 0;

    // Thread-safe. Takes a message of the program's private range (IsPostableMessage) while the
    // view exists (IsWindow); false for any other message and once the view is gone, and a refused
    // message never reaches the handler. Taken messages are handled one at a time, in posting
    // order, on the UI thread; those still waiting when the view goes are dropped.
    virtual bool PostMessage(uint32_t message, int64_t wparam, int64_t lparam) = 0;

    // A list control child of this view with the given control id and rectangle (left, top,
    // right, bottom in client coordinates). Its row clicks reach the view as a click
    // notification carrying the row index (-1 below the last row); a move of its current row by a
    // key (arrows, Page Up/Down, Home, End) as an item-changed notification with the new row.
    virtual std::unique_ptr<ListControl> CreateListControl(int32_t controlId, int32_t left, int32_t top,
                                                           int32_t right, int32_t bottom) = 0;

    // Shows a popup menu with its top left corner at point (client coordinates) and waits for the
    // user: the id of the chosen item, 0 when the menu was closed without a choice.
    virtual uint32_t TrackPopupMenu(const std::vector<MenuItem>& items, Point point) = 0;
    // Puts text on the clipboard; false when it could not.
    virtual bool SetClipboardText(const std::wstring& text) = 0;
    // Opens url with the desktop's URL handler; false when it is no URL or no handler accepted it.
    virtual bool OpenUrl(const std::string& url) = 0;
    // Shows text in a modal message box over the program's window, with an OK button, and waits
    // until the user closes it: for what the user must read before going on.
    virtual void ShowNotice(const std::wstring& text) = 0;
    // Shows prompt over the view and waits for the user: the text taken, nothing when cancelled.
    virtual std::optional<std::wstring> PromptText(const TextPrompt& prompt) = 0;

    // A picture-drawing object for frames shown on this view; null when none can be had.
    virtual std::unique_ptr<PictureDrawer> OpenPictureDrawer() = 0;
    // The font desc describes; null when it cannot be made.
    virtual std::unique_ptr<Font> CreateFontIndirect(const FontDesc& desc) = 0;

    ORVAN_WND_SYSTEM_SPELLINGS(bool, PostMessage, (uint32_t message, int64_t wparam, int64_t lparam),
                               (message, wparam, lparam))
    ORVAN_WND_SYSTEM_SPELLINGS(std::unique_ptr<Font>, CreateFontIndirect, (const FontDesc& desc), (desc))
};

}  // namespace orvan::wnd
