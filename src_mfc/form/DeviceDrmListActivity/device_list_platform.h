// What the device list uses beyond the window: the probe client (settings, start, scan, stop),
// the core's published link-local address and reaching devices on another network of the link.
// The program binds the real ones; tests bind stand-ins, so the screen runs without sockets.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "liborvaniot_core_cms/device_reach.h"
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

    // Whether this computer sends to the device straight onto a link (addresses in network byte
    // order; arrival_if_addr: the address of the interface its answer came in on, 0 when not known).
    // Left empty, every device counts as reachable and reaching is never tried.
    std::function<bool(uint32_t device, uint32_t arrival_if_addr)> reaches_directly;
    // Starts making the device reachable; the outcome goes to the reach listener, on another thread.
    std::function<void(uint32_t device, uint32_t arrival_if_addr)> reach;
    std::function<void(void (*listener)(const device_reach_result& result, void* data), void* data)>
        set_reach_listener;
    // For a user without the rights reaching needs: why the device's page cannot load and the ways out.
    std::function<std::string(const std::string& device_ip)> no_rights_text;

    // Addresses every Scan also probes one by one besides the multicast (devices behind a router),
    // as the user typed them ("10.2.0.0/24 10.3.0.7 10.4.0.10-10.4.0.60"). check: what is wrong
    // with a text that is no list of targets, empty for one that is. set: what every later Scan
    // probes (an empty text: none). Left empty, the list offers no "Scan addresses...".
    std::function<std::string(const std::string& targets)> check_scan_targets;
    std::function<void(const std::string& targets)> set_scan_targets;
    // Where the targets are kept between runs (empty: nowhere).
    std::string scan_targets_path;

    // What the empty list adds after a Scan that found nothing when the finder runs without rights
    // it could use (on Windows: how to start it as administrator, which it needs to add a
    // link-local address); empty, or left empty, for nothing.
    std::function<std::wstring()> rights_hint;

    // The discovery client and the core of the program.
    static DeviceListPlatform Product();
};

}  // namespace ORVAN_UXClass
