// The core's two system threads: the lock monitor and the 500 ms loop, which also keeps the
// link-local address and the addresses that reach devices alive and up to date.
#include <atomic>

#include "liborvaniot_core_cms/device_reach.h"
#include "liborvaniot_core_cms/liborvaniot_core_cms.h"
#include "liborvaniot_core_cms/misc_common.h"
#include "liborvaniot_os/liborvaniot_os.h"
#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "liborvaniot_os/liborvaniot_os_mutex.h"
#include "liborvaniot_os/liborvaniot_os_stop.h"

namespace {

constexpr uint32_t kMonitorPeriodMs = 1000;
constexpr uint32_t kLoopPeriodMs = 500;
constexpr uint32_t kRequestPauseMs = 5000;
// Renew (and check) the link-local address every second tick: about once a second, well inside
// the address's lifetime.
constexpr uint32_t kTicksPerRenewal = 2;

// Requests to end or restart the program, read under the core loop lock. Nothing sets them yet.
int32_t exit_request GUARDED_BY(liborvaniot_core_cms_loop_mx) = 0;
int32_t restart_request GUARDED_BY(liborvaniot_core_cms_loop_mx) = 0;

bool stopping() {
    return liborvaniot_os_stop_flag.load() != 0;
}

}  // namespace

int liborvaniot_core_cms_lock_monitor_routine(liborvaniot_os_sys_thread* self) {
    if (self == nullptr) return 0;
    while (!stopping()) {
        // Visits every held lock; nothing is reported, no threshold for "held too long" is defined.
        liborvaniot_os_mutex_visit_held([](int32_t, const liborvaniot_os_mutex_resource&, void*) {}, nullptr);
        liborvaniot_os_sleep_unless_stopped(kMonitorPeriodMs);
    }
    return 0;
}

int liborvaniot_core_cms_loop_routine_500ms(liborvaniot_os_sys_thread* self) {
    if (self == nullptr) return 0;
    bool requested = false;
    uint32_t tick = 0;
    while (!stopping()) {
        int32_t exit_now = 0;
        int32_t restart_now = 0;
        {
            plock_guard guard(liborvaniot_core_cms_loop_mx, "liborvaniot_core_cms_loop_routine_500ms",
                              __LINE__);
            exit_now = exit_request;
            restart_now = restart_request;
        }
        if (exit_now != 0 || restart_now == 1) requested = true;
        if (requested) {
            liborvaniot_os_raise_stop();
            liborvaniot_os_sleep_ms(kRequestPauseMs);
        }
        // The first turn adds the address the start left to the loop, if one is needed.
        if (tick++ % kTicksPerRenewal == 0) {
            misc_common_link_local_address_refresh();
            device_reach_refresh();
        }
        liborvaniot_os_sleep_unless_stopped(kLoopPeriodMs);
    }
    return 0;
}
