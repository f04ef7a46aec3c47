#include "OptionPage/OptionPage.h"

#include <cstring>

#include "orvan_ux/ux_conventions.h"
#include "orvan_ux/ux_grid_layout.h"

namespace ORVAN_UXClass {

namespace {

// Cancel and OK stand side by side, 10 pixels right of one and two Prev widths; the network
// pages, which have no Cancel, put their OK two rows lower.
constexpr ORVAN_UXSpan kCancelX{1, 10};
constexpr ORVAN_UXSpan kOkX{2, 10};
constexpr ORVAN_UXSpan kButtonRowY{7, 0};
constexpr ORVAN_UXSpan kNetworkButtonRowY{9, 0};

}  // namespace

OptionPage::OptionPage(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList, AppDelegate* delegate,
                       int32_t id)
    : ManagementScreen(view, objectList, delegate, id),
      family(*FindOptionFamily(id)),
      topic(*FindOptionTopic(id)) {
    AddBackgroundAndPrev(family.background);
    const ORVAN_UXRect prev = prevButton->rect;
    const bool network = topic.widgets == OptionWidgets::Network;
    const ORVAN_UXSpan rowY = network ? kNetworkButtonRowY : kButtonRowY;
    if (!network) {
        const orvan::wnd::Point at = UXOffsetFrom(prev, kCancelX, rowY);
        objectList->AddButton(this, cancelButton,
                              UXStandardButtonDesc(L"Cancel", at.x, at.y, &OnPrevClicked));
    }
    const orvan::wnd::Point at = UXOffsetFrom(prev, kOkX, rowY);
    objectList->AddButton(this, okButton, UXStandardButtonDesc(L"OK", at.x, at.y, &OnOkClicked));
}

OptionPage::~OptionPage() {
    objectList->RemoveAll();
}

void OptionPage::OnBack() {
    if (StartLeaving()) Request(family.menuId);
}

int OptionPage::OnOkClicked(ORVAN_UXViewController* userData, int64_t /*arg1*/, int64_t /*arg2*/) {
    auto* self = static_cast<OptionPage*>(userData);
    if (!self->StartLeaving()) return 0;
    if (self->topic.storesFacePlaceholder && self->record != nullptr) {
        static_assert(sizeof kFaceDetectPlaceholderName <= sizeof self->record->face_name);
        self->record->face_slot = 0;
        std::memcpy(self->record->face_name, kFaceDetectPlaceholderName, sizeof kFaceDetectPlaceholderName);
    }
    self->delegate->return_activity_id = self->family.menuId;
    self->HandOver(kSettingsWriteId, self->activityId, self->family.menuId);
    return 0;
}

}  // namespace ORVAN_UXClass
