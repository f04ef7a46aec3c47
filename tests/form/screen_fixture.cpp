#include "screen_fixture.h"

#include <cstring>

#include "activity_table.h"
#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "orvan_test/fake_text.h"
#include "orvan_ux/ux_messages.h"
#include "orvan_ux/ux_object.h"

namespace form_test {

using ORVAN_UXClass::MSG_ACTIVITY_NAVIGATE;

DebugRuntime::DebugRuntime() {
    EXPECT_EQ(liborvaniot_os_debug_initialize(), 0);
}

DebugRuntime::~DebugRuntime() {
    liborvaniot_os_debug_finalize();
}

ScreenTest::ScreenTest() : delegate_(ORVAN_UXClass::ProductActivities()) {
    window_.AddBitmap(2001, 622, 430);
    window_.AddBitmaps({621, 622, 623, 624}, 114, 30);
    window_.AddCursor(500);
    delegate_.view = &window_;
    delegate_.objectList = std::make_unique<ORVAN_UXClass::ORVAN_UXObjectjList>(&window_);
    delegate_.client_width = 960;
    delegate_.client_height = 540;
}

ScreenTest::~ScreenTest() {
    // The screen goes while the runtime that tracks its memory and locks still runs.
    delegate_.release_current_activity();
}

void ScreenTest::Open(int32_t id) {
    ASSERT_NE(id, ORVAN_UXClass::kDeviceListActivityId) << "the device list is not built in these tests";
    delegate_.navigate(ORVAN_UXClass::kNoRequester, id);
    requestsFrom_ = window_.PostedMessages().size();
}

void ScreenTest::FollowRequest() {
    const std::vector<orvan::fake::PostedMessage> posted = window_.PostedMessages();
    ASSERT_GT(posted.size(), requestsFrom_) << "no request to follow";
    const orvan::fake::PostedMessage& last = posted.back();
    ASSERT_EQ(last.message, MSG_ACTIVITY_NAVIGATE);
    ASSERT_NE(last.lparam, ORVAN_UXClass::kDeviceListActivityId)
        << "the device list is not built in these tests";
    delegate_.navigate(last.wparam, last.lparam);
    requestsFrom_ = posted.size();
}

void ScreenTest::ReplaceFromElsewhere() {
    delegate_.navigate(ORVAN_UXClass::kNoRequester, 1002);
}

void ScreenTest::OpenConnection() {
    std::strcpy(Record().device_name, "cam-1");
    Record().link_ready = 1;
    Record().conn_handle = kOpenConnection;
}

void ScreenTest::Tick() {
    ASSERT_NE(delegate_.current_activity, nullptr);
    delegate_.current_activity->OnTimer(1000);
}

int ScreenTest::TickUntilDone(int limit) {
    int ticks = 0;
    while (ticks < limit && TimerRunning() && Requests().empty()) {
        Tick();
        ++ticks;
    }
    return ticks;
}

std::vector<int64_t> ScreenTest::Requests() const {
    std::vector<int64_t> ids;
    const std::vector<orvan::fake::PostedMessage> posted = window_.PostedMessages();
    for (size_t i = requestsFrom_; i < posted.size(); ++i) {
        if (posted[i].message == MSG_ACTIVITY_NAVIGATE) ids.push_back(posted[i].lparam);
    }
    return ids;
}

void ScreenTest::Click(int32_t x, int32_t y) {
    delegate_.objectList->OnLButtonDown(orvan::wnd::MK_LBUTTON, {x, y});
    delegate_.objectList->OnLButtonUp(0, {x, y});
}

std::vector<std::string> ScreenTest::Layout() const {
    using namespace ORVAN_UXClass;
    std::vector<std::string> layout;
    delegate_.objectList->ForEachObject([&](ORVAN_UXObject& object, int32_t kind) {
        std::string line;
        switch (kind) {
            case UX_KIND_BUTTON:
                line = "button \"" + orvan::fake::Utf8(static_cast<ORVAN_UXButton&>(object).text) + "\"";
                break;
            case UX_KIND_LABEL:
                line = "label \"" + orvan::fake::Utf8(static_cast<ORVAN_UXLabel&>(object).text) + "\"";
                break;
            case UX_KIND_BITMAP:
                line = "bitmap";
                break;
            default:
                line = "kind " + std::to_string(kind);
        }
        const ORVAN_UXRect& r = object.rect;
        layout.push_back(line + " (" + std::to_string(r.x) + "," + std::to_string(r.y) + ") " +
                         std::to_string(r.width) + "x" + std::to_string(r.height));
    });
    return layout;
}

std::vector<std::string> ScreenTest::Paint() {
    window_.ClearLog();
    if (delegate_.current_activity != nullptr) {
        orvan::fake::FakeDeviceContext dc(window_);
        delegate_.current_activity->OnPaint(&dc, true, false);
    }
    return window_.Drawing();
}

}  // namespace form_test
