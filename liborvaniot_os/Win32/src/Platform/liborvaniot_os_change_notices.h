// What the address watch compares and what wakes it: the state of the host's links and IPv4
// addresses, and the system's change notifications, both replaceable so that the watch's logic can
// be tested where the system never changes or never notifies (Wine).
// The portable code built with this file is in Linux/src/Common (see liborvaniot_os/README.md).
#pragma once

#include <compare>
#include <cstdint>
#include <vector>

// One adapter's state (address 0) or one of its IPv4 addresses with its detection state. Lifetimes
// are left out on purpose: renewing an address changes nothing anybody needs to hear about.
struct liborvaniot_os_link_state {
    uint32_t if_index = 0;
    int oper_status = 0;
    uint32_t address = 0;  // network byte order
    int dad_state = 0;
    auto operator<=>(const liborvaniot_os_link_state&) const = default;
};

struct liborvaniot_os_change_notices {
    // Every adapter's state and IPv4 addresses, in a fixed order.
    std::vector<liborvaniot_os_link_state> (*read)();
    // Starts calling wake(context), from any thread, whenever an IPv4 address or an interface may
    // have changed: a subscription for cancel, or null where the system gives no notifications
    // (then the watch reads the state every second instead).
    void* (*subscribe)(void (*wake)(void* context), void* context);
    // Ends the subscription; no wake call runs any more once it returns. Never called from a wake.
    void (*cancel)(void* subscription);
};

// The calls in use: the system's, or what a test put in place (null: the system's again).
const liborvaniot_os_change_notices* liborvaniot_os_change_notices_calls();
void liborvaniot_os_change_notices_use(const liborvaniot_os_change_notices* calls);
