#include "win32_child_view.h"

#include <iterator>
#include <optional>

#include "orvan_wnd/host.h"
#include "win32_clipboard.h"
#include "win32_device_context.h"
#include "win32_list_control.h"
#include "win32_owned_window.h"
#include "win32_picture.h"
#include "win32_popup_menu.h"
#include "win32_resources.h"
#include "win32_text_prompt.h"

namespace orvan::wnd::win32 {

namespace {

constexpr wchar_t kClassName[] = L"OrvanChildView";
// The standard id of a frame's first pane.
constexpr int kFirstPaneId = 59648;

Point PointOf(LPARAM lparam) {
    return Point{static_cast<int16_t>(LOWORD(lparam)), static_cast<int16_t>(HIWORD(lparam))};
}

uint32_t MouseFlags(WPARAM wparam) {
    return static_cast<uint32_t>(wparam) & (MK_LBUTTON | MK_RBUTTON | MK_CONTROL);
}

}  // namespace

Win32ChildView::Win32ChildView(ViewHandler& handler)
    : handler_(handler), shown_only_(CreateRectRgn(0, 0, 0, 0)) {
    current_cursor_ = ArrowCursor();
}

std::unique_ptr<Win32ChildView> Win32ChildView::Create(HWND parent, ViewHandler& handler) {
    static const bool registered = RegisterOwnedClass(kClassName, &OwnedWindowProc<Win32ChildView>,
                                                      CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, nullptr);
    if (!registered) return nullptr;
    std::unique_ptr<Win32ChildView> view(new Win32ChildView(handler));
    // No border and no client edge; WS_CLIPCHILDREN keeps the view's painting off its list controls.
    HWND hwnd =
        CreateWindowExW(0, kClassName, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstPaneId)), Module(), view.get());
    if (hwnd == nullptr) return nullptr;
    return view;
}

Win32ChildView::~Win32ChildView() {
    DestroyOwnedWindow(hwnd_.exchange(nullptr));
    DeleteObject(shown_only_);
}

LRESULT Win32ChildView::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_SIZE: {
            const int32_t cx = LOWORD(lparam);
            const int32_t cy = HIWORD(lparam);
            backing_.Resize(cx, cy);
            handler_.OnSize(static_cast<uint32_t>(wparam), cx, cy);
            break;
        }
        case WM_ERASEBKGND:
            return 1;  // the paint draws every pixel from the backing image
        case WM_PAINT:
            Paint();
            return 0;
        case WM_LBUTTONDOWN:
            handler_.OnLButtonDown(MouseFlags(wparam), PointOf(lparam));
            return 0;
        case WM_LBUTTONDBLCLK:
            handler_.OnLButtonDblClk(MouseFlags(wparam), PointOf(lparam));
            return 0;
        case WM_MOUSEMOVE:
            handler_.OnMouseMove(MouseFlags(wparam), PointOf(lparam));
            return 0;
        case WM_LBUTTONUP:
            handler_.OnLButtonUp(MouseFlags(wparam), PointOf(lparam));
            return 0;
        case WM_TIMER:
            handler_.OnTimer(static_cast<uint32_t>(wparam));
            return 0;
        case WM_SETCURSOR:
            return SetCursorMessage(wparam, lparam);
        case WM_NOTIFY:
            if (const auto notification =
                    TranslateListNotify(hwnd_, *reinterpret_cast<const NMHDR*>(lparam))) {
                int64_t result = 0;
                handler_.OnNotify(*notification, &result);
                return static_cast<LRESULT>(result);
            }
            break;
        case kListNotify:
            Notify(*reinterpret_cast<const ListNotification*>(lparam));
            return 0;
        default:
            if (IsPostableMessage(message)) {
                return static_cast<LRESULT>(
                    handler_.OnMessage(message, static_cast<int64_t>(wparam), static_cast<int64_t>(lparam)));
            }
            break;
    }
    return DefWindowProcW(hwnd_, message, wparam, lparam);
}

void Win32ChildView::Paint() {
    // The handler paints what was invalidated or newly exposed; pixels that were drawn outside a
    // paint are already in the backing image and only need to be shown.
    HRGN handlerPart = CreateRectRgn(0, 0, 0, 0);
    if (invalid_) {
        RECT client{};
        GetClientRect(hwnd_, &client);
        SetRectRgn(handlerPart, client.left, client.top, client.right, client.bottom);
    } else {
        GetUpdateRgn(hwnd_, handlerPart, FALSE);
        CombineRgn(handlerPart, handlerPart, shown_only_, RGN_DIFF);
    }
    const bool erase = erase_pending_;
    invalid_ = false;
    erase_pending_ = false;
    SetRectRgn(shown_only_, 0, 0, 0, 0);

    PAINTSTRUCT paint{};
    HDC screen = BeginPaint(hwnd_, &paint);
    RECT box{};
    if (GetRgnBox(handlerPart, &box) != NULLREGION) {
        Win32DeviceContext dc(backing_, nullptr, handlerPart);  // the context owns the region now
        if (erase && !handler_.OnEraseBkgnd(dc))
            dc.FillSolidRect(0, 0, backing_.Width(), backing_.Height(), 0xFFFFFF);
        handler_.OnPaint(dc);
    } else {
        DeleteObject(handlerPart);
    }
    SelectClipRgn(backing_.Dc(), nullptr);
    backing_.ShowOn(screen, paint.rcPaint);
    EndPaint(hwnd_, &paint);
}

LRESULT Win32ChildView::SetCursorMessage(WPARAM wparam, LPARAM lparam) {
    // Over a child control the control chooses; over the view the handler may keep its cursor.
    if (reinterpret_cast<HWND>(wparam) != hwnd_) return DefWindowProcW(hwnd_, WM_SETCURSOR, wparam, lparam);
    std::optional<Point> position;
    POINT cursor{};
    if (GetCursorPos(&cursor) && ScreenToClient(hwnd_, &cursor)) position = Point{cursor.x, cursor.y};
    if (handler_.OnSetCursor(position)) return TRUE;
    if (LOWORD(lparam) != HTCLIENT) return DefWindowProcW(hwnd_, WM_SETCURSOR, wparam, lparam);
    // Not taken by the handler: the view's own cursor, the arrow.
    SetCursor(ArrowCursor());
    return TRUE;
}

void Win32ChildView::Notify(const ListNotification& notification) {
    int64_t result = 0;
    handler_.OnNotify(notification, &result);
}

bool Win32ChildView::IsWindow() const {
    return hwnd_ != nullptr && ::IsWindow(hwnd_);
}

void Win32ChildView::Invalidate(bool erase) {
    invalid_ = true;
    erase_pending_ = erase_pending_ || erase;
    if (hwnd_ != nullptr) InvalidateRect(hwnd_, nullptr, FALSE);
}

std::unique_ptr<DeviceContext> Win32ChildView::GetDC() {
    return std::make_unique<Win32DeviceContext>(backing_, [this](const RECT& rect) {
        HRGN part = CreateRectRgnIndirect(&rect);
        CombineRgn(shown_only_, shown_only_, part, RGN_OR);
        DeleteObject(part);
        if (hwnd_ != nullptr) InvalidateRect(hwnd_, &rect, FALSE);
    });
}

Size Win32ChildView::GetClientSize() const {
    RECT client{};
    if (hwnd_ != nullptr) GetClientRect(hwnd_, &client);
    return Size{client.right - client.left, client.bottom - client.top};
}

void Win32ChildView::SetCapture() {
    if (hwnd_ != nullptr) ::SetCapture(hwnd_);
}

void Win32ChildView::ReleaseCapture() {
    if (GetCapture() == hwnd_) ::ReleaseCapture();
}

CursorHandle Win32ChildView::LoadCursorResource(int32_t id) {
    return LoadCursorById(id);
}

CursorHandle Win32ChildView::ArrowCursor() {
    return LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
}

void Win32ChildView::SetCursor(CursorHandle cursor) {
    current_cursor_ = cursor;
    ::SetCursor(static_cast<HCURSOR>(const_cast<void*>(cursor)));
}

std::unique_ptr<Bitmap> Win32ChildView::LoadBitmapResource(int32_t id) {
    return LoadBitmapById(id);
}

void Win32ChildView::SetTimer(uint32_t id, uint32_t milliseconds) {
    // A timer with an id already running starts over with the new interval.
    if (hwnd_ != nullptr) ::SetTimer(hwnd_, id, milliseconds, nullptr);
}

void Win32ChildView::KillTimer(uint32_t id) {
    if (hwnd_ != nullptr) ::KillTimer(hwnd_, id);
}

bool Win32ChildView::PostMessage(uint32_t message, int64_t wparam, int64_t lparam) {
    if (!IsPostableMessage(message)) return false;
    // hwnd_ may be cleared by the UI thread meanwhile; posting to a destroyed window fails cleanly.
    HWND target = hwnd_;
    return target != nullptr &&
           ::PostMessageW(target, message, static_cast<WPARAM>(wparam), static_cast<LPARAM>(lparam)) != FALSE;
}

std::unique_ptr<ListControl> Win32ChildView::CreateListControl(int32_t controlId, int32_t left, int32_t top,
                                                               int32_t right, int32_t bottom) {
    // Right and bottom are exclusive.
    return Win32ListControl::Create(hwnd_, controlId, RECT{left, top, right, bottom});
}

uint32_t Win32ChildView::TrackPopupMenu(const std::vector<MenuItem>& items, Point point) {
    return ShowPopupMenu(hwnd_, items, point);
}

bool Win32ChildView::SetClipboardText(const std::wstring& text) {
    return PutTextOnClipboard(hwnd_, text);
}

bool Win32ChildView::OpenUrl(const std::string& url) {
    return orvan::wnd::OpenUrl(url);
}

void Win32ChildView::ShowNotice(const std::wstring& text) {
    const HWND frame = GetAncestor(hwnd_, GA_ROOT);
    wchar_t title[256] = {};
    GetWindowTextW(frame, title, static_cast<int>(std::size(title)));
    MessageBoxW(frame, text.c_str(), title, MB_OK | MB_ICONWARNING);
}

std::optional<std::wstring> Win32ChildView::PromptText(const TextPrompt& prompt) {
    return RunTextPrompt(hwnd_, prompt);
}

std::unique_ptr<PictureDrawer> Win32ChildView::OpenPictureDrawer() {
    return OpenDrawDib();
}

std::unique_ptr<Font> Win32ChildView::CreateFontIndirect(const FontDesc& desc) {
    return CreateFontFromDesc(desc);
}

}  // namespace orvan::wnd::win32
