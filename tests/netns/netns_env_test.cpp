// Runs under netns_run.sh with two peers.
#include "netns_env.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>

#include <chrono>

#include "netns_guard.h"

namespace orvan::netns {
namespace {

using namespace std::chrono_literals;

class NetnsEnvTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { RequireIsolated(); }
    Topology topology_ = Topology::FromEnvironment();
};

TEST_F(NetnsEnvTest, TopologyDescribesTheNamespaceTheTestRunsIn) {
    EXPECT_EQ(netguard::CurrentNamespaceName(), topology_.finder);
    ASSERT_EQ(topology_.peers.size(), 2u);
    EXPECT_EQ(topology_.peers[1].address, "198.18.2.1");
    EXPECT_EQ(topology_.prefix_length, 16);
}

// Links are added to the finder namespace (ours to change) and removed again after each row.
TEST_F(NetnsEnvTest, IsolationCheckAcceptsOnlyLocalLinksOfTheHarness) {
    const std::string own = topology_.id + "x";
    struct Case {
        const char* what;
        std::vector<std::vector<std::string>> add;
        std::vector<std::string> remove;
        const char* problem;  // empty: accepted
    } cases[] = {
        {"nothing added", {}, {}, ""},
        {"a veth pair named with the run's prefix",
         {{"link", "add", own, "type", "veth", "peer", "name", own + "y"}},
         {own},
         ""},
        {"a link with a foreign name",
         {{"link", "add", "extra0", "type", "veth", "peer", "name", own + "y"}},
         {"extra0"},
         "unexpected link 'extra0'"},
        {"a tunnel, which could reach a real network",
         {{"link", "add", own, "type", "vxlan", "id", "5", "dstport", "4789"}},
         {own},
         "kind 'vxlan'"},
    };
    netguard::Policy policy{topology_.finder, {topology_.finder_link}, topology_.id};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& args : c.add) ASSERT_EQ(RunIp(topology_.finder, args), 0);
        std::string problem = netguard::IsolationProblem(policy);
        for (const auto& link : c.remove) RunIp(topology_.finder, {"link", "del", link});
        if (*c.problem == '\0') {
            EXPECT_EQ(problem, "");
        } else {
            EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
        }
    }
}

TEST_F(NetnsEnvTest, RequireIsolatedAbortsOutsideTheFinderNamespace) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            unshare(CLONE_NEWNET);
            RequireIsolated(topology_);
        },
        "network test refused: not inside a named private network namespace");
    Topology wrong = topology_;
    wrong.finder = topology_.peers[0].name;
    EXPECT_DEATH(RequireIsolated(wrong),
                 "network test refused: inside network namespace '" + topology_.finder);
}

TEST_F(NetnsEnvTest, PeerProcessRunsInsideThePeerAndItsOutputIsRead) {
    const Peer& peer = topology_.peers[0];
    PeerProcess process(peer.name, {"ip", "-br", "addr", "show", "dev", peer.link});
    std::optional<std::string> line = process.ReadLine(5s);
    ASSERT_TRUE(line);
    EXPECT_NE(line->find(peer.address + "/16"), std::string::npos) << *line;
    EXPECT_FALSE(process.ReadLine(2s)) << "output ends with the program";
    EXPECT_EQ(process.Wait(5s), 0);
}

TEST_F(NetnsEnvTest, PeerProcessReportsExitCodesSignalsAndIsStoppedWhenDropped) {
    {
        PeerProcess failing(topology_.peers[0].name, {"sh", "-c", "exit 3"});
        EXPECT_EQ(failing.Wait(5s), 3);
    }
    {
        PeerProcess sleeper(topology_.peers[1].name, {"sh", "-c", "echo noise; echo ready; exec sleep 30"});
        ASSERT_EQ(sleeper.WaitForLine("ready", 5s), "ready");
        EXPECT_EQ(sleeper.lines().size(), 2u);
        EXPECT_FALSE(sleeper.Wait(50ms)) << "still running";
        ASSERT_TRUE(sleeper.Signal(SIGTERM));
        EXPECT_EQ(sleeper.Wait(5s), 128 + SIGTERM);
    }
    pid_t dropped_pid = 0;
    {
        PeerProcess dropped(topology_.peers[1].name, {"sleep", "30"});
        dropped_pid = dropped.pid();
    }
    EXPECT_NE(kill(dropped_pid, 0), 0) << "a dropped process is ended and reaped";
}

TEST_F(NetnsEnvTest, AddressesComeAndGoInAPeer) {
    const Peer& peer = topology_.peers[0];
    auto peer_has = [&](const std::string& address) {
        PeerProcess show(peer.name, {"ip", "-br", "addr", "show", "dev", peer.link});
        std::optional<std::string> line = show.ReadLine(5s);
        return line && line->find(address + "/") != std::string::npos;
    };
    ASSERT_TRUE(AddAddress(peer.name, peer.link, "198.18.1.77/16"));
    EXPECT_TRUE(peer_has("198.18.1.77"));
    EXPECT_FALSE(AddAddress(peer.name, peer.link, "198.18.1.77/16")) << "adding twice fails";
    ASSERT_TRUE(DeleteAddress(peer.name, peer.link, "198.18.1.77/16"));
    EXPECT_FALSE(peer_has("198.18.1.77"));
}

}  // namespace
}  // namespace orvan::netns
