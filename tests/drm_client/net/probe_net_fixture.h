// The probe client's network tests share this fixture: the real listener in the finder namespace,
// simulated devices in the peer namespaces, and a recorder behind the real callback registration.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "liborvaniot_drm_client/libdrm_client_probe.h"
#include "liborvaniot_os/liborvaniot_os.h"
#include "liborvaniot_os/liborvaniot_os_mem.h"
#include "netns_env.h"
#include "report_recorder.h"

namespace probe_net_test {

using namespace std::chrono_literals;
using Counts = std::map<std::string, int>;

inline constexpr auto kReportWait = 15s;

inline bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

inline std::vector<std::string> Joined(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class ProbeClientNetTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(liborvaniot_os_initialize(), 0);
        liborvaniot_drm_client_probe_set_port(LIBDRM_CLIENT_PROBE_PORT);
        liborvaniot_drm_client_probe_set_extra_interface(0);
        baseline_blocks_ = liborvaniot_os_mem_outstanding_count();
    }
    void TearDown() override {
        liborvaniot_drm_client_probe_listen_stop();
        sims_.clear();
        liborvaniot_os_finalize();
    }

    void StartListening() {
        ASSERT_EQ(liborvaniot_drm_client_probe_listen_start(), 0);
        ASSERT_TRUE(WaitUntil([] { return liborvaniot_drm_client_probe_channel_count() > 0; }, 10s))
            << "no channel opened";
    }

    // Device k (0-based) of peer p sits at 198.18.<p + 1>.<10 + k>.
    std::string DeviceAddress(size_t peer, int k) const {
        const std::string& own = topology_.peers[peer].address;
        return own.substr(0, own.rfind('.') + 1) + std::to_string(10 + k);
    }

    // count devices in peer p, started with the given options; waits until they are ready. Without a
    // base address the devices take DeviceAddress(p, k), which leaves room for 245 of them.
    orvan::netns::PeerProcess& StartDevices(size_t peer, int count, const std::vector<std::string>& options,
                                            const std::string& base_address = {}) {
        std::vector<std::string> argv = {ORVAN_DEVICE_SIM,
                                         "--interface",
                                         topology_.peers[peer].link,
                                         "--base-address",
                                         base_address.empty() ? DeviceAddress(peer, 0) : base_address,
                                         "--count",
                                         std::to_string(count)};
        sims_.push_back(
            std::make_unique<orvan::netns::PeerProcess>(topology_.peers[peer].name, Joined(argv, options)));
        orvan::netns::PeerProcess& sim = *sims_.back();
        EXPECT_TRUE(sim.WaitForLine("ready ", 20s)) << testing::PrintToString(sim.lines());
        return sim;
    }

    void StopDevices() { sims_.clear(); }

    // Every device of peer p with the same number of reports.
    Counts Expected(size_t peer, int count, int each) const {
        Counts counts;
        for (int k = 0; k < count; ++k) counts[DeviceAddress(peer, k)] = each;
        return counts;
    }

    // Lets reports that should not come have their chance to show up.
    static void Settle() { std::this_thread::sleep_for(500ms); }

    orvan::netns::Topology topology_ = orvan::netns::Topology::FromEnvironment();
    ReportRecorder recorder_;
    std::vector<std::unique_ptr<orvan::netns::PeerProcess>> sims_;
    int32_t baseline_blocks_ = 0;
};

inline const std::vector<std::string> kQuiet = {"--no-hello", "--no-bye"};

}  // namespace probe_net_test
