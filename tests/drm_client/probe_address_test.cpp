// Service addresses: splitting one, choosing among several, and IPv4 address texts.
#include <gtest/gtest.h>

#include <string>

#include "liborvaniot_drm_client/libdrm_client_probe_message.h"

namespace {

struct split_case {
    std::string address;
    int32_t result;
    const char* host;  // as left in a host buffer that held "old"
    const char* path;  // as left in a path buffer that held "old"
    int32_t port;
    int32_t secure;  // as left in a secure flag that held 7
};

TEST(ProbeXaddrSplitTest, SplitsSchemeHostPortAndPath) {
    const std::string long_host(127, 'h');
    const split_case cases[] = {
        {"http://10.0.0.9/drm/device_service", 1, "10.0.0.9", "/drm/device_service", 80, 0},
        {"https://10.0.0.9:8443/x?y", 1, "10.0.0.9", "/x?y", 8443, 1},
        {"https://10.0.0.9", 1, "10.0.0.9", "", 80, 1},
        {"abcdefgh/p", 1, "h", "/p", 80, 0},  // seven characters of any scheme are skipped
        {"http://h:65535", 1, "h", "", 65535, 0},
        {"http://h:+81/p", 1, "h", "/p", 81, 0},
        {"http://h:0/p", 0, "h", "old", 80, 0},
        {"http://h:70000/p", 0, "h", "old", 80, 0},
        {"http://h:-1/p", 0, "h", "old", 80, 0},
        {"http://h:99999999999999999999/p", 0, "h", "old", 80, 0},
        {"http://h:/p", 0, "h", "old", 80, 0},
        {"http://h:x", 0, "h", "old", 80, 0},
        {"http://" + long_host + "/p", 1, long_host.c_str(), "/p", 80, 0},
        {"http://" + long_host + "h/p", 0, "old", "old", 80, 0},
        {"http://h/" + std::string(200, 'p'), 1, "h", nullptr, 80, 0},
        {"http:/", 1, "old", "old", 80, 7},  // seven characters or fewer change nothing but the port
        {"http://", 1, "old", "old", 80, 7},
        {"", 1, "old", "old", 80, 7},
        {"http:///p", 1, "", "/p", 80, 0},
    };
    for (const split_case& c : cases) {
        SCOPED_TRACE(c.address);
        char host[DRM_PROBE_HOST_SIZE] = "old";
        char path[DRM_PROBE_PATH_SIZE] = "old";
        int32_t port = 0;
        int32_t secure = 7;
        EXPECT_EQ(drm_probe_xaddr_split(c.address.c_str(), host, path, &port, &secure), c.result);
        EXPECT_STREQ(host, c.host);
        if (c.path != nullptr) {
            EXPECT_STREQ(path, c.path);
        } else {
            EXPECT_EQ(std::string(path), "/" + std::string(126, 'p'));
        }
        EXPECT_EQ(port, c.port);
        EXPECT_EQ(secure, c.secure);
    }
}

struct choose_case {
    std::string xaddrs;
    int32_t result;
    const char* host;
    int32_t port;
    const char* path;
};

TEST(ProbeXaddrsChooseTest, PrefersARoutableIPv4AddressAndFallsBackToTheLast) {
    const choose_case cases[] = {
        {"http://169.254.3.4/x http://10.0.0.9:8080/y", 1, "10.0.0.9", 8080, "/y"},
        {"http://10.0.0.9:8080/y http://169.254.3.4/x", 1, "10.0.0.9", 8080, "/y"},
        {"http://169.254.3.4/x", 1, "169.254.3.4", 80, "/x"},
        {"http://camera.local/a http://169.254.3.4/x", 1, "169.254.3.4", 80, "/x"},
        {"http://10.0.0.9/a http://camera.local/b", 1, "10.0.0.9", 80, "/a"},
        {"http://169.254.3.4/x http://camera.local/b", 1, "camera.local", 80, "/b"},
        // A port that does not split rejects an earlier candidate; the last one is used anyway.
        {"http://10.0.0.9:0/a http://10.0.0.8/b", 1, "10.0.0.8", 80, "/b"},
        {"http://10.0.0.9:70000/a", 1, "10.0.0.9", 80, ""},
        {"http://10.0.0.9:0/a", 1, "10.0.0.9", 80, ""},
        {"http:///a", 0, "", 80, "/a"},
        {"http://" + std::string(200, 'h') + "/a", 0, "", 80, ""},
        // A rejected candidate's results stay when the last one changes nothing.
        {"http://169.254.3.4/x abc", 1, "169.254.3.4", 80, "/x"},
        {"http://10.0.0.9/" + std::string(300, 'p') + " http://10.0.0.8/b", 1, "10.0.0.9", 80, nullptr},
    };
    for (const choose_case& c : cases) {
        SCOPED_TRACE(c.xaddrs.substr(0, 80));
        drm_probe_device record{};
        EXPECT_EQ(drm_probe_xaddrs_choose(c.xaddrs.c_str(), &record), c.result);
        EXPECT_STREQ(record.host, c.host);
        EXPECT_EQ(record.port, c.port);
        if (c.path != nullptr) {
            EXPECT_STREQ(record.path, c.path);
        } else {
            EXPECT_EQ(std::string(record.path), "/" + std::string(126, 'p'));
        }
    }
}

struct ipv4_case {
    const char* text;
    int32_t valid;
};

TEST(Ipv4TextTest, AcceptsOnlyFourDottedDecimalGroups) {
    const ipv4_case cases[] = {
        {"1.2.3.4", 1},
        {"001.02.3.255", 1},
        {"255.255.255.255", 1},
        {"0.0.0.0", 1},
        {"99.99.99.99", 1},
        {"1.2.3.256", 0},
        {"1.2.3", 0},
        {"1.2.3.4.", 0},
        {"1.2.3.4.5", 0},
        {"a.b.c.d", 0},
        {".1.2.3", 0},
        {"1..2.3", 0},
        {"1.2.3.0001", 0},
        {" 1.2.3.4", 0},
        {"1.2.3.4 ", 0},
        {"1.2.3.-4", 0},
        {"300.1.1.1", 0},
        {"", 0},
        {"001.001.001.0011", 0},
    };
    for (const ipv4_case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(drm_ipv4_text_is_valid(c.text), c.valid);
    }
    EXPECT_EQ(drm_ipv4_text_is_valid(nullptr), 0);
}

}  // namespace
