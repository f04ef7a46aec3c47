// Scope values behind the vendor's "drm://" prefixes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "liborvaniot_drm_client/libdrm_client_probe_message.h"

namespace {

struct scope_case {
    std::string scope;
    const char* pattern;
    int32_t result;
    std::string value;  // stored value when result is 0
};

TEST(ProbeScopeValueTest, DecodesTheValueBehindTheKindPrefix) {
    const std::string hw = "drm://www.orvan-iot.example/hardware/";
    const scope_case cases[] = {
        {hw + "X1", DRM_PROBE_SCOPE_HARDWARE, 0, "X1"},
        {hw + "%48w", DRM_PROBE_SCOPE_HARDWARE, 0, "Hw"},
        {hw + "a%2fb%2Fc", DRM_PROBE_SCOPE_HARDWARE, 0, "a/b/c"},
        {hw + "A%2", DRM_PROBE_SCOPE_HARDWARE, 0, "A"},
        {hw + "A%", DRM_PROBE_SCOPE_HARDWARE, 0, "A"},
        {hw + "A%4gB", DRM_PROBE_SCOPE_HARDWARE, 0, "A"},
        {hw + "A\x80" + "B", DRM_PROBE_SCOPE_HARDWARE, 0, "A"},
        {hw + "A\tB", DRM_PROBE_SCOPE_HARDWARE, 0, "A"},
        {hw + "A%00B", DRM_PROBE_SCOPE_HARDWARE, 0, "A"},
        {hw + "%e2%82%ac", DRM_PROBE_SCOPE_HARDWARE, 0, "\xe2\x82\xac"},
        {hw + "a b\x7f", DRM_PROBE_SCOPE_HARDWARE, 0, "a b\x7f"},
        {hw + "\x01", DRM_PROBE_SCOPE_HARDWARE, 0, ""},
        {hw + std::string(100, 'v'), DRM_PROBE_SCOPE_HARDWARE, 0, std::string(63, 'v')},
        {hw + std::string(62, 'v') + "%41%42", DRM_PROBE_SCOPE_HARDWARE, 0, std::string(62, 'v') + "A"},
        {"drm://www.orvan-iot.example/name/cam%201", DRM_PROBE_SCOPE_NAME, 0, "cam 1"},
        {"drm://www.orvan-iot.example/location/", DRM_PROBE_SCOPE_LOCATION, 1, ""},
        {hw + "X1", DRM_PROBE_SCOPE_NAME, 1, ""},
        {"DRM://www.orvan-iot.example/hardware/X1", DRM_PROBE_SCOPE_HARDWARE, 1, ""},
        {"drm://other.example/hardware/X1", DRM_PROBE_SCOPE_HARDWARE, 1, ""},
        {"drm://www.orvan-iot.example/hardwar", DRM_PROBE_SCOPE_HARDWARE, 1, ""},
        {hw + std::string(4096 - hw.size(), 'v'), DRM_PROBE_SCOPE_HARDWARE, 0, std::string(63, 'v')},
        {hw + std::string(4097 - hw.size(), 'v'), DRM_PROBE_SCOPE_HARDWARE, 1, ""},
    };
    for (const scope_case& c : cases) {
        SCOPED_TRACE(c.scope.substr(0, 80));
        char output[DRM_PROBE_SCOPE_VALUE_SIZE];
        std::memset(output, '#', sizeof output);
        output[sizeof output - 1] = '\0';
        EXPECT_EQ(drm_probe_scope_value(output, c.scope.c_str(), c.pattern), c.result);
        if (c.result == 0) {
            EXPECT_EQ(std::string(output), c.value);
        } else {
            EXPECT_EQ(std::string(output), std::string(DRM_PROBE_SCOPE_VALUE_SIZE - 1, '#')) << "untouched";
        }
    }
}

}  // namespace
