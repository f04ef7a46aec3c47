// The system's side of the address watch: the adapter list as link states, and the IP Helper's
// notifications for unicast addresses and interfaces. Wine has the notification calls as stand-ins
// that report success and never notify, so under Wine there is no subscription and the watch polls.
// The portable code built with this file is in Linux/src/Common (see liborvaniot_os/README.md).
#include "liborvaniot_os_change_notices.h"

#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>

#include "liborvaniot_os_adapters.h"
#include "liborvaniot_os_ip_helper.h"

namespace {

std::vector<liborvaniot_os_link_state> system_read() {
    std::vector<liborvaniot_os_link_state> rows;
    std::unique_ptr<unsigned char[]> storage;
    for (const IP_ADAPTER_ADDRESSES* adapter = liborvaniot_os_read_adapters(&storage); adapter != nullptr;
         adapter = adapter->Next) {
        rows.push_back({adapter->IfIndex, static_cast<int>(adapter->OperStatus), 0u, 0});
        for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter->FirstUnicastAddress; unicast != nullptr;
             unicast = unicast->Next) {
            const SOCKADDR* address = unicast->Address.lpSockaddr;
            if (address == nullptr || address->sa_family != AF_INET) continue;
            rows.push_back({adapter->IfIndex, -1, reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr,
                            static_cast<int>(unicast->DadState)});
        }
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

struct subscription {
    void (*wake)(void*) = nullptr;
    void* context = nullptr;
    HANDLE addresses = nullptr;
    HANDLE interfaces = nullptr;
};

void WINAPI on_address_change(PVOID context, PMIB_UNICASTIPADDRESS_ROW, MIB_NOTIFICATION_TYPE) {
    const auto* s = static_cast<const subscription*>(context);
    s->wake(s->context);
}

void WINAPI on_interface_change(PVOID context, PMIB_IPINTERFACE_ROW, MIB_NOTIFICATION_TYPE) {
    const auto* s = static_cast<const subscription*>(context);
    s->wake(s->context);
}

void system_cancel(void* opaque) {
    auto* s = static_cast<subscription*>(opaque);
    if (s == nullptr) return;
    // Each cancel waits for a notification of its own that is still running.
    if (s->addresses != nullptr) CancelMibChangeNotify2(s->addresses);
    if (s->interfaces != nullptr) CancelMibChangeNotify2(s->interfaces);
    delete s;
}

void* system_subscribe(void (*wake)(void*), void* context) {
    if (liborvaniot_os_running_under_wine()) return nullptr;
    auto* s = new (std::nothrow) subscription{wake, context, nullptr, nullptr};
    if (s == nullptr) return nullptr;
    const bool both = NotifyUnicastIpAddressChange(AF_INET, on_address_change, s, FALSE, &s->addresses) == NO_ERROR &&
                      s->addresses != nullptr &&
                      NotifyIpInterfaceChange(AF_INET, on_interface_change, s, FALSE, &s->interfaces) == NO_ERROR &&
                      s->interfaces != nullptr;
    if (both) return s;
    system_cancel(s);
    return nullptr;
}

const liborvaniot_os_change_notices kSystemNotices{system_read, system_subscribe, system_cancel};

std::atomic<const liborvaniot_os_change_notices*> replacement{nullptr};

}  // namespace

const liborvaniot_os_change_notices* liborvaniot_os_change_notices_calls() {
    if (const liborvaniot_os_change_notices* calls = replacement.load(); calls != nullptr) return calls;
    return &kSystemNotices;
}

void liborvaniot_os_change_notices_use(const liborvaniot_os_change_notices* calls) {
    replacement.store(calls);
}
