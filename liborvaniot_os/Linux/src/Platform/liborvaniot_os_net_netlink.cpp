// rtnetlink requests on IPv4 addresses and routes. Each call uses a socket of its own, so callers on different
// threads never see each other's answers.
#include "liborvaniot_os_net_netlink.h"

#include <linux/if_addr.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace {

constexpr size_t kReceiveBuffer = 32768;

class netlink_socket {
  public:
    netlink_socket() : fd_(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE)) {
        if (fd_ < 0) return;
        // The kernel answers at once; the limit only keeps a lost answer from hanging the caller.
        const timeval limit{2, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    }
    ~netlink_socket() {
        if (fd_ >= 0) ::close(fd_);
    }
    netlink_socket(const netlink_socket&) = delete;
    netlink_socket& operator=(const netlink_socket&) = delete;

    int fd() const { return fd_; }

  private:
    int fd_;
};

struct address_message {
    nlmsghdr header;
    ifaddrmsg body;
    char attributes[256];
};

struct route_message {
    nlmsghdr header;
    rtmsg body;
    char attributes[128];
};

uint32_t next_sequence() {
    static std::atomic<uint32_t> sequence{0};
    return ++sequence;
}

template <typename Message>
void add_attribute(Message& message, uint16_t type, const void* data, size_t size) {
    auto* attribute =
        reinterpret_cast<rtattr*>(reinterpret_cast<char*>(&message) + NLMSG_ALIGN(message.header.nlmsg_len));
    attribute->rta_type = type;
    attribute->rta_len = static_cast<unsigned short>(RTA_LENGTH(size));
    std::memcpy(RTA_DATA(attribute), data, size);
    message.header.nlmsg_len = NLMSG_ALIGN(message.header.nlmsg_len) + RTA_ALIGN(attribute->rta_len);
}

int32_t send_message(const netlink_socket& socket, const nlmsghdr& header) {
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    if (::sendto(socket.fd(), &header, header.nlmsg_len, 0, reinterpret_cast<const sockaddr*>(&kernel),
                 sizeof kernel) < 0) {
        return errno;
    }
    return 0;
}

// Reads answers to the request with the given sequence number and hands every message to handle,
// which returns false once the exchange is complete. 0 or the error number.
template <typename Handler>
int32_t receive_answers(const netlink_socket& socket, uint32_t sequence, Handler&& handle) {
    alignas(nlmsghdr) char buffer[kReceiveBuffer];
    for (;;) {
        const ssize_t received = ::recv(socket.fd(), buffer, sizeof buffer, 0);
        if (received < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        int remaining = static_cast<int>(received);
        for (auto* header = reinterpret_cast<nlmsghdr*>(buffer); NLMSG_OK(header, remaining);
             header = NLMSG_NEXT(header, remaining)) {
            if (header->nlmsg_seq != sequence) continue;
            int32_t result = 0;
            if (!handle(*header, result)) return result;
        }
    }
}

// Sends a change request and waits for the kernel's acknowledgement: 0 or the error number.
int32_t exchange(const netlink_socket& socket, const nlmsghdr& request) {
    if (const int32_t error = send_message(socket, request); error != 0) return error;
    int32_t outcome = EPROTO;
    const int32_t error = receive_answers(socket, request.nlmsg_seq, [&](const nlmsghdr& answer, int32_t&) {
        if (answer.nlmsg_type != NLMSG_ERROR) return true;
        outcome = -static_cast<const nlmsgerr*>(NLMSG_DATA(&answer))->error;
        return false;
    });
    return error != 0 ? error : outcome;
}

}  // namespace

bool liborvaniot_os_netlink_parse_address(const nlmsghdr& message, liborvaniot_os_netlink_address* out) {
    if (message.nlmsg_len < NLMSG_LENGTH(sizeof(ifaddrmsg))) return false;
    const auto* body = static_cast<const ifaddrmsg*>(NLMSG_DATA(&message));
    if (body->ifa_family != AF_INET) return false;
    liborvaniot_os_netlink_address row;
    row.if_index = body->ifa_index;
    row.prefix_len = body->ifa_prefixlen;
    row.flags = body->ifa_flags;
    uint32_t address = 0;
    int length = static_cast<int>(IFA_PAYLOAD(&message));
    for (auto* attribute = IFA_RTA(body); RTA_OK(attribute, length); attribute = RTA_NEXT(attribute, length)) {
        const size_t size = RTA_PAYLOAD(attribute);
        if (attribute->rta_type == IFA_LOCAL && size == sizeof row.local) {
            std::memcpy(&row.local, RTA_DATA(attribute), size);
        } else if (attribute->rta_type == IFA_ADDRESS && size == sizeof address) {
            std::memcpy(&address, RTA_DATA(attribute), size);
        } else if (attribute->rta_type == IFA_PROTO && size == sizeof row.protocol) {
            std::memcpy(&row.protocol, RTA_DATA(attribute), size);
        } else if (attribute->rta_type == IFA_FLAGS && size == sizeof row.flags) {
            std::memcpy(&row.flags, RTA_DATA(attribute), size);
        } else if (attribute->rta_type == IFA_CACHEINFO && size >= sizeof(ifa_cacheinfo)) {
            ifa_cacheinfo lifetime{};
            std::memcpy(&lifetime, RTA_DATA(attribute), sizeof lifetime);
            row.valid_s = lifetime.ifa_valid;
        } else if (attribute->rta_type == IFA_LABEL && size > 0) {
            const size_t copied = size < sizeof row.label ? size : sizeof row.label - 1;
            std::memcpy(row.label, RTA_DATA(attribute), copied);
            row.label[sizeof row.label - 1] = '\0';
        }
    }
    if (row.local == 0) row.local = address;
    *out = row;
    return true;
}

int32_t liborvaniot_os_netlink_change_route(uint16_t type, uint16_t flags, uint32_t destination,
                                            uint8_t destination_len, uint32_t if_index, uint32_t prefsrc,
                                            uint8_t protocol) {
    netlink_socket socket;
    if (socket.fd() < 0) return errno;
    route_message message{};
    message.header.nlmsg_len = NLMSG_LENGTH(sizeof(rtmsg));
    message.header.nlmsg_type = type;
    message.header.nlmsg_flags = static_cast<uint16_t>(NLM_F_REQUEST | NLM_F_ACK | flags);
    message.header.nlmsg_seq = next_sequence();
    message.body.rtm_family = AF_INET;
    message.body.rtm_dst_len = destination_len;
    message.body.rtm_table = RT_TABLE_MAIN;
    message.body.rtm_protocol = protocol;
    message.body.rtm_scope = RT_SCOPE_LINK;
    message.body.rtm_type = RTN_UNICAST;
    add_attribute(message, RTA_DST, &destination, sizeof destination);
    add_attribute(message, RTA_OIF, &if_index, sizeof if_index);
    add_attribute(message, RTA_PREFSRC, &prefsrc, sizeof prefsrc);
    return exchange(socket, message.header);
}

int32_t liborvaniot_os_netlink_get_route(uint32_t destination, liborvaniot_os_netlink_route* route) {
    *route = {};
    netlink_socket socket;
    if (socket.fd() < 0) return errno;
    route_message message{};
    message.header.nlmsg_len = NLMSG_LENGTH(sizeof(rtmsg));
    message.header.nlmsg_type = RTM_GETROUTE;
    message.header.nlmsg_flags = NLM_F_REQUEST;
    message.header.nlmsg_seq = next_sequence();
    message.body.rtm_family = AF_INET;
    message.body.rtm_dst_len = 32;
    add_attribute(message, RTA_DST, &destination, sizeof destination);
    if (const int32_t error = send_message(socket, message.header); error != 0) return error;
    int32_t outcome = EPROTO;
    const int32_t error = receive_answers(socket, message.header.nlmsg_seq, [&](const nlmsghdr& answer, int32_t&) {
        if (answer.nlmsg_type == NLMSG_ERROR) {
            outcome = -static_cast<const nlmsgerr*>(NLMSG_DATA(&answer))->error;
            return false;
        }
        if (answer.nlmsg_type != RTM_NEWROUTE || answer.nlmsg_len < NLMSG_LENGTH(sizeof(rtmsg))) return true;
        const auto* body = static_cast<const rtmsg*>(NLMSG_DATA(&answer));
        route->type = body->rtm_type;
        int length = static_cast<int>(RTM_PAYLOAD(&answer));
        for (auto* attribute = RTM_RTA(body); RTA_OK(attribute, length); attribute = RTA_NEXT(attribute, length)) {
            if (attribute->rta_type == RTA_OIF && RTA_PAYLOAD(attribute) == sizeof route->if_index) {
                std::memcpy(&route->if_index, RTA_DATA(attribute), sizeof route->if_index);
            } else if (attribute->rta_type == RTA_GATEWAY && RTA_PAYLOAD(attribute) == sizeof route->gateway) {
                std::memcpy(&route->gateway, RTA_DATA(attribute), sizeof route->gateway);
            }
        }
        outcome = 0;
        return false;
    });
    return error != 0 ? error : outcome;
}

int32_t liborvaniot_os_netlink_change_address(uint16_t type, uint16_t flags,
                                              const liborvaniot_os_netlink_address& row, uint32_t lifetime_s,
                                              bool with_label) {
    netlink_socket socket;
    if (socket.fd() < 0) return errno;
    address_message message{};
    message.header.nlmsg_len = NLMSG_LENGTH(sizeof(ifaddrmsg));
    message.header.nlmsg_type = type;
    message.header.nlmsg_flags = static_cast<uint16_t>(NLM_F_REQUEST | NLM_F_ACK | flags);
    message.header.nlmsg_seq = next_sequence();
    message.body.ifa_family = AF_INET;
    message.body.ifa_prefixlen = row.prefix_len;
    message.body.ifa_scope = RT_SCOPE_LINK;
    message.body.ifa_index = row.if_index;
    add_attribute(message, IFA_LOCAL, &row.local, sizeof row.local);
    add_attribute(message, IFA_ADDRESS, &row.local, sizeof row.local);
    if (type == RTM_NEWADDR && row.prefix_len < 31) {
        const uint32_t host_mask = row.prefix_len == 0 ? 0xFFFFFFFFu : (0xFFFFFFFFu >> row.prefix_len);
        const uint32_t broadcast = row.local | htonl(host_mask);
        add_attribute(message, IFA_BROADCAST, &broadcast, sizeof broadcast);
    }
    if (with_label) add_attribute(message, IFA_LABEL, row.label, std::strlen(row.label) + 1);
    if (type == RTM_NEWADDR && row.protocol != 0) add_attribute(message, IFA_PROTO, &row.protocol, 1);
    if (lifetime_s != 0) {
        ifa_cacheinfo lifetime{};
        lifetime.ifa_prefered = lifetime_s;
        lifetime.ifa_valid = lifetime_s;
        add_attribute(message, IFA_CACHEINFO, &lifetime, sizeof lifetime);
    }
    return exchange(socket, message.header);
}

int32_t liborvaniot_os_netlink_walk_addresses(bool (*visit)(const liborvaniot_os_netlink_address& row,
                                                            void* context),
                                              void* context) {
    netlink_socket socket;
    if (socket.fd() < 0) return errno;
    address_message request{};
    request.header.nlmsg_len = NLMSG_LENGTH(sizeof(ifaddrmsg));
    request.header.nlmsg_type = RTM_GETADDR;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.header.nlmsg_seq = next_sequence();
    request.body.ifa_family = AF_INET;
    if (const int32_t error = send_message(socket, request.header); error != 0) return error;

    bool visiting = true;  // the dump is read to its end even after the visitor is done
    int32_t outcome = 0;
    const int32_t error =
        receive_answers(socket, request.header.nlmsg_seq, [&](const nlmsghdr& answer, int32_t&) {
            if (answer.nlmsg_type == NLMSG_DONE) return false;
            if (answer.nlmsg_type == NLMSG_ERROR) {
                outcome = -static_cast<const nlmsgerr*>(NLMSG_DATA(&answer))->error;
                return false;
            }
            if (answer.nlmsg_type != RTM_NEWADDR || !visiting) return true;
            liborvaniot_os_netlink_address row;
            if (!liborvaniot_os_netlink_parse_address(answer, &row)) return true;
            visiting = visit(row, context);
            return true;
        });
    return error != 0 ? error : outcome;
}
