// Waking whoever waits when the program is asked to stop, so that waits need not poll the stop flag:
// one descriptor for the whole process that turns readable when the flag is raised.
#pragma once

#include "liborvaniot_os/liborvaniot_os_mem.h"

// Raises liborvaniot_os_stop_flag and makes the stop descriptor readable. Safe in a signal handler.
void liborvaniot_os_raise_stop();
// Lowers the stop flag and makes the descriptor quiet again.
void liborvaniot_os_lower_stop();
// Waits up to the given time for the stop descriptor: non-zero when it turned readable (or was
// already), 0 when the time passed. Without a descriptor it simply sleeps.
int32_t liborvaniot_os_stop_wait(uint32_t milliseconds);
// Quietens a descriptor left readable by a stop whose flag was lowered without
// liborvaniot_os_lower_stop (nothing happens while the flag is raised).
void liborvaniot_os_stop_descriptor_settle();
// Readable while a stop raised through liborvaniot_os_raise_stop is in effect; never read it, only
// wait for it. The invalid handle when the system could not give one: waits then poll the flag.
liborvaniot_os_socket liborvaniot_os_stop_descriptor();
