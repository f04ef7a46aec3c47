// Probe client: one listener thread that opens the discovery channels, sends a probe burst when a scan
// is requested, and hands every answer and announcement to the registered probe callback.
#pragma once

#include <cstdint>
#include <span>

#include "liborvaniot_drm_client/libdrm_client_probe_message.h"
#include "liborvaniot_drm_client/libdrm_client_probe_sweep.h"
#include "liborvaniot_os/liborvaniot_os_thread.h"

// Discovery port the device list uses.
inline constexpr uint16_t LIBDRM_CLIENT_PROBE_PORT = 13702;

// Scan states.
inline constexpr int32_t LIBDRM_CLIENT_SCAN_IDLE = 0;
inline constexpr int32_t LIBDRM_CLIENT_SCAN_REQUESTED = 1;
inline constexpr int32_t LIBDRM_CLIENT_SCAN_RUNNING = 2;

// Largest datagram read; anything longer is dropped.
inline constexpr int32_t LIBDRM_CLIENT_MAX_DATAGRAM = 10239;
inline constexpr int32_t LIBDRM_CLIENT_NODE_CAPACITY = 1000;
// Datagrams taken from one socket in one pass of the listener: enough to empty the socket during a
// burst of answers, few enough that a flood still lets probes go out and a stop come through.
inline constexpr int32_t LIBDRM_CLIENT_RECEIVE_BATCH = 128;

// Settings. The owner writes them before start; the listener reads them afresh wherever it uses
// them, so they may also change while it runs.
void liborvaniot_drm_client_probe_set_port(uint16_t port);  // 0 keeps the listener idle
uint16_t liborvaniot_drm_client_probe_port();
// Receiver of the reports, with the add-entry hook and user data handed to it unchanged.
void liborvaniot_drm_client_probe_set_callback(drm_probe_callback callback,
                                               drm_probe_add_entry_hook add_entry, void* user_data);
// One more interface address (network byte order) to open a channel on, 0 for none.
void liborvaniot_drm_client_probe_set_extra_interface(uint32_t address);
uint32_t liborvaniot_drm_client_probe_extra_interface();
// 0: scans send no multicast probe, only the unicast ones to the targets; 1 (the default) sends it.
void liborvaniot_drm_client_probe_set_multicast(int32_t enabled);

// Starts the listener thread with a fresh context; nothing happens while it is started. 0 when the
// listener is started (also when the system refused the thread, which was logged), 1 when its lock
// could not be created (a later start tries again).
int32_t liborvaniot_drm_client_probe_listen_start();
// Requests one probe burst on every channel at the listener's next pass. 0 when requested, 1 when the
// listener is not started (nothing is requested).
int32_t liborvaniot_drm_client_probe_scan();
// Addresses every later scan also probes one by one by unicast, through a socket of its own whose
// answers are read like the channels' ones, at most rate probes a second (0: LIBDRM_CLIENT_SWEEP_RATE).
// A scan stays running until the last of them went out. Replaces the earlier targets (none: no
// unicast probes). 0 when set, 1 when the listener is not started (nothing is set).
int32_t liborvaniot_drm_client_probe_set_targets(std::span<const drm_probe_target_range> ranges, uint32_t rate);
// Unicast probes of the current (or last) scan that went out, and those the system refused (no
// route to the address, or no socket to send them on).
uint64_t liborvaniot_drm_client_probe_sweep_sent();
uint64_t liborvaniot_drm_client_probe_sweep_failed();
// Stops the listener and waits, without limit, until its thread has finished.
void liborvaniot_drm_client_probe_listen_stop();

// 1 between a start and the matching stop, else 0.
int32_t liborvaniot_drm_client_probe_listen_is_started();
// LIBDRM_CLIENT_SCAN_IDLE, _REQUESTED or _RUNNING.
int32_t liborvaniot_drm_client_probe_scan_state();
// Channels the listener has open now (0 before its first pass and after it ended).
int32_t liborvaniot_drm_client_probe_channel_count();

// Datagrams taken from one socket per pass (at least 1). Lowering it to 1 reads one datagram per
// socket per pass, which loses answers to the kernel when many devices answer together; it exists to
// measure that.
void libdrm_client_probe_set_receive_batch(int32_t datagrams);

// The listener thread's routine; its argument is the thread record, whose arg is the client context.
int libdrm_client_probe_listen_thread_routine(liborvaniot_os_sys_thread* thread);
