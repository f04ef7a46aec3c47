// The host's IPv4 addresses and its interfaces from the IP Helper's adapter list.
// The portable code built with this file is in Linux/src/Common (see liborvaniot_os/README.md).
#include "liborvaniot_os_host_addresses.h"

#include <winsock2.h>
#include <iphlpapi.h>
#include <windows.h>

#include <algorithm>

#include "liborvaniot_os/liborvaniot_os_net_addr.h"
#include "liborvaniot_os_adapters.h"

const IP_ADAPTER_ADDRESSES* liborvaniot_os_read_adapters(std::unique_ptr<unsigned char[]>* storage) {
    constexpr ULONG kFlags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    ULONG size = 16384;
    // The list can grow between the sizing call and the reading one; a few rounds settle it.
    for (int attempt = 0; attempt < 4; ++attempt) {
        storage->reset(new unsigned char[size]);
        auto* first = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(storage->get());
        const ULONG result = GetAdaptersAddresses(AF_UNSPEC, kFlags, nullptr, first, &size);
        if (result == ERROR_SUCCESS) return first;
        if (result == ERROR_NO_DATA) return nullptr;
        if (result != ERROR_BUFFER_OVERFLOW) return nullptr;
    }
    return nullptr;
}

std::string liborvaniot_os_adapter_name(const IP_ADAPTER_ADDRESSES& adapter) {
    const wchar_t* name = adapter.FriendlyName != nullptr ? adapter.FriendlyName : L"";
    const int size = WideCharToMultiByte(CP_UTF8, 0, name, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string text(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, name, -1, text.data(), size, nullptr, nullptr);
    text.resize(static_cast<size_t>(size - 1));
    return text;
}

void liborvaniot_os_copy_utf8(const std::string& text, char* out, size_t size) {
    if (size == 0) return;
    size_t length = text.size() < size - 1 ? text.size() : size - 1;
    // A continuation byte where the cut falls means the character before it is incomplete.
    while (length > 0 && length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    text.copy(out, length);
    out[length] = '\0';
}

bool liborvaniot_os_address_usable(const IP_ADAPTER_ADDRESSES& adapter, const IP_ADAPTER_UNICAST_ADDRESS& address) {
    return adapter.OperStatus == IfOperStatusUp && address.DadState == IpDadStatePreferred;
}

bool liborvaniot_os_read_host_addresses(std::vector<liborvaniot_os_host_address>* out,
                                        std::vector<std::string>* interface_names) {
    std::unique_ptr<unsigned char[]> storage;
    const IP_ADAPTER_ADDRESSES* first = liborvaniot_os_read_adapters(&storage);
    out->clear();
    if (interface_names != nullptr) interface_names->clear();
    if (first == nullptr) return false;
    for (const IP_ADAPTER_ADDRESSES* adapter = first; adapter != nullptr; adapter = adapter->Next) {
        const std::string name = liborvaniot_os_adapter_name(*adapter);
        if (interface_names != nullptr) interface_names->push_back(name);
        for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter->FirstUnicastAddress; unicast != nullptr;
             unicast = unicast->Next) {
            const SOCKADDR* address = unicast->Address.lpSockaddr;
            if (address == nullptr || address->sa_family != AF_INET) continue;
            // Adapters that are down keep their addresses (a 169.254 one among them, given for want
            // of a DHCP lease), and an address under duplicate detection cannot be bound yet: neither
            // serves discovery. A tentative one is listed once it becomes preferred, which the
            // address watch reports.
            if (!liborvaniot_os_address_usable(*adapter, *unicast)) continue;
            out->push_back({reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr, name});
        }
    }
    return true;
}

int32_t liborvaniot_os_net_read_interfaces(liborvaniot_os_net_interface* rows, int32_t capacity,
                                           int32_t* count) {
    std::unique_ptr<unsigned char[]> storage;
    const IP_ADAPTER_ADDRESSES* first = liborvaniot_os_read_adapters(&storage);
    if (first == nullptr) return 1;
    int32_t n = 0;
    for (const IP_ADAPTER_ADDRESSES* adapter = first; adapter != nullptr && n < capacity; adapter = adapter->Next) {
        liborvaniot_os_net_interface& row = rows[n++];
        row = liborvaniot_os_net_interface{};
        row.index = adapter->IfIndex;
        liborvaniot_os_copy_utf8(liborvaniot_os_adapter_name(*adapter), row.name, sizeof row.name);
        // Windows has one state for both: an adapter that is up can carry traffic.
        row.up = adapter->OperStatus == IfOperStatusUp;
        row.running = row.up;
        row.loopback = adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK;
        row.multicast = (adapter->Flags & IP_ADAPTER_NO_MULTICAST) == 0;
        // An adapter with IPv4 unbound takes no address at all; and when several qualify, the
        // physical kinds go before Hyper-V, VPN and other virtual adapters of other types.
        row.ipv4 = adapter->Ipv4Enabled != 0;
        row.preferred_kind = adapter->IfType == IF_TYPE_ETHERNET_CSMACD || adapter->IfType == IF_TYPE_IEEE80211;
    }
    std::sort(rows, rows + n, [](const auto& a, const auto& b) { return a.index < b.index; });
    *count = n;
    return 0;
}
