// The navigator: owns the screens, the UX object list and the connected-device record, and on
// every navigation request replaces the current screen with a freshly built one. Which screens
// exist is given by an activity table of {id, slot, factory}; an id outside the table names no
// screen.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "corvaniot_network.h"
#include "orvan_ux/ux_object_list.h"
#include "orvan_ux/ux_view_controller.h"
#include "orvan_wnd/wnd.h"

namespace ORVAN_UXClass {

class AppDelegate;

// Builds a screen: it gets the view, the object list and the navigator, creates its controls
// and posts nothing.
using ActivityFactory = std::unique_ptr<ORVAN_UXViewController> (*)(orvan::wnd::Window* view,
                                                                    ORVAN_UXObjectjList* objectList,
                                                                    AppDelegate* delegate);

struct ActivityEntry {
    int32_t id;
    int32_t slot;  // 1 to 55: where the navigator keeps a screen of this kind
    ActivityFactory create;
};

// The factory of a screen that needs nothing beyond its constructor.
template <class Screen>
std::unique_ptr<ORVAN_UXViewController> MakeActivity(orvan::wnd::Window* view,
                                                     ORVAN_UXObjectjList* objectList, AppDelegate* delegate) {
    return std::make_unique<Screen>(view, objectList, delegate);
}

inline constexpr int32_t kActivitySlotCount = 56;
inline constexpr int32_t kWelcomeActivityId = 1000;
inline constexpr int32_t kDeviceListActivityId = 1001;

// The first parameter of MSG_ACTIVITY_NAVIGATE for a request made by screen.
inline int64_t RequesterParam(const ORVAN_UXViewController* screen) {
    return static_cast<int64_t>(reinterpret_cast<intptr_t>(screen));
}
inline constexpr int64_t kNoRequester = -1;

class AppDelegate {
  public:
    explicit AppDelegate(std::span<const ActivityEntry> activities);
    // Deletes the registered controls, the record, the screens (slot 55 down to 1), then the
    // object list.
    virtual ~AppDelegate();
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // Handles MSG_ACTIVITY_NAVIGATE: requester is the screen that posted (or -1), next the id
    // of the screen to show (low 32 bits, signed; 0 or below means the welcome screen).
    void navigate(int64_t requester, int64_t next);
    // Builds and activates the screen for id; for an id outside the table no screen is current.
    void create_activity(int32_t id);
    // Deactivates (unless already done) and deletes the current screen.
    void release_current_activity();
    void prepare_connection(corvaniot_network* record);

    // The table entry for id, or null.
    const ActivityEntry* find_activity(int64_t id) const;

    orvan::wnd::Window* view = nullptr;
    int32_t home_activity_id = kDeviceListActivityId;
    std::unique_ptr<ORVAN_UXObjectjList> objectList;                                // slot 0
    std::array<std::unique_ptr<ORVAN_UXViewController>, kActivitySlotCount> slots;  // 1 to 55
    int64_t current_activity_id = -1;
    bool has_navigated = false;
    ORVAN_UXViewController* current_activity = nullptr;
    std::unique_ptr<corvaniot_network> device;
    int32_t return_activity_id = 0;
    int32_t pending_activity_id = 0;
    int32_t fail_timeout_s = 30;
    int32_t success_delay_s = 0;
    int32_t client_width = 0;
    int32_t client_height = 0;

  private:
    std::span<const ActivityEntry> activities_;
};

}  // namespace ORVAN_UXClass
