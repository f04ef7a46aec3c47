// Shared parts of every control: cursors, inset hit test and owner invalidation.
#include "orvan_ux/ux_object.h"

namespace ORVAN_UXClass {

ORVAN_UXObject::ORVAN_UXObject(orvan::wnd::Window* owner, ORVAN_UXViewController* userData, int32_t cursorId)
    : owner(owner), userData(userData) {
    if (owner) {
        arrowCursor = owner->ArrowCursor();
        hoverCursor = owner->LoadCursorResource(cursorId);
    }
}

ORVAN_UXObject::~ORVAN_UXObject() = default;

bool ORVAN_UXObject::HitsInside(const ORVAN_UXInset& inset, orvan::wnd::Point point) const {
    // Wide arithmetic: insets and sizes come from screens and must not overflow.
    const int64_t left = int64_t{rect.x} + inset.left;
    const int64_t top = int64_t{rect.y} + inset.top;
    const int64_t right = int64_t{rect.x} + rect.width - inset.right;
    const int64_t bottom = int64_t{rect.y} + rect.height - inset.bottom;
    return left <= point.x && point.x < right && top <= point.y && point.y < bottom;
}

void ORVAN_UXObject::ShowHoverCursor() const {
    if (owner && hoverCursor && owner->GetCursor() != hoverCursor) owner->SetCursor(hoverCursor);
}

void ORVAN_UXObject::InvalidateOwner() const {
    if (owner) owner->Invalidate(true);
}

}  // namespace ORVAN_UXClass
