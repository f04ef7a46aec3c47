// Tracked heap blocks and sockets: each carries its origin, and whatever is still outstanding at
// the end of a run is listed by the leak reports.
#pragma once

#include <cstddef>
#include <cstdint>

void* liborvaniot_os_mem_malloc(size_t size, const char* file, int32_t line);
void* liborvaniot_os_mem_calloc(size_t count, size_t size, const char* file, int32_t line);
void liborvaniot_os_mem_dbg_free(void* block, const char* file, int32_t line);
void liborvaniot_os_mem_report_leaks();

// Number of tracked blocks currently outstanding (for tests and benchmarks).
int32_t liborvaniot_os_mem_outstanding_count();

using liborvaniot_os_socket = int;
inline constexpr liborvaniot_os_socket LIBORVANIOT_OS_INVALID_SOCKET = -1;
inline constexpr int32_t LIBORVANIOT_OS_SOCKET_SLOTS = 3469;

// IPv4 socket of the given type and protocol, already non-blocking, or the invalid handle.
liborvaniot_os_socket liborvaniot_os_socket_debug_open(int type, int protocol, const char* caller,
                                                       int32_t line);
void liborvaniot_os_socket_debug_close(liborvaniot_os_socket* sock);
void liborvaniot_os_socket_report_leaks();
