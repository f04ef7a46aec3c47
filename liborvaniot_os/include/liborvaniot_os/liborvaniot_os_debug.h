// The single diagnostic channel: printf-style messages written whole, one write per message,
// to standard error. Also brings up and tears down the runtime's service locks.
#pragma once

#include <cstddef>
#include <cstdint>

#include "liborvaniot_os/liborvaniot_os_mutex.h"

// Capacity of a message buffer (terminating zero included) in the narrow variants, and the
// length limit in characters of a wide message.
inline constexpr int32_t MAX_DBG_MSG_NULL_SIZE = 10240;

// The log lock and the service locks created by liborvaniot_os_debug_initialize, in creation order.
extern struct_plock liborvaniot_os_debug_mx;
extern struct_plock liborvaniot_os_mem_mx;
extern struct_plock liborvaniot_os_socket_mx;
extern struct_plock liborvaniot_core_cms_loop_mx;

// Locked log call. The caller name and line identify the lock holder; they are not written.
void liborvaniot_os_debug_printf(const char* caller, int32_t line, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Lock-free variant for the lock and memory layers; buffer is a caller-owned area of
// MAX_DBG_MSG_NULL_SIZE bytes.
void liborvaniot_os_debug_raw_printf(char* buffer, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// Wide-character variant; %s takes a wide text. Written as UTF-8.
void liborvaniot_os_debug_safe_printfW(const wchar_t* format, ...);

// Zeroed tracked block of size bytes recorded under the debug module's source path, or null.
void* calloc_z(size_t size, int32_t line);

// Sends every later message to the file descriptor instead of standard error; a negative one drops
// them. For programs whose standard error belongs to their user (a command-line tool).
void liborvaniot_os_debug_set_output(int fd);

int32_t liborvaniot_os_debug_initialize();
int32_t liborvaniot_os_debug_finalize();
