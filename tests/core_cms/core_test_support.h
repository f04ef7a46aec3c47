// Helpers of the core's tests: standard error of an action, counting lines, and a fixture that gives
// the finder an existing link-local address so that starting the core needs no address search.
#pragma once

#include <gtest/gtest.h>

#include <string>

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
