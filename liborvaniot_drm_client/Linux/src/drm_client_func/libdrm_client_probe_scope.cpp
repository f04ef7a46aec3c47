// Scope values: the percent-encoded value behind a "drm://<authority>/<kind>/" prefix.
#include <cstring>
#include <string_view>

#include "liborvaniot_drm_client/libdrm_client_probe_message.h"

namespace {

constexpr size_t kLongestScope = 4096;

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

int32_t drm_probe_scope_value(char* output, const char* scope, const char* pattern) {
    if (output == nullptr || scope == nullptr || pattern == nullptr) return 1;
    if (strnlen(scope, kLongestScope + 1) > kLongestScope) return 1;
    std::string_view prefix(pattern);
    if (prefix.ends_with("%s")) prefix.remove_suffix(2);
    std::string_view text(scope);
    if (!text.starts_with(prefix) || text.size() == prefix.size()) return 1;

    // Decoding ends at a control byte, a byte above 127, a broken escape or a decoded NUL, keeping
    // what came before.
    char decoded[DRM_PROBE_SCOPE_VALUE_SIZE];
    size_t n = 0;
    for (size_t i = prefix.size(); i < text.size() && n < DRM_PROBE_SCOPE_VALUE_SIZE - 1;) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '%') {
            if (i + 2 >= text.size()) break;
            const int high = hex_value(text[i + 1]);
            const int low = hex_value(text[i + 2]);
            if (high < 0 || low < 0 || (high == 0 && low == 0)) break;
            decoded[n++] = static_cast<char>(high * 16 + low);
            i += 3;
        } else if (c >= 32 && c <= 127) {
            decoded[n++] = static_cast<char>(c);
            ++i;
        } else {
            break;
        }
    }
    decoded[n] = '\0';
    std::memcpy(output, decoded, n + 1);
    return 0;
}
