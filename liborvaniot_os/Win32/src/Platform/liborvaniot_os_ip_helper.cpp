// The system's IP Helper calls for unicast addresses, looked up at run time: they are never called
// under Wine, whose stand-ins end the process, and a missing one must not stop the program loading.
// The portable code built with this file is in Linux/src/Common (see liborvaniot_os/README.md).
#include "liborvaniot_os_ip_helper.h"

#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>
#include <windows.h>

#include <atomic>

namespace {

using initialize_fn = VOID(WINAPI*)(PMIB_UNICASTIPADDRESS_ROW);
using row_fn = NETIO_STATUS(WINAPI*)(const MIB_UNICASTIPADDRESS_ROW*);
using get_fn = NETIO_STATUS(WINAPI*)(PMIB_UNICASTIPADDRESS_ROW);
using table_fn = NETIO_STATUS(WINAPI*)(ADDRESS_FAMILY, PMIB_UNICASTIPADDRESS_TABLE*);
using free_fn = VOID(WINAPI*)(PVOID);
using initialize_route_fn = VOID(WINAPI*)(PMIB_IPFORWARD_ROW2);
using route_fn = NETIO_STATUS(WINAPI*)(const MIB_IPFORWARD_ROW2*);
using get_route_fn = NETIO_STATUS(WINAPI*)(PMIB_IPFORWARD_ROW2);
using send_arp_fn = DWORD(WINAPI*)(IPAddr, IPAddr, PVOID, PULONG);
using best_route_fn = NETIO_STATUS(WINAPI*)(NET_LUID*, NET_IFINDEX, const SOCKADDR_INET*, const SOCKADDR_INET*,
                                            ULONG, PMIB_IPFORWARD_ROW2, SOCKADDR_INET*);

struct system_calls {
    initialize_fn initialize = nullptr;
    row_fn create = nullptr;
    get_fn get = nullptr;
    row_fn set = nullptr;
    row_fn remove = nullptr;
    table_fn table = nullptr;
    free_fn free_table = nullptr;
    initialize_route_fn initialize_route = nullptr;
    route_fn create_route = nullptr;
    get_route_fn get_route = nullptr;
    route_fn set_route = nullptr;
    route_fn remove_route = nullptr;
    send_arp_fn send_arp = nullptr;
    best_route_fn best_route = nullptr;
};

template <typename Function>
bool look_up(HMODULE module, const char* name, Function* out) {
    *out = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return *out != nullptr;
}

// Null when the calls cannot be used here.
const system_calls* system() {
    static const system_calls* const found = []() -> const system_calls* {
        if (liborvaniot_os_running_under_wine()) return nullptr;
        const HMODULE module = LoadLibraryW(L"iphlpapi.dll");
        if (module == nullptr) return nullptr;
        static system_calls calls;
        const bool complete = look_up(module, "InitializeUnicastIpAddressEntry", &calls.initialize) &&
                              look_up(module, "CreateUnicastIpAddressEntry", &calls.create) &&
                              look_up(module, "GetUnicastIpAddressEntry", &calls.get) &&
                              look_up(module, "SetUnicastIpAddressEntry", &calls.set) &&
                              look_up(module, "DeleteUnicastIpAddressEntry", &calls.remove) &&
                              look_up(module, "GetUnicastIpAddressTable", &calls.table) &&
                              look_up(module, "FreeMibTable", &calls.free_table) &&
                              look_up(module, "InitializeIpForwardEntry", &calls.initialize_route) &&
                              look_up(module, "CreateIpForwardEntry2", &calls.create_route) &&
                              look_up(module, "GetIpForwardEntry2", &calls.get_route) &&
                              look_up(module, "SetIpForwardEntry2", &calls.set_route) &&
                              look_up(module, "DeleteIpForwardEntry2", &calls.remove_route) &&
                              look_up(module, "SendARP", &calls.send_arp) &&
                              look_up(module, "GetBestRoute2", &calls.best_route);
        return complete ? &calls : nullptr;
    }();
    return found;
}

// The key of a row (interface and address), the rest at the system's defaults.
MIB_UNICASTIPADDRESS_ROW key_of(const liborvaniot_os_unicast_row& row) {
    MIB_UNICASTIPADDRESS_ROW out;
    system()->initialize(&out);
    out.Address.Ipv4.sin_family = AF_INET;
    out.Address.Ipv4.sin_addr.s_addr = row.address;
    out.InterfaceIndex = row.if_index;
    return out;
}

uint32_t system_create(const liborvaniot_os_unicast_row& row) {
    MIB_UNICASTIPADDRESS_ROW entry;
    system()->initialize(&entry);
    liborvaniot_os_unicast_entry_for_create(row, &entry);
    return system()->create(&entry);
}

uint32_t system_find(liborvaniot_os_unicast_row* row) {
    MIB_UNICASTIPADDRESS_ROW entry = key_of(*row);
    const NETIO_STATUS status = system()->get(&entry);
    if (status == NO_ERROR) *row = liborvaniot_os_unicast_row_of(entry);
    return status;
}

uint32_t system_set_lifetime(const liborvaniot_os_unicast_row& row) {
    MIB_UNICASTIPADDRESS_ROW entry = key_of(row);
    if (const NETIO_STATUS status = system()->get(&entry); status != NO_ERROR) return status;
    entry.ValidLifetime = row.valid_lifetime_s;
    entry.PreferredLifetime = row.valid_lifetime_s;
    return system()->set(&entry);
}

uint32_t system_remove(const liborvaniot_os_unicast_row& row) {
    const MIB_UNICASTIPADDRESS_ROW entry = key_of(row);
    return system()->remove(&entry);
}

uint32_t system_list(std::vector<liborvaniot_os_unicast_row>* rows) {
    PMIB_UNICASTIPADDRESS_TABLE table = nullptr;
    if (const NETIO_STATUS status = system()->table(AF_INET, &table); status != NO_ERROR) return status;
    rows->clear();
    for (ULONG i = 0; i < table->NumEntries; ++i) rows->push_back(liborvaniot_os_unicast_row_of(table->Table[i]));
    system()->free_table(table);
    return NO_ERROR;
}

// The key of a route (interface, destination, next hop), the rest at the system's defaults.
MIB_IPFORWARD_ROW2 route_key_of(const liborvaniot_os_route_row& row) {
    MIB_IPFORWARD_ROW2 out;
    system()->initialize_route(&out);
    out.InterfaceIndex = row.if_index;
    out.DestinationPrefix.Prefix.Ipv4.sin_family = AF_INET;
    out.DestinationPrefix.Prefix.Ipv4.sin_addr.s_addr = row.destination;
    out.DestinationPrefix.PrefixLength = row.prefix_len;
    out.NextHop.Ipv4.sin_family = AF_INET;  // 0.0.0.0: on the link itself
    return out;
}

uint32_t system_create_route(const liborvaniot_os_route_row& row) {
    MIB_IPFORWARD_ROW2 entry = route_key_of(row);
    entry.ValidLifetime = row.valid_lifetime_s;
    entry.PreferredLifetime = row.valid_lifetime_s;
    entry.Protocol = RouteProtocolNetMgmt;
    return system()->create_route(&entry);
}

uint32_t system_set_route_lifetime(const liborvaniot_os_route_row& row) {
    MIB_IPFORWARD_ROW2 entry = route_key_of(row);
    if (const NETIO_STATUS status = system()->get_route(&entry); status != NO_ERROR) return status;
    entry.ValidLifetime = row.valid_lifetime_s;
    entry.PreferredLifetime = row.valid_lifetime_s;
    return system()->set_route(&entry);
}

uint32_t system_remove_route(const liborvaniot_os_route_row& row) {
    const MIB_IPFORWARD_ROW2 entry = route_key_of(row);
    return system()->remove_route(&entry);
}

uint32_t system_resolve(uint32_t address, bool* answered) {
    ULONG mac[2] = {};
    ULONG length = 6;
    const DWORD status = system()->send_arp(address, 0, mac, &length);
    *answered = status == NO_ERROR && length > 0;
    // Windows says "network name not found" when no answer came.
    return status == NO_ERROR || status == ERROR_BAD_NET_NAME ? NO_ERROR : status;
}

uint32_t system_best_route(uint32_t destination, uint32_t* if_index, uint32_t* next_hop) {
    SOCKADDR_INET to{};
    to.Ipv4.sin_family = AF_INET;
    to.Ipv4.sin_addr.s_addr = destination;
    MIB_IPFORWARD_ROW2 route{};
    SOCKADDR_INET source{};
    if (const NETIO_STATUS status = system()->best_route(nullptr, 0, nullptr, &to, 0, &route, &source);
        status != NO_ERROR) {
        return status;
    }
    *if_index = route.InterfaceIndex;
    *next_hop = route.NextHop.si_family == AF_INET ? route.NextHop.Ipv4.sin_addr.s_addr : 0;
    return NO_ERROR;
}

const liborvaniot_os_ip_helper kSystemHelper{system_create,       system_find,
                                             system_set_lifetime, system_remove,
                                             system_list,         system_create_route,
                                             system_set_route_lifetime, system_remove_route,
                                             system_resolve,      system_best_route};

std::atomic<const liborvaniot_os_ip_helper*> replacement{nullptr};

}  // namespace

void liborvaniot_os_unicast_entry_for_create(const liborvaniot_os_unicast_row& row, MIB_UNICASTIPADDRESS_ROW* entry) {
    entry->Address.Ipv4.sin_family = AF_INET;
    entry->Address.Ipv4.sin_addr.s_addr = row.address;
    entry->InterfaceIndex = row.if_index;
    entry->OnLinkPrefixLength = row.prefix_len;
    entry->ValidLifetime = row.valid_lifetime_s;
    entry->PreferredLifetime = row.valid_lifetime_s;
    // Left at "unchanged", the origins would not say that a program added the address, and a
    // killed run's address could never be told from the system's own.
    entry->PrefixOrigin = IpPrefixOriginManual;
    entry->SuffixOrigin = IpSuffixOriginManual;
    // Optimistic detection: usable at once where Windows takes the request, instead of only after
    // the seconds of detection; where it does not, the address stays tentative meanwhile, the
    // address watch reports the change to preferred, and a duplicate found still ends its use.
    entry->DadState = IpDadStatePreferred;
}

liborvaniot_os_unicast_row liborvaniot_os_unicast_row_of(const MIB_UNICASTIPADDRESS_ROW& entry) {
    liborvaniot_os_unicast_row out;
    out.if_index = entry.InterfaceIndex;
    out.address = entry.Address.Ipv4.sin_addr.s_addr;
    out.prefix_len = entry.OnLinkPrefixLength;
    out.valid_lifetime_s = entry.ValidLifetime;
    out.manual = entry.PrefixOrigin == IpPrefixOriginManual && entry.SuffixOrigin == IpSuffixOriginManual;
    out.dad_state = entry.DadState >= IpDadStateInvalid && entry.DadState <= IpDadStatePreferred
                        ? static_cast<liborvaniot_os_dad_state>(entry.DadState)
                        : liborvaniot_os_dad_state::invalid;
    return out;
}

bool liborvaniot_os_running_under_wine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

const liborvaniot_os_ip_helper* liborvaniot_os_ip_helper_calls() {
    if (const liborvaniot_os_ip_helper* calls = replacement.load(); calls != nullptr) return calls;
    return system() != nullptr ? &kSystemHelper : nullptr;
}

void liborvaniot_os_ip_helper_use(const liborvaniot_os_ip_helper* calls) {
    replacement.store(calls);
}
