// Owning holder: keeps the object list informed whenever the held control goes away.
#include "orvan_ux/ux_holder.h"

#include "orvan_ux/ux_object_list.h"

namespace ORVAN_UXClass {

ORVAN_UXHolderBase::~ORVAN_UXHolderBase() {
    // A screen that is torn down without emptying the list (or whose constructor failed half way)
    // must not leave the list pointing at this holder.
    if (list_) list_->Unregister(*this);
}

void ORVAN_UXHolderBase::Reset() {
    StoreObject(nullptr);
}

void ORVAN_UXHolderBase::StoreObject(std::unique_ptr<ORVAN_UXObject> object) {
    if (object_ && list_) list_->ForgetObject(object_.get());
    object_ = std::move(object);
    if (object_) owned_ = true;
}

}  // namespace ORVAN_UXClass
