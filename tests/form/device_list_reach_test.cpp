// Devices the list shows but a click alone would not open well: several devices answering from one
// address (one row, but the status and the row's menu say who they are) and a device on a network
// this computer does not reach directly (the status says so; Web GUI reaches it first, or tells a
// user without the rights why not and what to do).
#include <string>
#include <vector>

#include "device_list_fixture.h"
#include "liborvaniot_os/liborvaniot_os_net_sockaddr.h"

namespace form_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

uint32_t Address(const char* text) {
    in_addr address{};
    inet_pton(AF_INET, text, &address);
    return address.s_addr;
}

class DeviceListReachTest : public DeviceListTest {
  protected:
    // A device of its own endpoint at ip.
    void Answer(const std::string& ip, const std::string& name, const std::string& endpoint,
                int32_t kind = DRM_PROBE_REPORT_MATCH) {
        probe_.Deliver(*Record(ip, {Scope("hardware", "CAM-9"), Scope("name", name)}, endpoint), kind);
        PaintOnRequest();
    }
    std::wstring Status() { return Screen().scanStatusLabel ? Screen().scanStatusLabel->text : L"(none)"; }
    // The reach worker's outcome for the device, as the core hands it over.
    void Reached(const char* device, device_reach_outcome outcome, const char* used = "0.0.0.0") {
        device_reach_result result;
        result.outcome = outcome;
        result.device = Address(device);
        result.address_used = Address(used);
        ASSERT_NE(probe_.reachListener, nullptr);
        probe_.reachListener(result, probe_.reachListenerData);
        PaintOnRequest();
    }
};

TEST_F(DeviceListReachTest, SeveralDevicesOnOneAddressKeepOneRowButTheStatusAndMenuNameThemAll) {
    Open();
    ClickScan();
    Answer("192.168.1.64", "first", "urn:uuid:first");
    Answer("192.168.1.64", "first", "urn:uuid:first");  // its own answer again
    Answer("192.168.1.64", "twin", "urn:uuid:twin");
    Answer("192.168.1.64", "twin", "urn:uuid:twin");
    Answer("10.0.0.9", "alone", "urn:uuid:alone");
    ASSERT_EQ(Rows().size(), 2u) << "one row per address";
    ClickRow(0);
    EXPECT_EQ(Status(), L"Scanning... - 2 devices share 192.168.1.64");

    window_.SetPopupMenuChoice(ORVAN_UXClass::kMenuCopyDevicesAtAddress);
    Screen().OnListRightClick(0, {300, 100});
    const std::wstring clipboard = window_.ClipboardText();
    EXPECT_NE(clipboard.find(L"\tCAM-9\tfirst\n"), std::wstring::npos) << clipboard;
    EXPECT_NE(clipboard.find(L"\tCAM-9\ttwin\n"), std::wstring::npos) << clipboard;
    EXPECT_EQ(window_.PopupMenus().back().back().text, L"Copy the 2 devices at this address");

    // The twin's Bye takes only the twin: the row stays, the status no longer counts it.
    Answer("192.168.1.64", "twin", "urn:uuid:twin", DRM_PROBE_REPORT_BYE);
    EXPECT_EQ(Rows().size(), 2u);
    EXPECT_EQ(Status(), L"Scanning...");
    ClickRow(1);
    Screen().OnListRightClick(1, {300, 100});
    EXPECT_EQ(window_.PopupMenus().back().size(), 4u) << "no devices-at-address item for a lone device";
}

TEST_F(DeviceListReachTest, WebGuiReachesADeviceOnAnotherNetworkFirstThenOpensItsPage) {
    probe_.unreachable.insert(Address("192.168.1.64"));
    Open();
    Answer("192.168.1.64", "far", "urn:uuid:far");
    ClickRow(0);
    EXPECT_EQ(Status(), L"192.168.1.64 is on another network: not reachable from here");
    ClickWebGui();
    EXPECT_THAT(window_.OpenedUrls(), IsEmpty()) << "a page that cannot load is not opened";
    ASSERT_EQ(probe_.reachRequests.size(), 1u);
    EXPECT_EQ(probe_.reachRequests[0].first, Address("192.168.1.64"));
    EXPECT_EQ(Status(), L"Reaching 192.168.1.64...");
    ClickWebGui();
    EXPECT_EQ(probe_.reachRequests.size(), 1u) << "one reaching at a time";

    Reached("192.168.1.64", device_reach_outcome::made_reachable, "192.168.1.23");
    EXPECT_THAT(window_.OpenedUrls(), ElementsAre("http://192.168.1.64"));
    EXPECT_EQ(Status(), L"192.168.1.64 reached through 192.168.1.23");
    ClickWebGui();
    EXPECT_EQ(window_.OpenedUrls().size(), 2u) << "reached now: opened at once";
    EXPECT_EQ(probe_.reachRequests.size(), 1u);
}

TEST_F(DeviceListReachTest, WithoutRightsTheUserIsToldWhyAndWhatToDoAndNothingOpens) {
    probe_.unreachable.insert(Address("192.168.1.64"));
    Open();
    Answer("192.168.1.64", "far", "urn:uuid:far");
    ClickRow(0);
    ClickWebGui();
    Reached("192.168.1.64", device_reach_outcome::no_rights);
    EXPECT_THAT(window_.OpenedUrls(), IsEmpty());
    EXPECT_THAT(window_.Notices(), ElementsAre(L"192.168.1.64 cannot be reached without rights"));
    EXPECT_EQ(Status(), L"192.168.1.64 is on another network: reaching it needs administrator rights");

    // A reaching that failed otherwise says what failed, and a later outcome without a request
    // under way opens nothing.
    ClickWebGui();
    device_reach_result failed;
    failed.outcome = device_reach_outcome::error;
    failed.device = Address("192.168.1.64");
    failed.error_text = "adding an address: no such device";
    probe_.reachListener(failed, probe_.reachListenerData);
    PaintOnRequest();
    EXPECT_NE(Status().find(L"192.168.1.64"), std::wstring::npos) << std::string(Status().begin(), Status().end());
    Reached("192.168.1.64", device_reach_outcome::made_reachable, "192.168.1.23");
    EXPECT_THAT(window_.OpenedUrls(), IsEmpty());
}

}  // namespace
}  // namespace form_test
