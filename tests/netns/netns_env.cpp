#include "netns_env.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "netns_guard.h"

extern char** environ;

namespace orvan::netns {
namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void Refuse(const std::string& why) {
    std::fprintf(
        stderr,
        "network test refused: %s\n"
        "Network tests only run inside the private test network: tests/netns/netns_run.sh -- <test>\n",
        why.c_str());
    std::fflush(stderr);
    std::abort();
}

std::string RequiredVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') Refuse(std::string(name) + " is not set");
    return value;
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

// Spawns argv with standard output going to `out_fd` (or inherited when -1).
pid_t Spawn(const std::vector<std::string>& argv, int out_fd) {
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (out_fd >= 0) posix_spawn_file_actions_adddup2(&actions, out_fd, STDOUT_FILENO);
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

int DecodeStatus(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

}  // namespace

Topology Topology::FromEnvironment() {
    Topology t;
    t.id = RequiredVariable("ORVAN_NETNS_ID");
    t.finder = RequiredVariable("ORVAN_NETNS_FINDER");
    t.finder_link = RequiredVariable("ORVAN_NETNS_FINDER_IF");
    t.finder_address = RequiredVariable("ORVAN_NETNS_FINDER_ADDR");
    t.prefix_length = std::atoi(RequiredVariable("ORVAN_NETNS_PREFIX").c_str());
    t.switch_namespace = RequiredVariable("ORVAN_NETNS_SWITCH");
    std::vector<std::string> names = Words(RequiredVariable("ORVAN_NETNS_PEERS"));
    std::vector<std::string> links = Words(RequiredVariable("ORVAN_NETNS_PEER_IFS"));
    std::vector<std::string> addresses = Words(RequiredVariable("ORVAN_NETNS_PEER_ADDRS"));
    if (links.size() != names.size() || addresses.size() != names.size()) {
        Refuse("ORVAN_NETNS_PEERS, ORVAN_NETNS_PEER_IFS and ORVAN_NETNS_PEER_ADDRS differ in length");
    }
    for (size_t i = 0; i < names.size(); ++i) t.peers.push_back({names[i], links[i], addresses[i]});
    return t;
}

void RequireIsolated() {
    RequireIsolated(Topology::FromEnvironment());
}

void RequireIsolated(const Topology& topology) {
    netguard::Policy policy;
    policy.required_namespace = topology.finder;
    policy.allowed_links = {topology.finder_link};
    policy.allowed_link_prefix = topology.id;
    std::string problem = netguard::IsolationProblem(policy);
    if (!problem.empty()) Refuse(problem);
}

PeerProcess::PeerProcess(const std::string& peer_namespace, const std::vector<std::string>& argv) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
    std::vector<std::string> full = {"ip", "netns", "exec", peer_namespace};
    full.insert(full.end(), argv.begin(), argv.end());
    pid_ = Spawn(full, fds[1]);
    close(fds[1]);
    if (pid_ < 0) {
        close(fds[0]);
        throw std::runtime_error("cannot start " + argv.front() + " in " + peer_namespace);
    }
    out_fd_ = fds[0];
}

PeerProcess::~PeerProcess() {
    if (!status_) {
        Signal(SIGTERM);
        if (!Wait(std::chrono::seconds(3))) {
            Signal(SIGKILL);
            Wait(std::chrono::seconds(3));
        }
    }
    if (out_fd_ >= 0) close(out_fd_);
}

bool PeerProcess::Signal(int signal_number) {
    return !status_ && kill(pid_, signal_number) == 0;
}

std::optional<std::string> PeerProcess::ReadLine(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (size_t end = pending_.find('\n'); end != std::string::npos) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            lines_.push_back(line);
            return line;
        }
        if (out_fd_ < 0) return std::nullopt;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() < 0) return std::nullopt;
        pollfd pfd{out_fd_, POLLIN, 0};
        int ready = poll(&pfd, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return std::nullopt;
        char buf[4096];
        ssize_t n = read(out_fd_, buf, sizeof(buf));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            close(out_fd_);
            out_fd_ = -1;
            continue;
        }
        pending_.append(buf, static_cast<size_t>(n));
    }
}

std::optional<std::string> PeerProcess::WaitForLine(std::string_view prefix,
                                                    std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        std::optional<std::string> line = ReadLine(std::max(left, std::chrono::milliseconds(0)));
        if (!line) return std::nullopt;
        if (line->starts_with(prefix)) return line;
    }
}

std::optional<int> PeerProcess::Wait(std::chrono::milliseconds timeout) {
    if (status_) return status_;
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        int status = 0;
        pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == pid_) {
            status_ = DecodeStatus(status);
            return status_;
        }
        if (r < 0 && errno != EINTR) return std::nullopt;
        if (Clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

int RunIp(const std::string& namespace_name, const std::vector<std::string>& args) {
    std::vector<std::string> full = {"ip", "-n", namespace_name};
    full.insert(full.end(), args.begin(), args.end());
    pid_t pid = Spawn(full, -1);
    if (pid < 0) return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return DecodeStatus(status);
}

bool AddAddress(const std::string& namespace_name, const std::string& link, const std::string& cidr) {
    return RunIp(namespace_name, {"addr", "add", cidr, "dev", link}) == 0;
}

bool DeleteAddress(const std::string& namespace_name, const std::string& link, const std::string& cidr) {
    return RunIp(namespace_name, {"addr", "del", cidr, "dev", link}) == 0;
}

}  // namespace orvan::netns
