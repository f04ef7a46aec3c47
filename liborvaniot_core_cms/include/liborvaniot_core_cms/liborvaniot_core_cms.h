// The core runtime: the single entry and exit point of all runtime layers, with its two threads and
// the end-of-run leak reports.
#pragma once

#include <cstdint>

#include "liborvaniot_os/liborvaniot_os_thread.h"

#define LIBORVANIOT_CORE_CMS_EXPORT extern "C" __attribute__((visibility("default")))

// 0 when the core runs (also when it already ran), 1 when the platform runtime failed to start.
// Installs liborvaniot_core_cms_sigterm_handler for SIGINT and SIGTERM while the core runs.
LIBORVANIOT_CORE_CMS_EXPORT int32_t liborvaniot_core_cms_initialize();
LIBORVANIOT_CORE_CMS_EXPORT void liborvaniot_core_cms_finalize();
// Termination signals (2, 9, 10, 12, 15) raise the stop flag; 11 writes a line to standard output and
// ends the process with status 1; others are ignored. Async-signal-safe.
LIBORVANIOT_CORE_CMS_EXPORT void liborvaniot_core_cms_sigterm_handler(int signal_number);

// The two core thread routines; each returns 0 at once for a null record.
int liborvaniot_core_cms_loop_routine_500ms(liborvaniot_os_sys_thread* self);
int liborvaniot_core_cms_lock_monitor_routine(liborvaniot_os_sys_thread* self);

// Number of core threads running now (0 to 2), for diagnostics and tests.
int32_t liborvaniot_core_cms_running_threads();
