#include "sim_addresses.h"

#include <linux/if_addr.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace orvan::sim {

AddressLease::AddressLease(int link_index, int prefix_length)
    : fd_(socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE)),
      link_index_(link_index),
      prefix_length_(prefix_length) {}

AddressLease::~AddressLease() {
    for (in_addr_t address : added_) Request(RTM_DELADDR, 0, address);
    if (fd_ >= 0) close(fd_);
}

bool AddressLease::Add(in_addr_t address, std::string& error) {
    int rc = Request(RTM_NEWADDR, NLM_F_CREATE | NLM_F_EXCL, address);
    if (rc == 0) {
        added_.push_back(address);
        return true;
    }
    if (rc == EEXIST) return true;
    error = std::strerror(rc);
    return false;
}

// Sends one address request and waits for the kernel's acknowledgement; returns its errno.
int AddressLease::Request(int type, int flags, in_addr_t address) {
    if (fd_ < 0) return EBADF;
    struct {
        nlmsghdr header;
        ifaddrmsg body;
        char attributes[64];
    } request{};
    request.header.nlmsg_type = static_cast<uint16_t>(type);
    request.header.nlmsg_flags = static_cast<uint16_t>(NLM_F_REQUEST | NLM_F_ACK | flags);
    request.header.nlmsg_seq = ++sequence_;
    request.body.ifa_family = AF_INET;
    request.body.ifa_prefixlen = static_cast<unsigned char>(prefix_length_);
    request.body.ifa_scope = RT_SCOPE_UNIVERSE;
    request.body.ifa_index = static_cast<unsigned>(link_index_);
    size_t length = NLMSG_LENGTH(sizeof(ifaddrmsg));
    for (unsigned short kind : {IFA_LOCAL, IFA_ADDRESS}) {
        auto* attr = reinterpret_cast<rtattr*>(reinterpret_cast<char*>(&request) + NLMSG_ALIGN(length));
        attr->rta_type = kind;
        attr->rta_len = RTA_LENGTH(sizeof(address));
        std::memcpy(RTA_DATA(attr), &address, sizeof(address));
        length = NLMSG_ALIGN(length) + RTA_ALIGN(attr->rta_len);
    }
    request.header.nlmsg_len = static_cast<uint32_t>(length);
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    if (sendto(fd_, &request, length, 0, reinterpret_cast<sockaddr*>(&kernel), sizeof(kernel)) < 0)
        return errno;
    char reply[8192];
    for (;;) {
        ssize_t n = recv(fd_, reply, sizeof(reply), 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        int left = static_cast<int>(n);
        for (auto* h = reinterpret_cast<nlmsghdr*>(reply); NLMSG_OK(h, left); h = NLMSG_NEXT(h, left)) {
            if (h->nlmsg_seq != sequence_ || h->nlmsg_type != NLMSG_ERROR) continue;
            return -static_cast<nlmsgerr*>(NLMSG_DATA(h))->error;
        }
    }
}

}  // namespace orvan::sim
