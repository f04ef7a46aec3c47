// Routes this process needs for the addresses it added: Windows ties no route to an address, so
// each route is kept here under the address it serves, given a lifetime like that address when the
// process renews it, renewed (or made again, when someone removed it) with it, and removed with it.
// The portable code built with this file is in Linux/src/Common (see liborvaniot_os/README.md).
#pragma once

#include <cstdint>

#include "liborvaniot_os_ip_helper.h"

// The address (network byte order) is one this process adds and renews: routes through it live
// only as long as it is renewed. Forget also removes the routes this process made for it.
void liborvaniot_os_own_source_note(uint32_t source);
void liborvaniot_os_own_source_forget(const liborvaniot_os_ip_helper& calls, uint32_t source);

// Adds the route for the source: 0, or the Win32 error of the create. One that is there already
// (another process's) is noted as needed, not as made, and is never removed by this process; a
// route through an address this process does not renew lives until removed.
uint32_t liborvaniot_os_own_route_make(const liborvaniot_os_ip_helper& calls, uint32_t source,
                                       liborvaniot_os_route_row row);
// Removes a route this process made (others are only forgotten): 0 or the Win32 error.
uint32_t liborvaniot_os_own_route_remove(const liborvaniot_os_ip_helper& calls, uint32_t source,
                                         const liborvaniot_os_route_row& row);
// Gives the source's routes the lifetime again, making any that has gone.
void liborvaniot_os_own_routes_renew(const liborvaniot_os_ip_helper& calls, uint32_t source, uint32_t lifetime_s);
