// A tiny discovery client for the simulator's tests: sends probes, collects datagrams, reads
// element texts and fetches a web page. Plain sockets; runs only inside the test network.
#pragma once

#include <netinet/in.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvan::sim::testing {

struct Datagram {
    std::string source;  // dotted address
    uint16_t port = 0;
    std::string text;
};

class UdpSocket {
  public:
    // Bound to `address`:0, multicast leaving through that address: how a finder probes.
    static UdpSocket Prober(const std::string& address);
    // Bound to the discovery port and joined to the group on `link`: hears Hello and Bye.
    static UdpSocket GroupListener(const std::string& link, uint16_t port);
    ~UdpSocket();
    UdpSocket(UdpSocket&& other) noexcept;
    UdpSocket(const UdpSocket&) = delete;

    bool SendTo(const std::string& address, uint16_t port, std::string_view data);
    // Collects datagrams until `done` says so (checked after each one) or `timeout` passes.
    std::vector<Datagram> Collect(std::chrono::milliseconds timeout,
                                  const std::function<bool(const std::vector<Datagram>&)>& done);

  private:
    explicit UdpSocket(int fd) : fd_(fd) {}
    int fd_ = -1;
};

// The probe a finder sends, with the given MessageID.
std::string ProbeText(std::string_view message_id);
// Text of the first element whose local name is `name`; empty when there is none.
std::string ElementText(std::string_view document, std::string_view name);
// Body of GET `path` from address:port ("" on failure) and its status line.
std::string HttpGet(const std::string& address, uint16_t port, const std::string& path,
                    std::string* status_line);

}  // namespace orvan::sim::testing
