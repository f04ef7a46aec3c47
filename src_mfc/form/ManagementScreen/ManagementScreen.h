// Base of the device-management screens (settings menus, option, status and GPIO pages): the
// connected-device record they work on, the leaving flag, and the rule that a screen replaced by
// someone else's request drops the connection on its way out.
#pragma once

#include <cstdint>

#include "AppDelegate.h"
#include "corvaniot_network.h"
#include "orvan_ux/ux_holder.h"
#include "orvan_ux/ux_object_list.h"
#include "orvan_ux/ux_view_controller.h"

namespace ORVAN_UXClass {

class ManagementScreen : public ORVAN_UXViewController {
  public:
    // Screens these pages hand over to.
    static constexpr int32_t kSettingsReadId = 1009;
    static constexpr int32_t kSettingsWriteId = 1010;
    static constexpr int32_t kSensorListId = 401;

    // Takes the record from the navigator.
    ManagementScreen(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList, AppDelegate* delegate,
                     int32_t activityId);
    // Derived screens empty the object list first thing in their own destructors; this one does
    // it again for the base's holders.
    ~ManagementScreen() override;

    // Left because another screen was asked for: the connection goes with it.
    void OnDeactivate() override;

    const int32_t activityId;  // the id this screen is built for
    int32_t leaving = 0;       // 1 once this screen has asked for the next one itself
    corvaniot_network* record = nullptr;
    ORVAN_UXHolder<ORVAN_UXBitmap> background;
    ORVAN_UXHolder<ORVAN_UXButton> prevButton;

  protected:
    // The one request of a visit starts here: false once the screen is already leaving (a second
    // click before the first request was handled), so that nothing is changed or posted twice.
    bool StartLeaving();
    // Posts the navigation request for id, naming this screen.
    void Request(int32_t id);
    // Asks a settings transfer screen (serviceId: read or write) to work on pageId and to show
    // nextId when it is done.
    void HandOver(int32_t serviceId, int32_t pageId, int32_t nextId);
    // Background bitmap and the Prev button, the first two controls of every page.
    void AddBackgroundAndPrev(int32_t backgroundId);
    // Boxes never change by themselves: the screen sets them and has the view repainted.
    void SetChecked(ORVAN_UXRadio& box, bool checked);
};

}  // namespace ORVAN_UXClass
