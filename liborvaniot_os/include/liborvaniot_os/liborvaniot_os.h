// Start and stop of the platform runtime as a whole: the debug layer with its service locks, the misc
// layer (local-time lock) and the net layer, in that order.
#pragma once

#include <cstdint>

#include "liborvaniot_os/liborvaniot_os_mutex.h"

// The net layer's lock; it marks the layer's lifetime and nothing acquires it.
extern struct_plock liborvaniot_os_net_mx;

// 0 when the runtime runs, 1 when it could not start (it is then stopped again). A second start
// while running is refused and stops the runtime.
int32_t liborvaniot_os_initialize();
// 1 when the runtime was not started, else 0. Lowers the stop flag at the end.
int32_t liborvaniot_os_finalize();

// Sleeps up to the given time in short slices and returns early once the stop flag is raised:
// 1 when it was raised, 0 when the whole time passed.
int32_t liborvaniot_os_sleep_unless_stopped(uint32_t milliseconds);
