// Winsock 2.2 behind the runtime's socket calls: started and stopped with the net layer, FIONBIO for
// non-blocking mode, handles kept out of child processes, the group receiver on the wildcard address
// and select for readiness. Receiving is in liborvaniot_os_socket_receive.cpp.
// The portable code built with this file is in Linux/src/Common (see liborvaniot_os/README.md).
#include "liborvaniot_os_socket_calls.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <windows.h>

#include <cerrno>
#include <memory>
#include <new>

#include "liborvaniot_os_winsock.h"

int liborvaniot_os_posix_error(int winsock_error) {
    switch (winsock_error) {
        case 0: return 0;
        case WSAEWOULDBLOCK: return EWOULDBLOCK;
        case WSAEINTR: return EINTR;
        case WSAEINVAL: return EINVAL;
        case WSAEACCES: return EACCES;
        case WSAEADDRINUSE: return EADDRINUSE;
        case WSAEADDRNOTAVAIL: return EADDRNOTAVAIL;
        case WSAEMSGSIZE: return EMSGSIZE;
        case WSAENOBUFS: return ENOBUFS;
        case WSAENOTSOCK: return ENOTSOCK;
        case WSAEAFNOSUPPORT: return EAFNOSUPPORT;
        case WSAEMFILE: return EMFILE;
        case WSAENETDOWN: return ENETDOWN;
        case WSAENETUNREACH: return ENETUNREACH;
        case WSAEHOSTUNREACH: return EHOSTUNREACH;
        case WSAECONNRESET: return ECONNRESET;
        case WSAENOPROTOOPT: return ENOPROTOOPT;
        case WSAEPROTONOSUPPORT: return EPROTONOSUPPORT;
        case WSAEOPNOTSUPP: return EOPNOTSUPP;
        case WSAETIMEDOUT: return ETIMEDOUT;
        case WSAEFAULT: return EFAULT;
        case WSANOTINITIALISED:
        case WSASYSNOTREADY:
        case WSAVERNOTSUPPORTED: return ENOTSUP;
        case ERROR_ACCESS_DENIED:
        case ERROR_PRIVILEGE_NOT_HELD: return EPERM;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY: return ENOMEM;
        case ERROR_NOT_SUPPORTED:
        case ERROR_CALL_NOT_IMPLEMENTED: return ENOTSUP;
        case ERROR_INVALID_PARAMETER: return EINVAL;
        case ERROR_OBJECT_ALREADY_EXISTS:
        case ERROR_ALREADY_EXISTS:
        case ERROR_FILE_EXISTS: return EEXIST;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_NOT_FOUND: return ENOENT;
        case ERROR_INVALID_HANDLE: return EBADF;
        case ERROR_INSUFFICIENT_BUFFER:
        case ERROR_BUFFER_OVERFLOW: return ENOBUFS;
        case ERROR_TIMEOUT:
        case WAIT_TIMEOUT: return ETIMEDOUT;
        case ERROR_NETWORK_UNREACHABLE: return ENETUNREACH;
        case ERROR_HOST_UNREACHABLE: return EHOSTUNREACH;
        case ERROR_BUSY:
        case ERROR_SHARING_VIOLATION: return EBUSY;
        // Anything else must not pass through as its own number: the Win32 and Winsock numbers
        // overlap the POSIX ones (ERROR_INVALID_DATA, 13, would read as EACCES).
        default: return EIO;
    }
}

void liborvaniot_os_errno_from_winsock() {
    errno = liborvaniot_os_posix_error(WSAGetLastError());
}

namespace liborvaniot_os_socket_calls {

namespace {

// select takes at most FD_SETSIZE sockets per set; the runtime waits on a handful.
constexpr int32_t kMaxWaitSockets = 64;
static_assert(kMaxWaitSockets <= FD_SETSIZE);

}  // namespace

int32_t library_start() {
    WSADATA data{};
    const int error = WSAStartup(MAKEWORD(2, 2), &data);
    if (error != 0) return liborvaniot_os_posix_error(error);
    if (data.wVersion != MAKEWORD(2, 2)) {
        WSACleanup();
        return ENOTSUP;
    }
    return 0;
}

void library_stop() {
    WSACleanup();
}

liborvaniot_os_socket open(int type, int protocol) {
    // Without WSA_FLAG_NO_HANDLE_INHERIT a program the finder starts (the browser) would inherit it.
    const SOCKET sock = WSASocketW(AF_INET, type, protocol, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    if (sock == INVALID_SOCKET) {
        liborvaniot_os_errno_from_winsock();
        return LIBORVANIOT_OS_INVALID_SOCKET;
    }
    u_long non_blocking = 1;
    if (ioctlsocket(sock, FIONBIO, &non_blocking) != 0) {
        liborvaniot_os_errno_from_winsock();
        const int error = errno;
        closesocket(sock);
        errno = error;
        return LIBORVANIOT_OS_INVALID_SOCKET;
    }
    return liborvaniot_os_from_winsock(sock);
}

void close(liborvaniot_os_socket sock) {
    // Forgotten before the handle is: the system may hand the same value to the next socket.
    liborvaniot_os_group_receiver_remove(liborvaniot_os_to_winsock(sock));
    closesocket(liborvaniot_os_to_winsock(sock));
}

namespace {

// The index of the interface that holds the address (network byte order), 0 when none does.
uint32_t interface_holding(uint32_t address) {
    ULONG size = 0;
    if (GetIpAddrTable(nullptr, &size, FALSE) != ERROR_INSUFFICIENT_BUFFER || size == 0) return 0;
    std::unique_ptr<unsigned char[]> storage(new (std::nothrow) unsigned char[size]);
    if (storage == nullptr) return 0;
    auto* table = reinterpret_cast<MIB_IPADDRTABLE*>(storage.get());
    if (GetIpAddrTable(table, &size, FALSE) != NO_ERROR) return 0;
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
        if (table->table[i].dwAddr == address) return table->table[i].dwIndex;
    }
    return 0;
}

// A group receiver joins on every address it is given, and an interface may hold several. Windows
// refuses a second membership on one interface with WSAEADDRNOTAVAIL or WSAEINVAL, which reads as a
// real failure; Linux says EADDRINUSE, which callers take as "joined already". So a receiver joins
// once per interface, and a further address of it gets Linux's answer without asking Windows.
bool join_group(SOCKET sock, const ip_mreq& membership) {
    const uint32_t if_index = interface_holding(membership.imr_interface.s_addr);
    if (if_index != 0 && liborvaniot_os_group_receiver_joined(sock, if_index)) {
        errno = EADDRINUSE;
        return false;
    }
    if (setsockopt(sock, IPPROTO_IP, IP_ADD_MEMBERSHIP, reinterpret_cast<const char*>(&membership),
                   sizeof membership) != 0) {
        liborvaniot_os_errno_from_winsock();
        return false;
    }
    if (if_index != 0) liborvaniot_os_group_receiver_note_join(sock, if_index);
    return true;
}

}  // namespace

bool set_option(liborvaniot_os_socket sock, int level, int name, const void* value, size_t size) {
    if (level == IPPROTO_IP && name == IP_ADD_MEMBERSHIP && size == sizeof(ip_mreq)) {
        return join_group(liborvaniot_os_to_winsock(sock), *static_cast<const ip_mreq*>(value));
    }
    if (setsockopt(liborvaniot_os_to_winsock(sock), level, name, static_cast<const char*>(value),
                   static_cast<int>(size)) == 0) {
        return true;
    }
    liborvaniot_os_errno_from_winsock();
    return false;
}

bool bind(liborvaniot_os_socket sock, uint32_t address, uint16_t port) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = address;
    if (::bind(liborvaniot_os_to_winsock(sock), reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0)
        return true;
    // Windows has no privileged ports: a refused bind means another program holds the port for
    // itself (SO_EXCLUSIVEADDRUSE, or a socket of another user), which callers report as in use.
    const int error = WSAGetLastError();
    errno = error == WSAEACCES ? EADDRINUSE : liborvaniot_os_posix_error(error);
    return false;
}

bool bind_group(liborvaniot_os_socket sock, uint32_t group, uint16_t port) {
    // Windows refuses a multicast address as a local one, so the receiver is bound to every address
    // and would also hear datagrams sent straight to this host's port (and, under Wine, other
    // groups joined on the host). It asks for each datagram's destination instead, and receive
    // keeps only those sent to the group.
    if (!bind(sock, htonl(INADDR_ANY), port)) return false;
    const DWORD with_destination = 1;
    if (!set_option(sock, IPPROTO_IP, IP_PKTINFO, &with_destination, sizeof with_destination)) return false;
    if (liborvaniot_os_group_receiver_add(liborvaniot_os_to_winsock(sock), group)) return true;
    errno = ENOBUFS;
    return false;
}

int32_t force_receive_buffer(liborvaniot_os_socket sock, int32_t bytes) {
    // Windows has no ordinary limit to exceed: the plain option grants any size.
    const int size = bytes;
    return set_option(sock, SOL_SOCKET, SO_RCVBUF, &size, sizeof size) ? 0 : errno;
}

int32_t ignore_port_unreachable(liborvaniot_os_socket sock) {
    // SIO_UDP_CONNRESET, from mstcpip.h, which the cross toolchain's headers may lack.
    constexpr DWORD kUdpConnectionReset = IOC_IN | IOC_VENDOR | 12;
    BOOL report = FALSE;
    DWORD returned = 0;
    if (WSAIoctl(liborvaniot_os_to_winsock(sock), kUdpConnectionReset, &report, sizeof report, nullptr, 0,
                 &returned, nullptr, nullptr) == 0) {
        return 0;
    }
    return liborvaniot_os_posix_error(WSAGetLastError());
}

int64_t send(liborvaniot_os_socket sock, const void* data, size_t length, const sockaddr_in& to) {
    const int n = sendto(liborvaniot_os_to_winsock(sock), static_cast<const char*>(data),
                         static_cast<int>(length > INT32_MAX ? INT32_MAX : length), 0,
                         reinterpret_cast<const sockaddr*>(&to), sizeof to);
    if (n != SOCKET_ERROR) return n;
    liborvaniot_os_errno_from_winsock();
    return -1;
}

int32_t wait(const liborvaniot_os_socket* socks, int32_t count, bool readable, int32_t timeout_ms,
             uint8_t* ready) {
    if (count < 0 || count > kMaxWaitSockets) return -1;
    fd_set wanted;
    fd_set failed;
    FD_ZERO(&wanted);
    FD_ZERO(&failed);
    int32_t valid = 0;
    for (int32_t i = 0; i < count; ++i) {
        ready[i] = 0;
        if (socks[i] == LIBORVANIOT_OS_INVALID_SOCKET) continue;
        FD_SET(liborvaniot_os_to_winsock(socks[i]), &wanted);
        FD_SET(liborvaniot_os_to_winsock(socks[i]), &failed);
        ++valid;
    }
    // select with no socket at all fails at once instead of waiting: wait as poll would.
    if (valid == 0) {
        if (timeout_ms != 0) Sleep(timeout_ms < 0 ? INFINITE : static_cast<DWORD>(timeout_ms));
        return 0;
    }
    timeval limit{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
    const int result = select(0, readable ? &wanted : nullptr, readable ? nullptr : &wanted, &failed,
                              timeout_ms < 0 ? nullptr : &limit);
    if (result == SOCKET_ERROR) {
        liborvaniot_os_errno_from_winsock();
        return errno == EINTR ? 0 : -1;
    }
    int32_t n = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (socks[i] == LIBORVANIOT_OS_INVALID_SOCKET) continue;
        const SOCKET sock = liborvaniot_os_to_winsock(socks[i]);
        // Errors count as ready: the next receive or send reports them.
        if (FD_ISSET(sock, &wanted) || FD_ISSET(sock, &failed)) {
            ready[i] = 1;
            ++n;
        }
    }
    return n;
}

}  // namespace liborvaniot_os_socket_calls
