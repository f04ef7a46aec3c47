// Which local interfaces discovery may use. By default every usable IPv4 address gets a channel; a
// program can narrow that to interfaces it names or to addresses of this host.
#pragma once

#include <cstdint>

// The IPv4 addresses of the interface called name (network byte order, at most capacity): 0 with
// *count set, which may be 0 for an interface without an IPv4 address; 1 when there is no
// interface of that name or the interfaces cannot be read.
int32_t liborvaniot_os_net_interface_addresses(const char* name, uint32_t* rows, int32_t capacity,
                                               int32_t* count);

// 1 when the address (network byte order) is one of this host's IPv4 addresses, else 0.
int32_t liborvaniot_os_net_is_local_address(uint32_t address);

// Narrows the discovery channels to the named interfaces and the given addresses (copies are kept).
// With no names and no addresses every interface may be used again. Names are matched when a
// channel is opened, so an address the interface gains later is used as well.
void liborvaniot_os_net_channel_select(const char* const* names, int32_t name_count,
                                       const uint32_t* addresses, int32_t address_count);

// 1 when a discovery channel may be opened on the address under the current selection, else 0.
int32_t liborvaniot_os_net_channel_selected(uint32_t address);
