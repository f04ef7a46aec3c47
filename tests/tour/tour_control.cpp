#include "tour_control.h"

#include <cstdarg>
#include <sstream>

#include "orvan_ux/ux_messages.h"

void TourControl::Report(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(out_, format, args);
    va_end(args);
    // The script waits for these lines while the program runs.
    std::fflush(out_);
}

void TourControl::AnnounceTable() {
    std::string ids;
    for (const ORVAN_UXClass::ActivityEntry& entry : activities_) ids += " " + std::to_string(entry.id);
    Report("table%s\n", ids.c_str());
}

void TourControl::Poll() {
    const int64_t id = frame_.ChildView().Delegate().current_activity_id;
    if (id == shown_id_) return;
    shown_id_ = id;
    if (id != -1) Report("screen %lld\n", static_cast<long long>(id));
}

void TourControl::PrintRecord() {
    const ORVAN_UXClass::AppDelegate& delegate = frame_.ChildView().Delegate();
    const ORVAN_UXClass::corvaniot_network& record = *delegate.device;
    Report("record page_id=%d pending=%d return=%d command_code=%d command_arg=%d gateway_mode_set=%d\n",
           record.page_id, delegate.pending_activity_id, delegate.return_activity_id, record.command_code,
           record.command_arg, record.gateway_status.mode_set);
}

void TourControl::Run(const std::string& line) {
    std::istringstream words(line);
    std::string command;
    words >> command;
    int64_t value = 0;
    const bool hasValue = static_cast<bool>(words >> value);
    if (command == "go" && hasValue) {
        orvan::wnd::Window* view = frame_.ChildView().GetWindow();
        if (view == nullptr) {
            Report("error no window\n");
            return;
        }
        view->PostMessage(ORVAN_UXClass::MSG_ACTIVITY_NAVIGATE, ORVAN_UXClass::kNoRequester, value);
    } else if (command == "fail_timeout" && hasValue) {
        frame_.ChildView().Delegate().fail_timeout_s = static_cast<int32_t>(value);
        Report("fail_timeout %d\n", frame_.ChildView().Delegate().fail_timeout_s);
    } else if (command == "record") {
        PrintRecord();
    } else if (command == "quit") {
        frame_.PostCloseRequest();
    } else if (!command.empty()) {
        Report("error %s\n", line.c_str());
    }
}
