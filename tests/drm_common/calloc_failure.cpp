// The linker routes every call of the tracked zeroed allocation through the wrapper below
// (-Wl,--wrap with the function's mangled name), which fails the chosen one.
#include "calloc_failure.h"

#include <atomic>
#include <cstddef>

namespace {
std::atomic<int32_t> countdown{0};
}

// The Itanium-ABI name of liborvaniot_os_mem_calloc(size_t, size_t, const char*, int32_t): size_t is
// unsigned long on 64-bit Linux and unsigned long long on 64-bit Windows.
#ifdef _WIN64
#define TRACKED_CALLOC(prefix) prefix##_Z25liborvaniot_os_mem_callocyyPKci
#else
#define TRACKED_CALLOC(prefix) prefix##_Z25liborvaniot_os_mem_callocmmPKci
#endif

extern "C" void* TRACKED_CALLOC(__real_)(size_t count, size_t size, const char* file, int32_t line);

extern "C" void* TRACKED_CALLOC(__wrap_)(size_t count, size_t size, const char* file, int32_t line) {
    int32_t left = countdown.load();
    if (left > 0) {
        countdown.store(left - 1);
        if (left == 1) return nullptr;
    }
    return TRACKED_CALLOC(__real_)(count, size, file, line);
}

calloc_failure::calloc_failure(int32_t nth) {
    countdown.store(nth);
}

calloc_failure::~calloc_failure() {
    countdown.store(0);
}
