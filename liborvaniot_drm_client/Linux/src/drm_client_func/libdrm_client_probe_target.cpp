// Reads the sweep targets the user typed. Every refusal names the target and says what is wrong with
// it, since the text goes to the user unchanged.
#include "liborvaniot_drm_client/libdrm_client_probe_target.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "liborvaniot_os/liborvaniot_os_net.h"

namespace {

constexpr char kSyntax[] = "give an address (10.3.0.7), a network (10.2.0.0/24) or a range (10.4.0.10-10.4.0.60)";
// 0.0.0.0/8 means "this network" and is never a device's address; from 224.0.0.0 on the addresses
// are multicast, reserved or the broadcast address, which a sweep must not send to one by one.
constexpr uint32_t kThisNetworkEnd = 0x00ffffffu;
constexpr uint32_t kMulticastStart = 0xe0000000u;

std::optional<uint32_t> address_of(std::string_view text) {
    if (text.empty() || text.size() > 15) return std::nullopt;
    char copy[16] = {};
    std::memcpy(copy, text.data(), text.size());
    unsigned char bytes[4] = {};
    if (liborvaniot_os_net_inet_pton4(copy, bytes) != 0) return std::nullopt;
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) | bytes[3];
}

std::optional<int> prefix_of(std::string_view text) {
    if (text.empty() || text.size() > 2) return std::nullopt;
    int value = 0;
    for (const char digit : text) {
        if (digit < '0' || digit > '9') return std::nullopt;
        value = value * 10 + (digit - '0');
    }
    if (value > 32 || (text.size() == 2 && text[0] == '0')) return std::nullopt;
    return value;
}

drm_probe_target_parse_result refused(std::string_view text, const std::string& why) {
    return {{}, "invalid target '" + std::string(text) + "': " + why};
}

std::string not_an_address(std::string_view part) {
    return "'" + std::string(part) + "' is not an IPv4 address";
}

drm_probe_target_parse_result network_range(std::string_view text, size_t slash) {
    const std::string_view address_text = text.substr(0, slash);
    const std::optional<uint32_t> address = address_of(address_text);
    if (!address) return refused(text, not_an_address(address_text));
    const std::optional<int> prefix = prefix_of(text.substr(slash + 1));
    if (!prefix) return refused(text, "the prefix length after '/' must be a number from 0 to 32");
    const uint32_t mask = *prefix == 0 ? 0 : ~uint32_t{0} << (32 - *prefix);
    drm_probe_target_range range{*address & mask, (*address & mask) | ~mask};
    // A /31 is a point-to-point link whose two addresses are both hosts; a /32 is one host.
    if (*prefix < 31) {
        ++range.first;
        --range.last;
    }
    return {range, {}};
}

drm_probe_target_parse_result span_range(std::string_view text, size_t dash) {
    const std::string_view first_text = text.substr(0, dash);
    const std::string_view last_text = text.substr(dash + 1);
    const std::optional<uint32_t> first = address_of(first_text);
    if (!first) return refused(text, not_an_address(first_text));
    const std::optional<uint32_t> last = address_of(last_text);
    if (!last) return refused(text, not_an_address(last_text));
    if (*last < *first) return refused(text, "the range ends before it starts");
    return {{*first, *last}, {}};
}

}  // namespace

drm_probe_target_parse_result drm_probe_target_parse(std::string_view text) {
    if (text.empty()) return {{}, std::string("empty target: ") + kSyntax};
    drm_probe_target_parse_result result;
    if (const size_t slash = text.find('/'); slash != std::string_view::npos) {
        result = network_range(text, slash);
    } else if (const size_t dash = text.find('-'); dash != std::string_view::npos) {
        result = span_range(text, dash);
    } else if (const std::optional<uint32_t> address = address_of(text)) {
        result = {{*address, *address}, {}};
    } else {
        return refused(text, not_an_address(text) + ": " + kSyntax);
    }
    if (!result.error.empty()) return result;
    if (result.range.first <= kThisNetworkEnd) {
        return refused(text, "addresses from 0.0.0.0 to 0.255.255.255 cannot be probed");
    }
    if (result.range.last >= kMulticastStart) {
        return refused(text, "multicast, reserved and broadcast addresses (224.0.0.0 and above) cannot be probed one by one");
    }
    return result;
}

uint64_t drm_probe_target_count(const drm_probe_target_range& range) {
    return uint64_t{range.last} - range.first + 1;
}

drm_probe_target_list drm_probe_targets_parse(std::span<const std::string> texts, bool allow_large) {
    drm_probe_target_list list;
    for (const std::string& text : texts) {
        drm_probe_target_parse_result one = drm_probe_target_parse(text);
        if (!one.error.empty()) return {{}, 0, std::move(one.error)};
        list.ranges.push_back(one.range);
    }
    std::sort(list.ranges.begin(), list.ranges.end(),
              [](const drm_probe_target_range& a, const drm_probe_target_range& b) { return a.first < b.first; });
    std::vector<drm_probe_target_range> merged;
    for (const drm_probe_target_range& range : list.ranges) {
        // Ranges that overlap or touch become one.
        if (!merged.empty() && uint64_t{range.first} <= uint64_t{merged.back().last} + 1) {
            merged.back().last = std::max(merged.back().last, range.last);
        } else {
            merged.push_back(range);
        }
    }
    list.ranges = std::move(merged);
    for (const drm_probe_target_range& range : list.ranges) list.addresses += drm_probe_target_count(range);
    if (!allow_large && list.addresses > DRM_PROBE_TARGET_LIMIT) {
        return {{}, list.addresses,
                "the targets hold " + std::to_string(list.addresses) + " addresses, more than " +
                    std::to_string(DRM_PROBE_TARGET_LIMIT)};
    }
    return list;
}

uint32_t drm_probe_target_network_order(uint32_t host_order) {
    const unsigned char bytes[4] = {static_cast<unsigned char>(host_order >> 24),
                                    static_cast<unsigned char>(host_order >> 16),
                                    static_cast<unsigned char>(host_order >> 8),
                                    static_cast<unsigned char>(host_order)};
    uint32_t network_order = 0;
    std::memcpy(&network_order, bytes, sizeof network_order);
    return network_order;
}
