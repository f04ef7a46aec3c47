// Clocks on Windows: the performance counter and its frequency, the system time as a file time,
// the C runtime's 64-bit local-time conversion, and Sleep.
// The portable code built with this file is in Linux/src/Common (see liborvaniot_os/README.md).
#include "liborvaniot_os_clock.h"

#include <windows.h>

#include "liborvaniot_os/liborvaniot_os_thread.h"

namespace liborvaniot_os_clock {

namespace {

// 100 ns intervals between 1601-01-01 (the file time's origin) and 1970-01-01.
constexpr int64_t kUnixEpochAsFileTime = 116444736000000000;
constexpr int64_t kFileTimePerSecond = 10000000;

}  // namespace

int64_t counter() {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

int64_t counter_coarse() {
    // The performance counter is cheap here (no kernel transition), so the stamp is exact.
    return counter();
}

int64_t frequency() {
    // Fixed at boot: read once.
    static const int64_t ticks_per_second = [] {
        LARGE_INTEGER value{};
        QueryPerformanceFrequency(&value);
        return value.QuadPart > 0 ? value.QuadPart : int64_t{1};
    }();
    return ticks_per_second;
}

void wall_clock(int64_t* seconds, int32_t* milliseconds) {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const int64_t since_1970 =
        ((static_cast<int64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime) - kUnixEpochAsFileTime;
    *seconds = since_1970 / kFileTimePerSecond;
    *milliseconds = static_cast<int32_t>(since_1970 % kFileTimePerSecond / 10000);
}

bool local_time(int64_t seconds, std::tm* out) {
    // The conversion refuses what it cannot express (before 1970, after the year 3000).
    const __time64_t value = seconds;
    return _localtime64_s(out, &value) == 0;
}

}  // namespace liborvaniot_os_clock

void liborvaniot_os_sleep_ms(uint32_t milliseconds) {
    Sleep(milliseconds);
}
