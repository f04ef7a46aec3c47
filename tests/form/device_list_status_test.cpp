// The line under the device list: the Scan's part and what the user must know about the chosen
// device, joined so that each part reads on its own.
#include <gtest/gtest.h>

#include <string>

#include "DeviceDrmListActivity/device_list_status.h"

namespace form_test {
namespace {

using ORVAN_UXClass::ChosenDeviceNote;
using ORVAN_UXClass::StatusLine;

TEST(DeviceListStatusLine, TheScanPartAndTheChosenDevicesNoteReadAsOneLine) {
    const struct {
        const char* what;
        std::wstring scan;
        bool reachable;
        size_t others;
        std::wstring line;
    } cases[] = {
        {"before the first Scan, nothing to say", L"", true, 0, L""},
        {"the scan alone", L"3 devices", true, 0, L"3 devices"},
        {"a note alone", L"", false, 0, L"10.0.0.9 is on another network: not reachable from here"},
        {"scan and sharing", L"Scanning...", true, 1, L"Scanning... - 2 devices share 10.0.0.9"},
        {"both notes, then the scan", L"1 device", false, 2,
         L"1 device - 10.0.0.9 is on another network: not reachable from here; 3 devices share 10.0.0.9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(StatusLine(c.scan, ChosenDeviceNote(L"10.0.0.9", c.reachable, c.others)), c.line);
    }
}

}  // namespace
}  // namespace form_test
