// The IP Helper calls behind the addresses we add (create, look up, renew, delete and list unicast
// addresses), the routes that go with them and the address probe, as a table the code calls
// through, so that its logic can be tested against a fake where the real calls cannot run: Wine
// lacks them and ends the process when they are called.
// The portable code built with this file is in Linux/src/Common (see liborvaniot_os/README.md).
#pragma once

#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>

#include <cstdint>
#include <vector>

// Where duplicate address detection stands for an address (the values of NL_DAD_STATE). Only a
// preferred address can be bound to; a tentative one becomes preferred once no other host has
// claimed it; any other state means the address is of no use.
enum class liborvaniot_os_dad_state : uint8_t { invalid = 0, tentative, duplicate, deprecated, preferred };

struct liborvaniot_os_unicast_row {
    uint32_t if_index = 0;
    uint32_t address = 0;  // network byte order
    uint8_t prefix_len = 0;
    uint32_t valid_lifetime_s = 0;  // kInfiniteLifetime: never expires
    bool manual = false;            // added by hand or by a program (not by DHCP or the system)
    liborvaniot_os_dad_state dad_state = liborvaniot_os_dad_state::preferred;
};

inline constexpr uint32_t LIBORVANIOT_OS_INFINITE_LIFETIME = 0xFFFFFFFFu;

// A route straight onto an interface's link (no gateway), alive for its lifetime.
struct liborvaniot_os_route_row {
    uint32_t if_index = 0;
    uint32_t destination = 0;  // network byte order
    uint8_t prefix_len = 0;
    uint32_t valid_lifetime_s = 0;
};

// Each call gives 0 or a Win32 error code.
struct liborvaniot_os_ip_helper {
    // Adds the row's address, valid and preferred for its lifetime.
    uint32_t (*create)(const liborvaniot_os_unicast_row& row);
    // Fills the row found by interface index and address; ERROR_NOT_FOUND when there is none.
    uint32_t (*find)(liborvaniot_os_unicast_row* row);
    // Restarts the valid and preferred lifetimes of the row's address.
    uint32_t (*set_lifetime)(const liborvaniot_os_unicast_row& row);
    uint32_t (*remove)(const liborvaniot_os_unicast_row& row);
    // Every IPv4 unicast address of the host.
    uint32_t (*list)(std::vector<liborvaniot_os_unicast_row>* rows);
    // Adds the route (ERROR_OBJECT_ALREADY_EXISTS when the same one is there), restarts its
    // lifetime, deletes it.
    uint32_t (*create_route)(const liborvaniot_os_route_row& row);
    uint32_t (*set_route_lifetime)(const liborvaniot_os_route_row& row);
    uint32_t (*remove_route)(const liborvaniot_os_route_row& row);
    // Asks the link who holds the address (an ARP request where the routes send it): 0 with
    // *answered set (false: nobody answered), or an error code.
    uint32_t (*resolve)(uint32_t address, bool* answered);
    // The route the system would send to the address by: its interface and next hop (0: the
    // address is on that interface's link). ERROR_NETWORK_UNREACHABLE when there is none.
    uint32_t (*best_route)(uint32_t destination, uint32_t* if_index, uint32_t* next_hop);
};

// True in a process that Wine runs.
bool liborvaniot_os_running_under_wine();

// The calls in use: the system's, null where they cannot be used (under Wine, or a system without
// them), or what a test put in place.
const liborvaniot_os_ip_helper* liborvaniot_os_ip_helper_calls();
// For tests: makes the link-local functions call these (null: the system's again).
void liborvaniot_os_ip_helper_use(const liborvaniot_os_ip_helper* calls);

// The system's row for creating the address: entry comes initialised with the system's defaults
// and gets the row's values, with both origins manual (what marks the address as added by a
// program when it is read back) and duplicate detection asked to treat it as usable at once.
void liborvaniot_os_unicast_entry_for_create(const liborvaniot_os_unicast_row& row, MIB_UNICASTIPADDRESS_ROW* entry);
// A row as the system reports it.
liborvaniot_os_unicast_row liborvaniot_os_unicast_row_of(const MIB_UNICASTIPADDRESS_ROW& entry);
