#include "shell_harness.h"

#include "WelcomeActivity/WelcomeActivity.h"
#include "liborvaniot_os/liborvaniot_os_thread.h"
#include "orvan_ux/ux_messages.h"

namespace shell_test {

using ORVAN_UXClass::ORVAN_UXViewController;

Journal& Journal::Get() {
    static Journal journal;
    return journal;
}

std::vector<std::string> Journal::Matching(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& event : events_) {
        if (event.rfind(prefix, 0) == 0) found.push_back(event);
    }
    return found;
}

std::set<const ORVAN_UXViewController*> ProbeScreen::live_;

namespace {
int g_next_serial = 1;
}  // namespace

ProbeScreen::ProbeScreen(orvan::wnd::Window* view, ORVAN_UXClass::ORVAN_UXObjectjList* objectList,
                         ORVAN_UXClass::AppDelegate* delegate)
    : ORVAN_UXViewController(view, objectList, delegate), name_("probe#" + std::to_string(g_next_serial++)) {
    live_.insert(this);
    Journal::Get().Add("construct " + name_);
}

ProbeScreen::~ProbeScreen() {
    objectList->RemoveAll();
    live_.erase(this);
    Journal::Get().Add("destroy " + name_);
}

bool ProbeScreen::IsLive(const ORVAN_UXViewController* screen) {
    return live_.count(screen) != 0;
}

void ProbeScreen::OnActivate() {
    Journal::Get().Add("activate " + name_);
}

void ProbeScreen::OnDeactivate() {
    // A screen that is already gone cannot journal itself reliably; say so loudly instead.
    if (!IsLive(this)) {
        ADD_FAILURE() << "OnDeactivate called on a deleted screen";
        return;
    }
    const bool stopping = liborvaniot_os_stop_flag.load() != 0;
    Journal::Get().Add("deactivate " + name_ + (stopping ? " (stop flag raised)" : ""));
}

void ProbeScreen::OnTimer(uint32_t timerId) {
    Journal::Get().Add("timer " + std::to_string(timerId) + " " + name_);
}

void ProbeScreen::OnSize(int32_t cx, int32_t cy) {
    Journal::Get().Add("size " + std::to_string(cx) + "x" + std::to_string(cy) + " " + name_);
}

void ProbeScreen::OnMouseMove(int32_t x, int32_t y) {
    Journal::Get().Add("mouse move (" + std::to_string(x) + "," + std::to_string(y) + ") " + name_);
}

void ProbeScreen::OnListClick(int32_t row, int64_t* /*result*/) {
    Journal::Get().Add("list click row " + std::to_string(row) + " " + name_);
}

void ProbeScreen::OnListItemActivate(int32_t row) {
    Journal::Get().Add("list activate row " + std::to_string(row) + " " + name_);
}

void ProbeScreen::OnListRightClick(int32_t row, orvan::wnd::Point point) {
    Journal::Get().Add("list right click row " + std::to_string(row) + " at (" + std::to_string(point.x) + "," +
                       std::to_string(point.y) + ") " + name_);
}

void ProbeScreen::OnListColumnClick(int32_t column) {
    Journal::Get().Add("list column " + std::to_string(column) + " " + name_);
}

void ProbeScreen::OnListCopy(int32_t row) {
    Journal::Get().Add("list copy row " + std::to_string(row) + " " + name_);
}

void ProbeScreen::RequestActivity(int32_t id) {
    view->PostMessage(ORVAN_UXClass::MSG_ACTIVITY_NAVIGATE, ORVAN_UXClass::RequesterParam(this), id);
}

const ORVAN_UXClass::ActivityEntry kTestActivities[3] = {
    {1000, 1, &ORVAN_UXClass::MakeWelcomeActivity},
    {kProbeId, 2, &ORVAN_UXClass::MakeActivity<ProbeScreen>},
    {kOtherProbeId, 3, &ORVAN_UXClass::MakeActivity<ProbeScreen>},
};

void FakeFrame::MoveWindow(int32_t left, int32_t top, int32_t width, int32_t height) {
    calls.push_back("MoveWindow " + std::to_string(left) + "," + std::to_string(top) + " " +
                    std::to_string(width) + "x" + std::to_string(height));
}

ShellTest::ShellTest()
    : main_frame_(kTestActivities, CoreRuntime{[this] {
                                                   Journal::Get().Add("core initialize");
                                                   return core_start_result_;
                                               },
                                               [] { Journal::Get().Add("core finalize"); }}) {
    liborvaniot_os_stop_flag.store(0);
    ORVAN_UXClass::welcome_shown = 0;
    Journal::Get().Clear();
    window_.AddBitmap(1000, 622, 430);
    window_.AddBitmaps({621, 622, 623, 624}, 114, 30);
    window_.AddCursor(500);
}

ShellTest::~ShellTest() {
    liborvaniot_os_stop_flag.store(0);
}

int32_t ShellTest::Create() {
    return main_frame_.OnCreate(frame_);
}

void ShellTest::Pump() {
    while (true) {
        const auto posted = window_.PostedMessages();
        if (pumped_ >= posted.size()) return;
        const orvan::fake::PostedMessage message = posted[pumped_++];
        View().OnMessage(message.message, message.wparam, message.lparam);
    }
}

void ShellTest::Navigate(int64_t requester, int64_t next) {
    window_.PostMessage(ORVAN_UXClass::MSG_ACTIVITY_NAVIGATE, requester, next);
    Pump();
}

std::vector<orvan::fake::PostedMessage> ShellTest::NavigationsPosted() const {
    std::vector<orvan::fake::PostedMessage> found;
    for (const auto& message : window_.PostedMessages()) {
        if (message.message == ORVAN_UXClass::MSG_ACTIVITY_NAVIGATE) found.push_back(message);
    }
    return found;
}

}  // namespace shell_test
