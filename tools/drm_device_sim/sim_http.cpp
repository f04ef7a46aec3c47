#include "sim_http.h"

#include <arpa/inet.h>
#include <sys/epoll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include "sim_messages.h"

namespace orvan::sim {
namespace {

constexpr size_t kLongestRequest = 8192;
constexpr size_t kMostConnections = 512;
constexpr auto kIdleLimit = std::chrono::seconds(10);

std::string Row(const char* label, const std::string& value) {
    return std::string("<tr><th>") + label + "</th><td>" + XmlEscape(value) + "</td></tr>";
}

// Request text goes into one log line; nothing in it may start a line of its own.
std::string Printable(std::string_view text, size_t limit) {
    std::string out;
    for (char c : text.substr(0, limit)) out += (c >= 0x21 && c <= 0x7e) ? c : '?';
    return out.empty() ? "-" : out;
}

std::string PeerText(const sockaddr_in& a) {
    return AddressText(a.sin_addr.s_addr) + ":" + std::to_string(ntohs(a.sin_port));
}

}  // namespace

std::string DevicePage(const Device& d) {
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" +
           XmlEscape(d.model + " - " + d.name) + "</title></head><body><h1>" + XmlEscape(d.name) +
           "</h1><table>" + Row("Model", d.model) + Row("Name", d.name) + Row("Location", d.location) +
           Row("Manufacturer", d.manufacturer) + Row("IP", d.address_text) + Row("MAC", d.Mac()) +
           Row("Endpoint", d.EndpointAddress()) + "</table><p>Simulated device.</p></body></html>\n";
}

HttpServer::HttpServer(int epoll_fd, const std::vector<Device>& devices, uint16_t port, Log log)
    : epoll_fd_(epoll_fd), devices_(devices), port_(port), log_(std::move(log)) {}

bool HttpServer::Start(std::string& error) {
    for (size_t i = 0; i < devices_.size(); ++i) {
        UniqueFd fd(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
        int one = 1;
        setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = devices_[i].address;
        a.sin_port = htons(port_);
        if (!fd || bind(fd.get(), reinterpret_cast<sockaddr*>(&a), sizeof(a)) != 0 ||
            listen(fd.get(), 64) != 0) {
            error = "web page of " + devices_[i].address_text + " port " + std::to_string(port_) + ": " +
                    std::strerror(errno);
            return false;
        }
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.u64 = kListenTag | i;
        if (epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, fd.get(), &ev) != 0) {
            error = std::string("epoll: ") + std::strerror(errno);
            return false;
        }
        listeners_.push_back(std::move(fd));
    }
    return true;
}

void HttpServer::Handle(uint64_t tag) {
    uint32_t id = static_cast<uint32_t>(tag);
    if ((tag & ~0xffffffffULL) == kListenTag) {
        Accept(id);
        return;
    }
    auto it = connections_.find(static_cast<int>(id));
    if (it != connections_.end()) Serve(it->second);
}

void HttpServer::Accept(size_t device) {
    for (;;) {
        sockaddr_in peer{};
        socklen_t len = sizeof(peer);
        UniqueFd fd(accept4(listeners_[device].get(), reinterpret_cast<sockaddr*>(&peer), &len,
                            SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!fd) return;
        if (connections_.size() >= kMostConnections) continue;  // closed at once
        epoll_event ev{};
        ev.events = EPOLLIN | EPOLLRDHUP;
        ev.data.u64 = kConnectionTag | static_cast<uint32_t>(fd.get());
        if (epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, fd.get(), &ev) != 0) continue;
        int key = fd.get();
        Connection& c = connections_[key];
        c.fd = std::move(fd);
        c.device = device;
        c.peer = PeerText(peer);
        c.deadline = Clock::now() + kIdleLimit;
    }
}

void HttpServer::Serve(Connection& c) {
    const int fd = c.fd.get();
    if (c.out.empty()) {
        char buf[4096];
        for (;;) {
            ssize_t n = recv(fd, buf, sizeof(buf), 0);
            if (n > 0) {
                c.in.append(buf, static_cast<size_t>(n));
                if (c.in.size() > kLongestRequest || c.in.find("\r\n\r\n") != std::string::npos) break;
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
            Close(fd);  // closed or failed before a whole request arrived
            return;
        }
        Respond(c);
        epoll_event ev{};
        ev.events = EPOLLOUT;
        ev.data.u64 = kConnectionTag | static_cast<uint32_t>(fd);
        epoll_ctl(epoll_fd_, EPOLL_CTL_MOD, fd, &ev);
    }
    while (c.written < c.out.size()) {
        ssize_t n = send(fd, c.out.data() + c.written, c.out.size() - c.written, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        if (n <= 0) break;
        c.written += static_cast<size_t>(n);
    }
    Close(fd);
}

void HttpServer::Respond(Connection& c) {
    const Device& d = devices_[c.device];
    std::string line = c.in.substr(0, c.in.find("\r\n"));
    size_t sp1 = line.find(' ');
    size_t sp2 = sp1 == std::string::npos ? sp1 : line.find(' ', sp1 + 1);
    std::string method = line.substr(0, sp1);
    std::string path = sp2 == std::string::npos ? std::string() : line.substr(sp1 + 1, sp2 - sp1 - 1);
    int status = 200;
    const char* reason = "OK";
    std::string body;
    if (sp2 == std::string::npos || c.in.size() > kLongestRequest) {
        status = 400, reason = "Bad Request", body = "bad request\n";
    } else if (method != "GET" && method != "HEAD") {
        status = 405, reason = "Method Not Allowed", body = "method not allowed\n";
    } else if (path != "/" && path != "/index.html") {
        status = 404, reason = "Not Found", body = "not found\n";
    } else {
        body = DevicePage(d);
    }
    c.out = "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\nContent-Type: text/" +
            (status == 200 ? "html" : "plain") +
            "; charset=utf-8\r\nContent-Length: " + std::to_string(body.size()) +
            "\r\nConnection: close\r\nCache-Control: no-store\r\n\r\n";
    if (method != "HEAD") c.out += body;
    log_("http " + c.peer + " " + Printable(method, 16) + " " + Printable(path, 64) + " " +
         std::to_string(status) + " device " + d.address_text);
}

void HttpServer::Close(int fd) {
    epoll_ctl(epoll_fd_, EPOLL_CTL_DEL, fd, nullptr);
    connections_.erase(fd);
}

void HttpServer::Sweep(Clock::time_point now) {
    std::vector<int> idle;
    for (const auto& [fd, c] : connections_) {
        if (now > c.deadline) idle.push_back(fd);
    }
    for (int fd : idle) Close(fd);
}

}  // namespace orvan::sim
