#include "netns_guard.h"

#include <dirent.h>
#include <linux/if_link.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <memory>

namespace orvan::netguard {
namespace {

constexpr const char* kNamedNamespaceDir = "/run/netns";

struct FdCloser {
    int fd;
    ~FdCloser() {
        if (fd >= 0) close(fd);
    }
};

std::string AttrString(const rtattr* attr) {
    const char* data = static_cast<const char*>(RTA_DATA(attr));
    size_t len = RTA_PAYLOAD(attr);
    return std::string(data, strnlen(data, len));
}

std::string LinkKind(const rtattr* linkinfo) {
    int len = static_cast<int>(RTA_PAYLOAD(linkinfo));
    for (auto* a = static_cast<const rtattr*>(RTA_DATA(linkinfo)); RTA_OK(a, len); a = RTA_NEXT(a, len)) {
        if (a->rta_type == IFLA_INFO_KIND) return AttrString(a);
    }
    return {};
}

// Returns false when the dump is complete, true while more messages follow.
bool ParseLinks(const char* buf, ssize_t n, std::vector<Link>& links, std::string& error) {
    int remaining = static_cast<int>(n);
    for (auto* h = reinterpret_cast<const nlmsghdr*>(buf); NLMSG_OK(h, remaining);
         h = NLMSG_NEXT(h, remaining)) {
        if (h->nlmsg_type == NLMSG_DONE) return false;
        if (h->nlmsg_type == NLMSG_ERROR) {
            auto* err = static_cast<const nlmsgerr*>(NLMSG_DATA(h));
            error = std::string("link dump refused: ") + strerror(-err->error);
            return false;
        }
        if (h->nlmsg_type != RTM_NEWLINK) continue;
        auto* info = static_cast<const ifinfomsg*>(NLMSG_DATA(h));
        Link link;
        link.index = info->ifi_index;
        int len = static_cast<int>(IFLA_PAYLOAD(h));
        for (auto* a = IFLA_RTA(info); RTA_OK(a, len); a = RTA_NEXT(a, len)) {
            if (a->rta_type == IFLA_IFNAME) link.name = AttrString(a);
            if (a->rta_type == IFLA_LINKINFO) link.kind = LinkKind(a);
        }
        links.push_back(std::move(link));
    }
    return true;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

std::vector<Link> ListLinks(std::string& error) {
    error.clear();
    FdCloser sock{socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE)};
    if (sock.fd < 0) {
        error = std::string("netlink socket: ") + strerror(errno);
        return {};
    }
    struct {
        nlmsghdr header;
        ifinfomsg body;
    } request{};
    request.header.nlmsg_len = sizeof(request);
    request.header.nlmsg_type = RTM_GETLINK;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.header.nlmsg_seq = 1;
    request.body.ifi_family = AF_UNSPEC;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    if (sendto(sock.fd, &request, sizeof(request), 0, reinterpret_cast<sockaddr*>(&kernel), sizeof(kernel)) <
        0) {
        error = std::string("netlink send: ") + strerror(errno);
        return {};
    }
    std::vector<Link> links;
    auto buf = std::make_unique<std::array<char, 32768>>();
    for (;;) {
        ssize_t n = recv(sock.fd, buf->data(), buf->size(), 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = std::string("netlink receive: ") + (n < 0 ? strerror(errno) : "no data");
            return {};
        }
        if (!ParseLinks(buf->data(), n, links, error)) break;
    }
    if (!error.empty()) return {};
    return links;
}

std::string CurrentNamespaceName() {
    struct stat self {};
    if (stat("/proc/self/ns/net", &self) != 0) return {};
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(kNamedNamespaceDir), closedir);
    if (!dir) return {};
    while (dirent* entry = readdir(dir.get())) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat named {};
        std::string path = std::string(kNamedNamespaceDir) + "/" + name;
        if (stat(path.c_str(), &named) == 0 && SameFile(self, named)) return name;
    }
    return {};
}

std::string IsolationProblem(const Policy& policy) {
    std::string current = CurrentNamespaceName();
    if (current.empty()) {
        return "not inside a named private network namespace (none under /run/netns matches this process)";
    }
    if (!policy.required_namespace.empty() && current != policy.required_namespace) {
        return "inside network namespace '" + current + "', expected '" + policy.required_namespace + "'";
    }
    std::string error;
    std::vector<Link> links = ListLinks(error);
    if (!error.empty()) return "cannot list the links of namespace '" + current + "': " + error;
    static constexpr std::array<const char*, 3> kLocalKinds = {"veth", "bridge", "dummy"};
    for (const Link& link : links) {
        if (link.name == "lo") continue;
        bool named =
            std::find(policy.allowed_links.begin(), policy.allowed_links.end(), link.name) !=
                policy.allowed_links.end() ||
            (!policy.allowed_link_prefix.empty() && link.name.starts_with(policy.allowed_link_prefix));
        if (!named) return "namespace '" + current + "' holds the unexpected link '" + link.name + "'";
        bool local = std::any_of(kLocalKinds.begin(), kLocalKinds.end(),
                                 [&](const char* kind) { return link.kind == kind; });
        if (!local) {
            return "link '" + link.name + "' in namespace '" + current + "' is of kind '" +
                   (link.kind.empty() ? "hardware" : link.kind) + "', which may reach beyond this host";
        }
    }
    return {};
}

}  // namespace orvan::netguard
