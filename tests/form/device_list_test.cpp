// The device list on the user-interface thread: what it builds, how reports become rows, the
// row click, Scan, Web GUI and the screen's life as the navigator drives it.
#include <string>
#include <vector>

#include "device_list_fixture.h"
#include "device_rows/device_bound.h"
#include "liborvaniot_os/liborvaniot_os_net_sockaddr.h"
#include "liborvaniot_drm_client/libdrm_client_probe.h"
#include "liborvaniot_os/liborvaniot_os_mutex.h"
#include "orvan_ux/ux_messages.h"

namespace form_test {
namespace {

using ORVAN_UXClass::MSG_ACTIVITY_NAVIGATE;
using ORVAN_UXClass::MSG_ACTIVITY_REPAINT;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Row = std::vector<std::wstring>;

TEST_F(DeviceListTest, BuildsTheHeaderTheListAndTheProbeRegistration) {
    probe_.linkLocalAdded = 0x0907FEA9;  // 169.254.7.9
    auto& screen = Open();

    const auto list = window_.ListControl(1);
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(list->left, 171);
    EXPECT_EQ(list->top, 71);
    EXPECT_EQ(list->right, 940);
    EXPECT_EQ(list->bottom, 520);
    EXPECT_THAT(
        list->columns,
        ElementsAre(orvan::fake::FakeListColumn{L"Model", 120}, orvan::fake::FakeListColumn{L"MAC", 130},
                    orvan::fake::FakeListColumn{L"IP", 120}, orvan::fake::FakeListColumn{L"System Name", 120},
                    orvan::fake::FakeListColumn{L"Location", 110}));

    EXPECT_EQ(probe_.port, LIBDRM_CLIENT_PROBE_PORT);
    EXPECT_EQ(probe_.callback.load(), &ORVAN_UXClass::device_drm_list_activity_probe_callback);
    EXPECT_NE(probe_.addEntry.load(), nullptr);
    EXPECT_EQ(probe_.userData.load(), &screen);
    EXPECT_EQ(probe_.extraInterface, 0x0907FEA9u);
    EXPECT_NE(screen.addRowHook, nullptr);
    EXPECT_EQ(probe_.starts, 1);
    EXPECT_EQ(Selected(), -1);
    EXPECT_FALSE(WebGuiEnabled());
    EXPECT_FALSE(screen.linkLocalLabel) << "no link-local address, no label";

    window_.ClearLog();
    orvan::fake::FakeDeviceContext dc(window_);
    screen.OnPaint(&dc, true, false);
    EXPECT_THAT(
        window_.Drawing(),
        ElementsAre("FillSolidRect (0,0) 960x540 color 0xffffff", "StretchBlt bitmap 400 at (0,0) 1x54",
                    "StretchBlt bitmap 4621 at (479,21) 54x17", "StretchBlt bitmap 4634 at (549,21) 84x17",
                    "StretchBlt bitmap 4721 at (0,54) 151x48"));
}

TEST_F(DeviceListTest, ShowsTheLinkLocalAddressRightOfTheHeaderStrip) {
    probe_.linkLocalPresent = 1;
    probe_.linkLocalText = "169.254.7.9";
    auto& screen = Open();

    ASSERT_TRUE(screen.linkLocalLabel);
    EXPECT_EQ(screen.linkLocalLabel->text, L"Link-local address: 169.254.7.9");
    EXPECT_EQ(screen.linkLocalLabel->alignment, 0);
    EXPECT_EQ(screen.linkLocalLabel->rect, (ORVAN_UXClass::ORVAN_UXRect{21, 21, 180, 16}));
    EXPECT_EQ(probe_.extraInterface, 0u) << "an address found on an adapter was not added by us";
}

TEST_F(DeviceListTest, TheLinkLocalLineAndChannelFollowTheAddressWhileTheScreenIsUp) {
    auto& screen = Open();
    ASSERT_NE(probe_.linkLocalListener, nullptr);
    EXPECT_FALSE(screen.linkLocalLabel);
    const struct {
        const char* what;
        int32_t present;
        const char* text;
        uint32_t added;
        const wchar_t* shown;
    } steps[] = {
        {"added after start", 1, "169.254.3.4", 0x0403FEA9, L"Link-local address: 169.254.3.4"},
        {"removed under us", 0, "169.254.3.4", 0, L""},
        {"another one found", 1, "169.254.8.8", 0, L"Link-local address: 169.254.8.8"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        probe_.linkLocalPresent = step.present;
        probe_.linkLocalText = step.text;
        probe_.linkLocalAdded = step.added;
        ++probe_.linkLocalGeneration;
        probe_.linkLocalListener(probe_.linkLocalListenerData);
        EXPECT_EQ(PaintOnRequest(), 1) << "the change asks for a paint";
        ASSERT_TRUE(screen.linkLocalLabel);
        EXPECT_EQ(screen.linkLocalLabel->text, step.shown);
        EXPECT_EQ(probe_.extraInterface, step.added);
    }
    Close();
    EXPECT_EQ(probe_.linkLocalListener, nullptr) << "withdrawn before the screen goes";
}

TEST_F(DeviceListTest, ReportsBecomeRowsWithTheirScopeValues) {
    struct Case {
        const char* what;
        std::vector<std::string> scopes;
        std::string endpoint;
        Row row;  // Model, MAC, System Name, Location (the IP column is checked apart)
        std::wstring entryModel = {};  // the model as the entry keeps it, when not as shown
    };
    const std::string uuid = "urn:uuid:5d1b9c36-0f5e-4c1e-9a7b-0a1b2c3d4e5f";
    const std::string longName(80, 'n');
    const std::vector<Case> cases = {
        {"every column",
         {Scope("hardware", "SLV-IPC4210"), Scope("manufacturer", "Orvan"), Scope("name", "Lobby"),
          Scope("location", "Floor%201")},
         uuid,
         {L"SLV-IPC4210", L"0A:1B:2C:3D:4E:5F", L"Lobby", L"Floor 1"}},
        {"no hardware scope",
         {Scope("name", "Gate")},
         uuid,
         {L"Unknown", L"0A:1B:2C:3D:4E:5F", L"Gate", L""}},
        {"percent-encoded, UTF-8 and a broken byte",
         {Scope("hardware", "Selvani%20Indoor%20Cube"), Scope("name", "Caf%C3%A9"),
          Scope("location", "x%FFy")},
         uuid,
         {L"Selvani Indoor Cube", L"0A:1B:2C:3D:4E:5F", L"Caf\u00e9", L"x\uFFFDy"}},
        {"values cut at 63 characters",
         {Scope("hardware", "m"), Scope("name", longName)},
         uuid,
         {L"m", L"0A:1B:2C:3D:4E:5F", std::wstring(63, L'n'), L""}},
        {"a later scope of a kind replaces an earlier one; other authorities are ignored",
         {Scope("name", "first"), Scope("name", "second"), "drm://elsewhere.example/hardware/X"},
         uuid,
         {L"Unknown", L"0A:1B:2C:3D:4E:5F", L"second", L""}},
        {"control characters and a direction override from the network are shown as U+FFFD",
         {Scope("hardware", "A%0AB"), Scope("name", "x%0D%1B%5B2Jy"), Scope("location", "%7F%C2%85%E2%80%AEz")},
         uuid,
         {L"A\uFFFDB", L"0A:1B:2C:3D:4E:5F", L"x\uFFFD\uFFFD[2Jy", L"\uFFFD\uFFFD\uFFFDz"},
         L"A\nB"},
        {"a short endpoint address gives what it has",
         {Scope("hardware", "m")},
         "urn:uuid:1234",
         {L"m", L"", L"", L""}},
    };

    Open();
    for (size_t i = 0; i < cases.size(); ++i) {
        probe_.Deliver(*Record("198.18.1." + std::to_string(10 + i), cases[i].scopes, cases[i].endpoint),
                       i % 2 == 0 ? DRM_PROBE_REPORT_MATCH : DRM_PROBE_REPORT_HELLO);
    }
    PaintOnRequest();

    const auto rows = Rows();
    ASSERT_EQ(rows.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].what);
        const Case& c = cases[i];
        const std::wstring ip = L"198.18.1." + std::to_wstring(10 + i);
        EXPECT_EQ(rows[i], (Row{c.row[0], c.row[1], ip, c.row[2], c.row[3]}));
        EXPECT_EQ(Screen().deviceEntries[i].model, c.entryModel.empty() ? c.row[0] : c.entryModel);
    }
}

TEST_F(DeviceListTest, AFloodOfNewSenderAddressesStopsAtTheDeviceBound) {
    Open();
    const auto record = Record("10.0.0.0", {Scope("hardware", "FORGED")});
    const size_t offered = ORVAN_UXClass::kMaxDevicesHeld + 500;
    for (size_t i = 0; i < offered; ++i) {
        record->sender.sin_addr.s_addr = htonl(0x0A000000u + static_cast<uint32_t>(i));
        probe_.Deliver(*record);
    }
    PaintOnRequest();
    EXPECT_EQ(Rows().size(), ORVAN_UXClass::kMaxDevicesHeld);
    EXPECT_EQ(Rows().back().at(ORVAN_UXClass::kIpColumn), L"10.0.63.255");
}

TEST_F(DeviceListTest, ReportsThatAddNoRow) {
    Open();
    Show("198.18.1.10", "FIRST");
    const Row first = Rows().at(0);

    struct Case {
        const char* what;
        std::unique_ptr<drm_probe_device> record;
        int32_t kind;
    };
    std::vector<Case> cases;
    cases.push_back({"a bye", Record("198.18.1.11", {Scope("hardware", "B")}), DRM_PROBE_REPORT_BYE});
    cases.push_back({"no scopes", Record("198.18.1.12", {}), DRM_PROBE_REPORT_MATCH});
    cases.push_back({"an unknown kind", Record("198.18.1.13", {Scope("hardware", "B")}), 7});
    cases.push_back({"the same address with other values",
                     Record("198.18.1.10", {Scope("hardware", "SECOND"), Scope("name", "other")},
                            "urn:uuid:00000000-0000-0000-0000-ffffffffffff"),
                     DRM_PROBE_REPORT_HELLO});
    cases.push_back(
        {"a negative scope count", Record("198.18.1.14", {Scope("hardware", "B")}), DRM_PROBE_REPORT_MATCH});
    cases.back().record->scope_count = -3;

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        probe_.Deliver(*c.record, c.kind);
        PaintOnRequest();
        EXPECT_THAT(Rows(), ElementsAre(first));
        EXPECT_THAT(EntryAddresses(), ElementsAre("198.18.1.10"));
    }
}

TEST_F(DeviceListTest, RowsWaitForThePaintThatOneRepaintRequestAsksFor) {
    Open();
    window_.ClearLog();
    // Delivered on a thread of their own, as the listener does: the list is not touched there.
    std::thread listener([&] {
        for (int i = 0; i < 3; ++i) {
            probe_.Deliver(*Record("198.18.1." + std::to_string(20 + i), {Scope("hardware", "m")}));
        }
    });
    listener.join();
    EXPECT_THAT(Rows(), IsEmpty());
    EXPECT_THAT(Screen().deviceEntries, IsEmpty()) << "entries wait with their rows";
    for (const std::string& line : window_.Log()) EXPECT_EQ(line.rfind("List", 0), std::string::npos) << line;

    EXPECT_EQ(PaintOnRequest(), 1) << "one repaint request for the whole batch";
    EXPECT_EQ(Rows().size(), 3u);
    EXPECT_THAT(EntryAddresses(), ElementsAre("198.18.1.20", "198.18.1.21", "198.18.1.22"));

    probe_.Deliver(*Record("198.18.1.23", {Scope("hardware", "m")}));
    EXPECT_EQ(PaintOnRequest(), 1) << "the next report asks again";
    EXPECT_EQ(Rows().size(), 4u);
}

TEST_F(DeviceListTest, ClickingARowWithAnEntryChoosesItAndEnablesWebGui) {
    Open();
    Show("198.18.1.10", "A");
    Show("198.18.1.11", "B");

    for (int32_t row : {-1, -2, 2, 9}) {
        SCOPED_TRACE(row);
        ClickRow(row);
        EXPECT_EQ(Selected(), -1);
        EXPECT_FALSE(WebGuiEnabled());
    }
    ClickRow(1);
    EXPECT_EQ(Selected(), 1);
    EXPECT_TRUE(WebGuiEnabled());
    ClickRow(-1);
    EXPECT_EQ(Selected(), 1) << "a click below the rows keeps the choice";
}

TEST_F(DeviceListTest, WebGuiChoosesTheSchemeByAnExactModelMatch) {
    struct Case {
        std::string model;  // as sent, percent-encoded
        std::string scheme;
    };
    const std::vector<Case> cases = {
        {"SLV-IPC4210", "https://"}, {"Selvani%20Dome%20Camera%204K", "https://"},
        {"slv-ipc4210", "http://"},  {"SLV-IPC4210%20", "http://"},
        {"SLV-IPC421", "http://"},   {"SIM-CAM100", "http://"},
    };
    Open();
    ClickWebGui();
    EXPECT_THAT(window_.OpenedUrls(), IsEmpty()) << "nothing chosen, nothing opened";

    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].model);
        const std::string ip = "198.18.3." + std::to_string(i + 1);
        Show(ip, cases[i].model);
        ClickRow(static_cast<int32_t>(i));
        ClickWebGui();
        ASSERT_FALSE(window_.OpenedUrls().empty());
        EXPECT_EQ(window_.OpenedUrls().back(), cases[i].scheme + ip);
    }

    probe_.Deliver(*Record("198.18.3.99", {Scope("name", "no model")}));
    PaintOnRequest();
    ClickRow(static_cast<int32_t>(cases.size()));
    ClickWebGui();
    EXPECT_EQ(window_.OpenedUrls().back(), "http://198.18.3.99") << "Unknown";
}

TEST_F(DeviceListTest, ScanAfterASelectionEmptiesTheListAndDisablesWebGui) {
    Open();
    Show("198.18.1.10", "SLV-IPC4210");
    Show("198.18.1.11", "B");
    ClickRow(0);
    ASSERT_TRUE(WebGuiEnabled());

    ClickScan();
    EXPECT_EQ(probe_.scans, 1);
    EXPECT_THAT(Rows(), IsEmpty());
    EXPECT_THAT(Screen().deviceEntries, IsEmpty());
    EXPECT_EQ(Selected(), -1);
    EXPECT_FALSE(WebGuiEnabled());
    ClickWebGui();
    EXPECT_THAT(window_.OpenedUrls(), IsEmpty());

    Show("198.18.1.11", "B");
    EXPECT_EQ(Rows().size(), 1u) << "a device listed before the Scan is new again";
}

TEST_F(DeviceListTest, ScanWithoutARunningListenerKeepsTheRows) {
    probe_.startSucceeds = false;
    Open();
    Show("198.18.1.10", "A");
    ClickRow(0);

    ClickScan();
    EXPECT_EQ(probe_.scans, 0);
    EXPECT_EQ(Rows().size(), 1u);
    EXPECT_FALSE(WebGuiEnabled());
    EXPECT_EQ(Selected(), -1);
}

TEST_F(DeviceListTest, ARowQueuedBeforeAScanNeverShowsAfterIt) {
    Open();
    probe_.Deliver(*Record("198.18.1.10", {Scope("hardware", "SLV-IPC4210")}));
    ClickScan();  // before the paint that would have shown it
    PaintOnRequest();
    EXPECT_THAT(Rows(), IsEmpty());
    EXPECT_THAT(Screen().deviceEntries, IsEmpty());

    Show("198.18.1.11", "PLAIN");
    ASSERT_EQ(Rows().size(), 1u);
    EXPECT_EQ(Rows()[0][2], L"198.18.1.11");
    ClickRow(0);
    ClickWebGui();
    EXPECT_THAT(window_.OpenedUrls(), ElementsAre("http://198.18.1.11")) << "row 0 is entry 0";
}

TEST_F(DeviceListTest, ALaterVisitStartsAFreshListenerAndAStaleRepaintShowsNothing) {
    auto* first = &Open();
    probe_.Deliver(*Record("198.18.1.10", {Scope("hardware", "A")}));  // queued, never painted
    bool lockPresentWhileStopping = false;
    probe_.onStop = [&] { lockPresentWhileStopping = first->listLock.exists(); };

    Close();
    probe_.onStop = nullptr;
    EXPECT_EQ(probe_.stops, 1);
    EXPECT_TRUE(lockPresentWhileStopping) << "the listener stops before the lock it may hold goes";
    EXPECT_EQ(probe_.callback.load(), nullptr) << "nothing left that could reach the old screen";
    const auto closed = window_.ListControl(1);
    EXPECT_TRUE(closed->windowDestroyed);
    EXPECT_TRUE(closed->deleted);
    EXPECT_EQ(delegate_.objectList->Count(), 0u);

    Open();
    EXPECT_EQ(probe_.starts, 2);
    PaintOnRequest();  // the request the first visit's report posted
    EXPECT_THAT(Rows(), IsEmpty());
    EXPECT_THAT(Screen().deviceEntries, IsEmpty());
}

TEST_F(DeviceListTest, SizeChangesMoveTheHeaderAndAskForARepaintButNotTheList) {
    probe_.linkLocalPresent = 1;
    probe_.linkLocalText = "169.254.1.2";
    auto& screen = Open();
    EXPECT_EQ(screen.dockBlockRight->width, 880);
    screen.scanButton->rect.x = 0;
    screen.linkLocalLabel->rect.x = 0;
    window_.ClearLog();

    screen.OnSize(1200, 700);
    EXPECT_EQ(screen.dockBlockRight->width, 1120);
    EXPECT_EQ(screen.dockBlockRight->height, 640);
    EXPECT_EQ(screen.scanButton->rect.x, 479);
    EXPECT_EQ(screen.linkLocalLabel->rect.x, 21);
    EXPECT_EQ(window_.PostedMessages().back(), (orvan::fake::PostedMessage{MSG_ACTIVITY_REPAINT, 0, 0}));
    EXPECT_EQ(window_.ListControl(1)->right, 940);

    screen.OnBack();
    EXPECT_EQ(
        window_.PostedMessages().back(),
        (orvan::fake::PostedMessage{MSG_ACTIVITY_NAVIGATE, ORVAN_UXClass::RequesterParam(&screen), 1000}));
}

}  // namespace
}  // namespace form_test
