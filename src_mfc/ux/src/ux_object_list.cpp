// Registration of controls and input dispatch with capture and the hover cursor.
#include "orvan_ux/ux_object_list.h"

#include <cstddef>
#include <type_traits>

namespace ORVAN_UXClass {

namespace {

// Every call made by the list is for an active, unlocked view.
constexpr bool kActive = true;
constexpr bool kLocked = false;

bool Dispatchable(int32_t kind) {
    return kind >= UX_KIND_BUTTON && kind <= UX_KIND_RADIO;
}

}  // namespace

ORVAN_UXObjectjList::ORVAN_UXObjectjList(orvan::wnd::Window* owner) : owner_(owner) {}

ORVAN_UXObjectjList::~ORVAN_UXObjectjList() {
    std::lock_guard guard(lock_);
    for (ORVAN_UXHolderBase* holder : entries_) holder->list_ = nullptr;
}

template <class Control, class Desc>
Control* ORVAN_UXObjectjList::Add(ORVAN_UXViewController* screen, ORVAN_UXHolder<Control>& holder,
                                  const Desc& desc, int32_t kind) {
    std::lock_guard guard(lock_);
    if constexpr (std::is_same_v<Control, ORVAN_UXLabel>) {
        holder.Store(std::make_unique<Control>(owner_, screen, desc.cursorId));
    } else {
        holder.Store(std::make_unique<Control>(owner_, screen, desc.cursorId, desc.bitmapIds));
    }
    Control& control = *holder.get();
    control.rect.x = desc.x;
    control.rect.y = desc.y;
    if constexpr (std::is_same_v<Control, ORVAN_UXLabel>) {
        control.rect.width = desc.width;
        control.rect.height = desc.height;
    } else {
        control.rect.width = control.GetWidth();
        control.rect.height = control.GetHeight();
    }
    control.visible = true;
    if (owner_) owner_->Invalidate(true);
    if constexpr (std::is_same_v<Control, ORVAN_UXButton> || std::is_same_v<Control, ORVAN_UXRadio>) {
        control.SetEnabled(true);
    }
    control.text = desc.text;
    if (owner_) owner_->Invalidate(true);
    control.textColor = desc.textColor;
    if constexpr (std::is_same_v<Control, ORVAN_UXLabel>) control.backColor = desc.backColor;
    if constexpr (!std::is_same_v<Control, ORVAN_UXLabel> && !std::is_same_v<Control, ORVAN_UXBitmap>) {
        control.onClick = desc.onClick;
        control.onDoubleClick = desc.onDoubleClick;
        control.onPress = desc.onPress;
        control.onRelease = desc.onRelease;
    }
    Register(holder, kind);
    return &control;
}

ORVAN_UXButton* ORVAN_UXObjectjList::AddButton(ORVAN_UXViewController* screen,
                                               ORVAN_UXHolder<ORVAN_UXButton>& holder,
                                               const ORVAN_UXButtonDesc& desc) {
    return Add(screen, holder, desc, UX_KIND_BUTTON);
}

ORVAN_UXBitmap* ORVAN_UXObjectjList::AddBitmap(ORVAN_UXViewController* screen,
                                               ORVAN_UXHolder<ORVAN_UXBitmap>& holder,
                                               const ORVAN_UXBitmapDesc& desc) {
    return Add(screen, holder, desc, UX_KIND_BITMAP);
}

ORVAN_UXLabel* ORVAN_UXObjectjList::AddLabel(ORVAN_UXViewController* screen,
                                             ORVAN_UXHolder<ORVAN_UXLabel>& holder,
                                             const ORVAN_UXLabelDesc& desc) {
    return Add(screen, holder, desc, UX_KIND_LABEL);
}

ORVAN_UXRadio* ORVAN_UXObjectjList::AddRadio(ORVAN_UXViewController* screen,
                                             ORVAN_UXHolder<ORVAN_UXRadio>& holder,
                                             const ORVAN_UXRadioDesc& desc) {
    return Add(screen, holder, desc, UX_KIND_RADIO);
}

void ORVAN_UXObjectjList::Register(ORVAN_UXHolderBase& holder, int32_t kind) {
    // A holder filled a second time moves to the end instead of being listed twice.
    if (holder.list_) holder.list_->Unregister(holder);
    entries_.push_back(&holder);
    kinds_.push_back(kind);
    holder.list_ = this;
}

void ORVAN_UXObjectjList::Unregister(ORVAN_UXHolderBase& holder) {
    std::lock_guard guard(lock_);
    ForgetObject(holder.Object());
    for (size_t i = entries_.size(); i-- > 0;) {
        if (entries_[i] != &holder) continue;
        entries_.erase(entries_.begin() + static_cast<ptrdiff_t>(i));
        kinds_.erase(kinds_.begin() + static_cast<ptrdiff_t>(i));
    }
    holder.list_ = nullptr;
}

void ORVAN_UXObjectjList::ForgetObject(const ORVAN_UXObject* object) {
    std::lock_guard guard(lock_);
    if (object && captured_ == object) captured_ = nullptr;
}

void ORVAN_UXObjectjList::RemoveAll() {
    std::lock_guard guard(lock_);
    std::vector<ORVAN_UXHolderBase*> holders;
    holders.swap(entries_);
    kinds_.clear();
    captured_ = nullptr;
    for (ORVAN_UXHolderBase* holder : holders) {
        holder->list_ = nullptr;
        holder->Reset();
    }
}

ORVAN_UXObject* ORVAN_UXObjectjList::DispatchTarget(size_t index) const {
    if (index >= entries_.size() || !Dispatchable(kinds_[index])) return nullptr;
    return entries_[index]->Object();
}

void ORVAN_UXObjectjList::UpdateHover(uint32_t flags, orvan::wnd::Point point) {
    std::lock_guard guard(lock_);
    for (size_t i = 0; i < entries_.size(); ++i) {
        ORVAN_UXObject* object = DispatchTarget(i);
        if (object && object->OnHover(flags, point, kActive, kLocked)) return;
    }
    if (!owner_) return;
    const orvan::wnd::CursorHandle arrow = owner_->ArrowCursor();
    if (owner_->GetCursor() != arrow) owner_->SetCursor(arrow);
}

template <class Offer>
void ORVAN_UXObjectjList::DispatchGrab(uint32_t flags, orvan::wnd::Point point, Offer offer) {
    std::lock_guard guard(lock_);
    UpdateHover(flags, point);
    const std::unique_ptr<orvan::wnd::DeviceContext> dc = owner_ ? owner_->GetDC() : nullptr;
    // Indexed walk: a callback may register further controls while we iterate.
    for (size_t i = 0; i < entries_.size(); ++i) {
        ORVAN_UXObject* object = DispatchTarget(i);
        if (!object) continue;
        bool grabbed = false;
        offer(*object, dc.get(), grabbed);
        if (!grabbed) continue;
        captured_ = object;
        if (!captureActive_ && owner_) {
            owner_->SetCapture();
            captureActive_ = true;
        }
        return;
    }
}

void ORVAN_UXObjectjList::OnLButtonDown(uint32_t flags, orvan::wnd::Point point) {
    DispatchGrab(flags, point, [&](ORVAN_UXObject& object, orvan::wnd::DeviceContext* dc, bool& grabbed) {
        object.OnLButtonDown(flags, point, dc, pressRect_, kActive, kLocked, grabbed);
    });
}

void ORVAN_UXObjectjList::OnLButtonDblClk(uint32_t flags, orvan::wnd::Point point) {
    DispatchGrab(flags, point, [&](ORVAN_UXObject& object, orvan::wnd::DeviceContext* dc, bool& grabbed) {
        object.OnLButtonDblClk(flags, point, dc, pressRect_, kActive, kLocked, grabbed);
    });
}

void ORVAN_UXObjectjList::OnMouseMove(uint32_t flags, orvan::wnd::Point point) {
    std::lock_guard guard(lock_);
    UpdateHover(flags, point);
    const std::unique_ptr<orvan::wnd::DeviceContext> dc = owner_ ? owner_->GetDC() : nullptr;
    if (captured_) {
        bool taken = false;
        captured_->OnMouseMove(flags, point, dc.get(), pressRect_, kActive, kLocked, taken);
        return;
    }
    for (size_t i = 0; i < entries_.size(); ++i) {
        ORVAN_UXObject* object = DispatchTarget(i);
        if (!object) continue;
        bool taken = false;
        object->OnMouseMove(flags, point, dc.get(), pressRect_, kActive, kLocked, taken);
    }
}

void ORVAN_UXObjectjList::OnLButtonUp(uint32_t flags, orvan::wnd::Point point) {
    std::lock_guard guard(lock_);
    UpdateHover(flags, point);
    const std::unique_ptr<orvan::wnd::DeviceContext> dc = owner_ ? owner_->GetDC() : nullptr;
    if (captureActive_) {
        if (owner_) owner_->ReleaseCapture();
        captureActive_ = false;
    }
    if (captured_) {
        ORVAN_UXObject* released = captured_;
        captured_ = nullptr;
        bool taken = false;
        released->OnLButtonUp(flags, point, dc.get(), pressRect_, kActive, kLocked, taken);
        return;
    }
    // No control took the press that this release ends (it started outside every control, or
    // the pressed control was removed since): the controls return to normal, but the press
    // rectangle left by an earlier press must not turn this release into a click.
    const ORVAN_UXRect noPress;
    for (size_t i = 0; i < entries_.size(); ++i) {
        ORVAN_UXObject* object = DispatchTarget(i);
        if (!object) continue;
        bool taken = false;
        if (object->OnLButtonUp(flags, point, dc.get(), noPress, kActive, kLocked, taken) || taken) return;
    }
}

void ORVAN_UXObjectjList::ForEachObject(
    const std::function<void(ORVAN_UXObject& object, int32_t kind)>& visit) {
    std::lock_guard guard(lock_);
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (ORVAN_UXObject* object = DispatchTarget(i)) visit(*object, kinds_[i]);
    }
}

size_t ORVAN_UXObjectjList::Count() const {
    std::lock_guard guard(lock_);
    return entries_.size();
}

const ORVAN_UXObject* ORVAN_UXObjectjList::Captured() const {
    std::lock_guard guard(lock_);
    return captured_;
}

bool ORVAN_UXObjectjList::CaptureActive() const {
    std::lock_guard guard(lock_);
    return captureActive_;
}

ORVAN_UXRect ORVAN_UXObjectjList::PressRect() const {
    std::lock_guard guard(lock_);
    return pressRect_;
}

}  // namespace ORVAN_UXClass
