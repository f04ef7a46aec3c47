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
    // pageId must be an option page whose topic is not the gateway guard.
    OptionPage(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList, AppDelegate* delegate, int32_t pageId);
    ~OptionPage() override;

    void OnBack() override;
    // OK: writes this page through the settings-write screen.
    static int OnOkClicked(ORVAN_UXViewController* userData, int64_t arg1, int64_t arg2);

    const OptionFamily& family;
    const OptionTopic& topic;
    ORVAN_UXHolder<ORVAN_UXButton> cancelButton;  // empty on the network pages
    ORVAN_UXHolder<ORVAN_UXButton> okButton;
};

template <int32_t Id>
class OptionPageActivity final : public OptionPage {
    static_assert(FindOptionTopic(Id) != nullptr && FindOptionTopic(Id)->widgets != OptionWidgets::GatewayGuard,
                  "not an option page with buttons only");

  public:
    OptionPageActivity(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList, AppDelegate* delegate)
        : OptionPage(view, objectList, delegate, Id) {}
    static constexpr bool NamedAs(std::string_view name) { return OptionPageNamedAs(Id, name); }
};

ORVAN_TABLE_SCREEN(OptionPageActivity, OptionCmsIPCameraMdModeActivity, 100);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionCmsIPCameraMdActivity, 101);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionCmsIPCameraUploadActivity, 102);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionCmsIPCameraVideoActivity, 103);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionCmsIPCameraAccountActivity, 104);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionCmsIPCameraNetworkActivity, 105);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionCmsIPCameraResetActivity, 106);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionCmsIPCameraElectricFenceActivity, 107);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionCmsIPCameraVideoGuardActivity, 108);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionCmsIPCameraFaceDetectModeActivity, 109);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionCmsIPCameraFaceDetectActivity, 110);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionCmsIPCameraUpdateFWActivity, 111);

ORVAN_TABLE_SCREEN(OptionPageActivity, OptionCmsIPBoxMdModeActivity, 200);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionCmsIPBoxMdActivity, 201);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionCmsIPBoxUploadActivity, 202);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionCmsIPBoxVideoActivity, 203);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionCmsIPBoxAccountActivity, 204);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionCmsIPBoxNetworkActivity, 205);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionCmsIPBoxResetActivity, 206);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionCmsIPBoxElectricFenceActivity, 207);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionCmsIPBoxVideoGuardActivity, 208);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionCmsIPBoxFaceDetectModeActivity, 209);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionCmsIPBoxFaceDetectActivity, 210);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionCmsIPBoxUpdateFWActivity, 211);

ORVAN_TABLE_SCREEN(OptionPageActivity, OptionIPBoxIPCameraMdModeActivity, 300);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionIPBoxIPCameraMdActivity, 301);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionIPBoxIPCameraUploadActivity, 302);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionIPBoxIPCameraVideoActivity, 303);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionIPBoxIPCameraAccountActivity, 304);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionIPBoxIPCameraNetworkActivity, 305);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionIPBoxIPCameraResetActivity, 306);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionIPBoxIPCameraElectricFenceActivity, 307);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionIPBoxIPCameraVideoGuardActivity, 308);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionIPBoxIPCameraFaceDetectModeActivity, 309);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionIPBoxIPCameraFaceDetectActivity, 310);
ORVAN_TABLE_SCREEN(OptionPageActivity, OptionIPBoxIPCameraUpdateFWActivity, 311);

}  // namespace ORVAN_UXClass
