#include "management_screen_fixture.h"

#include <algorithm>

#include "GpioPage/RpiGpioActivity.h"
#include "OptionPage/option_page_table.h"
#include "SettingsMenu/settings_menu_table.h"
#include "StatusPage/status_page_table.h"
#include "activity_table.h"
#include "orvan_ux/ux_messages.h"

namespace form_test {

using namespace ORVAN_UXClass;

namespace {

bool IsManagementScreen(int32_t id) {
    return FindOptionTopic(id) != nullptr || FindStatusPage(id) != nullptr ||
           FindSettingsMenu(id) != nullptr || id == RpiGpioActivity::kActivityId;
}

std::vector<ActivityEntry> ManagementEntries() {
    std::vector<ActivityEntry> entries;
    for (const ActivityEntry& entry : ProductActivities()) {
        if (IsManagementScreen(entry.id)) entries.push_back(entry);
    }
    return entries;
}

}  // namespace

std::vector<int32_t> ManagementScreenIds() {
    std::vector<int32_t> ids;
    for (const ActivityEntry& entry : ManagementEntries()) ids.push_back(entry.id);
    return ids;
}

std::string ManagementScreenClassName(int32_t id) {
    if (const StatusPageRow* page = FindStatusPage(id)) return std::string(page->className);
    if (const SettingsMenuRow* menu = FindSettingsMenu(id)) return std::string(menu->className);
    if (const OptionTopic* topic = FindOptionTopic(id)) {
        return "Option" + std::string(FindOptionFamily(id)->name) + std::string(topic->name) + "Activity";
    }
    if (id == RpiGpioActivity::kActivityId) return "RpiGpioActivity";
    return "NoScreen" + std::to_string(id);
}

ManagementScreenTest::ManagementScreenTest() : table_(ManagementEntries()), delegate_(table_) {
    window_.AddCursor(500);
    window_.AddBitmaps({621, 622, 623, 624}, 114, 30);
    window_.AddBitmaps({631, 632, 633, 634, 635, 636, 637, 638}, 30, 30);
    window_.AddBitmaps({2001, 2002, 2003}, 622, 430);
    window_.AddBitmaps({3000, 3020, 3030, 3050}, 160, 240);
    delegate_.view = &window_;
    delegate_.objectList = std::make_unique<ORVAN_UXObjectjList>(&window_);
}

ManagementScreenTest::~ManagementScreenTest() {
    delegate_.release_current_activity();
}

ORVAN_UXViewController* ManagementScreenTest::Open(int32_t id) {
    delegate_.release_current_activity();
    delegate_.create_activity(id);
    return delegate_.current_activity;
}

std::vector<std::string> ManagementScreenTest::Paint() {
    window_.ClearLog();
    orvan::fake::FakeDeviceContext dc(window_);
    if (delegate_.current_activity != nullptr) delegate_.current_activity->OnPaint(&dc, true, false);
    return window_.Drawing();
}

void ManagementScreenTest::Click(int32_t x, int32_t y) {
    delegate_.objectList->OnLButtonDown(orvan::wnd::MK_LBUTTON, {x, y});
    delegate_.objectList->OnLButtonUp(0, {x, y});
}

std::vector<int64_t> ManagementScreenTest::RequestedIds() const {
    std::vector<int64_t> ids;
    const std::vector<orvan::fake::PostedMessage> posted = window_.PostedMessages();
    for (size_t i = forgotten_; i < posted.size(); ++i) {
        if (posted[i].message == MSG_ACTIVITY_NAVIGATE) ids.push_back(posted[i].lparam);
    }
    return ids;
}

int64_t ManagementScreenTest::LastRequester() const {
    const std::vector<orvan::fake::PostedMessage> posted = window_.PostedMessages();
    return posted.empty() ? kNoRequester : posted.back().wparam;
}

void ManagementScreenTest::StartAfresh() {
    Pump();
    delegate_.release_current_activity();
    forgotten_ = window_.PostedMessages().size();
}

void ManagementScreenTest::Pump() {
    // Handling a request may post another one; those are handled too, in order.
    while (pumped_ < window_.PostedMessages().size()) {
        const orvan::fake::PostedMessage posted = window_.PostedMessages()[pumped_++];
        if (posted.message == MSG_ACTIVITY_NAVIGATE) delegate_.navigate(posted.wparam, posted.lparam);
    }
}

void ManagementScreenTest::OpenConnection() {
    Record().link_ready = 1;
    Record().conn_handle = 7;
}

std::string Blt(int32_t id, int32_t x, int32_t y, int32_t width, int32_t height) {
    return "StretchBlt bitmap " + std::to_string(id) + " at (" + std::to_string(x) + "," + std::to_string(y) +
           ") " + std::to_string(width) + "x" + std::to_string(height);
}

std::string ButtonAt(int32_t x, int32_t y) {
    return Blt(621, x, y, 114, 30);
}

std::string BoxAt(int32_t x, int32_t y, bool checked) {
    return Blt(checked ? 631 : 635, x, y, 30, 30);
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

int CountStarting(const std::vector<std::string>& lines, const std::string& prefix) {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                          [&](const std::string& line) { return line.starts_with(prefix); }));
}

}  // namespace form_test
