// The probe client against simulated devices inside the private test network: the listener runs in
// the finder namespace, the devices in the peer namespaces, and every report goes through the real
// callback registration.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sched.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
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
#include "probe_net_fixture.h"

namespace {

using namespace probe_net_test;
using orvan::netns::PeerProcess;

// The listener thread inherits the network namespace of the thread that starts it. Started from a
// thread that moved into a namespace of its own (a loopback link, down, and nothing else), it finds
// no address to open a channel on. The start's result, -1 when the namespace could not be made.
int32_t StartListeningWithoutInterfaces() {
    int32_t started = -1;
    std::thread([&started] {
        if (unshare(CLONE_NEWNET) == 0) started = liborvaniot_drm_client_probe_listen_start();
    }).join();
    return started;
}

// A Hello from tag's endpoint.
std::string Hello(const std::string& tag) {
    return
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
        "<s:Envelope xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\""
        " xmlns:a=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\""
        " xmlns:d=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\"><s:Body><d:Hello>"
        "<a:EndpointReference><a:Address>urn:uuid:" +
        tag +
        "</a:Address></a:EndpointReference><d:Types>dn:NetworkVideoTransmitter</d:Types>"
        "<d:Scopes>drm://www.orvan-iot.example/name/sized</d:Scopes>"
        "<d:XAddrs>http://198.18.0.1/device/service</d:XAddrs><d:MetadataVersion>1</d:MetadataVersion>"
        "</d:Hello></s:Body></s:Envelope>";
}

// A Hello padded with white space after the envelope to exactly size bytes (none for size 0).
std::string HelloOfSize(size_t size, const std::string& tag) {
    if (size == 0) return {};
    std::string hello = Hello(tag);
    if (hello.size() < size) hello.append(size - hello.size(), ' ');
    return hello;
}

// Sends datagrams to the discovery group from the finder's own address; the group receiver hears
// them through the host's multicast loop.
class GroupSender {
  public:
    explicit GroupSender(const std::string& local_address) : fd_(socket(AF_INET, SOCK_DGRAM, 0)) {
        in_addr local{};
        inet_pton(AF_INET, local_address.c_str(), &local);
        setsockopt(fd_, IPPROTO_IP, IP_MULTICAST_IF, &local, sizeof local);
        const int loop = 1;
        setsockopt(fd_, IPPROTO_IP, IP_MULTICAST_LOOP, &loop, sizeof loop);
    }
    ~GroupSender() { close(fd_); }
    GroupSender(const GroupSender&) = delete;
    GroupSender& operator=(const GroupSender&) = delete;

    bool Send(const std::string& datagram) {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(LIBDRM_CLIENT_PROBE_PORT);
        inet_pton(AF_INET, "239.255.255.250", &to.sin_addr);
        return sendto(fd_, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                      sizeof to) == static_cast<ssize_t>(datagram.size());
    }

  private:
    int fd_;
};

TEST_F(ProbeClientNetTest, AScanReportsEveryDeviceOncePerAnswer) {
    StartListening();
    struct Case {
        const char* what;
        std::vector<std::string> options;
        int answers_each;
    } cases[] = {
        {"one answer per device", {}, 1},
        {"every device answers twice", {"--duplicate-answers"}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        recorder_.Clear();
        PeerProcess& sim = StartDevices(0, 20, Joined(Joined(kQuiet, {"--max-delay-ms", "300"}), c.options));
        ASSERT_EQ(liborvaniot_drm_client_probe_scan(), 0);
        EXPECT_TRUE(sim.WaitForLine("answered ", 10s)) << testing::PrintToString(sim.lines());
        EXPECT_TRUE(recorder_.WaitForSenders(DRM_PROBE_REPORT_MATCH, 20, c.answers_each, kReportWait));
        Settle();
        EXPECT_EQ(recorder_.CountPerSender(DRM_PROBE_REPORT_MATCH), Expected(0, 20, c.answers_each));
        EXPECT_EQ(liborvaniot_drm_client_probe_scan_state(), LIBDRM_CLIENT_SCAN_IDLE);
        StopDevices();
    }
}

TEST_F(ProbeClientNetTest, TwoQuickScansSendOneBurstAndALaterScanSendsAnother) {
    StartListening();
    PeerProcess& sim = StartDevices(0, 5, Joined(kQuiet, {"--max-delay-ms", "0"}));
    // Both requests are made while the listener is busy reporting a Hello, so neither can be taken
    // up before the other is made, however the threads are scheduled.
    GroupSender sender(topology_.finder_address);
    recorder_.HoldNextReport();
    ASSERT_TRUE(sender.Send(Hello("busy")));
    ASSERT_TRUE(recorder_.WaitUntilHeld(5s));
    const int32_t first = liborvaniot_drm_client_probe_scan();
    const int32_t second = liborvaniot_drm_client_probe_scan();
    recorder_.Release();
    ASSERT_EQ(first, 0);
    ASSERT_EQ(second, 0);
    ASSERT_TRUE(sim.WaitForLine("probe from", 5s));
    EXPECT_TRUE(
        WaitUntil([] { return liborvaniot_drm_client_probe_scan_state() == LIBDRM_CLIENT_SCAN_IDLE; }, 5s));
    EXPECT_TRUE(recorder_.WaitForSenders(DRM_PROBE_REPORT_MATCH, 5, 1, kReportWait));
    EXPECT_FALSE(sim.WaitForLine("probe from", 1500ms)) << "both requests share one burst";

    ASSERT_EQ(liborvaniot_drm_client_probe_scan(), 0);
    EXPECT_TRUE(sim.WaitForLine("probe from", 5s)) << "a request after the burst sends again";
    EXPECT_TRUE(recorder_.WaitForSenders(DRM_PROBE_REPORT_MATCH, 5, 2, kReportWait));
    Settle();
    EXPECT_EQ(recorder_.CountPerSender(DRM_PROBE_REPORT_MATCH), Expected(0, 5, 2));
}

TEST_F(ProbeClientNetTest, AScanWithNoUsableInterfaceGivesUpAndReturnsToIdle) {
    ASSERT_EQ(StartListeningWithoutInterfaces(), 0);
    ASSERT_EQ(liborvaniot_drm_client_probe_scan(), 0);
    EXPECT_TRUE(WaitUntil(
        [] { return liborvaniot_drm_client_probe_scan_state() == LIBDRM_CLIENT_SCAN_RUNNING; }, 10s));
    EXPECT_TRUE(
        WaitUntil([] { return liborvaniot_drm_client_probe_scan_state() == LIBDRM_CLIENT_SCAN_IDLE; }, 10s));
    EXPECT_EQ(liborvaniot_drm_client_probe_channel_count(), 0);
    EXPECT_TRUE(recorder_.Reports().empty());
}

TEST_F(ProbeClientNetTest, AScanRequestedWhileOneIsRunningStartsItsOwnWindow) {
    ASSERT_EQ(StartListeningWithoutInterfaces(), 0);
    ASSERT_EQ(liborvaniot_drm_client_probe_scan(), 0);
    const auto first = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitUntil(
        [] { return liborvaniot_drm_client_probe_scan_state() == LIBDRM_CLIENT_SCAN_RUNNING; }, 10s));
    std::this_thread::sleep_until(first + 2500ms);
    ASSERT_EQ(liborvaniot_drm_client_probe_scan(), 0);
    // The first request alone would have been given up by now.
    std::this_thread::sleep_until(first + 5s);
    EXPECT_EQ(liborvaniot_drm_client_probe_scan_state(), LIBDRM_CLIENT_SCAN_RUNNING)
        << "the second request was given up with the first";
    EXPECT_TRUE(
        WaitUntil([] { return liborvaniot_drm_client_probe_scan_state() == LIBDRM_CLIENT_SCAN_IDLE; }, 10s));
}

TEST_F(ProbeClientNetTest, StartingTwiceRunsOneListenerAndAStartAfterStopRunsAFreshOne) {
    PeerProcess& sim = StartDevices(0, 3, Joined(kQuiet, {"--max-delay-ms", "0"}));
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        recorder_.Clear();
        ASSERT_EQ(liborvaniot_drm_client_probe_listen_start(), 0);
        ASSERT_EQ(liborvaniot_drm_client_probe_listen_start(), 0);
        EXPECT_EQ(liborvaniot_drm_client_probe_listen_is_started(), 1);
        ASSERT_TRUE(WaitUntil([] { return liborvaniot_drm_client_probe_channel_count() > 0; }, 10s));
        ASSERT_EQ(liborvaniot_drm_client_probe_scan(), 0);
        ASSERT_TRUE(sim.WaitForLine("probe from", 5s));
        EXPECT_TRUE(recorder_.WaitForSenders(DRM_PROBE_REPORT_MATCH, 3, 1, kReportWait));
        EXPECT_FALSE(sim.WaitForLine("probe from", 1s)) << "a second listener would have probed too";

        liborvaniot_drm_client_probe_listen_stop();
        liborvaniot_drm_client_probe_listen_stop();
        EXPECT_EQ(liborvaniot_drm_client_probe_listen_is_started(), 0);
        EXPECT_EQ(liborvaniot_drm_client_probe_channel_count(), 0);
        EXPECT_EQ(liborvaniot_os_mem_outstanding_count(), baseline_blocks_) << "buffers and nodes released";
        EXPECT_EQ(recorder_.CountPerSender(DRM_PROBE_REPORT_MATCH), Expected(0, 3, 1));
        EXPECT_EQ(liborvaniot_drm_client_probe_scan(), 1) << "nothing to request without a listener";
    }
}

TEST_F(ProbeClientNetTest, WithoutAPortTheListenerOpensNothingUntilOneIsSet) {
    PeerProcess& sim = StartDevices(0, 2, Joined(kQuiet, {"--max-delay-ms", "0"}));
    liborvaniot_drm_client_probe_set_port(0);
    ASSERT_EQ(liborvaniot_drm_client_probe_listen_start(), 0);
    ASSERT_EQ(liborvaniot_drm_client_probe_scan(), 0);
    // Past the time the first pass would have opened the channels and sent the burst.
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(liborvaniot_drm_client_probe_channel_count(), 0);
    EXPECT_EQ(liborvaniot_drm_client_probe_scan_state(), LIBDRM_CLIENT_SCAN_REQUESTED);

    liborvaniot_drm_client_probe_set_port(LIBDRM_CLIENT_PROBE_PORT);
    EXPECT_TRUE(sim.WaitForLine("probe from", 10s)) << "the pending request goes out once a port is set";
    EXPECT_TRUE(recorder_.WaitForSenders(DRM_PROBE_REPORT_MATCH, 2, 1, kReportWait));
}

TEST_F(ProbeClientNetTest, HelloAndByeBetweenScansAreReported) {
    StartListening();
    StartDevices(0, 3, Joined(kQuiet, {"--max-delay-ms", "0"}));
    ASSERT_EQ(liborvaniot_drm_client_probe_scan(), 0);
    ASSERT_TRUE(recorder_.WaitForSenders(DRM_PROBE_REPORT_MATCH, 3, 1, kReportWait));

    PeerProcess& newcomer = StartDevices(1, 4, {"--max-delay-ms", "0"});
    EXPECT_TRUE(recorder_.WaitForSenders(DRM_PROBE_REPORT_HELLO, 4, 1, kReportWait));
    ASSERT_TRUE(newcomer.Signal(SIGTERM));
    EXPECT_TRUE(newcomer.WaitForLine("bye sent 4", 5s)) << testing::PrintToString(newcomer.lines());
    EXPECT_TRUE(recorder_.WaitForSenders(DRM_PROBE_REPORT_BYE, 4, 1, kReportWait));
    Settle();

    EXPECT_EQ(recorder_.CountPerSender(DRM_PROBE_REPORT_HELLO), Expected(1, 4, 1));
    EXPECT_EQ(recorder_.CountPerSender(DRM_PROBE_REPORT_BYE), Expected(1, 4, 1));
    EXPECT_EQ(recorder_.CountPerSender(DRM_PROBE_REPORT_MATCH), Expected(0, 3, 1))
        << "our own probe, heard on the group, is no answer";
}

TEST_F(ProbeClientNetTest, DatagramsLongerThanTheReceiveBufferAreDropped) {
    StartListening();
    struct Case {
        size_t size;
        bool reported;
    } cases[] = {{0, false}, {10240, false}, {20000, false}, {10239, true}};
    GroupSender sender(topology_.finder_address);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        EXPECT_TRUE(sender.Send(HelloOfSize(c.size, "size-" + std::to_string(c.size))));
    }
    EXPECT_TRUE(recorder_.WaitForSenders(DRM_PROBE_REPORT_HELLO, 1, 1, kReportWait));
    Settle();
    std::vector<std::string> endpoints;
    for (const Report& report : recorder_.Reports()) endpoints.push_back(report.endpoint);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        const std::string endpoint = "urn:uuid:size-" + std::to_string(c.size);
        EXPECT_EQ(std::count(endpoints.begin(), endpoints.end(), endpoint), c.reported ? 1 : 0);
    }

    // An oversize answer to a probe is dropped as well, and the answers of others still count.
    recorder_.Clear();
    PeerProcess& oversize = StartDevices(0, 1, Joined(kQuiet, {"--max-delay-ms", "0", "--oversize"}));
    StartDevices(1, 2, Joined(kQuiet, {"--max-delay-ms", "100"}));
    ASSERT_EQ(liborvaniot_drm_client_probe_scan(), 0);
    EXPECT_TRUE(oversize.WaitForLine("answered 1 ", 10s)) << testing::PrintToString(oversize.lines());
    EXPECT_TRUE(recorder_.WaitForSenders(DRM_PROBE_REPORT_MATCH, 2, 1, kReportWait));
    Settle();
    EXPECT_EQ(recorder_.CountPerSender(DRM_PROBE_REPORT_MATCH), Expected(1, 2, 1));
}

TEST_F(ProbeClientNetTest, AFloodOfMalformedDatagramsFromOneHostDoesNotHideDevicesOnAnother) {
    StartListening();
    struct Case {
        const char* what;
        std::vector<std::string> options;
    } cases[] = {
        {"flood to the channel before every answer", {"--flood", "100"}},
        {"flood to the group at start", {"--flood", "100", "--flood-to", "239.255.255.250:13702"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        recorder_.Clear();
        StartDevices(0, 1, Joined(Joined(kQuiet, {"--max-delay-ms", "0"}), c.options));
        StartDevices(1, 30, Joined(kQuiet, {"--max-delay-ms", "300"}));
        ASSERT_EQ(liborvaniot_drm_client_probe_scan(), 0);
        const std::string hostile = DeviceAddress(0, 0);
        // The flood itself holds answers that read as matches; the hostile host's own device is
        // recognised by the service address it names.
        EXPECT_TRUE(recorder_.WaitFor(
            [&](const std::vector<Report>& reports) {
                return std::any_of(reports.begin(), reports.end(), [&](const Report& r) {
                    return r.sender == hostile && r.kind == DRM_PROBE_REPORT_MATCH && r.host == hostile;
                });
            },
            kReportWait));
        EXPECT_TRUE(recorder_.WaitForSenders(DRM_PROBE_REPORT_MATCH, 31, 1, kReportWait));
        Settle();
        Counts counts = recorder_.CountPerSender(DRM_PROBE_REPORT_MATCH);
        counts.erase(hostile);
        EXPECT_EQ(counts, Expected(1, 30, 1));
        StopDevices();
    }
}

}  // namespace
