#include "ChildView.h"

#include "first_paint_report.h"
#include "orvan_ux/ux_messages.h"

using ORVAN_UXClass::AppDelegate;

CChildView::CChildView(std::span<const ORVAN_UXClass::ActivityEntry> activities)
    : delegate_(std::make_unique<AppDelegate>(activities)) {}

CChildView::~CChildView() = default;

void CChildView::SetUp() {
    delegate_->view = window_;
    delegate_->objectList = std::make_unique<ORVAN_UXClass::ORVAN_UXObjectjList>(window_);
    delegate_->home_activity_id = ORVAN_UXClass::kDeviceListActivityId;
    window_->PostMessage(ORVAN_UXClass::MSG_ACTIVITY_NAVIGATE, ORVAN_UXClass::kNoRequester,
                         delegate_->home_activity_id);
}

void CChildView::OnSize(uint32_t /*type*/, int32_t cx, int32_t cy) {
    delegate_->client_width = cx;
    delegate_->client_height = cy;
    if (delegate_->current_activity != nullptr) delegate_->current_activity->OnSize(cx, cy);
}

void CChildView::OnPaint(orvan::wnd::DeviceContext& dc) {
    ORVAN_UXClass::ORVAN_UXViewController* screen = delegate_->current_activity;
    if (screen != nullptr) screen->OnPaint(&dc, true, false);
    // The first paint once the start request was handled is what the user first sees.
    if (!first_paint_seen_ && delegate_->current_activity_id != -1) {
        first_paint_seen_ = true;
        ReportFirstPaint(screen != nullptr ? delegate_->current_activity_id : -1);
    }
}

// The background is never erased, so the window keeps its last picture between screens.
bool CChildView::OnEraseBkgnd(orvan::wnd::DeviceContext& /*dc*/) {
    return true;
}

void CChildView::OnLButtonDown(uint32_t flags, orvan::wnd::Point point) {
    if (delegate_->objectList) delegate_->objectList->OnLButtonDown(flags, point);
}

void CChildView::OnLButtonDblClk(uint32_t flags, orvan::wnd::Point point) {
    if (delegate_->objectList) delegate_->objectList->OnLButtonDblClk(flags, point);
}

void CChildView::OnMouseMove(uint32_t flags, orvan::wnd::Point point) {
    if (!delegate_->objectList) return;
    if (delegate_->current_activity != nullptr) delegate_->current_activity->OnMouseMove(point.x, point.y);
    delegate_->objectList->OnMouseMove(flags, point);
}

void CChildView::OnLButtonUp(uint32_t flags, orvan::wnd::Point point) {
    if (delegate_->objectList) delegate_->objectList->OnLButtonUp(flags, point);
}

void CChildView::OnTimer(uint32_t id) {
    if (delegate_->current_activity != nullptr) delegate_->current_activity->OnTimer(id);
}

bool CChildView::OnSetCursor(std::optional<orvan::wnd::Point> cursorClient) {
    if (!cursorClient || window_ == nullptr) return true;
    const orvan::wnd::Size client = window_->GetClientSize();
    const bool inside = cursorClient->x >= 0 && cursorClient->y >= 0 && cursorClient->x < client.cx &&
                        cursorClient->y < client.cy;
    // Inside, the cursor the UX objects chose stays; elsewhere the view's own applies.
    return inside;
}

int64_t CChildView::OnMessage(uint32_t message, int64_t wparam, int64_t lparam) {
    // Messages still queued for a window that is gone are dropped, as the window system drops
    // them for a destroyed window.
    if (window_ == nullptr) return 0;
    if (message == ORVAN_UXClass::MSG_ACTIVITY_NAVIGATE) {
        delegate_->navigate(wparam, lparam);
    } else if (message == ORVAN_UXClass::MSG_ACTIVITY_REPAINT) {
        if (window_->IsWindow()) window_->Invalidate(true);
    }
    return 0;
}

void CChildView::OnNotify(const orvan::wnd::ListNotification& notification, int64_t* result) {
    if (notification.controlId != kListControlId) return;
    if (!delegate_->objectList || delegate_->current_activity == nullptr) return;
    ORVAN_UXClass::ORVAN_UXViewController& screen = *delegate_->current_activity;
    switch (notification.code) {
        // A row chosen with the keyboard is chosen as surely as a clicked one.
        case orvan::wnd::NM_CLICK:
        case orvan::wnd::LVN_ITEMCHANGED:
            screen.OnListClick(notification.item, result);
            break;
        case orvan::wnd::NM_DBLCLK:
        case orvan::wnd::NM_RETURN:
            screen.OnListItemActivate(notification.item);
            break;
        case orvan::wnd::NM_RCLICK:
            screen.OnListRightClick(notification.item, notification.point);
            break;
        case orvan::wnd::LVN_COLUMNCLICK:
            screen.OnListColumnClick(notification.subItem);
            break;
        case orvan::wnd::LVN_KEYDOWN:
            if (notification.key == orvan::wnd::VK_C && (notification.flags & orvan::wnd::MK_CONTROL) != 0) {
                screen.OnListCopy(notification.item);
            }
            break;
        default:
            break;
    }
}
