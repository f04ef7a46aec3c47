// Waiting without polling: a notice whenever the host's IPv4 addresses or links change, and a
// wake-up another thread can give a thread that waits on its sockets.
#pragma once

#include <cstdint>

#include "liborvaniot_os/liborvaniot_os_mem.h"

// Opens a non-blocking descriptor that becomes readable when an IPv4 address is added or removed or
// a link changes state. 0 when *watch holds it, else the error number (*watch stays invalid).
int32_t liborvaniot_os_net_address_watch_open(liborvaniot_os_socket* watch);
// Reads every waiting notice: 1 when at least one reported a change (or notices were lost or could
// not be read, which must be taken as a change), 0 when nothing was waiting or the notices only
// restarted the lifetime of addresses already seen (renewals).
int32_t liborvaniot_os_net_address_watch_drain(liborvaniot_os_socket watch);

// Opens a non-blocking wake-up descriptor: readable after a signal until it is drained. 0 when
// *wakeup holds it, else the error number (*wakeup stays invalid).
int32_t liborvaniot_os_net_wakeup_open(liborvaniot_os_socket* wakeup);
// Makes the descriptor readable; safe from any thread while it is open. Signals add up to one.
void liborvaniot_os_net_wakeup_signal(liborvaniot_os_socket wakeup);
// Clears every signal given so far.
void liborvaniot_os_net_wakeup_drain(liborvaniot_os_socket wakeup);

// Closes a watch or wake-up descriptor and leaves the handle invalid.
void liborvaniot_os_net_descriptor_close(liborvaniot_os_socket* descriptor);
