// Time of day from the monotonic counter, calibrated once against the wall clock; serialised local
// time.
#include <atomic>
#include <cstdint>
#include <ctime>

#include "liborvaniot_os/liborvaniot_os_thread.h"
#include "liborvaniot_os_clock.h"

struct_plock liborvaniot_os_localtime_mx;

namespace {

namespace os_clock = liborvaniot_os_clock;

std::atomic<int32_t> arrivals{0};
std::atomic<bool> calibrated{false};
std::atomic<int64_t> offset{0};  // wall-clock time minus counter, in counter ticks
std::atomic<int32_t> wall_clock_reads{0};

void split(int64_t ticks, liborvaniot_os_timeval* tv) {
    const int64_t frequency = os_clock::frequency();
    tv->tv_sec = static_cast<int32_t>(ticks / frequency);
    tv->tv_usec = static_cast<int32_t>((ticks % frequency) * 1000000 / frequency);
}

}  // namespace

int32_t liborvaniot_os_gettimeofday(liborvaniot_os_timeval* tv) {
    const int64_t counter = os_clock::counter();
    while (!calibrated.load(std::memory_order_acquire)) {
        if (arrivals.fetch_add(1, std::memory_order_acq_rel) == 0) {
            int64_t seconds = 0;
            int32_t milliseconds = 0;
            os_clock::wall_clock(&seconds, &milliseconds);
            wall_clock_reads.fetch_add(1, std::memory_order_relaxed);
            const int64_t frequency = os_clock::frequency();
            const int64_t microseconds = int64_t{milliseconds} * 1000;
            offset.store(microseconds * frequency / 1000000 + seconds * frequency - counter,
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
    return os_clock::counter_coarse();
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
    const auto convert = [seconds, out] {
        struct tm converted {};
        if (!os_clock::local_time(seconds, &converted)) converted = tm{};
        *out = converted;
    };
    if (liborvaniot_os_mutex_is_present(&liborvaniot_os_localtime_mx)) {
        plock_guard held(liborvaniot_os_localtime_mx, "localtime_r", __LINE__);
        convert();
    } else {
        convert();
    }
}
