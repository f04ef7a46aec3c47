// Service addresses of discovery answers: splitting an XAddrs address, choosing one among several
// and checking IPv4 address texts.
#include <cstring>
#include <string_view>

#include "liborvaniot_drm_client/libdrm_client_probe_message.h"

namespace {

// Characters of one candidate that are looked at when it is not the last.
constexpr size_t kCandidateLimit = 255;
constexpr int32_t kDefaultPort = 80;

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// White space as the "%d" conversion skips it.
bool is_c_space(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

void copy_cut(char* out, size_t size, std::string_view text) {
    size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

// Reads a decimal port as "%d" would at text[pos]: on success stores it and moves pos past it.
bool read_port(std::string_view text, size_t* pos, int32_t* port) {
    size_t i = *pos;
    while (i < text.size() && is_c_space(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    size_t first_digit = i;
    int64_t value = 0;
    for (; i < text.size() && is_digit(text[i]); ++i) {
        if (value <= 65535) value = value * 10 + (text[i] - '0');  // larger values only need to stay large
    }
    if (i == first_digit) return false;
    if (negative) value = -value;
    if (value < 1 || value > 65535) return false;
    *port = static_cast<int32_t>(value);
    *pos = i;
    return true;
}

bool is_link_local(const char* host) {
    return std::strncmp(host, "169.", 4) == 0;
}

}  // namespace

int32_t drm_probe_xaddr_split(const char* address, char* host, char* path, int32_t* port, int32_t* secure) {
    if (address == nullptr || host == nullptr || path == nullptr || port == nullptr || secure == nullptr)
        return 0;
    *port = kDefaultPort;
    std::string_view text(address);
    if (text.size() <= 7) return 1;
    const bool https = text.starts_with("https://");
    *secure = https ? 1 : 0;
    // Only the length of the scheme matters; anything seven characters long passes for "http://".
    size_t pos = https ? 8 : 7;
    size_t host_end = pos;
    while (host_end < text.size() && text[host_end] != '/' && text[host_end] != ':') ++host_end;
    if (host_end - pos >= DRM_PROBE_HOST_SIZE) return 0;
    copy_cut(host, DRM_PROBE_HOST_SIZE, text.substr(pos, host_end - pos));
    pos = host_end;
    if (pos < text.size() && text[pos] == ':') {
        ++pos;
        if (!read_port(text, &pos, port)) return 0;
    }
    copy_cut(path, DRM_PROBE_PATH_SIZE, text.substr(pos));
    return 1;
}

int32_t drm_probe_xaddrs_choose(const char* xaddrs, drm_probe_device* record) {
    if (xaddrs == nullptr || record == nullptr) return 0;
    std::string_view text(xaddrs);
    size_t start = 0;
    // Every candidate but the last must be a routable IPv4 address to be taken; a rejected one
    // leaves its split results behind until a later split overwrites them.
    for (size_t space = text.find(' '); space != std::string_view::npos; space = text.find(' ', start)) {
        char candidate[kCandidateLimit + 1];
        copy_cut(candidate, sizeof candidate, text.substr(start, space - start));
        if (drm_probe_xaddr_split(candidate, record->host, record->path, &record->port, &record->secure) ==
                1 &&
            drm_ipv4_text_is_valid(record->host) == 1 && !is_link_local(record->host)) {
            return 1;
        }
        start = space + 1;
    }
    // The last candidate is kept whatever its host (link-local or a name).
    drm_probe_xaddr_split(xaddrs + start, record->host, record->path, &record->port, &record->secure);
    return record->host[0] != '\0' && record->port != 0 ? 1 : 0;
}

int32_t drm_ipv4_text_is_valid(const char* text) {
    if (text == nullptr) return 0;
    const size_t length = strnlen(text, 16);
    if (length > 15) return 0;
    int32_t groups = 0;
    size_t i = 0;
    for (;;) {
        size_t digits = 0;
        int32_t value = 0;
        for (; i < length && is_digit(text[i]) && digits <= 3; ++i, ++digits)
            value = value * 10 + (text[i] - '0');
        if (digits == 0 || digits > 3) return 0;
        if (digits == 3 && value > 255) return 0;
        ++groups;
        if (i == length) return groups == 4 ? 1 : 0;
        if (text[i] != '.' || groups == 4) return 0;
        ++i;
    }
}
