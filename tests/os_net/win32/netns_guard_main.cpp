// Entry point of the Windows network test programs, run under Wine inside the private test network
// (tests/netns/netns_run.sh -- wine program.exe). Nothing runs unless the host's only IPv4 addresses
// are loopback and the test network's finder address: anywhere else it refuses, with the status
// test runners take for "skipped".
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "liborvaniot_os/liborvaniot_os_net_sockaddr.h"
#include "liborvaniot_os_host_addresses.h"

namespace {

constexpr int kSkipped = 77;

bool inside_test_network() {
    const char* finder_text = std::getenv("ORVAN_NETNS_FINDER_ADDR");
    if (finder_text == nullptr) return false;
    const uint32_t finder = ::inet_addr(finder_text);
    std::vector<liborvaniot_os_host_address> addresses;
    if (!liborvaniot_os_read_host_addresses(&addresses)) return false;
    bool finder_seen = false;
    for (const liborvaniot_os_host_address& a : addresses) {
        if (a.address == finder) {
            finder_seen = true;
        } else if (a.address != htonl(INADDR_LOOPBACK)) {
            return false;
        }
    }
    return finder_seen;
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (!inside_test_network()) {
        std::fprintf(stderr, "not inside the private test network (tests/netns/netns_run.sh): not running\n");
        return kSkipped;
    }
    return RUN_ALL_TESTS();
}
