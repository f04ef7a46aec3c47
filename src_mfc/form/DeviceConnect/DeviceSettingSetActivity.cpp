#include "DeviceConnect/DeviceSettingSetActivity.h"

#include "DeviceConnect/set_command_lines.h"
#include "DeviceConnect/settings_pages.h"
#include "liborvaniot_os/liborvaniot_os_debug.h"

namespace ORVAN_UXClass {

namespace {

// The first stage sends the lines again after this many steps while it is not done.
constexpr int32_t kStage1Round = 101;

}  // namespace

DeviceSettingSetActivity::DeviceSettingSetActivity(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList,
                                                   AppDelegate* delegate)
    : SettingTransferScreen(view, objectList, delegate) {}

void DeviceSettingSetActivity::send_set_command() {
    if (record == nullptr) return;
    for (const SetCommandLine& line : SetCommandLines(*record)) {
        liborvaniot_os_debug_printf(line.caller, __LINE__, "%s", line.text);
    }
}

ReadinessWords DeviceSettingSetActivity::Readiness() const {
    return {linkWords[2], linkWords[3], stage1Done, stage2Done, stage3Done};
}

void DeviceSettingSetActivity::Progress() {
    if (!LinkReady()) return;
    if (stage1Done != 1) {
        if (stage1Counter == 0) send_set_command();
        stage1Counter = (stage1Counter + 1) % kStage1Round;
        if (record != nullptr) stage1Done = IsOptionPage(record->page_id) ? 1 : 0;
        return;
    }
    if (stage2Done != 1) {
        if (record == nullptr) return;
        stage2Done = WriteSecondStageCompletes(record->page_id) ? 1 : 0;
        if (IsFirmwareUpdatePage(record->page_id)) {
            // The device restarts with its new firmware: nothing is left to return to.
            drop_connection(record);
            delegate->pending_activity_id = delegate->home_activity_id;
        }
        return;
    }
    if (stage3Done != 1 && record != nullptr) stage3Done = IsOptionPage(record->page_id) ? 1 : 0;
}

void DeviceSettingSetActivity::ResetProgress() {
    linkWords.fill(-1);
    stage1Done = -1;
    stage1Counter = 0;
    stage2Done = -1;
    stage3Done = -1;
}

}  // namespace ORVAN_UXClass
