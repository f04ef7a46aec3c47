// The narrow log calls, the zeroed allocation they use for long messages, and the start and stop of
// the runtime's service locks.
#include "liborvaniot_os/liborvaniot_os_debug.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "liborvaniot_os/liborvaniot_os_mem.h"
#include "liborvaniot_os/liborvaniot_os_report_labels.h"
#include "liborvaniot_os_debug_sink.h"

struct_plock liborvaniot_os_debug_mx;
struct_plock liborvaniot_os_mem_mx;
struct_plock liborvaniot_os_socket_mx;
struct_plock liborvaniot_core_cms_loop_mx;

namespace {

// Recorded as the file of this module's tracked allocations, and so printed by the leak report.
constexpr const char* kModulePath = liborvaniot_os_report_labels::kDebug;
constexpr char kLengthError[] = "\nerror !! len != buf_null_size\n";

char shared_buffer[MAX_DBG_MSG_NULL_SIZE] GUARDED_BY(liborvaniot_os_debug_mx);

// Formats into the fixed buffer, or into a tracked heap block when the message does not fit, and
// writes the result. The formatter runs twice: once to measure, once to write.
void format_and_write(char* fixed_buffer, const char* format, va_list args) {
    va_list measure_args;
    va_copy(measure_args, args);
    const int measured = std::vsnprintf(nullptr, 0, format, measure_args);
    va_end(measure_args);
    const size_t buf_null_size = measured < 0 ? 0 : static_cast<size_t>(measured) + 1;

    char* destination = fixed_buffer;
    const bool on_heap = buf_null_size > static_cast<size_t>(MAX_DBG_MSG_NULL_SIZE);
    if (on_heap) {
        destination = static_cast<char*>(calloc_z(buf_null_size, __LINE__));
        if (destination == nullptr) return;  // calloc_z has said why; the message cannot be formatted
    }

    const char* text = kLengthError;
    size_t length = sizeof(kLengthError) - 1;
    if (buf_null_size > 0) {
        std::memset(destination, 0, buf_null_size);
        std::vsnprintf(destination, buf_null_size, format, args);
        // An embedded zero produced by the arguments makes the text shorter than measured.
        const size_t formatted = std::strlen(destination);
        if (formatted + 1 == buf_null_size) {
            text = destination;
            length = formatted;
        }
    }
    liborvaniot_os_debug_sink::write_message(text, length);

    if (on_heap) liborvaniot_os_mem_dbg_free(destination, kModulePath, __LINE__);
}

int32_t create_service_lock(struct_plock* lock, int32_t line) {
    return liborvaniot_os_mutex_struct_plock_init(lock, "liborvaniot_os_debug_initialize", line);
}

int32_t destroy_if_present(struct_plock* lock, int32_t line) {
    // A start that failed half-way leaves some locks absent; stopping after it must not halt.
    if (!liborvaniot_os_mutex_is_present(lock)) return 0;
    return liborvaniot_os_mutex_struct_plock_free(lock, "liborvaniot_os_debug_finalize", line);
}

}  // namespace

void liborvaniot_os_debug_printf(const char* caller, int32_t line, const char* format, ...) {
    if (!liborvaniot_os_mutex_is_present(&liborvaniot_os_debug_mx)) return;
    plock_guard held(liborvaniot_os_debug_mx, caller, line);
    va_list args;
    va_start(args, format);
    format_and_write(shared_buffer, format, args);
    va_end(args);
}

void liborvaniot_os_debug_raw_printf(char* buffer, const char* format, ...) {
    va_list args;
    va_start(args, format);
    format_and_write(buffer, format, args);
    va_end(args);
}

void* calloc_z(size_t size, int32_t line) {
    void* block = liborvaniot_os_mem_malloc(size, kModulePath, line);
    if (block == nullptr) {
        char buffer[MAX_DBG_MSG_NULL_SIZE];
        liborvaniot_os_debug_raw_printf(buffer, "calloc_z memory return null, %s:%d\n", kModulePath, line);
        return nullptr;
    }
    std::memset(block, 0, size);
    return block;
}

int32_t liborvaniot_os_debug_initialize() {
    if (liborvaniot_os_mutex_struct_plock_init(&liborvaniot_os_debug_mx, "liborvaniot_os_debug_initialize",
                                               __LINE__) != 0) {
        char buffer[MAX_DBG_MSG_NULL_SIZE];
        liborvaniot_os_debug_raw_printf(buffer, "mutex init liborvaniot_os_debug_mx,error !!\n");
        return 1;
    }
    if (create_service_lock(&liborvaniot_os_mem_mx, __LINE__) != 0) return 1;
    if (create_service_lock(&liborvaniot_os_socket_mx, __LINE__) != 0) return 1;
    if (create_service_lock(&liborvaniot_core_cms_loop_mx, __LINE__) != 0) return 1;
    return 0;
}

int32_t liborvaniot_os_debug_finalize() {
    destroy_if_present(&liborvaniot_core_cms_loop_mx, __LINE__);
    destroy_if_present(&liborvaniot_os_socket_mx, __LINE__);
    destroy_if_present(&liborvaniot_os_mem_mx, __LINE__);
    if (destroy_if_present(&liborvaniot_os_debug_mx, __LINE__) != 0) {
        char buffer[MAX_DBG_MSG_NULL_SIZE];
        liborvaniot_os_debug_raw_printf(buffer, "mutex free &liborvaniot_os_debug_mx,error !!\n");
    }
    return 0;
}
