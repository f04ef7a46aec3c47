// The linker routes every call of the tracked zeroed allocation through the wrapper below
// (-Wl,--wrap with the function's mangled name), which fails the chosen one.
#include "calloc_failure.h"

#include <atomic>
#include <cstddef>

namespace {
std::atomic<int32_t> countdown{0};
}

extern "C" void* __real__Z25liborvaniot_os_mem_callocmmPKci(size_t count, size_t size, const char* file,
                                                            int32_t line);

extern "C" void* __wrap__Z25liborvaniot_os_mem_callocmmPKci(size_t count, size_t size, const char* file,
                                                            int32_t line) {
    int32_t left = countdown.load();
    if (left > 0) {
        countdown.store(left - 1);
        if (left == 1) return nullptr;
    }
    return __real__Z25liborvaniot_os_mem_callocmmPKci(count, size, file, line);
}

calloc_failure::calloc_failure(int32_t nth) {
    countdown.store(nth);
}

calloc_failure::~calloc_failure() {
    countdown.store(0);
}
