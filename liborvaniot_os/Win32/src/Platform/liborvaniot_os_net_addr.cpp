// Addresses of our own on Windows: membership in Administrators, binding to an interface, and the
// addresses this process owns (link-local ones, and ones for reaching devices on another subnet),
// each a host address added with a short lifetime through the IP Helper, with the routes it serves,
// renewed while the program runs, so that a killed run's address expires by itself. Where the IP
// Helper calls cannot be used (Wine), every change fails cleanly with ENOTSUP and nothing is added.
// The portable code built with this file is in Linux/src/Common (see liborvaniot_os/README.md).
#include "liborvaniot_os/liborvaniot_os_net_addr.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <bcrypt.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "liborvaniot_os/liborvaniot_os_net.h"
#include "liborvaniot_os_ip_helper.h"
#include "liborvaniot_os_own_routes.h"
#include "liborvaniot_os_winsock.h"

namespace {

constexpr uint32_t kLinkLocalNet = 0xA9FE0000u;  // 169.254.0.0/16, host byte order
constexpr uint32_t kLinkLocalMask = 0xFFFF0000u;
// Windows keeps no label of ours with an address. What marks one as ours: our prefix length (a host
// address), added by a program (manual origin) and living no longer than this - we renew ours to a
// few seconds, and a leftover of ours never lives longer; another program's short-lived manual
// address of some other length or life stays. Clean-up at start also wants it link-local.
constexpr uint32_t kOwnLifetimeCeilingS = 10;

// An address the IP Helper does not find is one that is not there.
int32_t posix_error(uint32_t error) {
    switch (error) {
        case ERROR_NOT_FOUND:
        case ERROR_FILE_NOT_FOUND: return EADDRNOTAVAIL;
        default: return liborvaniot_os_posix_error(static_cast<int>(error));
    }
}

// The claim on an address is a named mutex made from it: a second one of the same name cannot be
// created while a live process holds it, and it vanishes when the last holder ends, however it ends.
// The name is global, so that it spans the sessions (a service, another user's administrator). A
// global name that cannot be opened is refused, never replaced by a per-session one: a user who
// made the global name unusable (a deny-all access list) could otherwise have a finder in another
// session take a live finder's address for a leftover and delete it.
int32_t take_claim(uint32_t address, liborvaniot_os_socket* claim) {
    char text[16];
    liborvaniot_os_net_format_address(address, text);
    char name[64];
    std::snprintf(name, sizeof name, "Global\\orvan-link-local-%s", text);
    const HANDLE handle = CreateMutexA(nullptr, FALSE, name);
    if (handle == nullptr) return GetLastError() == ERROR_ACCESS_DENIED ? EADDRINUSE : posix_error(GetLastError());
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(handle);
        return EADDRINUSE;
    }
    // Only the low 32 bits of a handle are significant, as with sockets.
    *claim = static_cast<liborvaniot_os_socket>(reinterpret_cast<intptr_t>(handle));
    return 0;
}

void release_claim(liborvaniot_os_socket* claim) {
    if (*claim == LIBORVANIOT_OS_INVALID_SOCKET) return;
    CloseHandle(reinterpret_cast<HANDLE>(static_cast<intptr_t>(*claim)));
    *claim = LIBORVANIOT_OS_INVALID_SOCKET;
}

bool is_link_local(uint32_t address) {
    return (ntohl(address) & kLinkLocalMask) == kLinkLocalNet;
}

bool looks_like_ours(const liborvaniot_os_unicast_row& row) {
    return row.prefix_len == LIBORVANIOT_OS_NET_OWN_PREFIX_LENGTH && row.manual &&
           row.valid_lifetime_s != LIBORVANIOT_OS_INFINITE_LIFETIME && row.valid_lifetime_s <= kOwnLifetimeCeilingS;
}

// What a row of the host's table says about one of our addresses, or nullopt when it is not there
// or cannot be read.
std::optional<liborvaniot_os_unicast_row> read_row(const liborvaniot_os_ip_helper& calls, uint32_t if_index,
                                                   uint32_t address) {
    liborvaniot_os_unicast_row row;
    row.if_index = if_index;
    row.address = address;
    if (calls.find(&row) != NO_ERROR) return std::nullopt;
    return row;
}

liborvaniot_os_unicast_row as_row(const liborvaniot_os_net_owned_address& owned, uint32_t lifetime_s) {
    liborvaniot_os_unicast_row row;
    row.if_index = owned.if_index;
    row.address = owned.address;
    row.prefix_len = owned.prefix_len;
    row.valid_lifetime_s = lifetime_s;
    row.manual = true;
    return row;
}

}  // namespace

int32_t liborvaniot_os_net_has_admin_rights() {
    SID_IDENTIFIER_AUTHORITY authority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&authority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0,
                                  0, 0, &administrators)) {
        return 0;
    }
    BOOL member = FALSE;
    if (!CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
    FreeSid(administrators);
    return member ? 1 : 0;
}

int32_t liborvaniot_os_net_bind_to_interface(liborvaniot_os_socket sock, uint32_t if_index) {
    // IP_UNICAST_IF takes the index in network byte order for IPv4.
    const DWORD index = htonl(if_index);
    if (setsockopt(liborvaniot_os_to_winsock(sock), IPPROTO_IP, IP_UNICAST_IF, reinterpret_cast<const char*>(&index),
                   sizeof index) == 0) {
        return 0;
    }
    return liborvaniot_os_posix_error(WSAGetLastError());
}

int32_t liborvaniot_os_net_addr_add(uint32_t if_index, uint32_t address, uint8_t prefix_len,
                                    const char* label_suffix, uint32_t lifetime_s,
                                    liborvaniot_os_net_owned_address* owned) {
    (void)label_suffix;  // Windows keeps no label with an address
    const liborvaniot_os_ip_helper* calls = liborvaniot_os_ip_helper_calls();
    if (calls == nullptr) return ENOTSUP;
    liborvaniot_os_net_owned_address candidate;
    candidate.if_index = if_index;
    candidate.address = address;
    candidate.prefix_len = prefix_len;
    // Claimed before it exists, so that no other run ever sees it unclaimed and takes it for a
    // leftover.
    if (const int32_t error = take_claim(address, &candidate.claim); error != 0) return error;
    if (const uint32_t error = calls->create(as_row(candidate, lifetime_s)); error != 0) {
        release_claim(&candidate.claim);
        return posix_error(error);
    }
    liborvaniot_os_own_source_note(address);
    *owned = candidate;
    return 0;
}

int32_t liborvaniot_os_net_addr_renew(const liborvaniot_os_net_owned_address* owned, uint32_t lifetime_s) {
    if (owned->if_index == 0) return EINVAL;
    const liborvaniot_os_ip_helper* calls = liborvaniot_os_ip_helper_calls();
    if (calls == nullptr) return ENOTSUP;
    // An address that someone removed, or that expired, must stay gone: only one that is there is
    // given a new lifetime.
    liborvaniot_os_unicast_row found = as_row(*owned, lifetime_s);
    if (const uint32_t error = calls->find(&found); error != 0) return posix_error(error);
    if (found.prefix_len != owned->prefix_len || !looks_like_ours(found)) return EADDRNOTAVAIL;
    // Another host holds it (duplicate), or Windows gave it up: as good as gone, so that it is
    // withdrawn and another one picked, never renewed for ever. Tentative is still on its way to use.
    if (found.dad_state != liborvaniot_os_dad_state::preferred &&
        found.dad_state != liborvaniot_os_dad_state::tentative) {
        return EADDRNOTAVAIL;
    }
    if (const uint32_t error = calls->set_lifetime(as_row(*owned, lifetime_s)); error != 0) return posix_error(error);
    liborvaniot_os_own_routes_renew(*calls, owned->address, lifetime_s);
    return 0;
}

int32_t liborvaniot_os_net_addr_delete(liborvaniot_os_net_owned_address* owned) {
    if (owned->if_index == 0) return EINVAL;
    const liborvaniot_os_ip_helper* calls = liborvaniot_os_ip_helper_calls();
    if (calls != nullptr) liborvaniot_os_own_source_forget(*calls, owned->address);
    const int32_t error = calls == nullptr ? ENOTSUP : posix_error(calls->remove(as_row(*owned, 0)));
    // Deleted or not, this process no longer renews it.
    release_claim(&owned->claim);
    return error;
}

int32_t liborvaniot_os_net_addr_delete_orphaned(const char* label_suffix) {
    (void)label_suffix;
    const liborvaniot_os_ip_helper* calls = liborvaniot_os_ip_helper_calls();
    if (calls == nullptr) return -1;
    std::vector<liborvaniot_os_unicast_row> rows;
    if (calls->list(&rows) != 0) return -1;
    int32_t deleted = 0;
    for (const liborvaniot_os_unicast_row& row : rows) {
        if (!is_link_local(row.address) || !looks_like_ours(row)) continue;
        // Held through the delete, so that no new run can claim and add it meanwhile.
        liborvaniot_os_socket claim = LIBORVANIOT_OS_INVALID_SOCKET;
        if (take_claim(row.address, &claim) != 0) continue;  // a live run renews it
        if (calls->remove(row) == 0) ++deleted;
        release_claim(&claim);
    }
    return deleted;
}

int32_t liborvaniot_os_net_addr_add_route(liborvaniot_os_net_owned_address* owned, uint32_t destination,
                                          uint8_t destination_len) {
    if (owned->if_index == 0) return EINVAL;
    const liborvaniot_os_ip_helper* calls = liborvaniot_os_ip_helper_calls();
    if (calls == nullptr) return ENOTSUP;
    const liborvaniot_os_route_row route{
        .if_index = owned->if_index, .destination = destination, .prefix_len = destination_len};
    // One that is there already (another finder's for its own address) serves ours as well.
    const uint32_t error = liborvaniot_os_own_route_make(*calls, owned->address, route);
    if (error != NO_ERROR && error != ERROR_OBJECT_ALREADY_EXISTS) return posix_error(error);
    owned->route_if_index = owned->if_index;
    owned->route_destination = destination;
    owned->route_prefix_len = destination_len;
    return 0;
}

int32_t liborvaniot_os_net_addr_find_ours(uint32_t if_index, uint32_t network, uint32_t netmask,
                                          const char* label_suffix, uint32_t* address) {
    (void)label_suffix;  // Windows keeps no label with an address
    *address = 0;
    const liborvaniot_os_ip_helper* calls = liborvaniot_os_ip_helper_calls();
    if (calls == nullptr) return 0;
    std::vector<liborvaniot_os_unicast_row> rows;
    if (calls->list(&rows) != 0) return 0;
    for (const liborvaniot_os_unicast_row& row : rows) {
        if (row.if_index == if_index && (row.address & netmask) == network && looks_like_ours(row)) {
            *address = row.address;
            return 1;
        }
    }
    return 0;
}

int32_t liborvaniot_os_net_addr_adopt(uint32_t if_index, uint32_t address, const char* label_suffix,
                                      liborvaniot_os_net_owned_address* owned) {
    (void)label_suffix;
    const liborvaniot_os_ip_helper* calls = liborvaniot_os_ip_helper_calls();
    if (calls == nullptr) return ENOTSUP;
    const std::optional<liborvaniot_os_unicast_row> row = read_row(*calls, if_index, address);
    if (!row || !looks_like_ours(*row)) return EADDRNOTAVAIL;
    liborvaniot_os_net_owned_address adopted;
    adopted.if_index = if_index;
    adopted.address = address;
    adopted.prefix_len = row->prefix_len;
    if (const int32_t error = take_claim(address, &adopted.claim); error != 0) return error;
    liborvaniot_os_own_source_note(address);
    *owned = adopted;
    return 0;
}

int32_t liborvaniot_os_random_bytes(void* out, size_t size) {
    if (size > ULONG_MAX) return EINVAL;
    // The system's preferred generator needs no algorithm handle and is safe from any thread.
    const NTSTATUS status = BCryptGenRandom(nullptr, static_cast<PUCHAR>(out), static_cast<ULONG>(size),
                                            BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    return BCRYPT_SUCCESS(status) ? 0 : EIO;
}
