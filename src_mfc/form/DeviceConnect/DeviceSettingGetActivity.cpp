#include "DeviceConnect/DeviceSettingGetActivity.h"

#include "DeviceConnect/settings_pages.h"

namespace ORVAN_UXClass {

DeviceSettingGetActivity::DeviceSettingGetActivity(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList,
                                                   AppDelegate* delegate)
    : SettingTransferScreen(view, objectList, delegate) {}

ReadinessWords DeviceSettingGetActivity::Readiness() const {
    return {linkWords[2], linkWords[3], received};
}

void DeviceSettingGetActivity::Progress() {
    if (!LinkReady() || record == nullptr) return;
    received = IsOptionPage(record->page_id) ? 1 : 0;
}

void DeviceSettingGetActivity::ResetProgress() {
    linkWords.fill(-1);
    received = -1;
}

}  // namespace ORVAN_UXClass
