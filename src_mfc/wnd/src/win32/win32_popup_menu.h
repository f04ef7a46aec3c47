// The row menu: a popup menu at a point of a window, waited for like a modal one.
#pragma once

#include <vector>

#include "win32_util.h"

namespace orvan::wnd::win32 {

// The chosen item's id, 0 when the menu closed without a choice. point is in owner's client coordinates.
uint32_t ShowPopupMenu(HWND owner, const std::vector<MenuItem>& items, Point point);

}  // namespace orvan::wnd::win32
