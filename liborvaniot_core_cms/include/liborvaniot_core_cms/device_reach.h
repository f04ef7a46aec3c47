// Making a device reachable that answered from another subnet of the same link: an address of ours
// in the device's /24 on the interface it answered on, and a host route to the device through it,
// both kept alive by the core loop and removed at stop (after a crash, the address expires and the
// system drops its routes). One such address per subnet and interface, shared by every finder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class device_reach_outcome {
    already_reachable,  // the host is on the device's network there, or a route of ours already serves it
    made_reachable,     // an address and a host route were added (or another finder's address used)
    no_rights,          // adding addresses needs administrator rights
    no_free_address,    // every candidate in the device's /24 was taken
    error,              // see error_text
};

struct device_reach_result {
    device_reach_outcome outcome = device_reach_outcome::error;
    uint32_t device = 0;       // network byte order, as asked
    uint32_t if_index = 0;     // as asked
    uint32_t address_used = 0;  // our address in the device's /24 (network byte order), 0 when none
    std::string error_text;    // for error: what failed, in words
};

// Seconds an added address lives unless renewed; the core loop renews it about every second.
inline constexpr uint32_t DEVICE_REACH_LIFETIME_S = 5;
// Label suffix of our addresses ("<ifname>:or") where the name leaves room for it.
inline constexpr char DEVICE_REACH_LABEL_SUFFIX[] = ":or";

// True when this computer sends to the device (network byte order) straight onto a link, with no
// gateway in between - as on its own networks and through the host routes reaching adds - and,
// when the interface its answer came in on is known (arrival_if_index not 0), onto that one. A
// device that answered from the link but is not reached so has a page that cannot load from here.
bool device_reach_is_direct(uint32_t device, uint32_t arrival_if_index);

// The interface to reach the device on: the one holding arrival_if_addr (the address of the
// interface its answer came in on), else the one the host's route to the device leaves by; 0 when
// neither is known.
uint32_t device_reach_interface_for(uint32_t device, uint32_t arrival_if_addr);

// Makes the device (network byte order) reachable on the interface its answer came in on. Blocks
// while candidates are probed (a second or so each, ten seconds at most). Any thread.
device_reach_result device_reach_make(uint32_t device, uint32_t if_index);

// The same without blocking: the result goes to the listener, on the module's own worker thread.
// The listener must return quickly and must not call back into this module. Null: none.
void device_reach_set_listener(void (*listener)(const device_reach_result& result, void* data), void* data);
void device_reach_request(uint32_t device, uint32_t if_index);

// The core loop's turn, about once a second: renews our addresses and forgets those that are gone.
void device_reach_refresh();
// At stop: waits for a request under way, then removes every route and address this process added.
void device_reach_remove_all();

// Where candidates' host part comes from (null: the system's random source, the default); for
// tests that must know the candidates in advance. The source returns false when it has none left.
void device_reach_set_candidate_source(bool (*source)(uint8_t* host_part, void* data), void* data);

// "made reachable through 192.168.1.23" and the like, for messages.
std::string device_reach_describe(const device_reach_result& result);

// The name of the interface ("eth0", "Ethernet 2"), or "interface N" when it has none to show.
std::string device_reach_interface_name(uint32_t if_index);
// This computer's networks, "198.18.0.1/16 on eth0" each, for telling a user where it is.
std::vector<std::string> device_reach_host_networks();
// For a user without administrator rights: why the device's page cannot load (the device, this
// computer's networks) and the two ways out, the first being run_as_administrator ("run orvan-scan
// as administrator", ...).
std::string device_reach_no_rights_text(const std::string& device_ip, const std::string& run_as_administrator);
