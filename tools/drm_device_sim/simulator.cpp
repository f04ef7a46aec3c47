#include "simulator.h"

#include <arpa/inet.h>
#include <net/if.h>
#include <signal.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/signalfd.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "sim_hostile.h"

namespace orvan::sim {
namespace {

constexpr const char* kGroup = "239.255.255.250";
constexpr uint64_t kUdpTag = 0;
constexpr uint64_t kSignalTag = 3ULL << 32;
constexpr size_t kOversizeAnswer = 12000;
constexpr int kSendBuffer = 4 << 20;
constexpr int kReceiveBuffer = 16 << 20;

std::string Endpoint(const sockaddr_in& a) {
    return AddressText(a.sin_addr.s_addr) + ":" + std::to_string(ntohs(a.sin_port));
}

std::string Printable(std::string_view text) {
    std::string out;
    for (char c : text) out += (c >= 0x21 && c <= 0x7e) ? c : '?';
    return out.empty() ? "-" : out;
}

void RaiseDescriptorLimit(size_t wanted) {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= wanted) return;
    limit.rlim_cur = std::min<rlim_t>(wanted, limit.rlim_max);
    setrlimit(RLIMIT_NOFILE, &limit);
}

}  // namespace

Simulator::Simulator(Config config, std::vector<Device> devices)
    : config_(std::move(config)),
      devices_(std::move(devices)),
      writer_(config_.seed),
      rng_(std::random_device{}()) {
    for (uint32_t i = 0; i < devices_.size(); ++i) device_by_address_[devices_[i].address] = i;
}

void Simulator::Print(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

bool Simulator::Setup(std::string& error) {
    link_index_ = static_cast<int>(if_nametoindex(config_.interface.c_str()));
    if (link_index_ == 0) {
        error = "no link named " + config_.interface;
        return false;
    }
    RaiseDescriptorLimit(devices_.size() + 600);

    // Signals arrive through a descriptor so that shutdown runs in the loop. A launcher may have
    // set them to "ignore", which would discard them before the descriptor sees them.
    sigset_t mask;
    sigemptyset(&mask);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) {
        signal(s, SIG_DFL);
        sigaddset(&mask, s);
    }
    signal(SIGPIPE, SIG_IGN);
    sigprocmask(SIG_BLOCK, &mask, nullptr);
    signals_ = UniqueFd(signalfd(-1, &mask, SFD_CLOEXEC | SFD_NONBLOCK));
    epoll_ = UniqueFd(epoll_create1(EPOLL_CLOEXEC));
    if (!signals_ || !epoll_) {
        error = std::string("signal or epoll descriptor: ") + std::strerror(errno);
        return false;
    }

    addresses_ = std::make_unique<AddressLease>(link_index_, config_.prefix_length);
    for (const Device& d : devices_) {
        if (!addresses_->Add(d.address, error)) {
            error = "cannot add " + d.address_text + " to " + config_.interface + ": " + error;
            return false;
        }
    }
    Print("addresses " + std::to_string(addresses_->added()) + " added on " + config_.interface);

    // One socket on the discovery port serves every device: the destination of each datagram
    // tells which devices it is for, and answers leave with the device's address as source.
    udp_ = UniqueFd(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    int one = 1;
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_port = htons(config_.discovery_port);
    ip_mreqn join{};
    inet_pton(AF_INET, kGroup, &join.imr_multiaddr);
    join.imr_ifindex = link_index_;
    ip_mreqn out_link{};
    out_link.imr_ifindex = link_index_;
    if (!udp_ || setsockopt(udp_.get(), SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one)) != 0 ||
        setsockopt(udp_.get(), IPPROTO_IP, IP_PKTINFO, &one, sizeof(one)) != 0 ||
        bind(udp_.get(), reinterpret_cast<sockaddr*>(&any), sizeof(any)) != 0 ||
        setsockopt(udp_.get(), IPPROTO_IP, IP_ADD_MEMBERSHIP, &join, sizeof(join)) != 0 ||
        setsockopt(udp_.get(), IPPROTO_IP, IP_MULTICAST_IF, &out_link, sizeof(out_link)) != 0) {
        error = "discovery socket on port " + std::to_string(config_.discovery_port) + ": " +
                std::strerror(errno);
        return false;
    }
    setsockopt(udp_.get(), SOL_SOCKET, SO_SNDBUF, &kSendBuffer, sizeof(kSendBuffer));
    // Announcements of a thousand devices (ours looped back, or another simulator's) arrive in one
    // burst; a probe right behind them must still find room.
    if (setsockopt(udp_.get(), SOL_SOCKET, SO_RCVBUFFORCE, &kReceiveBuffer, sizeof(kReceiveBuffer)) != 0) {
        setsockopt(udp_.get(), SOL_SOCKET, SO_RCVBUF, &kReceiveBuffer, sizeof(kReceiveBuffer));
    }

    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.u64 = kUdpTag;
    epoll_ctl(epoll_.get(), EPOLL_CTL_ADD, udp_.get(), &ev);
    ev.data.u64 = kSignalTag;
    epoll_ctl(epoll_.get(), EPOLL_CTL_ADD, signals_.get(), &ev);

    if (config_.http) {
        http_ = std::make_unique<HttpServer>(epoll_.get(), devices_, config_.http_port,
                                             [this](const std::string& line) { Print(line); });
        if (!http_->Start(error)) return false;
        Print("http on " + std::to_string(devices_.size()) + " addresses port " +
              std::to_string(config_.http_port));
    }
    return true;
}

int Simulator::Run() {
    std::string error;
    int status = 0;
    if (Setup(error)) {
        if (config_.hello) Announce(true);
        if (config_.flood_to) Flood(*config_.flood_to);
        Print("ready " + std::to_string(devices_.size()) + " devices");
        Loop();
        if (config_.bye) Announce(false);
    } else {
        std::fprintf(stderr, "orvan_device_sim: %s\n", error.c_str());
        status = 1;
    }
    http_.reset();
    udp_.reset();
    addresses_.reset();  // the devices' addresses go last: Bye needs them
    Print("stopped");
    return status;
}

void Simulator::Loop() {
    epoll_event events[64];
    while (!stop_) {
        int timeout = 1000;
        if (!queue_.empty()) {
            auto wait = std::chrono::ceil<std::chrono::milliseconds>(queue_.top().due - Clock::now()).count();
            timeout = static_cast<int>(std::clamp<long long>(wait, 0, timeout));
        }
        int n = epoll_wait(epoll_.get(), events, 64, timeout);
        if (n < 0 && errno != EINTR) {
            std::fprintf(stderr, "orvan_device_sim: epoll_wait: %s\n", std::strerror(errno));
            return;
        }
        for (int i = 0; i < n; ++i) {
            uint64_t tag = events[i].data.u64;
            if (tag == kUdpTag) {
                ReceiveDatagrams();
            } else if (tag == kSignalTag) {
                signalfd_siginfo info{};
                if (read(signals_.get(), &info, sizeof(info)) == sizeof(info)) {
                    Print(std::string("signal ") + sigabbrev_np(static_cast<int>(info.ssi_signo)));
                    stop_ = true;
                }
            } else if (http_) {
                http_->Handle(tag);
            }
        }
        SendDueAnswers();
        if (http_) http_->Sweep(Clock::now());
    }
}

void Simulator::ReceiveDatagrams() {
    static char buffer[65536];
    for (;;) {
        sockaddr_in from{};
        iovec iov{buffer, sizeof(buffer)};
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))];
        msghdr msg{};
        msg.msg_name = &from;
        msg.msg_namelen = sizeof(from);
        msg.msg_iov = &iov;
        msg.msg_iovlen = 1;
        msg.msg_control = control;
        msg.msg_controllen = sizeof(control);
        ssize_t n = recvmsg(udp_.get(), &msg, MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR) continue;
            return;
        }
        in_addr_t to = 0;
        for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c != nullptr; c = CMSG_NXTHDR(&msg, c)) {
            if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
                to = reinterpret_cast<in_pktinfo*>(CMSG_DATA(c))->ipi_addr.s_addr;
            }
        }
        if (std::optional<Probe> probe = ParseProbe(std::string_view(buffer, static_cast<size_t>(n)))) {
            OnProbe(from, to, *probe);
        }
    }
}

void Simulator::OnProbe(const sockaddr_in& from, in_addr_t to, const Probe& probe) {
    std::vector<uint32_t> answering;
    if (IN_MULTICAST(ntohl(to))) {
        for (uint32_t i = 0; i < devices_.size(); ++i) answering.push_back(i);
    } else if (auto it = device_by_address_.find(to); it != device_by_address_.end()) {
        answering.push_back(it->second);  // a probe sent to one device's address
    }
    std::string head =
        "probe from " + Endpoint(from) + " to " + AddressText(to) + " id " + Printable(probe.message_id);
    if (answering.empty()) {
        Print(head + " ignored");
        return;
    }
    const int copies = config_.duplicate_answers ? 2 : 1;
    Print(head + " answering " + std::to_string(answering.size() * copies));
    if (config_.flood > 0 && !config_.flood_to) Flood(from);

    auto pending = std::make_shared<PendingProbe>();
    pending->sender = from;
    pending->message_id = probe.message_id;
    pending->outstanding = static_cast<int>(answering.size()) * copies;
    std::uniform_int_distribution<int> delay(0, config_.max_delay_ms);
    const auto now = Clock::now();
    for (uint32_t device : answering) {
        auto due = now + std::chrono::milliseconds(config_.max_delay_ms > 0 ? delay(rng_) : 0);
        for (int copy = 0; copy < copies; ++copy)
            queue_.push({due, next_order_++, device, copy == 1, pending});
    }
    SendDueAnswers();
}

void Simulator::SendDueAnswers() {
    const auto now = Clock::now();
    while (!queue_.empty() && queue_.top().due <= now) {
        Answer a = queue_.top();
        queue_.pop();
        const Device& d = devices_[a.device];
        const std::string& model =
            a.second && !config_.duplicate_model.empty() ? config_.duplicate_model : d.model;
        std::string message =
            writer_.ProbeMatches(d, a.probe->message_id, model, config_.oversize ? kOversizeAnswer : 0);
        if (SendFrom(d.address, a.probe->sender, message)) ++a.probe->sent;
        if (--a.probe->outstanding == 0) {
            Print("answered " + std::to_string(a.probe->sent) + " to " + Endpoint(a.probe->sender) + " id " +
                  Printable(a.probe->message_id));
        }
    }
}

bool Simulator::SendFrom(in_addr_t source, const sockaddr_in& to, std::string_view data) {
    iovec iov{const_cast<char*>(data.data()), data.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr msg{};
    msg.msg_name = const_cast<sockaddr_in*>(&to);
    msg.msg_namelen = sizeof(to);
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof(control);
    cmsghdr* c = CMSG_FIRSTHDR(&msg);
    c->cmsg_level = IPPROTO_IP;
    c->cmsg_type = IP_PKTINFO;
    c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    auto* info = reinterpret_cast<in_pktinfo*>(CMSG_DATA(c));
    info->ipi_spec_dst.s_addr = source;
    info->ipi_ifindex = IN_MULTICAST(ntohl(to.sin_addr.s_addr)) ? link_index_ : 0;
    // A blocking send waits for buffer space rather than dropping an answer.
    for (;;) {
        ssize_t n = sendmsg(udp_.get(), &msg, 0);
        if (n == static_cast<ssize_t>(data.size())) return true;
        if (n < 0 && errno == EINTR) continue;
        std::fprintf(stderr, "orvan_device_sim: send from %s to %s: %s\n", AddressText(source).c_str(),
                     Endpoint(to).c_str(), n < 0 ? std::strerror(errno) : "short send");
        return false;
    }
}

void Simulator::Announce(bool hello) {
    sockaddr_in group{};
    group.sin_family = AF_INET;
    group.sin_port = htons(config_.discovery_port);
    inet_pton(AF_INET, kGroup, &group.sin_addr);
    int sent = 0;
    for (const Device& d : devices_) {
        if (SendFrom(d.address, group, hello ? writer_.Hello(d) : writer_.Bye(d))) ++sent;
    }
    Print(std::string(hello ? "hello" : "bye") + " sent " + std::to_string(sent));
}

void Simulator::Flood(const sockaddr_in& to) {
    in_addr_t source = config_.flood_from.value_or(devices_.front().address);
    int sent = 0;
    for (int i = 0; i < config_.flood; ++i) {
        if (SendFrom(source, to, HostileDatagram(static_cast<size_t>(i), rng_))) ++sent;
    }
    Print("flood sent " + std::to_string(sent) + " to " + Endpoint(to));
}

}  // namespace orvan::sim
