// Probes sent to single addresses: only the devices at the targets answer them, their answers reach
// the same callback as multicast ones, and the scan runs until the last probe went out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "liborvaniot_drm_client/libdrm_client_probe_target.h"
#include "probe_net_fixture.h"

namespace {

using namespace probe_net_test;
using orvan::netns::PeerProcess;

std::vector<drm_probe_target_range> Targets(const std::vector<std::string>& texts) {
    const drm_probe_target_list list = drm_probe_targets_parse(texts, false);
    EXPECT_EQ(list.error, "");
    return list.ranges;
}

class ProbeSweepNetTest : public ProbeClientNetTest {
  protected:
    void TearDown() override {
        liborvaniot_drm_client_probe_set_multicast(1);
        ProbeClientNetTest::TearDown();
    }
};

TEST_F(ProbeSweepNetTest, OnlyTheTargetedDevicesAnswerAndEachOnce) {
    StartListening();
    PeerProcess& sim = StartDevices(0, 10, Joined(kQuiet, {"--max-delay-ms", "0"}));
    liborvaniot_drm_client_probe_set_multicast(0);
    // Devices 2 to 5, and an address where nothing answers.
    const std::vector<std::string> texts = {DeviceAddress(0, 2) + "-" + DeviceAddress(0, 5), DeviceAddress(0, 100)};
    ASSERT_EQ(liborvaniot_drm_client_probe_set_targets(Targets(texts), 0), 0);

    ASSERT_EQ(liborvaniot_drm_client_probe_scan(), 0);
    EXPECT_TRUE(recorder_.WaitForSenders(DRM_PROBE_REPORT_MATCH, 4, 1, kReportWait));
    EXPECT_TRUE(
        WaitUntil([] { return liborvaniot_drm_client_probe_scan_state() == LIBDRM_CLIENT_SCAN_IDLE; }, 5s));
    Settle();
    Counts expected;
    for (int k = 2; k <= 5; ++k) expected[DeviceAddress(0, k)] = 1;
    EXPECT_EQ(recorder_.CountPerSender(DRM_PROBE_REPORT_MATCH), expected);
    EXPECT_EQ(liborvaniot_drm_client_probe_sweep_sent(), 5u);
    EXPECT_EQ(liborvaniot_drm_client_probe_sweep_failed(), 0u);
    EXPECT_FALSE(sim.WaitForLine("to 239.255.255.250", 100ms)) << "no multicast probe went out";
}

TEST_F(ProbeSweepNetTest, MulticastStillRunsBesideTheTargets) {
    StartListening();
    StartDevices(0, 6, Joined(kQuiet, {"--max-delay-ms", "0"}));
    ASSERT_EQ(liborvaniot_drm_client_probe_set_targets(Targets({DeviceAddress(0, 1), DeviceAddress(0, 4)}), 0), 0);
    ASSERT_EQ(liborvaniot_drm_client_probe_scan(), 0);
    Counts expected = Expected(0, 6, 1);
    expected[DeviceAddress(0, 1)] = 2;
    expected[DeviceAddress(0, 4)] = 2;
    EXPECT_TRUE(recorder_.WaitFor([&](const std::vector<Report>& reports) { return reports.size() >= 8; },
                                  kReportWait));
    Settle();
    EXPECT_EQ(recorder_.CountPerSender(DRM_PROBE_REPORT_MATCH), expected)
        << "the targeted devices answer both probes, the others the multicast one";
}

TEST_F(ProbeSweepNetTest, TheScanRunsUntilTheLastProbeAtTheChosenRateWentOut) {
    StartListening();
    liborvaniot_drm_client_probe_set_multicast(0);
    // 20 addresses at 20 probes a second: about one second of sending.
    const std::string first = DeviceAddress(0, 0);
    ASSERT_EQ(liborvaniot_drm_client_probe_set_targets(Targets({first + "-" + DeviceAddress(0, 19)}), 20), 0);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(liborvaniot_drm_client_probe_scan(), 0);
    std::this_thread::sleep_for(300ms);
    EXPECT_NE(liborvaniot_drm_client_probe_scan_state(), LIBDRM_CLIENT_SCAN_IDLE);
    const uint64_t early = liborvaniot_drm_client_probe_sweep_sent();
    EXPECT_GE(early, 1u);
    EXPECT_LE(early, 10u);
    ASSERT_TRUE(
        WaitUntil([] { return liborvaniot_drm_client_probe_scan_state() == LIBDRM_CLIENT_SCAN_IDLE; }, 10s));
    EXPECT_GE(std::chrono::steady_clock::now() - started, 900ms);
    EXPECT_EQ(liborvaniot_drm_client_probe_sweep_sent(), 20u);
}

TEST_F(ProbeSweepNetTest, TargetsNeedAStartedListener) {
    EXPECT_EQ(liborvaniot_drm_client_probe_set_targets(Targets({"10.3.0.7"}), 0), 1);
}

}  // namespace
