// Runs under netns_run.sh with two peers: the simulator in a peer, this client in the finder.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <set>

#include "netns_env.h"
#include "probe_client.h"

namespace orvan::sim::testing {
namespace {

using namespace std::chrono_literals;
using netns::PeerProcess;

constexpr uint16_t kPort = 13702;
constexpr const char* kScopes = "drm://www.orvan-iot.example/";

std::string Action(const Datagram& d) {
    std::string a = ElementText(d.text, "Action");
    return a.substr(a.rfind('/') + 1);
}

auto CountOf(size_t n) {
    return [n](const std::vector<Datagram>& got) { return got.size() >= n; };
}

// The group listener also hears the test's own probes; keeps only one kind of message.
std::vector<Datagram> Only(const std::string& action, const std::vector<Datagram>& got) {
    std::vector<Datagram> kept;
    for (const Datagram& d : got) {
        if (Action(d) == action) kept.push_back(d);
    }
    return kept;
}

auto CountOf(const std::string& action, size_t n) {
    return [action, n](const std::vector<Datagram>& got) { return Only(action, got).size() >= n; };
}

class DeviceSimTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { netns::RequireIsolated(); }

    // Starts the simulator in peer `peer` and waits until it is ready.
    std::unique_ptr<PeerProcess> StartSim(size_t peer, std::vector<std::string> args) {
        std::vector<std::string> argv = {ORVAN_DEVICE_SIM, "--interface", topology_.peers[peer].link};
        argv.insert(argv.end(), args.begin(), args.end());
        auto sim = std::make_unique<PeerProcess>(topology_.peers[peer].name, argv);
        if (!sim->WaitForLine("ready ", 20s)) {
            ADD_FAILURE() << "simulator not ready; its output:\n" << ::testing::PrintToString(sim->lines());
        }
        return sim;
    }

    bool PeerHasAddress(size_t peer, const std::string& address) {
        PeerProcess show(topology_.peers[peer].name,
                         {"ip", "-br", "addr", "show", "dev", topology_.peers[peer].link});
        std::optional<std::string> line = show.ReadLine(5s);
        return line && line->find(" " + address + "/") != std::string::npos;
    }

    netns::Topology topology_ = netns::Topology::FromEnvironment();
};

TEST_F(DeviceSimTest, DevicesAnnounceAnswerServeTheirPagesAndSayGoodbye) {
    UdpSocket group = UdpSocket::GroupListener(topology_.finder_link, kPort);
    auto sim = StartSim(0, {"--base-address", "198.18.1.10", "--count", "3", "--seed", "7", "--max-delay-ms",
                            "200", "--model", "CAM X", "--name", "cam {n}", "--location", "Room & Hall"});
    const std::vector<std::string> addresses = {"198.18.1.10", "198.18.1.11", "198.18.1.12"};

    std::vector<Datagram> hellos = Only("Hello", group.Collect(5s, CountOf("Hello", 3)));
    ASSERT_EQ(hellos.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(hellos[i].source, addresses[i]);
        EXPECT_EQ(Action(hellos[i]), "Hello");
        std::string endpoint = ElementText(hellos[i].text, "Address");
        EXPECT_TRUE(endpoint.starts_with("urn:uuid:") &&
                    endpoint.ends_with("02070000000" + std::to_string(i)))
            << endpoint;
        EXPECT_NE(ElementText(hellos[i].text, "Scopes").find("name/cam%20" + std::to_string(i + 1)),
                  std::string::npos);
    }

    UdpSocket prober = UdpSocket::Prober(topology_.finder_address);
    ASSERT_TRUE(prober.SendTo("239.255.255.250", kPort, ProbeText("uuid:probe-one")));
    std::vector<Datagram> answers = prober.Collect(5s, CountOf(3));
    ASSERT_EQ(answers.size(), 3u);
    std::set<std::string> sources;
    for (const Datagram& a : answers) {
        SCOPED_TRACE(a.source);
        sources.insert(a.source);
        const size_t k = static_cast<size_t>(std::stoi(a.source.substr(a.source.rfind('.') + 1)) - 10);
        EXPECT_EQ(a.port, kPort);
        EXPECT_EQ(Action(a), "ProbeMatches");
        EXPECT_EQ(ElementText(a.text, "RelatesTo"), "uuid:probe-one");
        EXPECT_EQ(ElementText(a.text, "To"),
                  "http://schemas.xmlsoap.org/ws/2004/08/addressing/role/anonymous");
        // Seed 7, device index k: the endpoint address ends in the MAC 02:07:00:00:00:0k.
        std::string endpoint = ElementText(a.text, "Address");
        EXPECT_EQ(endpoint.size(), 45u);
        EXPECT_EQ(endpoint.substr(33), "02070000000" + std::to_string(k));
        EXPECT_EQ(ElementText(a.text, "Types"), "dn:NetworkVideoTransmitter tds:Device");
        EXPECT_EQ(ElementText(a.text, "Scopes"), std::string(kScopes) + "hardware/CAM%20X " + kScopes +
                                                     "location/Room%20%26%20Hall " + kScopes +
                                                     "manufacturer/Orvan%20IoT " + kScopes + "name/cam%20" +
                                                     std::to_string(k + 1));
        EXPECT_EQ(ElementText(a.text, "XAddrs"), "http://" + a.source + "/device/service");
        EXPECT_EQ(ElementText(a.text, "MetadataVersion"), "1");
        std::printf("answer from %s: %zu bytes\n", a.source.c_str(), a.text.size());
    }
    EXPECT_EQ(sources, std::set<std::string>(addresses.begin(), addresses.end()));
    EXPECT_TRUE(sim->WaitForLine("answered 3 to " + topology_.finder_address, 5s));

    // A probe sent to one device's address is answered by that device alone.
    ASSERT_TRUE(prober.SendTo("198.18.1.11", kPort, ProbeText("uuid:probe-two")));
    std::vector<Datagram> direct = prober.Collect(1500ms, CountOf(2));
    ASSERT_EQ(direct.size(), 1u);
    EXPECT_EQ(direct[0].source, "198.18.1.11");
    EXPECT_EQ(ElementText(direct[0].text, "RelatesTo"), "uuid:probe-two");

    std::string status;
    std::string page = HttpGet("198.18.1.12", 80, "/", &status);
    EXPECT_EQ(status, "HTTP/1.1 200 OK");
    for (const char* expected : {"CAM X", "cam 3", "Room &amp; Hall", "198.18.1.12", "02:07:00:00:00:02"}) {
        EXPECT_NE(page.find(expected), std::string::npos) << expected << " missing from\n" << page;
    }
    HttpGet("198.18.1.12", 80, "/other", &status);
    EXPECT_EQ(status, "HTTP/1.1 404 Not Found");

    ASSERT_TRUE(sim->Signal(SIGTERM));
    std::vector<Datagram> byes = Only("Bye", group.Collect(5s, CountOf("Bye", 3)));
    ASSERT_EQ(byes.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(byes[i].source, addresses[i]);
        EXPECT_EQ(Action(byes[i]), "Bye");
        EXPECT_EQ(ElementText(byes[i].text, "Address"), ElementText(hellos[i].text, "Address"));
    }
    EXPECT_EQ(sim->Wait(5s), 0);
    EXPECT_FALSE(PeerHasAddress(0, "198.18.1.10")) << "addresses are removed at exit";
    EXPECT_TRUE(PeerHasAddress(0, topology_.peers[0].address)) << "the peer's own address stays";
}

TEST_F(DeviceSimTest, AThousandDevicesAllAnswerOneProbe) {
    auto sim = StartSim(1, {"--base-address", "198.18.10.1", "--count", "1000", "--max-delay-ms", "500"});
    UdpSocket prober = UdpSocket::Prober(topology_.finder_address);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(prober.SendTo("239.255.255.250", kPort, ProbeText("uuid:probe-many")));
    std::vector<Datagram> answers = prober.Collect(10s, CountOf(1000));
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    std::set<std::string> sources;
    size_t related = 0;
    for (const Datagram& a : answers) {
        sources.insert(a.source);
        related += ElementText(a.text, "RelatesTo") == "uuid:probe-many";
    }
    EXPECT_EQ(sources.size(), 1000u);
    EXPECT_EQ(related, 1000u);
    std::printf("1000 answers in %lld ms\n", static_cast<long long>(elapsed.count()));
    EXPECT_TRUE(sim->WaitForLine("answered 1000 ", 5s)) << ::testing::PrintToString(sim->lines());
}

// One device, answering at once, with the option under test; the probe's sender counts what comes.
TEST_F(DeviceSimTest, MisbehaviourOptionsShapeWhatTheProbeSenderGets) {
    struct Case {
        const char* what;
        std::vector<std::string> options;
        size_t datagrams;
        std::function<void(const std::vector<Datagram>&)> check;
    } cases[] = {
        {"two answers from one address, the second with another model",
         {"--duplicate-model", "OTHER"},
         2,
         [](const std::vector<Datagram>& got) {
             EXPECT_EQ(got[0].source, got[1].source);
             EXPECT_NE(ElementText(got[0].text, "Scopes").find("hardware/M1 "), std::string::npos);
             EXPECT_NE(ElementText(got[1].text, "Scopes").find("hardware/OTHER "), std::string::npos);
         }},
        {"an answer longer than a finder reads",
         {"--oversize"},
         1,
         [](const std::vector<Datagram>& got) {
             EXPECT_GT(got[0].text.size(), 10239u);
             EXPECT_TRUE(got[0].text.ends_with("</SOAP-ENV:Envelope>"));
         }},
        {"hostile datagrams before the answer",
         {"--flood", "25"},
         26,
         [](const std::vector<Datagram>& got) {
             size_t answers = 0;
             for (const Datagram& d : got) answers += ElementText(d.text, "RelatesTo") == "uuid:probe-odd";
             EXPECT_EQ(answers, 1u);
             EXPECT_EQ(ElementText(got.back().text, "RelatesTo"), "uuid:probe-odd")
                 << "the answer comes last";
         }},
        {"raw scopes and no hardware scope",
         {"--no-hardware-scope", "--scope", "drm://www.orvan-iot.example/name/raw%4", "--xaddrs",
          "http://169.254.3.4/x http://{ip}:8080/y"},
         1,
         [](const std::vector<Datagram>& got) {
             std::string scopes = ElementText(got[0].text, "Scopes");
             EXPECT_EQ(scopes.find("/hardware/"), std::string::npos);
             EXPECT_TRUE(scopes.ends_with(" drm://www.orvan-iot.example/name/raw%4")) << scopes;
             EXPECT_EQ(ElementText(got[0].text, "XAddrs"), "http://169.254.3.4/x http://198.18.2.20:8080/y");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> args = {"--base-address", "198.18.2.20", "--model",    "M1",
                                         "--max-delay-ms", "0",           "--no-hello", "--no-bye",
                                         "--no-http"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        auto sim = StartSim(1, args);
        UdpSocket prober = UdpSocket::Prober(topology_.finder_address);
        ASSERT_TRUE(prober.SendTo("239.255.255.250", kPort, ProbeText("uuid:probe-odd")));
        std::vector<Datagram> got = prober.Collect(1s, CountOf(c.datagrams + 1));
        ASSERT_EQ(got.size(), c.datagrams);
        c.check(got);
        sim->Signal(SIGTERM);
        EXPECT_EQ(sim->Wait(5s), 0);
    }
}

TEST_F(DeviceSimTest, RefusesToRunOutsideAPrivateTestNamespace) {
    const netns::Peer& peer = topology_.peers[1];
    ASSERT_EQ(netns::RunIp(peer.name, {"link", "add", "extra0", "type", "veth", "peer", "name", "extra1"}),
              0);
    struct Case {
        const char* what;
        std::vector<std::string> launcher;
        const char* reason;
    } cases[] = {
        {"a fresh unnamed namespace", {"unshare", "-n"}, "not inside a named private network namespace"},
        {"a namespace holding a link nobody named", {}, "unexpected link 'extra"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> argv = {"sh", "-c", "exec \"$@\" 2>&1", "sh"};
        argv.insert(argv.end(), c.launcher.begin(), c.launcher.end());
        argv.insert(argv.end(),
                    {ORVAN_DEVICE_SIM, "--interface", peer.link, "--base-address", "198.18.2.30"});
        PeerProcess sim(peer.name, argv);
        std::optional<std::string> line = sim.ReadLine(5s);
        ASSERT_TRUE(line);
        EXPECT_NE(line->find(c.reason), std::string::npos) << *line;
        EXPECT_EQ(sim.Wait(5s), 2);
        EXPECT_FALSE(PeerHasAddress(1, "198.18.2.30"));
    }
    netns::RunIp(peer.name, {"link", "del", "extra0"});
}

}  // namespace
}  // namespace orvan::sim::testing
