// The list view: columns, rows, the program's selection and sort arrow, and what the user's clicks
// and keys report to the view (rows changed from other threads are in the window contract).
#include <thread>

#include "win32_list_control.h"
#include "window_fixture.h"

namespace win32_test {
namespace {

class ListViewTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        if (HasFatalFailure()) return;
        list_ = view_->CreateListControl(1, 20, 60, 620, 400);
        ASSERT_NE(list_, nullptr);
        hwnd_ = static_cast<win32::Win32ListControl&>(*list_).Hwnd();
        list_->InsertColumn(0, L"Model", 120);
        list_->InsertColumn(1, L"MAC", 140);
        list_->InsertColumn(2, L"IP", 100);
    }

    void TearDown() override {
        list_.reset();
        WindowTest::TearDown();
    }

    void AddRows(int count) {
        for (int i = 0; i < count; ++i) {
            const int32_t row = list_->InsertItem(list_->GetItemCount(), L"Model " + std::to_wstring(i));
            list_->SetItemText(row, 2, L"10.88.0." + std::to_wstring(i));
        }
    }

    int Count() const { return static_cast<int>(SendMessageW(hwnd_, LVM_GETITEMCOUNT, 0, 0)); }

    std::wstring Shown(int row, int column) const {
        wchar_t text[128] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 128;
        SendMessageW(hwnd_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        return text;
    }

    HWND Header() const { return reinterpret_cast<HWND>(SendMessageW(hwnd_, LVM_GETHEADER, 0, 0)); }

    // A point inside row's first cell, in the list's client coordinates.
    POINT InRow(int row) const {
        RECT rect{};
        rect.left = LVIR_BOUNDS;
        SendMessageW(hwnd_, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
        return POINT{rect.left + 10, (rect.top + rect.bottom) / 2};
    }

    void Click(UINT down, UINT up, POINT at, WPARAM buttons) {
        const LPARAM where = MAKELPARAM(at.x, at.y);
        // The list view follows a button press until the release, which must already be queued.
        PostMessageW(hwnd_, up, 0, where);
        SendMessageW(hwnd_, down, buttons, where);
        PumpPending();
    }

    void Key(WPARAM key) {
        SendMessageW(hwnd_, WM_KEYDOWN, key, 1);
        SendMessageW(hwnd_, WM_KEYUP, key, 0xC0000001);
        PumpPending();
    }

    std::vector<ListNotification> Take() { return std::exchange(view_handler_.notes, {}); }

    std::unique_ptr<ListControl> list_;
    HWND hwnd_ = nullptr;
};

TEST_F(ListViewTest, IsAReportWithGridLinesFullRowSelectionAndTheColumnsAsked) {
    EXPECT_TRUE(GetWindowLongPtrW(hwnd_, GWL_STYLE) & LVS_REPORT);
    const auto extended = static_cast<DWORD>(SendMessageW(hwnd_, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
    EXPECT_TRUE(extended & LVS_EX_GRIDLINES);
    EXPECT_EQ(GetDlgCtrlID(hwnd_), 1);
    ASSERT_EQ(SendMessageW(Header(), HDM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(hwnd_, LVM_GETCOLUMNWIDTH, 1, 0), 140);
    RECT rect{};
    GetWindowRect(hwnd_, &rect);
    EXPECT_EQ(rect.right - rect.left, 600);
    EXPECT_EQ(rect.bottom - rect.top, 340);
    list_->DeleteColumn(1);
    EXPECT_EQ(SendMessageW(Header(), HDM_GETITEMCOUNT, 0, 0), 2);
}

TEST_F(ListViewTest, RowsShowWhatTheModelHoldsAfterInsertsChangesAndDeletes) {
    AddRows(4);
    list_->SetItemText(1, 1, L"AA:BB");
    list_->DeleteItem(0);
    list_->InsertItem(0, L"First");
    ASSERT_EQ(Count(), 4);
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 3; ++column) {
            SCOPED_TRACE(testing::Message() << "row " << row << " column " << column);
            EXPECT_EQ(Shown(row, column), list_->GetItemText(row, column));
        }
    }
    EXPECT_EQ(Shown(0, 0), L"First");
    EXPECT_EQ(Shown(1, 1), L"AA:BB");
    list_->DeleteAllItems();
    EXPECT_EQ(Count(), 0);
    EXPECT_EQ(list_->InsertItem(-1, L"x"), -1);
}

TEST_F(ListViewTest, TheProgramsSelectionAndSortArrowShowWithoutNotifications) {
    AddRows(3);
    Take();
    list_->SetSelectedItem(1);
    EXPECT_EQ(SendMessageW(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1);
    list_->SetSelectedItem(-1);
    EXPECT_EQ(SendMessageW(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), -1);
    list_->SetSortIndicator(2, true);
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    SendMessageW(Header(), HDM_GETITEMW, 2, reinterpret_cast<LPARAM>(&item));
    EXPECT_TRUE(item.fmt & HDF_SORTUP);
    list_->SetSortIndicator(0, false);
    SendMessageW(Header(), HDM_GETITEMW, 2, reinterpret_cast<LPARAM>(&item));
    EXPECT_FALSE(item.fmt & (HDF_SORTUP | HDF_SORTDOWN));
    SendMessageW(Header(), HDM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_TRUE(item.fmt & HDF_SORTDOWN);
    PumpPending();
    EXPECT_TRUE(Take().empty());
}

TEST_F(ListViewTest, ClicksReportTheirRowOrMinusOneBelowTheLastRow) {
    AddRows(3);
    Take();
    Click(WM_LBUTTONDOWN, WM_LBUTTONUP, InRow(1), MK_LBUTTON);
    Click(WM_LBUTTONDOWN, WM_LBUTTONUP, POINT{30, 300}, MK_LBUTTON);
    Click(WM_RBUTTONDOWN, WM_RBUTTONUP, InRow(2), MK_RBUTTON);
    const std::vector<ListNotification> notes = Take();
    std::vector<std::pair<int32_t, int32_t>> seen;
    for (const ListNotification& note : notes) {
        EXPECT_EQ(note.controlId, 1);
        seen.emplace_back(note.code, note.item);
        if (note.code == NM_RCLICK) {
            // Where, in the view's coordinates: the list's client area starts inside its border
            // at (20, 60).
            EXPECT_EQ(note.point.x, InRow(2).x + 20 + GetSystemMetrics(SM_CXBORDER));
            EXPECT_EQ(note.point.y, InRow(2).y + 60 + GetSystemMetrics(SM_CYBORDER));
        }
    }
    const std::vector<std::pair<int32_t, int32_t>> expected{{NM_CLICK, 1}, {NM_CLICK, -1}, {NM_RCLICK, 2}};
    EXPECT_EQ(seen, expected);
}

TEST_F(ListViewTest, KeysReportMovesEnterAndTheCopyShortcut) {
    AddRows(3);
    list_->SetSelectedItem(0);
    Take();
    Key(VK_DOWN);
    Key(VK_RETURN);
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    Key('C');
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    Key('C');  // without Control: nothing for the program
    const std::vector<ListNotification> notes = Take();
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes[0].code, LVN_ITEMCHANGED);
    EXPECT_EQ(notes[0].item, 1);
    EXPECT_EQ(notes[1].code, NM_RETURN);
    EXPECT_EQ(notes[1].item, 1);
    EXPECT_EQ(notes[2].code, LVN_KEYDOWN);
    EXPECT_EQ(notes[2].key, VK_C);
    EXPECT_EQ(notes[2].flags, MK_CONTROL);
    EXPECT_EQ(notes[2].item, 1);
}

// The list view moves the current row to the next one that starts with a typed letter; the screen
// must learn of that move as of an arrow key's, or Web GUI would open another row than the one shown.
TEST_F(ListViewTest, ALetterThatMovesTheCurrentRowReportsTheMove) {
    list_->InsertItem(0, L"Alpha");
    list_->InsertItem(1, L"Bravo");
    list_->InsertItem(2, L"Charlie");
    list_->SetSelectedItem(0);
    Take();
    SendMessageW(hwnd_, WM_CHAR, L'c', 1);
    PumpPending();
    const std::vector<ListNotification> notes = Take();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].code, LVN_ITEMCHANGED);
    EXPECT_EQ(notes[0].item, 2);
}

TEST_F(ListViewTest, AHeadingClickReportsItsColumn) {
    RECT heading{};
    SendMessageW(Header(), HDM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&heading));
    const LPARAM where = MAKELPARAM(heading.left + 10, (heading.top + heading.bottom) / 2);
    PostMessageW(Header(), WM_LBUTTONUP, 0, where);
    SendMessageW(Header(), WM_LBUTTONDOWN, MK_LBUTTON, where);
    PumpPending();
    const std::vector<ListNotification> notes = Take();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].code, LVN_COLUMNCLICK);
    EXPECT_EQ(notes[0].subItem, 2);
}

TEST_F(ListViewTest, DestroyingFromAnotherThreadTakesTheWindowAwayOnTheUiThread) {
    std::thread destroyer([this] { EXPECT_TRUE(list_->DestroyWindow()); });
    destroyer.join();
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(hwnd_); }));
    EXPECT_FALSE(list_->DestroyWindow());
    list_->InsertItem(0, L"after");  // only the model is left, and that is fine
    EXPECT_EQ(list_->GetItemCount(), 1);
}

}  // namespace
}  // namespace win32_test
