// Helpers for network tests that run under netns_run.sh: the test network's layout, the isolation
// check every network test makes first, and programs started inside the peer namespaces.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvan::netns {

struct Peer {
    std::string name;     // namespace
    std::string link;     // its link to the test segment
    std::string address;  // its address on that link
};

struct Topology {
    std::string id;  // prefix of every namespace and link name of this run
    std::string finder;
    std::string finder_link;
    std::string finder_address;
    int prefix_length = 0;
    std::vector<Peer> peers;
    std::string switch_namespace;

    // Reads the variables netns_run.sh exports; aborts with a message when they are missing,
    // which means the test was started outside the harness.
    static Topology FromEnvironment();
};

// Aborts the process unless it runs inside the harness's finder namespace and that namespace
// holds nothing but lo and the harness's own links. Call it before opening any socket.
void RequireIsolated();
void RequireIsolated(const Topology& topology);

// A program running inside a peer namespace (`ip netns exec <peer> argv...`), its standard output
// read line by line. The destructor stops it (SIGTERM, then SIGKILL) and reaps it.
class PeerProcess {
  public:
    // Throws std::runtime_error when the program cannot be started.
    PeerProcess(const std::string& peer_namespace, const std::vector<std::string>& argv);
    ~PeerProcess();
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool Signal(int signal_number);

    // Next line of standard output without its line end; nothing on time-out or end of output.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);
    // Reads lines until one starts with `prefix` and returns it; nothing on time-out or end.
    std::optional<std::string> WaitForLine(std::string_view prefix, std::chrono::milliseconds timeout);
    // Every line read so far, for failure messages.
    const std::vector<std::string>& lines() const { return lines_; }

    // Exit code, or 128 + signal number when a signal ended it; nothing when still running after
    // `timeout`.
    std::optional<int> Wait(std::chrono::milliseconds timeout);

  private:
    pid_t pid_ = -1;
    int out_fd_ = -1;
    std::optional<int> status_;
    std::string pending_;
    std::vector<std::string> lines_;
};

// Runs `ip -n <namespace> args...` and returns its exit code (-1 when it could not start).
int RunIp(const std::string& namespace_name, const std::vector<std::string>& args);

// Adds or removes an address ("198.18.1.7/16") on a link of a peer namespace.
bool AddAddress(const std::string& namespace_name, const std::string& link, const std::string& cidr);
bool DeleteAddress(const std::string& namespace_name, const std::string& link, const std::string& cidr);

}  // namespace orvan::netns
