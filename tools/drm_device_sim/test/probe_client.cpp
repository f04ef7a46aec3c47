#include "probe_client.h"

#include <arpa/inet.h>
#include <net/if.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace orvan::sim::testing {
namespace {

constexpr const char* kGroup = "239.255.255.250";

sockaddr_in Address(const std::string& ip, uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    if (inet_pton(AF_INET, ip.c_str(), &a.sin_addr) != 1) throw std::runtime_error("bad address " + ip);
    return a;
}

int OpenUdp() {
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("socket");
    // Room for a thousand answers arriving together.
    int size = 16 << 20;
    setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof(size));
    return fd;
}

}  // namespace

UdpSocket UdpSocket::Prober(const std::string& address) {
    UdpSocket s(OpenUdp());
    sockaddr_in local = Address(address, 0);
    in_addr out = local.sin_addr;
    if (bind(s.fd_, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0 ||
        setsockopt(s.fd_, IPPROTO_IP, IP_MULTICAST_IF, &out, sizeof(out)) != 0) {
        throw std::runtime_error("cannot bind the probe socket to " + address);
    }
    return s;
}

UdpSocket UdpSocket::GroupListener(const std::string& link, uint16_t port) {
    UdpSocket s(OpenUdp());
    int one = 1;
    setsockopt(s.fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
    sockaddr_in any = Address("0.0.0.0", port);
    ip_mreqn join{};
    inet_pton(AF_INET, kGroup, &join.imr_multiaddr);
    join.imr_ifindex = static_cast<int>(if_nametoindex(link.c_str()));
    if (bind(s.fd_, reinterpret_cast<sockaddr*>(&any), sizeof(any)) != 0 ||
        setsockopt(s.fd_, IPPROTO_IP, IP_ADD_MEMBERSHIP, &join, sizeof(join)) != 0) {
        throw std::runtime_error("cannot listen to the discovery group on " + link);
    }
    return s;
}

UdpSocket::~UdpSocket() {
    if (fd_ >= 0) close(fd_);
}

UdpSocket::UdpSocket(UdpSocket&& other) noexcept : fd_(other.fd_) {
    other.fd_ = -1;
}

bool UdpSocket::SendTo(const std::string& address, uint16_t port, std::string_view data) {
    sockaddr_in to = Address(address, port);
    return sendto(fd_, data.data(), data.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof(to)) ==
           static_cast<ssize_t>(data.size());
}

std::vector<Datagram> UdpSocket::Collect(std::chrono::milliseconds timeout,
                                         const std::function<bool(const std::vector<Datagram>&)>& done) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    std::vector<Datagram> got;
    std::string buffer(65536, '\0');
    while (!done(got)) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) break;
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
        sockaddr_in from{};
        socklen_t len = sizeof(from);
        ssize_t n = recvfrom(fd_, buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr*>(&from), &len);
        if (n < 0) continue;
        char text[INET_ADDRSTRLEN];
        inet_ntop(AF_INET, &from.sin_addr, text, sizeof(text));
        got.push_back({text, ntohs(from.sin_port), buffer.substr(0, static_cast<size_t>(n))});
    }
    return got;
}

std::string ProbeText(std::string_view message_id) {
    const std::string wsa = " xmlns:wsa=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\"";
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><Envelope "
           "xmlns:tds=\"http://www.orvan-iot.example/ver10/"
           "device/wsdl\" xmlns=\"http://www.w3.org/2003/05/soap-envelope\"><Header><wsa:MessageID" +
           wsa + ">" + std::string(message_id) + "</wsa:MessageID><wsa:To" + wsa +
           ">urn:schemas-xmlsoap-org:ws:2005:04:discovery</wsa:To><wsa:Action" + wsa +
           ">http://schemas.xmlsoap.org/ws/2005/04/discovery/Probe</wsa:Action></Header><Body><Probe "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
           "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
           "xmlns=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\"><Types>tds:Device</Types><Scopes "
           "/></Probe></Body></Envelope>";
}

std::string ElementText(std::string_view doc, std::string_view name) {
    for (size_t lt = doc.find('<'); lt != std::string_view::npos; lt = doc.find('<', lt + 1)) {
        size_t gt = doc.find('>', lt);
        if (gt == std::string_view::npos) break;
        std::string_view tag = doc.substr(lt + 1, gt - lt - 1);
        tag = tag.substr(0, tag.find(' '));
        if (size_t colon = tag.find(':'); colon != std::string_view::npos) tag = tag.substr(colon + 1);
        if (tag != name) continue;
        size_t end = doc.find('<', gt);
        return std::string(doc.substr(gt + 1, end == std::string_view::npos ? end : end - gt - 1));
    }
    return {};
}

std::string HttpGet(const std::string& address, uint16_t port, const std::string& path,
                    std::string* status_line) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in to = Address(address, port);
    std::string reply;
    timeval limit{5, 0};
    if (fd >= 0) {
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof(limit));
        setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof(limit));
    }
    if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof(to)) == 0) {
        std::string request = "GET " + path + " HTTP/1.0\r\nHost: " + address + "\r\n\r\n";
        if (send(fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size())) {
            char buf[4096];
            for (ssize_t n; (n = recv(fd, buf, sizeof(buf), 0)) > 0;)
                reply.append(buf, static_cast<size_t>(n));
        }
    }
    if (fd >= 0) close(fd);
    if (status_line) *status_line = reply.substr(0, reply.find("\r\n"));
    size_t body = reply.find("\r\n\r\n");
    return body == std::string::npos ? std::string() : reply.substr(body + 4);
}

}  // namespace orvan::sim::testing
