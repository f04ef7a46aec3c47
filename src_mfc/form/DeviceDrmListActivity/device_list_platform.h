// What the device list uses beyond the window: the probe client (settings, start, scan, stop) and
// the core's published link-local address. The program binds the real ones; tests bind stand-ins,
// so the screen runs without sockets.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "liborvaniot_drm_client/libdrm_client_probe_message.h"

namespace ORVAN_UXClass {

struct DeviceListPlatform {
    std::function<void(uint16_t port)> set_probe_port;
    std::function<void(drm_probe_callback callback, drm_probe_add_entry_hook add_entry, void* user_data)>
        set_probe_callback;
    std::function<void(uint32_t address)> set_extra_interface;  // network byte order, 0 for none
    std::function<int32_t()> listen_start;
    std::function<int32_t()> scan;
    std::function<void()> listen_stop;  // waits for the listener thread
    std::function<int32_t()> listen_is_started;

    std::function<int32_t()> link_local_present;
    std::function<std::string()> link_local_text;
    std::function<uint32_t()> link_local_added_address;
    // Rises whenever the published link-local address comes, goes or changes; the listener is
    // called (on another thread) when it does. Either may be left empty: the address then stays
    // as it was when the screen was built.
    std::function<uint32_t()> link_local_generation;
    std::function<void(void (*listener)(void* data), void* data)> set_link_local_listener;

    // What the empty list adds after a Scan that found nothing when the finder runs without rights
    // it could use (on Windows: how to start it as administrator, which it needs to add a
    // link-local address); empty, or left empty, for nothing.
    std::function<std::wstring()> rights_hint;

    // The discovery client and the core of the program.
    static DeviceListPlatform Product();
};

}  // namespace ORVAN_UXClass
