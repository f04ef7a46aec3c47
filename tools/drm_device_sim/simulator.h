// The device simulator's run: adds the device addresses, announces the devices, answers probes
// after random delays from each device's own address, serves the web pages, and says goodbye.
// One thread drives everything from an epoll loop; pending answers wait in a queue ordered by
// due time.
#pragma once

#include <netinet/in.h>

#include <chrono>
#include <memory>
#include <queue>
#include <random>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "sim_addresses.h"
#include "sim_config.h"
#include "sim_fd.h"
#include "sim_http.h"
#include "sim_messages.h"

namespace orvan::sim {

class Simulator {
  public:
    Simulator(Config config, std::vector<Device> devices);
    // Runs until SIGINT, SIGTERM or SIGHUP; returns the process exit code.
    int Run();

  private:
    using Clock = std::chrono::steady_clock;

    struct PendingProbe {
        sockaddr_in sender{};
        std::string message_id;
        int outstanding = 0;
        int sent = 0;
    };
    struct Answer {
        Clock::time_point due;
        uint64_t order;  // keeps the first of two answers ahead of the second
        uint32_t device;
        bool second;
        std::shared_ptr<PendingProbe> probe;
        bool operator>(const Answer& o) const { return due != o.due ? due > o.due : order > o.order; }
    };

    bool Setup(std::string& error);
    void Loop();
    void ReceiveDatagrams();
    void OnProbe(const sockaddr_in& from, in_addr_t to, const Probe& probe);
    void SendDueAnswers();
    bool SendFrom(in_addr_t source, const sockaddr_in& to, std::string_view data);
    void Announce(bool hello);
    void Flood(const sockaddr_in& to);
    void Print(const std::string& line);

    Config config_;
    std::vector<Device> devices_;
    std::unordered_map<in_addr_t, uint32_t> device_by_address_;
    int link_index_ = 0;
    std::unique_ptr<AddressLease> addresses_;
    UniqueFd epoll_;
    UniqueFd signals_;
    UniqueFd udp_;
    std::unique_ptr<HttpServer> http_;
    MessageWriter writer_;
    std::mt19937_64 rng_;
    std::priority_queue<Answer, std::vector<Answer>, std::greater<>> queue_;
    uint64_t next_order_ = 0;
    bool stop_ = false;
};

}  // namespace orvan::sim
