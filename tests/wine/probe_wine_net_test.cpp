// The probe client as the Windows build runs it, under Wine inside the test network, against devices
// that probe_wine_net_test.sh started in the peer namespaces (the Windows program cannot start Linux
// programs there). The script passes what it set up through the environment:
//   ORVAN_WINE_LOCAL_ADDRS  this host's addresses         ORVAN_WINE_DEVICES  well-formed devices
//   ORVAN_WINE_FLOOD_FROM   the host sending malformed datagrams before each answer
// Devices with over-long answers sit at addresses outside all of these.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "liborvaniot_drm_client/libdrm_client_probe.h"
#include "liborvaniot_os/liborvaniot_os.h"
#include "liborvaniot_os/liborvaniot_os_net.h"
#include "report_recorder.h"

namespace {

using namespace std::chrono_literals;
using probe_net_test::Report;
using probe_net_test::ReportRecorder;

std::vector<std::string> Words(const char* name) {
    const char* value = std::getenv(name);
    std::vector<std::string> words;
    std::istringstream in(value != nullptr ? value : "");
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

class ProbeWineNetTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(local_.empty() || devices_.empty()) << "run through tests/wine/probe_wine_net_test.sh";
        ASSERT_EQ(liborvaniot_os_initialize(), 0);
        liborvaniot_drm_client_probe_set_port(LIBDRM_CLIENT_PROBE_PORT);
        liborvaniot_drm_client_probe_set_extra_interface(0);
        ASSERT_EQ(liborvaniot_drm_client_probe_listen_start(), 0);
    }
    void TearDown() override {
        liborvaniot_drm_client_probe_listen_stop();
        liborvaniot_os_finalize();
    }

    bool ChannelsOpen(int32_t wanted) {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (liborvaniot_drm_client_probe_channel_count() < wanted) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(20ms);
        }
        return true;
    }

    const std::vector<std::string> local_ = Words("ORVAN_WINE_LOCAL_ADDRS");
    const std::vector<std::string> devices_ = Words("ORVAN_WINE_DEVICES");
    const std::vector<std::string> flood_ = Words("ORVAN_WINE_FLOOD_FROM");
    ReportRecorder recorder_;
};

TEST_F(ProbeWineNetTest, AChannelOpensOnEveryAddressOfThisHost) {
    uint32_t rows[LIBORVANIOT_OS_NET_ADDRESS_TABLE_ROWS];
    int32_t count = 0;
    ASSERT_EQ(liborvaniot_os_net_read_address_table(rows, LIBORVANIOT_OS_NET_ADDRESS_TABLE_ROWS, &count), 0);
    std::vector<std::string> listed;
    for (int32_t i = 0; i < count; ++i) {
        char text[16];
        liborvaniot_os_net_format_address(rows[i], text);
        listed.emplace_back(text);
    }
    for (const std::string& address : local_) {
        EXPECT_NE(std::find(listed.begin(), listed.end(), address), listed.end()) << address;
    }
    EXPECT_TRUE(ChannelsOpen(static_cast<int32_t>(local_.size())))
        << liborvaniot_drm_client_probe_channel_count() << " channels";
}

TEST_F(ProbeWineNetTest, AScanHearsEveryDeviceOnEveryChannelAndDropsTheRest) {
    ASSERT_TRUE(ChannelsOpen(static_cast<int32_t>(local_.size())));
    ASSERT_EQ(liborvaniot_drm_client_probe_scan(), 0);
    // Each channel sends a probe and each device answers each probe.
    const int each = static_cast<int>(local_.size());
    EXPECT_TRUE(recorder_.WaitForSenders(DRM_PROBE_REPORT_MATCH, devices_.size(), each, 15s));
    // Answers that should not count get their chance to show up.
    std::this_thread::sleep_for(1s);

    std::map<std::string, int> expected;
    for (const std::string& device : devices_) expected[device] = each;
    std::map<std::string, int> counts = recorder_.CountPerSender(DRM_PROBE_REPORT_MATCH);
    // The flood holds answers that read as matches; they come from the hostile host alone.
    for (const std::string& hostile : flood_) counts.erase(hostile);
    EXPECT_EQ(counts, expected) << "over-long answers, our own probes and malformed datagrams list nothing";
}

}  // namespace
