#include "win32_popup_menu.h"

namespace orvan::wnd::win32 {

uint32_t ShowPopupMenu(HWND owner, const std::vector<MenuItem>& items, Point point) {
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) return 0;
    for (const MenuItem& item : items) {
        if (item.id == 0) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuW(menu, MF_STRING, item.id, item.text.c_str());
        }
    }
    POINT at{point.x, point.y};
    ClientToScreen(owner, &at);
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(GetAncestor(owner, GA_ROOT));
    const BOOL chosen =
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON,
                       at.x, at.y, 0, owner, nullptr);
    DestroyMenu(menu);
    return static_cast<uint32_t>(chosen);
}

}  // namespace orvan::wnd::win32
