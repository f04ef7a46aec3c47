// Screen base: stores its collaborators; the base paint draws the registered controls.
#include "orvan_ux/ux_view_controller.h"

namespace ORVAN_UXClass {

ORVAN_UXViewController::ORVAN_UXViewController(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList,
                                               AppDelegate* delegate)
    : view(view), objectList(objectList), delegate(delegate) {}

ORVAN_UXViewController::~ORVAN_UXViewController() = default;

void ORVAN_UXViewController::CreateView() {}
void ORVAN_UXViewController::Reserved1() {}
void ORVAN_UXViewController::Reserved2() {}
void ORVAN_UXViewController::OnTimer(uint32_t) {}

void ORVAN_UXViewController::OnPaint(orvan::wnd::DeviceContext* dc, bool active, bool locked) {
    if (!objectList) return;
    objectList->ForEachObject([&](ORVAN_UXObject& object, int32_t) { object.Draw(dc, active, locked); });
}

void ORVAN_UXViewController::OnMouseMove(int32_t, int32_t) {}
void ORVAN_UXViewController::OnListClick(int32_t, int64_t*) {}
void ORVAN_UXViewController::OnListItemActivate(int32_t) {}
void ORVAN_UXViewController::OnListRightClick(int32_t, orvan::wnd::Point) {}
void ORVAN_UXViewController::OnListColumnClick(int32_t) {}
void ORVAN_UXViewController::OnListCopy(int32_t) {}
void ORVAN_UXViewController::OnSize(int32_t, int32_t) {}
void ORVAN_UXViewController::MarkDeactivated() {
    deactivated = 1;
}
void ORVAN_UXViewController::OnActivate() {}
void ORVAN_UXViewController::OnDeactivate() {}
void ORVAN_UXViewController::OnBack() {}

int ORVAN_UXViewController::OnPrevClicked(ORVAN_UXViewController* userData, int64_t, int64_t) {
    if (userData) userData->OnBack();
    return 0;
}

}  // namespace ORVAN_UXClass
