// orvan_device_sim: a network of simulated discovery devices for tests, demos and QA.
#include <cstdio>

#include "netns_guard.h"
#include "sim_config.h"
#include "simulator.h"

namespace {

constexpr int kUsageError = 64;
constexpr int kNotIsolated = 2;
constexpr const char* kHarnessPrefix = "orvt";

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::string error;
    bool help = false;
    std::optional<orvan::sim::Config> config = orvan::sim::ParseCommandLine(argc, argv, error, help);
    if (!config) {
        std::fprintf(help ? stdout : stderr, help ? "%s" : "orvan_device_sim: %s\n", error.c_str());
        return help ? 0 : kUsageError;
    }

    // The simulator adds addresses and answers multicast: it must never do so on a real network.
    orvan::netguard::Policy policy;
    policy.allowed_links = {config->interface};
    policy.allowed_link_prefix = kHarnessPrefix;
    if (std::string problem = orvan::netguard::IsolationProblem(policy); !problem.empty()) {
        std::fprintf(stderr,
                     "orvan_device_sim: refusing to run: %s.\n"
                     "Start it inside a private test network, e.g. in a peer of tests/netns/netns_run.sh.\n",
                     problem.c_str());
        return kNotIsolated;
    }

    std::optional<std::vector<orvan::sim::Device>> devices = orvan::sim::BuildDevices(*config, error);
    if (!devices) {
        std::fprintf(stderr, "orvan_device_sim: %s\n", error.c_str());
        return kUsageError;
    }
    return orvan::sim::Simulator(std::move(*config), std::move(*devices)).Run();
}
