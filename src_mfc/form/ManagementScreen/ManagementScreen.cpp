#include "ManagementScreen/ManagementScreen.h"

#include "orvan_ux/ux_conventions.h"
#include "orvan_ux/ux_messages.h"

namespace ORVAN_UXClass {

ManagementScreen::ManagementScreen(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList,
                                   AppDelegate* delegate, int32_t activityId)
    : ORVAN_UXViewController(view, objectList, delegate),
      activityId(activityId),
      record(delegate != nullptr ? delegate->device.get() : nullptr) {}

ManagementScreen::~ManagementScreen() {
    if (objectList != nullptr) objectList->RemoveAll();
}

void ManagementScreen::OnDeactivate() {
    if (leaving != 1) drop_connection(record);
}

bool ManagementScreen::StartLeaving() {
    if (leaving != 0) return false;
    leaving = 1;
    return true;
}

void ManagementScreen::Request(int32_t id) {
    if (view != nullptr) view->PostMessage(MSG_ACTIVITY_NAVIGATE, RequesterParam(this), id);
}

void ManagementScreen::HandOver(int32_t serviceId, int32_t pageId, int32_t nextId) {
    if (record != nullptr) record->page_id = pageId;
    delegate->pending_activity_id = nextId;
    Request(serviceId);
}

void ManagementScreen::AddBackgroundAndPrev(int32_t backgroundId) {
    objectList->AddBitmap(this, background, UXBackgroundDesc(backgroundId));
    objectList->AddButton(this, prevButton, UXPrevButtonDesc());
}

void ManagementScreen::SetChecked(ORVAN_UXRadio& box, bool checked) {
    box.checked = checked;
    if (view != nullptr) view->Invalidate(true);
}

}  // namespace ORVAN_UXClass
