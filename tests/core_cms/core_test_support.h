// Helpers of the core's tests: standard error of an action, counting lines, and a fixture that gives
// the finder an existing link-local address so that starting the core needs no address search.
#pragma once

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "host_addresses.h"
#include "liborvaniot_core_cms/liborvaniot_core_cms.h"
#include "netns_env.h"

namespace core_test {

template <typename Action>
std::string StderrOf(Action&& action) {
    testing::internal::CaptureStderr();
    action();
    return testing::internal::GetCapturedStderr();
}

inline int CountOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

// Gives up CAP_NET_ADMIN for good, as a user without administrator rights runs: in a child process.
inline bool DropNetAdmin() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (syscall(SYS_capget, &header, data) != 0) return false;
    data[CAP_TO_INDEX(CAP_NET_ADMIN)].effective &= ~CAP_TO_MASK(CAP_NET_ADMIN);
    return syscall(SYS_capset, &header, data) == 0;
}

// Polls done every 100 ms: false when it was still not true after the timeout.
inline bool WaitUntil(const std::function<bool()>& done, std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

class CoreTest : public testing::Test {
  protected:
    void TearDown() override { liborvaniot_core_cms_finalize(); }

    orvan::netns::Topology topology_ = orvan::netns::Topology::FromEnvironment();
};

class CoreWithLinkLocalAddress : public CoreTest {
  protected:
    static constexpr char kExisting[] = "169.254.7.9";

    void SetUp() override {
        ASSERT_TRUE(os_net_test::Ip(
            topology_.finder, {"addr", "add", std::string(kExisting) + "/16", "dev", topology_.finder_link}));
    }
    void TearDown() override {
        CoreTest::TearDown();
        os_net_test::Ip(topology_.finder,
                        {"addr", "del", std::string(kExisting) + "/16", "dev", topology_.finder_link});
    }
};

}  // namespace core_test
