// The clocks under the time of day: a monotonic counter with its frequency, the wall clock, and
// the local-time conversion. Sleeping (liborvaniot_os_sleep_ms) is the platform's too.
#pragma once

#include <cstdint>
#include <ctime>

namespace liborvaniot_os_clock {

// The monotonic counter, in ticks of frequency() per second.
int64_t counter();
// The same counter as of its last tick (a few milliseconds at worst), where that is cheaper to read.
int64_t counter_coarse();
// Ticks per second; fixed while the system runs.
int64_t frequency();

// The wall clock to the millisecond: seconds since 1970-01-01 UTC and milliseconds (0 to 999).
void wall_clock(int64_t* seconds, int32_t* milliseconds);

// Local broken-down time of seconds since 1970-01-01 UTC; false when it cannot be converted.
bool local_time(int64_t seconds, std::tm* out);

}  // namespace liborvaniot_os_clock
