// The probe client's channels while the host's networks change under it: interfaces that come,
// go or stop working between and during scans.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "probe_net_fixture.h"

namespace {

using namespace probe_net_test;
using orvan::netns::PeerProcess;
using orvan::netns::RunIp;

// A second link of the finder: one end of a veth pair whose other end stays in the finder's
// namespace too, so that nothing outside the test network is touched.
class SecondLink {
  public:
    SecondLink(const std::string& finder, std::string cidr) : finder_(finder), cidr_(std::move(cidr)) {
        ok_ = RunIp(finder_, {"link", "add", kName, "type", "veth", "peer", "name", kPeerName}) == 0 &&
              RunIp(finder_, {"addr", "add", cidr_, "dev", kName}) == 0 &&
              RunIp(finder_, {"link", "set", kPeerName, "up"}) == 0 &&
              RunIp(finder_, {"link", "set", kName, "up"}) == 0;
    }
    ~SecondLink() { RunIp(finder_, {"link", "del", kName}); }
    SecondLink(const SecondLink&) = delete;
    SecondLink& operator=(const SecondLink&) = delete;

    bool ok() const { return ok_; }
    bool SetDown() { return RunIp(finder_, {"link", "set", kName, "down"}) == 0; }

  private:
    static constexpr char kName[] = "orvtsecond0";
    static constexpr char kPeerName[] = "orvtsecond1";
    std::string finder_;
    std::string cidr_;
    bool ok_ = false;
};

bool ChannelCountBecomes(int32_t count) {
    return WaitUntil([count] { return liborvaniot_drm_client_probe_channel_count() == count; }, 5s);
}

TEST_F(ProbeClientNetTest, ASendThatFailsOnOneInterfaceLosesNoAnswerOnTheOthers) {
    SecondLink second(topology_.finder, "10.201.0.1/24");
    ASSERT_TRUE(second.ok());
    StartListening();
    ASSERT_TRUE(ChannelCountBecomes(2));
    // Down, the link keeps its address and its channel, but nothing can be sent through it.
    ASSERT_TRUE(second.SetDown());
    PeerProcess& sim = StartDevices(0, 30, Joined(kQuiet, {"--max-delay-ms", "200"}));

    ASSERT_EQ(liborvaniot_drm_client_probe_scan(), 0);
    EXPECT_TRUE(sim.WaitForLine("answered ", 10s)) << testing::PrintToString(sim.lines());
    EXPECT_TRUE(recorder_.WaitForSenders(DRM_PROBE_REPORT_MATCH, 30, 1, kReportWait));
    Settle();
    EXPECT_EQ(recorder_.CountPerSender(DRM_PROBE_REPORT_MATCH), Expected(0, 30, 1))
        << "the answers to the probe that did go out are all heard";
}

TEST_F(ProbeClientNetTest, AddressesThatComeAndGoAfterStartAreFollowedBetweenScans) {
    StartListening();
    ASSERT_TRUE(ChannelCountBecomes(1));
    PeerProcess& sim = StartDevices(0, 5, Joined(kQuiet, {"--max-delay-ms", "0"}));

    // A second address on the finder's link: the devices then hear one probe from each channel.
    const std::string added = "198.18.250.1/32";
    ASSERT_TRUE(orvan::netns::AddAddress(topology_.finder, topology_.finder_link, added));
    ASSERT_TRUE(ChannelCountBecomes(2)) << "the new address gets its channel without a scan";
    ASSERT_EQ(liborvaniot_drm_client_probe_scan(), 0);
    EXPECT_TRUE(recorder_.WaitForSenders(DRM_PROBE_REPORT_MATCH, 5, 2, kReportWait));

    ASSERT_TRUE(orvan::netns::DeleteAddress(topology_.finder, topology_.finder_link, added));
    ASSERT_TRUE(ChannelCountBecomes(1)) << "the channel of a vanished address is closed";
    ASSERT_EQ(liborvaniot_drm_client_probe_scan(), 0);
    EXPECT_TRUE(recorder_.WaitForSenders(DRM_PROBE_REPORT_MATCH, 5, 3, kReportWait));
    Settle();
    EXPECT_EQ(recorder_.CountPerSender(DRM_PROBE_REPORT_MATCH), Expected(0, 5, 3));
    EXPECT_TRUE(sim.WaitForLine("probe from", 1s));
}

}  // namespace

namespace {

TEST_F(ProbeClientNetTest, ABurstOfAnswersBeyondOnePerPassIsHeardInFull) {
    StartListening();
    // A thousand answers within 300 ms: several datagrams reach the socket between two passes, more
    // than one read per pass could take before the system's buffer overflows.
    StartDevices(0, 500, Joined(kQuiet, {"--max-delay-ms", "300"}), "198.18.16.1");
    StartDevices(1, 500, Joined(kQuiet, {"--max-delay-ms", "300"}), "198.18.32.1");
    ASSERT_EQ(liborvaniot_drm_client_probe_scan(), 0);
    EXPECT_TRUE(recorder_.WaitForSenders(DRM_PROBE_REPORT_MATCH, 1000, 1, kReportWait));
    Settle();
    EXPECT_EQ(recorder_.CountPerSender(DRM_PROBE_REPORT_MATCH).size(), 1000u);
}

}  // namespace
