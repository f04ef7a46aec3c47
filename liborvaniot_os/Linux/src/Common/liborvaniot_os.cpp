// Platform runtime start and stop: debug layer, misc layer and net layer, with the order and the
// failure outcomes the rest of the program relies on.
#include "liborvaniot_os/liborvaniot_os.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>

#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "liborvaniot_os/liborvaniot_os_stop.h"
#include "liborvaniot_os/liborvaniot_os_thread.h"
#include "liborvaniot_os_current_directory.h"
#include "liborvaniot_os_socket_calls.h"

struct_plock liborvaniot_os_net_mx;

namespace {

std::atomic<int32_t> runtime_started{0};
std::atomic<int32_t> misc_started{0};
// Set while the socket library (Winsock; nothing to start for BSD sockets) is started, so that only
// a start that succeeded is undone.
std::atomic<int32_t> sockets_library_started{0};

// A start that failed half-way leaves some locks absent; stopping after it must not halt on them.
void destroy_if_present(struct_plock* lock, const char* caller, int32_t line) {
    if (liborvaniot_os_mutex_is_present(lock)) liborvaniot_os_mutex_struct_plock_free(lock, caller, line);
}

int32_t misc_initialize() {
    misc_started = 1;
    return liborvaniot_os_mutex_struct_plock_init(&liborvaniot_os_localtime_mx,
                                                  "liborvaniot_os_misc_initialize", __LINE__) == 0
               ? 0
               : 1;
}

int32_t net_initialize() {
    if (liborvaniot_os_mutex_struct_plock_init(&liborvaniot_os_net_mx, "liborvaniot_os_net_initialize",
                                               __LINE__) != 0) {
        return 1;
    }
    if (liborvaniot_os_socket_calls::library_start() != 0) {
        liborvaniot_os_debug_printf("liborvaniot_os_net_initialize", __LINE__, "WSAStartup error !!\n");
        return 1;
    }
    sockets_library_started = 1;
    return 0;
}

void net_finalize() {
    if (sockets_library_started.exchange(0) != 0) liborvaniot_os_socket_calls::library_stop();
    destroy_if_present(&liborvaniot_os_net_mx, "liborvaniot_os_net_finalize", __LINE__);
}

}  // namespace

int32_t liborvaniot_os_initialize() {
    // The directory is only logged: one that cannot be read (removed under the program, say) is no
    // reason to refuse to start.
    std::wstring directory;
    if (!liborvaniot_os_read_current_directory(&directory)) {
        liborvaniot_os_debug_safe_printfW(L"Unknown current directory\n");
    } else {
        liborvaniot_os_debug_safe_printfW(L"Current Dir: %s\n", directory.c_str());
    }

    if (runtime_started.load() != 0) {
        liborvaniot_os_finalize();
        return 1;
    }
    runtime_started = 1;
    liborvaniot_os_lower_stop();

    if (liborvaniot_os_debug_initialize() != 0 || misc_initialize() != 0 || net_initialize() != 0) {
        liborvaniot_os_finalize();
        return 1;
    }
    return 0;
}

int32_t liborvaniot_os_finalize() {
    if (runtime_started.load() == 0) return 1;
    runtime_started = 0;
    if (misc_started.exchange(0) != 0) {
        net_finalize();
        destroy_if_present(&liborvaniot_os_localtime_mx, "liborvaniot_os_misc_finalize", __LINE__);
    }
    liborvaniot_os_debug_finalize();
    liborvaniot_os_lower_stop();
    return 0;
}

int32_t liborvaniot_os_sleep_unless_stopped(uint32_t milliseconds) {
    // A stop raised through liborvaniot_os_raise_stop wakes the wait at once; one stored straight
    // into the flag is still seen within a slice.
    constexpr uint32_t kSlice = 250;
    while (milliseconds > 0) {
        if (liborvaniot_os_stop_flag.load() != 0) return 1;
        const uint32_t step = std::min(milliseconds, kSlice);
        // Only a raised stop ends the wait early: a readable descriptor under a lowered flag is
        // quietened and the time is waited again.
        if (liborvaniot_os_stop_wait(step) != 0 && liborvaniot_os_stop_flag.load() == 0) {
            liborvaniot_os_stop_descriptor_settle();
            continue;
        }
        milliseconds -= step;
    }
    return liborvaniot_os_stop_flag.load() != 0 ? 1 : 0;
}
