// Time of day from the monotonic counter, calibrated once against the wall clock; serialised local
// time; sleeping.
#include <time.h>

#include <atomic>
#include <cerrno>
#include <cstdint>

#include "liborvaniot_os/liborvaniot_os_thread.h"

struct_plock liborvaniot_os_localtime_mx;

namespace {

constexpr int64_t kFrequency = 1000000000;  // the counter counts nanoseconds

std::atomic<int32_t> arrivals{0};
std::atomic<bool> calibrated{false};
std::atomic<int64_t> offset{0};  // wall-clock time minus counter, in counter ticks
std::atomic<int32_t> wall_clock_reads{0};

int64_t read_counter(clockid_t clock = CLOCK_MONOTONIC) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<int64_t>(now.tv_sec) * kFrequency + now.tv_nsec;
}

void split(int64_t ticks, liborvaniot_os_timeval* tv) {
    tv->tv_sec = static_cast<int32_t>(ticks / kFrequency);
    tv->tv_usec = static_cast<int32_t>((ticks % kFrequency) * 1000000 / kFrequency);
}

}  // namespace

int32_t liborvaniot_os_gettimeofday(liborvaniot_os_timeval* tv) {
    const int64_t counter = read_counter();
    while (!calibrated.load(std::memory_order_acquire)) {
        if (arrivals.fetch_add(1, std::memory_order_acq_rel) == 0) {
            timespec wall{};
            clock_gettime(CLOCK_REALTIME, &wall);
            wall_clock_reads.fetch_add(1, std::memory_order_relaxed);
            const int64_t seconds = wall.tv_sec;
            const int64_t microseconds =
                (wall.tv_nsec / 1000000) * 1000;  // the clock is taken to the millisecond
            offset.store(microseconds * kFrequency / 1000000 + seconds * kFrequency - counter,
                         std::memory_order_relaxed);
            calibrated.store(true, std::memory_order_release);  // publishes the offset
            tv->tv_sec = static_cast<int32_t>(seconds);
            tv->tv_usec = static_cast<int32_t>(microseconds);
            return 0;
        }
        // Someone else is calibrating: step back and wait for the result.
        arrivals.fetch_sub(1, std::memory_order_acq_rel);
        liborvaniot_os_sleep_ms(1);
    }
    split(offset.load(std::memory_order_relaxed) + counter, tv);
    return 0;
}

int64_t liborvaniot_os_time_counter_coarse() {
#ifdef CLOCK_MONOTONIC_COARSE
    return read_counter(CLOCK_MONOTONIC_COARSE);
#else
    // Without a coarse clock (MinGW's POSIX layer) the precise one serves, only a little dearer.
    return read_counter(CLOCK_MONOTONIC);
#endif
}

void liborvaniot_os_time_from_counter(int64_t counter, liborvaniot_os_timeval* tv) {
    // The coarse counter is the monotonic one as of the last tick, so the offset applies to it.
    if (!calibrated.load(std::memory_order_acquire)) {
        liborvaniot_os_timeval ignored{};
        liborvaniot_os_gettimeofday(&ignored);
    }
    split(offset.load(std::memory_order_relaxed) + counter, tv);
}

int32_t liborvaniot_os_time_calibration_count() {
    return wall_clock_reads.load(std::memory_order_relaxed);
}

void liborvaniot_os_localtime_r(int64_t seconds, struct tm* out) {
    // The lock belongs to the runtime's misc layer; before it exists the conversion, which is
    // reentrant here, still runs rather than halting the caller on an absent lock.
    const bool locked = liborvaniot_os_mutex_is_present(&liborvaniot_os_localtime_mx);
    if (locked) liborvaniot_os_mutex_struct_plock_lock(&liborvaniot_os_localtime_mx, "localtime_r", __LINE__);
    struct tm converted {};
    const auto value = static_cast<time_t>(seconds);
    if (static_cast<int64_t>(value) != seconds || ::localtime_r(&value, &converted) == nullptr)
        converted = tm{};
    *out = converted;
    if (locked)
        liborvaniot_os_mutex_struct_plock_unlock(&liborvaniot_os_localtime_mx, "localtime_r", __LINE__);
}

void liborvaniot_os_sleep_ms(uint32_t milliseconds) {
    timespec remaining{static_cast<time_t>(milliseconds / 1000),
                       static_cast<long>(milliseconds % 1000) * 1000000};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}
