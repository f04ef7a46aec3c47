// Platform runtime start and stop: debug layer, misc layer and net layer, with the order and the
// failure outcomes the rest of the program relies on.
#include "liborvaniot_os/liborvaniot_os.h"

#include <linux/limits.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <cwchar>

#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "liborvaniot_os/liborvaniot_os_stop.h"
#include "liborvaniot_os/liborvaniot_os_thread.h"

struct_plock liborvaniot_os_net_mx;

namespace {

std::atomic<int32_t> runtime_started{0};
std::atomic<int32_t> misc_started{0};
// BSD sockets need no library start; the flag keeps the start sequence the same on every platform.
std::atomic<int32_t> sockets_library_started{0};

// The path is only logged, so an unusual directory must not stop the program: the buffer holds the
// longest path the system allows, and bytes that are no text in the locale (a Latin-1 name under
// UTF-8, say) are shown as U+FFFD rather than failing the start.
int32_t read_current_directory(wchar_t* out, size_t capacity) {
    char narrow[PATH_MAX];
    if (::getcwd(narrow, sizeof narrow) == nullptr) return 1;
    std::mbstate_t state{};
    const char* source = narrow;
    const char* const end = narrow + std::strlen(narrow);
    size_t written = 0;
    while (source < end && written + 1 < capacity) {
        wchar_t character = 0;
        const size_t used = std::mbrtowc(&character, source, static_cast<size_t>(end - source), &state);
        if (used == static_cast<size_t>(-1) || used == static_cast<size_t>(-2) || used == 0) {
            character = 0xFFFD;
            state = std::mbstate_t{};
            ++source;
        } else {
            source += used;
        }
        out[written++] = character;
    }
    out[written] = L'\0';
    return 0;
}

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
    sockets_library_started = 1;
    return 0;
}

}  // namespace

int32_t liborvaniot_os_initialize() {
    // The directory is only logged: one that cannot be read (removed under the program, say) is no
    // reason to refuse to start.
    wchar_t directory[PATH_MAX];
    if (read_current_directory(directory, PATH_MAX) != 0) {
        liborvaniot_os_debug_safe_printfW(L"Unknown current directory\n");
    } else {
        liborvaniot_os_debug_safe_printfW(L"Current Dir: %s\n", directory);
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
        destroy_if_present(&liborvaniot_os_net_mx, "liborvaniot_os_net_finalize", __LINE__);
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
    const liborvaniot_os_socket stop = liborvaniot_os_stop_descriptor();
    while (milliseconds > 0) {
        if (liborvaniot_os_stop_flag.load() != 0) return 1;
        const uint32_t step = std::min(milliseconds, kSlice);
        pollfd wait{stop, POLLIN, 0};
        const int ready = stop == LIBORVANIOT_OS_INVALID_SOCKET ? -1 : ::poll(&wait, 1, static_cast<int>(step));
        if (ready < 0) {
            liborvaniot_os_sleep_ms(step);
        } else if (ready > 0 && liborvaniot_os_stop_flag.load() == 0) {
            // Readable from a stop that was lowered without the descriptor: the time was not slept.
            liborvaniot_os_stop_descriptor_settle();
            continue;
        }
        milliseconds -= step;
    }
    return liborvaniot_os_stop_flag.load() != 0 ? 1 : 0;
}
