// Registry of the drawn controls: creates them for screens and turns the child view's raw mouse
// events into hover, press, drag, release and double-click events with capture and cursor.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "orvan_ux/ux_bitmap.h"
#include "orvan_ux/ux_button.h"
#include "orvan_ux/ux_descriptors.h"
#include "orvan_ux/ux_holder.h"
#include "orvan_ux/ux_label.h"
#include "orvan_ux/ux_radio.h"
#include "orvan_wnd/wnd.h"

namespace ORVAN_UXClass {

class ORVAN_UXViewController;

// Every operation holds the list's recursive lock for its whole duration, callbacks included, so
// a callback may call back into the list on the same thread. Callbacks must not delete controls
// (screen changes go through a posted navigation request).
class ORVAN_UXObjectjList {
  public:
    explicit ORVAN_UXObjectjList(orvan::wnd::Window* owner);
    // Does not delete controls; their holders belong to the screens.
    virtual ~ORVAN_UXObjectjList();
    ORVAN_UXObjectjList(const ORVAN_UXObjectjList&) = delete;
    ORVAN_UXObjectjList& operator=(const ORVAN_UXObjectjList&) = delete;

    // Create a control for screen into holder (deleting what it held) and register it last.
    ORVAN_UXButton* AddButton(ORVAN_UXViewController* screen, ORVAN_UXHolder<ORVAN_UXButton>& holder,
                              const ORVAN_UXButtonDesc& desc);
    ORVAN_UXBitmap* AddBitmap(ORVAN_UXViewController* screen, ORVAN_UXHolder<ORVAN_UXBitmap>& holder,
                              const ORVAN_UXBitmapDesc& desc);
    ORVAN_UXLabel* AddLabel(ORVAN_UXViewController* screen, ORVAN_UXHolder<ORVAN_UXLabel>& holder,
                            const ORVAN_UXLabelDesc& desc);
    ORVAN_UXRadio* AddRadio(ORVAN_UXViewController* screen, ORVAN_UXHolder<ORVAN_UXRadio>& holder,
                            const ORVAN_UXRadioDesc& desc);

    // Deletes every registered control through its holder and forgets them all.
    void RemoveAll();

    void UpdateHover(uint32_t flags, orvan::wnd::Point point);
    void OnLButtonDown(uint32_t flags, orvan::wnd::Point point);
    void OnLButtonDblClk(uint32_t flags, orvan::wnd::Point point);
    void OnMouseMove(uint32_t flags, orvan::wnd::Point point);
    void OnLButtonUp(uint32_t flags, orvan::wnd::Point point);

    // Visits the registered controls of kinds 0 to 3 in registration order, under the lock.
    void ForEachObject(const std::function<void(ORVAN_UXObject& object, int32_t kind)>& visit);
    // Holds the lock for work that must not interleave with dispatch or paint.
    [[nodiscard]] std::unique_lock<std::recursive_mutex> Lock() { return std::unique_lock(lock_); }

    size_t Count() const;
    // The control that took the current press, if any.
    const ORVAN_UXObject* Captured() const;
    bool CaptureActive() const;
    // Rectangle of the control that took the last press or double click.
    ORVAN_UXRect PressRect() const;

  private:
    friend class ORVAN_UXHolderBase;

    template <class Control, class Desc>
    Control* Add(ORVAN_UXViewController* screen, ORVAN_UXHolder<Control>& holder, const Desc& desc,
                 int32_t kind);
    void Register(ORVAN_UXHolderBase& holder, int32_t kind);
    // Called by a holder that is going away.
    void Unregister(ORVAN_UXHolderBase& holder);
    // Called by a holder that is about to delete object.
    void ForgetObject(const ORVAN_UXObject* object);
    // The control of entry index when it takes part in dispatch and paint, else null.
    ORVAN_UXObject* DispatchTarget(size_t index) const;
    // Shared by press and double click: offer the event in order until a control grabs it.
    template <class Offer>
    void DispatchGrab(uint32_t flags, orvan::wnd::Point point, Offer offer);

    std::vector<ORVAN_UXHolderBase*> entries_;
    std::vector<int32_t> kinds_;
    orvan::wnd::Window* owner_ = nullptr;
    ORVAN_UXRect pressRect_;
    ORVAN_UXObject* captured_ = nullptr;
    bool captureActive_ = false;
    mutable std::recursive_mutex lock_;
};

}  // namespace ORVAN_UXClass
