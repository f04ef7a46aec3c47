// The simulated devices' web pages: one small HTML page per device, served over plain HTTP on
// the device's own address, driven by the simulator's epoll loop.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "sim_config.h"
#include "sim_fd.h"

namespace orvan::sim {

std::string DevicePage(const Device& device);

class HttpServer {
  public:
    using Clock = std::chrono::steady_clock;
    using Log = std::function<void(const std::string&)>;
    // epoll tags: listeners use kListenTag | device index, connections kConnectionTag | fd.
    static constexpr uint64_t kListenTag = 1ULL << 32;
    static constexpr uint64_t kConnectionTag = 2ULL << 32;

    HttpServer(int epoll_fd, const std::vector<Device>& devices, uint16_t port, Log log);

    // Opens one listening socket per device address.
    bool Start(std::string& error);
    // Handles an epoll event carrying one of this server's tags.
    void Handle(uint64_t tag);
    // Drops connections that have been idle too long.
    void Sweep(Clock::time_point now);

  private:
    struct Connection {
        UniqueFd fd;
        size_t device = 0;
        std::string peer;
        std::string in;
        std::string out;
        size_t written = 0;
        Clock::time_point deadline;
    };

    void Accept(size_t device);
    void Serve(Connection& c);
    void Respond(Connection& c);
    void Close(int fd);

    int epoll_fd_;
    const std::vector<Device>& devices_;
    uint16_t port_;
    Log log_;
    std::vector<UniqueFd> listeners_;
    std::unordered_map<int, Connection> connections_;
};

}  // namespace orvan::sim
