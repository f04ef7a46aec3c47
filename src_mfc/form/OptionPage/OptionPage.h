// An option page of a device family (ids 100 to 111, 200 to 211, 300 to 311): background, Prev,
// Cancel and OK (network pages: OK only). Prev and Cancel return to the family's settings menu;
// OK hands the page to the settings-write screen, which returns to that menu. The gateway-guard
// topic (112, 212, 312) is a status page (StatusPage/).
#pragma once

#include <cstdint>
#include <string_view>

#include "ManagementScreen/ManagementScreen.h"
#include "ManagementScreen/screen_class.h"
#include "OptionPage/option_page_table.h"

namespace ORVAN_UXClass {

class OptionPage : public ManagementScreen {
  public:
    // id must be an option page's whose topic is not the gateway guard.
    OptionPage(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList, AppDelegate* delegate, int32_t id);
    ~OptionPage() override;

    static constexpr bool NamedAs(int32_t id, std::string_view name) {
        return !OptionPageHas(id, OptionWidgets::GatewayGuard) && OptionPageNamedAs(id, name);
    }

    void OnBack() override;
    // OK: writes this page through the settings-write screen.
    static int OnOkClicked(ORVAN_UXViewController* userData, int64_t arg1, int64_t arg2);

    const OptionFamily& family;
    const OptionTopic& topic;
    ORVAN_UXHolder<ORVAN_UXButton> cancelButton;  // empty on the network pages
    ORVAN_UXHolder<ORVAN_UXButton> okButton;
};

ORVAN_TABLE_SCREEN(OptionPage, OptionCmsIPCameraMdModeActivity, 100);
ORVAN_TABLE_SCREEN(OptionPage, OptionCmsIPCameraMdActivity, 101);
ORVAN_TABLE_SCREEN(OptionPage, OptionCmsIPCameraUploadActivity, 102);
ORVAN_TABLE_SCREEN(OptionPage, OptionCmsIPCameraVideoActivity, 103);
ORVAN_TABLE_SCREEN(OptionPage, OptionCmsIPCameraAccountActivity, 104);
ORVAN_TABLE_SCREEN(OptionPage, OptionCmsIPCameraNetworkActivity, 105);
ORVAN_TABLE_SCREEN(OptionPage, OptionCmsIPCameraResetActivity, 106);
ORVAN_TABLE_SCREEN(OptionPage, OptionCmsIPCameraElectricFenceActivity, 107);
ORVAN_TABLE_SCREEN(OptionPage, OptionCmsIPCameraVideoGuardActivity, 108);
ORVAN_TABLE_SCREEN(OptionPage, OptionCmsIPCameraFaceDetectModeActivity, 109);
ORVAN_TABLE_SCREEN(OptionPage, OptionCmsIPCameraFaceDetectActivity, 110);
ORVAN_TABLE_SCREEN(OptionPage, OptionCmsIPCameraUpdateFWActivity, 111);

ORVAN_TABLE_SCREEN(OptionPage, OptionCmsIPBoxMdModeActivity, 200);
ORVAN_TABLE_SCREEN(OptionPage, OptionCmsIPBoxMdActivity, 201);
ORVAN_TABLE_SCREEN(OptionPage, OptionCmsIPBoxUploadActivity, 202);
ORVAN_TABLE_SCREEN(OptionPage, OptionCmsIPBoxVideoActivity, 203);
ORVAN_TABLE_SCREEN(OptionPage, OptionCmsIPBoxAccountActivity, 204);
ORVAN_TABLE_SCREEN(OptionPage, OptionCmsIPBoxNetworkActivity, 205);
ORVAN_TABLE_SCREEN(OptionPage, OptionCmsIPBoxResetActivity, 206);
ORVAN_TABLE_SCREEN(OptionPage, OptionCmsIPBoxElectricFenceActivity, 207);
ORVAN_TABLE_SCREEN(OptionPage, OptionCmsIPBoxVideoGuardActivity, 208);
ORVAN_TABLE_SCREEN(OptionPage, OptionCmsIPBoxFaceDetectModeActivity, 209);
ORVAN_TABLE_SCREEN(OptionPage, OptionCmsIPBoxFaceDetectActivity, 210);
ORVAN_TABLE_SCREEN(OptionPage, OptionCmsIPBoxUpdateFWActivity, 211);

ORVAN_TABLE_SCREEN(OptionPage, OptionIPBoxIPCameraMdModeActivity, 300);
ORVAN_TABLE_SCREEN(OptionPage, OptionIPBoxIPCameraMdActivity, 301);
ORVAN_TABLE_SCREEN(OptionPage, OptionIPBoxIPCameraUploadActivity, 302);
ORVAN_TABLE_SCREEN(OptionPage, OptionIPBoxIPCameraVideoActivity, 303);
ORVAN_TABLE_SCREEN(OptionPage, OptionIPBoxIPCameraAccountActivity, 304);
ORVAN_TABLE_SCREEN(OptionPage, OptionIPBoxIPCameraNetworkActivity, 305);
ORVAN_TABLE_SCREEN(OptionPage, OptionIPBoxIPCameraResetActivity, 306);
ORVAN_TABLE_SCREEN(OptionPage, OptionIPBoxIPCameraElectricFenceActivity, 307);
ORVAN_TABLE_SCREEN(OptionPage, OptionIPBoxIPCameraVideoGuardActivity, 308);
ORVAN_TABLE_SCREEN(OptionPage, OptionIPBoxIPCameraFaceDetectModeActivity, 309);
ORVAN_TABLE_SCREEN(OptionPage, OptionIPBoxIPCameraFaceDetectActivity, 310);
ORVAN_TABLE_SCREEN(OptionPage, OptionIPBoxIPCameraUpdateFWActivity, 311);

}  // namespace ORVAN_UXClass
