// Tracked heap blocks: every block carries a record of its size and origin, and the blocks still
// outstanding at the end of a run are reported.
#include "liborvaniot_os/liborvaniot_os_mem.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "liborvaniot_os/liborvaniot_os_thread.h"
#include "liborvaniot_os_mem_records.h"
#include "liborvaniot_os_memory_status.h"

namespace {

constexpr size_t kFileKept = 256;
using liborvaniot_os_memory_status::kLowMemory;

using liborvaniot_os_mem_records::record;

// Found by address in constant time, so that a release does not walk every live block (the XML
// reader's tables and the probe client's buffers are many).
liborvaniot_os_mem_records::registry& unguarded_records() {
    // Never destroyed: a detached thread may still release a block while the process exits.
    static auto* instance = new liborvaniot_os_mem_records::registry();
    return *instance;
}

// The records as everyone but a count taken before the memory lock exists sees them.
liborvaniot_os_mem_records::registry& records() REQUIRES(liborvaniot_os_mem_mx) {
    return unguarded_records();
}

const char* or_empty(const char* text) {
    return text != nullptr ? text : "";
}

uint64_t available_physical_memory() {
    uint64_t bytes = 0;
    // Unknown: do not claim a shortage we cannot see.
    return liborvaniot_os_memory_status::available_physical_memory(&bytes) ? bytes : kLowMemory;
}

// The file text is kept, not copied: callers pass source paths that live for the whole run, and the
// leak report cuts them to 256 characters.
bool _user_malloc_add_mem_info(void* block, uint64_t size, const char* file, int32_t line)
    REQUIRES(liborvaniot_os_mem_mx) {
    return records().add(block, size, or_empty(file), line);
}

int32_t _user_malloc_remove_mem_info(void* block, uint64_t* size) REQUIRES(liborvaniot_os_mem_mx) {
    return records().remove(block, size) ? 1 : 0;
}

}  // namespace

void* liborvaniot_os_mem_malloc(size_t size, const char* file, int32_t line) {
    if (!liborvaniot_os_mutex_is_present(&liborvaniot_os_mem_mx)) return nullptr;
    plock_guard held(liborvaniot_os_mem_mx, "liborvaniot_os_mem_malloc", __LINE__);

    const uint64_t available = available_physical_memory();
    if (available < kLowMemory) {
        // The file is cut as in the record: a message that needed a heap block would re-enter this lock.
        char buffer[MAX_DBG_MSG_NULL_SIZE];
        liborvaniot_os_debug_raw_printf(buffer, "out of memory, free mem = %d bytes < 4M bytes, %.*s:%d\n",
                                        static_cast<int32_t>(available), static_cast<int>(kFileKept),
                                        or_empty(file), line);
        liborvaniot_os_sleep_ms(1000);
    }
    void* block = std::malloc(size);
    if (block != nullptr && !_user_malloc_add_mem_info(block, size, file, line)) {
        // An untracked block would be invisible to the leak report and refused by the release.
        std::free(block);
        block = nullptr;
    }
    return block;
}

void* liborvaniot_os_mem_calloc(size_t count, size_t size, const char* file, int32_t line) {
    if (liborvaniot_os_mutex_is_present(&liborvaniot_os_mem_mx)) {
        plock_guard held(liborvaniot_os_mem_mx, "liborvaniot_os_mem_calloc", __LINE__);
        void* block = std::calloc(count, size);  // refuses a count * size that overflows
        if (block != nullptr &&
            !_user_malloc_add_mem_info(block, static_cast<uint64_t>(count) * size, file, line)) {
            std::free(block);
            block = nullptr;
        }
        if (block != nullptr) return block;
    }
    char buffer[MAX_DBG_MSG_NULL_SIZE];
    liborvaniot_os_debug_raw_printf(buffer, "calloc_z memory return null, %s:%d\n", or_empty(file), line);
    return nullptr;
}

void liborvaniot_os_mem_dbg_free(void* block, const char* file, int32_t line) {
    if (!liborvaniot_os_mutex_is_present(&liborvaniot_os_mem_mx)) return;
    bool found;
    {
        plock_guard held(liborvaniot_os_mem_mx, "liborvaniot_os_mem_dbg_free", __LINE__);
        uint64_t size = 0;
        found = _user_malloc_remove_mem_info(block, &size) == 1;
        if (found) std::free(block);
    }

    // Written after the memory lock is released: the log call takes the memory lock itself for long
    // messages while holding the log lock, so logging under the memory lock could deadlock.
    if (!found) {
        liborvaniot_os_debug_printf("_user_malloc_remove_mem_info", __LINE__,
                                    "_user_malloc_remove_mem_info Error !! %s:%d\n", or_empty(file), line);
    }
}

void liborvaniot_os_mem_report_leaks() {
    if (!liborvaniot_os_mutex_is_present(&liborvaniot_os_mem_mx)) return;
    constexpr const char* kCaller = "liborvaniot_os_mem_report_leaks";
    std::vector<record> outstanding;
    int32_t count;
    {
        plock_guard held(liborvaniot_os_mem_mx, kCaller, __LINE__);
        count = records().count();
        try {
            outstanding.reserve(static_cast<size_t>(count));
            records().for_each([&](const record& r) { outstanding.push_back(r); });
        } catch (const std::bad_alloc&) {
            // Lines for the records copied so far are still written, and the count covers all of them.
        }
    }

    // As for the release error, the lines are logged once the memory lock is free again, oldest
    // block first.
    for (const record& r : outstanding) {
        liborvaniot_os_debug_printf(kCaller, __LINE__,
                                    "memory leaks:[0x%016" PRIXPTR "],[%d] bytes,line:[%d],file: %.*s\n",
                                    reinterpret_cast<uintptr_t>(r.address), static_cast<int32_t>(r.size), r.line,
                                    static_cast<int>(kFileKept), r.file);
    }
    if (count > 0) liborvaniot_os_debug_printf(kCaller, __LINE__, "memory leaks count = %d\n", count);
}

int32_t liborvaniot_os_mem_outstanding_count() {
    // Without the memory lock nothing can change the records.
    if (!liborvaniot_os_mutex_is_present(&liborvaniot_os_mem_mx)) {
        return unguarded_records().count();
    }
    plock_guard held(liborvaniot_os_mem_mx, "liborvaniot_os_mem_outstanding_count", __LINE__);
    return records().count();
}
