// Clocks on Linux: CLOCK_MONOTONIC in nanoseconds (its coarse variant for stamps), CLOCK_REALTIME,
// localtime_r and nanosleep.
#include "liborvaniot_os_clock.h"

#include <time.h>

#include <cerrno>

#include "liborvaniot_os/liborvaniot_os_thread.h"

namespace liborvaniot_os_clock {

namespace {

constexpr int64_t kNanoseconds = 1000000000;

int64_t read(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<int64_t>(now.tv_sec) * kNanoseconds + now.tv_nsec;
}

}  // namespace

int64_t counter() {
    return read(CLOCK_MONOTONIC);
}

int64_t counter_coarse() {
    return read(CLOCK_MONOTONIC_COARSE);
}

int64_t frequency() {
    return kNanoseconds;
}

void wall_clock(int64_t* seconds, int32_t* milliseconds) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    *seconds = now.tv_sec;
    *milliseconds = static_cast<int32_t>(now.tv_nsec / 1000000);
}

bool local_time(int64_t seconds, std::tm* out) {
    const auto value = static_cast<time_t>(seconds);
    return static_cast<int64_t>(value) == seconds && ::localtime_r(&value, out) != nullptr;
}

}  // namespace liborvaniot_os_clock

void liborvaniot_os_sleep_ms(uint32_t milliseconds) {
    timespec remaining{static_cast<time_t>(milliseconds / 1000),
                       static_cast<long>(milliseconds % 1000) * 1000000};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}
