// Base of every screen: the window, object list and navigator it works with, and the events the
// navigator and the child view deliver to it.
#pragma once

#include <cstdint>

#include "orvan_ux/ux_object_list.h"
#include "orvan_wnd/wnd.h"

namespace ORVAN_UXClass {

class AppDelegate;

// The base paint draws the registered controls; every other operation does nothing until a
// screen overrides it.
class ORVAN_UXViewController {
  public:
    ORVAN_UXViewController(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList, AppDelegate* delegate);
    ORVAN_UXViewController(const ORVAN_UXViewController&) = delete;
    ORVAN_UXViewController& operator=(const ORVAN_UXViewController&) = delete;

    // Builds the controls of screens that do not build them in their constructor.
    virtual void CreateView();
    virtual void Reserved1();
    // Screens call objectList->RemoveAll() first thing in their destructor.
    virtual ~ORVAN_UXViewController();
    virtual void Reserved2();
    virtual void OnTimer(uint32_t timerId);
    // Locks the object list and draws every registered control in registration order.
    virtual void OnPaint(orvan::wnd::DeviceContext* dc, bool active, bool locked);
    // Every mouse move over the view, before the object list dispatches it.
    virtual void OnMouseMove(int32_t x, int32_t y);
    // A click on the list control: the clicked row, or -1 below the last row.
    virtual void OnListClick(int32_t row, int64_t* result);
    // A double click on a row of the list control, or Enter on its current row (-1: none).
    virtual void OnListItemActivate(int32_t row);
    // A right click on the list control: the row under the pointer (-1: none) and where, in the
    // view's coordinates.
    virtual void OnListRightClick(int32_t row, orvan::wnd::Point point);
    // A click on a column heading of the list control.
    virtual void OnListColumnClick(int32_t column);
    // The copy shortcut in the list control, with its current row (-1: none).
    virtual void OnListCopy(int32_t row);
    virtual void OnSize(int32_t cx, int32_t cy);
    virtual void MarkDeactivated();
    virtual void OnActivate();
    virtual void OnDeactivate();
    // The screen's Prev action.
    virtual void OnBack();

    // Click callback of the Prev and Cancel buttons: runs OnBack of the screen given as userData.
    static int OnPrevClicked(ORVAN_UXViewController* userData, int64_t arg1, int64_t arg2);

    int32_t deactivated = 0;
    orvan::wnd::Window* view = nullptr;
    ORVAN_UXObjectjList* objectList = nullptr;
    AppDelegate* delegate = nullptr;
};

}  // namespace ORVAN_UXClass
