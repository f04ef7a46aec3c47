// Core start and stop: brings every runtime layer up in order, starts the core threads, and on stop
// undoes it all before the leak reports run.
#include "liborvaniot_core_cms/liborvaniot_core_cms.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>

#include "liborvaniot_core_cms/device_reach.h"
#include "liborvaniot_core_cms/misc_common.h"
#include "liborvaniot_os/liborvaniot_os.h"
#include "liborvaniot_os/liborvaniot_os_console.h"
#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "liborvaniot_os/liborvaniot_os_mem.h"
#include "liborvaniot_os/liborvaniot_os_mutex.h"
#include "liborvaniot_os/liborvaniot_os_stop.h"

// The signal handler may only touch lock-free atomics.
static_assert(std::atomic<int32_t>::is_always_lock_free);

namespace {

struct core_thread {
    liborvaniot_os_sys_thread record;
    std::atomic<int32_t> created{0};
};

std::atomic<int32_t> core_initialized{0};
core_thread lock_monitor;
core_thread loop_500ms;

// The termination signals by number: Windows names only some of them.
constexpr int kSigInt = 2;
constexpr int kSigKill = 9;
constexpr int kSigUsr1 = 10;
constexpr int kSigSegv = 11;
constexpr int kSigUsr2 = 12;
constexpr int kSigTerm = 15;

void start_thread(core_thread& thread, int (*routine)(liborvaniot_os_sys_thread*)) {
    thread.created = 1;
    thread.record.routine = routine;
    thread.record.arg = nullptr;
    liborvaniot_os_sys_thread_create(&thread.record);  // a refusal is logged there
}

void stop_thread(core_thread& thread) {
    if (thread.created.load() == 0) return;
    thread.record.run = 0;
    liborvaniot_os_sys_thread_wait_stopped(&thread.record);
    thread.created = 0;
}

}  // namespace

int32_t liborvaniot_core_cms_initialize() {
    if (core_initialized.exchange(1) == 1) return 0;
    if (liborvaniot_os_initialize() != 0) {
        liborvaniot_os_raise_stop();
        liborvaniot_core_cms_finalize();
        return 1;
    }
    // Installed before the link-local search, which can take seconds, so that a termination request
    // during it ends the search instead of the process.
    liborvaniot_os_console_install_stop_handler(liborvaniot_core_cms_sigterm_handler);
    misc_common_initialize();
    liborvaniot_os_debug_printf("liborvaniot_core_cms_initialize", __LINE__, "%s:Version %s\n",
                                "liborvaniot_core_cms_initialize", ORVAN_CORE_VERSION_TEXT);
    start_thread(lock_monitor, liborvaniot_core_cms_lock_monitor_routine);
    start_thread(loop_500ms, liborvaniot_core_cms_loop_routine_500ms);
    return 0;
}

void liborvaniot_core_cms_finalize() {
    if (core_initialized.load() != 1) return;
    liborvaniot_os_raise_stop();
    stop_thread(lock_monitor);
    stop_thread(loop_500ms);
    liborvaniot_os_debug_printf("liborvaniot_core_cms_finalize", __LINE__, "%s:Ok.\n",
                                "liborvaniot_core_cms_finalize");
    device_reach_remove_all();
    misc_common_finalize();
    liborvaniot_os_mem_report_leaks();
    liborvaniot_os_finalize();
    liborvaniot_os_mutex_report_leaks();
    liborvaniot_os_socket_report_leaks();
    // Kept until here so that a termination request during the stop cannot cut it short.
    liborvaniot_os_console_restore_stop_handler();
    core_initialized = 0;
}

void liborvaniot_core_cms_sigterm_handler(int signal_number) {
    switch (signal_number) {
        case kSigInt:
        case kSigKill:
        case kSigUsr1:
        case kSigUsr2:
        case kSigTerm:
            liborvaniot_os_raise_stop();
            break;
        case kSigSegv: {
            static constexpr char kMessage[] = "== SIGSEGV ==\n";
            [[maybe_unused]] const auto written = ::write(STDOUT_FILENO, kMessage, sizeof kMessage - 1);
            std::_Exit(1);
        }
        default:
            break;
    }
}

int32_t liborvaniot_core_cms_running_threads() {
    return (lock_monitor.record.id.load() != 0 ? 1 : 0) + (loop_500ms.record.id.load() != 0 ? 1 : 0);
}
