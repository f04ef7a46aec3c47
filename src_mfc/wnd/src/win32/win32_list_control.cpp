#include "win32_list_control.h"

#include <utility>

namespace orvan::wnd::win32 {

struct Win32ListControl::State : GuardedListRows {
    // Guarded by the model's mutex too.
    HWND list = nullptr;  // null once the window is gone
    bool sync_posted = false;
    // UI thread only.
    std::wstring empty_text;
    int32_t control_id = 0;
};

namespace {

using State = Win32ListControl::State;

constexpr UINT_PTR kSubclassId = 1;
// Space between the list's edges and the text it shows while empty.
constexpr int kEmptyTextMargin = 16;

int32_t FocusedRow(HWND list) {
    return static_cast<int32_t>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

void SetColumns(HWND list, const std::vector<ListColumn>& columns) {
    // Column 0 keeps the rows' first cells and goes last (a list view may refuse to delete it
    // while other columns stand).
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    for (int c = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) - 1; c >= 0; --c) {
        SendMessageW(list, LVM_DELETECOLUMN, c, 0);
    }
    for (size_t c = 0; c < columns.size(); ++c) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = columns[c].width;
        column.pszText = const_cast<wchar_t*>(columns[c].heading.c_str());
        column.iSubItem = static_cast<int>(c);
        SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
    }
}

void SetRow(HWND list, int32_t row, const std::vector<std::wstring>& cells, bool insert) {
    for (size_t c = 0; c < cells.size(); ++c) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.iSubItem = static_cast<int>(c);
        item.pszText = const_cast<wchar_t*>(cells[c].c_str());
        if (insert && c == 0) {
            SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        } else {
            SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        }
    }
}

void SetSortArrow(HWND list, int32_t column, bool ascending) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int c = 0; c < count; ++c) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        SendMessageW(header, HDM_GETITEMW, c, reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (c == column) item.fmt |= ascending ? HDF_SORTUP : HDF_SORTDOWN;
        SendMessageW(header, HDM_SETITEMW, c, reinterpret_cast<LPARAM>(&item));
    }
}

void Select(HWND list, int32_t row) {
    LVITEMW clear{};
    clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
    const auto count = static_cast<int32_t>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    if (row < 0 || row >= count) return;
    LVITEMW chosen{};
    chosen.state = chosen.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&chosen));
    SendMessageW(list, LVM_ENSUREVISIBLE, row, FALSE);
}

// Brings the list view up to date with the model (UI thread only).
void Sync(State& state) {
    HWND list = nullptr;
    ListUpdate update;
    {
        std::lock_guard lock(state.mutex);
        list = state.list;
        if (list == nullptr) return;
        update = state.rows.TakeUpdate();
    }
    // The list view is destroyed only on this thread, so it outlives this call.
    const bool many = update.cells.size() > 1 || update.columns.has_value();
    if (many) SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    if (update.columns) SetColumns(list, *update.columns);
    auto shown = static_cast<int32_t>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    if (update.rowCount == 0 && shown > 0) {
        SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
        shown = 0;
    }
    for (; shown > update.rowCount; --shown) SendMessageW(list, LVM_DELETEITEM, shown - 1, 0);
    for (size_t i = 0; i < update.cells.size(); ++i) {
        const int32_t row = update.firstRow + static_cast<int32_t>(i);
        SetRow(list, row, update.cells[i], row >= shown);
        if (row >= shown) shown = row + 1;
    }
    if (update.emptyText) {
        state.empty_text = *update.emptyText;
        InvalidateRect(list, nullptr, TRUE);
    }
    if (update.sortIndicator) SetSortArrow(list, update.sortIndicator->first, update.sortIndicator->second);
    if (update.selection) Select(list, *update.selection);
    if (many) {
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }
}

void NotifyView(HWND list, const ListNotification& notification) {
    SendMessageW(GetParent(list), kListNotify, 0, reinterpret_cast<LPARAM>(&notification));
}

void DrawEmptyText(HWND list, const std::wstring& text) {
    if (text.empty() || SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) != 0) return;
    RECT area{};
    GetClientRect(list, &area);
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    RECT headerRect{};
    if (header != nullptr && GetWindowRect(header, &headerRect))
        area.top += headerRect.bottom - headerRect.top;
    InflateRect(&area, -kEmptyTextMargin, -kEmptyTextMargin);
    HDC dc = GetDC(list);
    HGDIOBJ font = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
              DT_CENTER | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, font);
    ReleaseDC(list, dc);
}

// Lets the list view handle a key, then tells the view when that moved the current row.
LRESULT WithKeyMoveReported(const State& state, HWND list, UINT message, WPARAM wparam, LPARAM lparam) {
    const int32_t before = FocusedRow(list);
    const LRESULT result = DefSubclassProc(list, message, wparam, lparam);
    const int32_t after = FocusedRow(list);
    if (after != before) NotifyView(list, ListNotification{state.control_id, LVN_ITEMCHANGED, after});
    return result;
}

// The list view's own messages: the program's requests, keyboard moves of the current row (a key
// moves the highlight without a click, and the screen must learn of that move too; rows the program
// adds or removes move nothing the user chose, so only keys count), a quick second click on a
// heading, and the text of an empty list.
LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR data) {
    auto& state = *reinterpret_cast<std::shared_ptr<State>*>(data);
    switch (message) {
        case kListSync: {
            std::lock_guard lock(state->mutex);
            state->sync_posted = false;
        }
            Sync(*state);
            return 0;
        case kListDestroy:
            ::DestroyWindow(list);
            return 0;
        case WM_KEYDOWN:
            return WithKeyMoveReported(*state, list, message, wparam, lparam);
        case WM_CHAR:
            // Control+C arrives here as a control character too; it must not start a search by letter.
            if (wparam < 0x20) return 0;
            // A letter moves the current row to the next one that starts with it.
            return WithKeyMoveReported(*state, list, message, wparam, lparam);
        case WM_NOTIFY: {
            // A second click soon after the first is a double click to the header, and a click on
            // the heading all the same.
            const auto& header = *reinterpret_cast<const NMHDR*>(lparam);
            if (header.code == HDN_ITEMDBLCLICKW || header.code == HDN_ITEMDBLCLICKA) {
                const int column = reinterpret_cast<const NMHEADERW*>(lparam)->iItem;
                NotifyView(list,
                           ListNotification{
                               .controlId = state->control_id, .code = LVN_COLUMNCLICK, .subItem = column});
            }
            break;
        }
        case WM_PAINT: {
            const LRESULT result = DefSubclassProc(list, message, wparam, lparam);
            DrawEmptyText(list, state->empty_text);
            return result;
        }
        case WM_NCDESTROY: {
            {
                std::lock_guard lock(state->mutex);
                state->list = nullptr;
            }
            RemoveWindowSubclass(list, &ListProc, kSubclassId);
            delete &state;
            return DefSubclassProc(list, message, wparam, lparam);
        }
        default:
            break;
    }
    return DefSubclassProc(list, message, wparam, lparam);
}

}  // namespace

std::unique_ptr<Win32ListControl> Win32ListControl::Create(HWND view, int32_t controlId, const RECT& rect) {
    auto state = std::make_shared<State>();
    state->control_id = controlId;
    HWND list = CreateWindowExW(
        0, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
        rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, view,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), Module(), nullptr);
    if (list == nullptr) return nullptr;
    const DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER;
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    state->list = list;
    auto* data = new std::shared_ptr<State>(state);
    if (!SetWindowSubclass(list, &ListProc, kSubclassId, reinterpret_cast<DWORD_PTR>(data))) {
        delete data;
        ::DestroyWindow(list);
        return nullptr;
    }
    return std::unique_ptr<Win32ListControl>(new Win32ListControl(std::move(state)));
}

Win32ListControl::Win32ListControl(std::shared_ptr<State> state)
    : ListRowsControl(state), state_(std::move(state)) {}

Win32ListControl::~Win32ListControl() {
    DestroyWindow();
}

HWND Win32ListControl::Hwnd() const {
    std::lock_guard lock(state_->mutex);
    return state_->list;
}

void Win32ListControl::RowsChanged() {
    HWND list = Hwnd();
    if (list == nullptr) return;
    if (OwnsWindow(list)) {
        Sync(*state_);
        return;
    }
    std::lock_guard lock(state_->mutex);
    if (state_->list == nullptr || state_->sync_posted) return;
    state_->sync_posted = PostMessageW(state_->list, kListSync, 0, 0) != FALSE;
}

bool Win32ListControl::DestroyWindow() {
    HWND list = nullptr;
    {
        std::lock_guard lock(state_->mutex);
        list = std::exchange(state_->list, nullptr);
    }
    if (list == nullptr) return false;
    // Only the thread that runs the list view may destroy it; another thread asks it to.
    if (OwnsWindow(list)) return ::DestroyWindow(list) != FALSE;
    return PostMessageW(list, kListDestroy, 0, 0) != FALSE;
}

std::optional<ListNotification> TranslateListNotify(HWND view, const NMHDR& header) {
    wchar_t className[32] = {};
    if (GetClassNameW(header.hwndFrom, className, 32) == 0 || lstrcmpiW(className, WC_LISTVIEWW) != 0) {
        return std::nullopt;
    }
    const auto controlId = static_cast<int32_t>(header.idFrom);
    const auto code = static_cast<int32_t>(header.code);
    switch (code) {
        case NM_CLICK:
        case NM_DBLCLK:
            return ListNotification{controlId, code, reinterpret_cast<const NMITEMACTIVATE&>(header).iItem};
        case NM_RCLICK: {
            const auto& activate = reinterpret_cast<const NMITEMACTIVATE&>(header);
            POINT at = activate.ptAction;
            MapWindowPoints(header.hwndFrom, view, &at, 1);
            return ListNotification{
                .controlId = controlId, .code = code, .item = activate.iItem, .point = Point{at.x, at.y}};
        }
        case NM_RETURN:
            return ListNotification{controlId, code, FocusedRow(header.hwndFrom)};
        case LVN_COLUMNCLICK:
            return ListNotification{.controlId = controlId,
                                    .code = code,
                                    .subItem = reinterpret_cast<const NMLISTVIEW&>(header).iSubItem};
        case LVN_KEYDOWN: {
            // Only the copy shortcut is the program's business.
            const auto& key = reinterpret_cast<const NMLVKEYDOWN&>(header);
            if (key.wVKey != VK_C || GetKeyState(VK_CONTROL) >= 0) return std::nullopt;
            return ListNotification{.controlId = controlId,
                                    .code = code,
                                    .item = FocusedRow(header.hwndFrom),
                                    .key = VK_C,
                                    .flags = MK_CONTROL};
        }
        default:
            return std::nullopt;
    }
}

}  // namespace orvan::wnd::win32
