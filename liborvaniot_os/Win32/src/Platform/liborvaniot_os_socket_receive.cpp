// Receiving on Windows: WSARecvMsg, so that a group receiver learns each datagram's destination
// and keeps only those sent to its group, and WSAEMSGSIZE as an over-long datagram.
// Winsock 2 comes first: the other headers build on it.
// The portable code built with this file is in Linux/src/Common (see liborvaniot_os/README.md).
#include <winsock2.h>

#include <mswsock.h>
#include <windows.h>
#include <ws2tcpip.h>

#include <atomic>
#include <cerrno>
#include <climits>

#include "liborvaniot_os_socket_calls.h"
#include "liborvaniot_os_winsock.h"

namespace {

// The runtime has one or two group receivers at a time (the probe client's, a scanner's).
constexpr int kMaxGroupReceivers = 16;
// Datagrams for elsewhere skipped in one call before it reports that nothing is waiting, so that
// a flood of them cannot hold the caller.
constexpr int kMaxSkipped = 64;

// Interfaces a receiver has joined its group on, at most one membership each.
constexpr int kMaxJoinedInterfaces = 64;

struct group_receiver {
    SOCKET sock = INVALID_SOCKET;
    uint32_t group = 0;
    uint32_t joined[kMaxJoinedInterfaces] = {};
    int joined_count = 0;
};

SRWLOCK receivers_lock = SRWLOCK_INIT;
group_receiver receivers[kMaxGroupReceivers];

// The group of a listed receiver, or 0.
uint32_t group_of(SOCKET sock) {
    AcquireSRWLockShared(&receivers_lock);
    uint32_t group = 0;
    for (const group_receiver& r : receivers) {
        if (r.sock == sock) group = r.group;
    }
    ReleaseSRWLockShared(&receivers_lock);
    return group;
}

// WSARecvMsg is an extension reached through the socket; the pointer is the same for every IPv4
// socket of the process. Null when the provider has none: then the receive falls back to
// recvfrom, without destinations.
LPFN_WSARECVMSG receive_message_function(SOCKET sock) {
    static std::atomic<LPFN_WSARECVMSG> cached{nullptr};
    LPFN_WSARECVMSG function = cached.load(std::memory_order_acquire);
    if (function != nullptr) return function;
    GUID id = WSAID_WSARECVMSG;
    DWORD size = 0;
    if (WSAIoctl(sock, SIO_GET_EXTENSION_FUNCTION_POINTER, &id, sizeof id, &function, sizeof function, &size,
                 nullptr, nullptr) != 0) {
        return nullptr;
    }
    cached.store(function, std::memory_order_release);
    return function;
}

// The destination of a datagram from its control data, or 0 when it carries none.
uint32_t destination_of(const WSAMSG& message) {
    for (const WSACMSGHDR* c = WSA_CMSG_FIRSTHDR(&message); c != nullptr; c = WSA_CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
            return reinterpret_cast<const IN_PKTINFO*>(WSA_CMSG_DATA(c))->ipi_addr.s_addr;
        }
    }
    return 0;
}

enum class outcome { datagram, too_long, failed };

outcome receive_once(SOCKET sock, LPFN_WSARECVMSG receive_message, char* buffer, ULONG capacity,
                     sockaddr_in* from, DWORD* length, uint32_t* destination) {
    *destination = 0;
    int from_size = sizeof *from;
    if (receive_message == nullptr) {
        const int n = recvfrom(sock, buffer, static_cast<int>(capacity), 0, reinterpret_cast<sockaddr*>(from),
                               &from_size);
        *length = n == SOCKET_ERROR ? 0 : static_cast<DWORD>(n);
        if (n != SOCKET_ERROR) return outcome::datagram;
        return WSAGetLastError() == WSAEMSGSIZE ? outcome::too_long : outcome::failed;
    }
    WSABUF data{capacity, buffer};
    // Zeroed: a failed receive need not fill it, and what it holds is read either way.
    alignas(WSACMSGHDR) char control[WSA_CMSG_SPACE(sizeof(IN_PKTINFO))] = {};
    WSAMSG message{};
    message.name = reinterpret_cast<sockaddr*>(from);
    message.namelen = from_size;
    message.lpBuffers = &data;
    message.dwBufferCount = 1;
    message.Control = WSABUF{sizeof control, control};
    const bool received = receive_message(sock, &message, length, nullptr, nullptr) == 0;
    if (!received && WSAGetLastError() != WSAEMSGSIZE) return outcome::failed;
    // Control data cut short names no destination the group receiver could trust.
    if ((message.dwFlags & MSG_CTRUNC) == 0) *destination = destination_of(message);
    return received && (message.dwFlags & MSG_TRUNC) == 0 ? outcome::datagram : outcome::too_long;
}

}  // namespace

bool liborvaniot_os_group_receiver_add(SOCKET sock, uint32_t group) {
    AcquireSRWLockExclusive(&receivers_lock);
    bool added = false;
    for (group_receiver& r : receivers) {
        if (r.sock == INVALID_SOCKET || r.sock == sock) {
            r = group_receiver{};
            r.sock = sock;
            r.group = group;
            added = true;
            break;
        }
    }
    ReleaseSRWLockExclusive(&receivers_lock);
    return added;
}

void liborvaniot_os_group_receiver_remove(SOCKET sock) {
    AcquireSRWLockExclusive(&receivers_lock);
    for (group_receiver& r : receivers) {
        if (r.sock == sock) r = group_receiver{};
    }
    ReleaseSRWLockExclusive(&receivers_lock);
}

bool liborvaniot_os_group_receiver_joined(SOCKET sock, uint32_t if_index) {
    AcquireSRWLockShared(&receivers_lock);
    bool joined = false;
    for (const group_receiver& r : receivers) {
        if (r.sock != sock) continue;
        for (int i = 0; i < r.joined_count && !joined; ++i) joined = r.joined[i] == if_index;
    }
    ReleaseSRWLockShared(&receivers_lock);
    return joined;
}

void liborvaniot_os_group_receiver_note_join(SOCKET sock, uint32_t if_index) {
    AcquireSRWLockExclusive(&receivers_lock);
    for (group_receiver& r : receivers) {
        if (r.sock == sock && r.joined_count < kMaxJoinedInterfaces) r.joined[r.joined_count++] = if_index;
    }
    ReleaseSRWLockExclusive(&receivers_lock);
}

namespace liborvaniot_os_socket_calls {

int64_t receive(liborvaniot_os_socket sock, void* buffer, size_t capacity, sockaddr_in* from,
                bool* too_long) {
    *too_long = false;
    const SOCKET handle = liborvaniot_os_to_winsock(sock);
    const LPFN_WSARECVMSG receive_message = receive_message_function(handle);
    const auto size = static_cast<ULONG>(capacity > INT_MAX ? INT_MAX : capacity);
    for (int skipped = 0; skipped <= kMaxSkipped; ++skipped) {
        DWORD length = 0;
        uint32_t destination = 0;
        const outcome got = receive_once(handle, receive_message, static_cast<char*>(buffer), size, from,
                                         &length, &destination);
        if (got == outcome::failed) {
            liborvaniot_os_errno_from_winsock();
            return -1;
        }
        // Only group receivers ask for destinations; a datagram sent elsewhere (to this host's
        // address, a broadcast, another group) is not theirs, long or short.
        if (destination != 0) {
            const uint32_t group = group_of(handle);
            if (group != 0 && destination != group) continue;
        }
        // An over-long datagram: Windows has filled the buffer and dropped the rest.
        *too_long = got == outcome::too_long;
        return *too_long ? static_cast<int64_t>(capacity) : static_cast<int64_t>(length);
    }
    errno = EWOULDBLOCK;
    return -1;
}

}  // namespace liborvaniot_os_socket_calls
