// The device list beyond Scan and Web GUI: opening a page by double click or Enter, the row menu,
// copying, sorting by a column heading, and the scan status with the empty list's explanation.
#include <string>
#include <vector>

#include "DeviceDrmListActivity/device_list_order.h"
#include "device_list_fixture.h"
#include "device_rows/row_text.h"

namespace form_test {
namespace {

using ORVAN_UXClass::kScanTimerId;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class DeviceListActionsTest : public DeviceListTest {
  protected:
    // Three devices that arrive out of address order; "Cam" models differ only in letter case.
    void ShowThree() {
        Show("10.0.0.10", "cam-b");
        Show("10.0.0.9", "SLV-IPC4210");  // a secure model: its page is https
        Show("10.0.0.100", "Cam-a");
    }
    int32_t RowOf(const std::string& ip) {
        const auto rows = Rows();
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].size() > 2 && rows[i][2] == std::wstring(ip.begin(), ip.end()))
                return static_cast<int32_t>(i);
        }
        return -1;
    }
    std::vector<std::wstring> IpColumn() {
        std::vector<std::wstring> ips;
        for (const auto& row : Rows()) ips.push_back(row.size() > 2 ? row[2] : L"");
        return ips;
    }
    int32_t Highlighted() const { return window_.ListControl(1)->selected; }
    std::wstring Status() { return Screen().scanStatusLabel ? Screen().scanStatusLabel->text : L"(none)"; }
    std::wstring EmptyText() const { return window_.ListControl(1)->emptyText; }
    void Tick(int times) {
        for (int i = 0; i < times; ++i) Screen().OnTimer(kScanTimerId);
    }
};

TEST_F(DeviceListActionsTest, DoubleClickAndEnterOpenTheRowsPageAsWebGuiDoes) {
    Open();
    ShowThree();
    Screen().OnListItemActivate(1);  // double click on 10.0.0.9
    EXPECT_EQ(Selected(), 1);
    EXPECT_TRUE(WebGuiEnabled());
    Screen().OnListItemActivate(0);   // Enter on 10.0.0.10
    Screen().OnListItemActivate(-1);  // below the rows
    Screen().OnListItemActivate(3);   // no such row
    EXPECT_THAT(window_.OpenedUrls(), ElementsAre("https://10.0.0.9", "http://10.0.0.10"));
    EXPECT_EQ(Selected(), 0) << "activations without a row change nothing";
}

TEST_F(DeviceListActionsTest, TheRowMenuOpensOrCopiesWhatTheRowSays) {
    Open();
    ShowThree();
    const std::wstring macs = L"0A:1B:2C:3D:4E:5F";
    const struct {
        uint32_t choice;
        std::wstring clipboard;
        std::vector<std::string> opened;
    } cases[] = {
        {ORVAN_UXClass::kMenuCopyIp, L"10.0.0.9", {}},
        {ORVAN_UXClass::kMenuCopyMac, macs, {}},
        {ORVAN_UXClass::kMenuCopyRow, L"SLV-IPC4210\t" + macs + L"\t10.0.0.9\tcam\tlab", {}},
        {ORVAN_UXClass::kMenuOpenWebGui, L"", {"https://10.0.0.9"}},
        {0, L"", {}},  // closed without a choice
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.choice);
        const size_t openedBefore = window_.OpenedUrls().size();
        window_.SetPopupMenuChoice(c.choice);
        window_.SetClipboardText(L"");
        Screen().OnListRightClick(1, {300, 120});
        EXPECT_EQ(window_.ClipboardText(), c.clipboard);
        const std::vector<std::string> opened = window_.OpenedUrls();
        EXPECT_EQ(std::vector<std::string>(opened.begin() + static_cast<std::ptrdiff_t>(openedBefore), opened.end()),
                  c.opened);
        EXPECT_EQ(Selected(), 1) << "the right click chooses the row";
    }
    const auto menus = window_.PopupMenus();
    ASSERT_FALSE(menus.empty());
    std::vector<std::wstring> items;
    for (const auto& item : menus.back()) items.push_back(item.text);
    EXPECT_THAT(items, ElementsAre(L"Open Web GUI", L"Copy IP address", L"Copy MAC address", L"Copy row"));

    const size_t shown = menus.size();
    Screen().OnListRightClick(-1, {300, 500});
    EXPECT_EQ(window_.PopupMenus().size(), shown) << "no menu below the rows";
}

TEST_F(DeviceListActionsTest, TheMenuActsOnTheRowItWasOpenedForEvenWhenRowsMoveMeanwhile) {
    Open();
    ShowThree();
    Screen().OnListColumnClick(ORVAN_UXClass::kIpColumn);  // 10.0.0.9 first
    window_.SetPopupMenuChooser([this](const std::vector<orvan::wnd::MenuItem>&) {
        Show("10.0.0.1", "early");  // arrives while the menu is open and goes above every row
        return ORVAN_UXClass::kMenuOpenWebGui;
    });
    Screen().OnListRightClick(0, {300, 100});
    EXPECT_THAT(window_.OpenedUrls(), ElementsAre("https://10.0.0.9"));
    EXPECT_EQ(Selected(), 1) << "the chosen device moved down with its row";
}

TEST_F(DeviceListActionsTest, CopyTakesTheChosenRowAsTabSeparatedText) {
    Open();
    ShowThree();
    Screen().OnListCopy(-1);
    EXPECT_EQ(window_.ClipboardText(), L"") << "nothing chosen, nothing copied";
    ClickRow(2);
    Screen().OnListCopy(-1);
    EXPECT_EQ(window_.ClipboardText(), L"Cam-a\t0A:1B:2C:3D:4E:5F\t10.0.0.100\tcam\tlab");
    Screen().OnListCopy(0);
    EXPECT_EQ(window_.ClipboardText(), L"cam-b\t0A:1B:2C:3D:4E:5F\t10.0.0.10\tcam\tlab");
}

TEST_F(DeviceListActionsTest, HeadingClicksSortRowsAndEntriesTogetherAndKeepTheChosenDevice) {
    Open();
    ShowThree();
    ClickRow(RowOf("10.0.0.9"));
    const struct {
        int32_t column;
        std::vector<std::wstring> ips;
        bool ascending;
    } steps[] = {
        {2, {L"10.0.0.9", L"10.0.0.10", L"10.0.0.100"}, true},  // by value, not as text
        {2, {L"10.0.0.100", L"10.0.0.10", L"10.0.0.9"}, false},
        {0, {L"10.0.0.100", L"10.0.0.10", L"10.0.0.9"}, true},  // Cam-a, cam-b, SLV-IPC4210
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.column);
        Screen().OnListColumnClick(step.column);
        EXPECT_EQ(IpColumn(), step.ips);
        std::vector<std::string> entries;
        for (const auto& ip : step.ips) entries.emplace_back(ip.begin(), ip.end());
        EXPECT_EQ(EntryAddresses(), entries) << "entry i stays with row i";
        EXPECT_EQ(Selected(), RowOf("10.0.0.9"));
        EXPECT_EQ(Highlighted(), Selected()) << "the highlight moved with the device";
        EXPECT_EQ(window_.ListControl(1)->sortColumn, step.column);
        EXPECT_EQ(window_.ListControl(1)->sortAscending, step.ascending);
    }
    const size_t openedBefore = window_.OpenedUrls().size();
    ClickWebGui();
    ASSERT_EQ(window_.OpenedUrls().size(), openedBefore + 1);
    EXPECT_EQ(window_.OpenedUrls().back(), "https://10.0.0.9");
}

TEST_F(DeviceListActionsTest, RowsArrivingAfterASortGoToTheirPlace) {
    Open();
    ShowThree();
    Screen().OnListColumnClick(ORVAN_UXClass::kIpColumn);
    ClickRow(RowOf("10.0.0.10"));
    Show("10.0.0.50", "x");
    Show("10.0.0.2", "y");
    Show("10.0.0.200", "z");
    EXPECT_THAT(IpColumn(), ElementsAre(L"10.0.0.2", L"10.0.0.9", L"10.0.0.10", L"10.0.0.50", L"10.0.0.100",
                                        L"10.0.0.200"));
    EXPECT_THAT(EntryAddresses(),
                ElementsAre("10.0.0.2", "10.0.0.9", "10.0.0.10", "10.0.0.50", "10.0.0.100", "10.0.0.200"));
    EXPECT_EQ(Selected(), 2);
    EXPECT_EQ(Highlighted(), 2);
    ClickWebGui();
    EXPECT_THAT(window_.OpenedUrls(), ElementsAre("http://10.0.0.10"));
}

TEST_F(DeviceListActionsTest, WithoutASortRowsKeepArrivingAtTheEnd) {
    Open();
    ShowThree();
    EXPECT_THAT(IpColumn(), ElementsAre(L"10.0.0.10", L"10.0.0.9", L"10.0.0.100"));
    EXPECT_EQ(window_.ListControl(1)->sortColumn, -1);
}

TEST_F(DeviceListActionsTest, TheStatusSaysScanningThenCountsAndTheEmptyListExplains) {
    Open();
    EXPECT_EQ(Status(), L"(none)") << "nothing to say before the first Scan";
    ClickScan();
    EXPECT_EQ(Status(), L"Scanning...");
    EXPECT_EQ(window_.ActiveTimers().count(kScanTimerId), 1u);
    Tick(3);
    Show("10.0.0.7", "m");  // a new device: one more quiet second
    Tick(3);
    EXPECT_EQ(Status(), L"Scanning...");
    Tick(1);
    EXPECT_EQ(Status(), L"1 device");
    EXPECT_EQ(window_.ActiveTimers().count(kScanTimerId), 0u);
    EXPECT_THAT(EmptyText(), IsEmpty());
    Show("10.0.0.8", "m");  // a Hello after the scan
    EXPECT_EQ(Status(), L"2 devices");

    ClickScan();
    EXPECT_EQ(Status(), L"Scanning...");
    Tick(4);
    EXPECT_EQ(Status(), L"0 devices");
    EXPECT_EQ(EmptyText(), ORVAN_UXClass::NothingFoundText());
    for (const wchar_t* reason : {L"13702", L"multicast", L"router", L"starting"}) {
        EXPECT_NE(EmptyText().find(reason), std::wstring::npos) << "the explanation names " << reason;
    }
    ClickScan();
    EXPECT_THAT(EmptyText(), IsEmpty()) << "a new Scan takes the explanation away";
}

TEST_F(DeviceListActionsTest, AFinderWithoutTheRightsItCouldUseSaysHowToGetThemWhenNothingAnswered) {
    probe_.rightsHint = L"start it as administrator";
    Open();
    ClickScan();
    Tick(4);
    EXPECT_EQ(EmptyText(), ORVAN_UXClass::NothingFoundText() + L"\nstart it as administrator");
    ClickScan();
    Show("10.0.0.7", "m");
    Tick(4);
    EXPECT_THAT(EmptyText(), IsEmpty()) << "a device answered: nothing to explain";
}

TEST_F(DeviceListActionsTest, AScanEndsAfterThreeSecondsEvenWhileDevicesKeepComing) {
    Open();
    ClickScan();
    for (int i = 0; i < 11; ++i) {
        Show("10.0.1." + std::to_string(i + 1), "m");
        Tick(1);
    }
    EXPECT_EQ(Status(), L"Scanning...");
    Tick(1);
    EXPECT_EQ(Status(), L"11 devices");
}

// Beside the link-local line the count once ran into a long address ("169.254.1615 devices"): the
// status has the line under the list to itself, as wide as the list, and follows its size.
TEST_F(DeviceListActionsTest, TheStatusRunsUnderTheListAsWideAsItAndTheTimerEndsWithTheScreen) {
    probe_.linkLocalPresent = 1;
    probe_.linkLocalText = "169.254.161.123";
    Open();
    ClickScan();
    ASSERT_TRUE(Screen().scanStatusLabel);
    EXPECT_EQ(Screen().scanStatusLabel->rect.x, 171);
    EXPECT_EQ(Screen().scanStatusLabel->rect.y, 540 - 20 + 2);
    EXPECT_EQ(Screen().scanStatusLabel->rect.width, 960 - 20 - 171);
    EXPECT_EQ(Screen().linkLocalLabel->rect.y, 21) << "the link-local line stays where it was";
    delegate_.client_width = 800;
    delegate_.client_height = 600;
    Screen().OnSize(800, 600);
    EXPECT_EQ(Screen().scanStatusLabel->rect.y, 600 - 20 + 2);
    EXPECT_EQ(Screen().scanStatusLabel->rect.width, 800 - 20 - 171);
    Close();
    EXPECT_EQ(window_.ActiveTimers().count(kScanTimerId), 0u) << "no tick may reach the next screen";
}

TEST(DeviceRowText, AddressesOrderByValue) {
    const struct {
        const wchar_t* text;
        std::optional<uint32_t> value;
    } cases[] = {
        {L"10.0.0.9", 0x0A000009},
        {L"255.255.255.255", 0xFFFFFFFF},
        {L"0.0.0.0", 0},
        {L"10.0.0.256", std::nullopt},
        {L"10.0.0", std::nullopt},
        {L"10.0.0.9.1", std::nullopt},
        {L"10.0.0.x", std::nullopt},
        {L"", std::nullopt},
        {L"1.2.3.0009", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.text)));
        EXPECT_EQ(ORVAN_UXClass::AddressOrder(c.text), c.value);
    }
    const std::vector<std::wstring> cells{L"a", L"", L"c"};
    EXPECT_EQ(ORVAN_UXClass::TabSeparatedRow(cells), L"a\t\tc");
}

TEST(DeviceRowText, CellsASpreadsheetWouldRunAsFormulasAreQuotedInCopiedRows) {
    struct Case {
        const wchar_t* cell;
        const wchar_t* safe;
    } const cases[] = {
        {L"=cmd|' /C calc'!A0", L"'=cmd|' /C calc'!A0"},
        {L"+1", L"'+1"},
        {L"-2+3", L"'-2+3"},
        {L"@SUM(A1)", L"'@SUM(A1)"},
        {L"\tx", L"'\tx"},
        {L"\rx", L"'\rx"},
        {L"Lobby = cam 2", L"Lobby = cam 2"},
        {L"02:07:00:00:00:05", L"02:07:00:00:00:05"},
        {L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.cell)));
        EXPECT_EQ(ORVAN_UXClass::SpreadsheetSafe(std::wstring_view(c.cell)), c.safe);
    }
    const std::vector<std::wstring> row{L"NVR-1", L"=HYPERLINK(\"x\")", L"10.0.0.9"};
    EXPECT_EQ(ORVAN_UXClass::TabSeparatedRow(row), L"NVR-1\t'=HYPERLINK(\"x\")\t10.0.0.9");
    EXPECT_EQ(ORVAN_UXClass::SpreadsheetSafe(std::string_view("=1+1")), "'=1+1");
}

}  // namespace
}  // namespace form_test
