#include "device_target.h"

#include <cctype>
#include <cstdio>

#include "liborvaniot_drm_client/libdrm_client_probe_message.h"

namespace orvan_scan {

namespace {

constexpr size_t kMacDigits = 12;

// Twelve hex digits, separated by nothing, or ':' / '-' after every pair.
std::optional<std::string> MacOf(std::string_view text) {
    std::string digits;
    bool after_separator = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (std::isxdigit(static_cast<unsigned char>(c))) {
            digits += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            after_separator = false;
        } else if ((c != ':' && c != '-') || after_separator || digits.size() % 2 != 0 || digits.empty() ||
                   digits.size() >= kMacDigits || i + 1 == text.size()) {
            return std::nullopt;
        } else {
            after_separator = true;
        }
    }
    if (digits.size() != kMacDigits) return std::nullopt;
    std::string mac;
    for (size_t i = 0; i < kMacDigits; i += 2) mac += (i > 0 ? ":" : "") + digits.substr(i, 2);
    return mac;
}

}  // namespace

std::optional<DeviceTarget> ParseDeviceTarget(std::string_view text) {
    const std::string copy(text);
    if (drm_ipv4_text_is_valid(copy.c_str()) == 1) {
        // The list writes addresses without leading zeros; compare in that form.
        unsigned a = 0, b = 0, c = 0, d = 0;
        if (std::sscanf(copy.c_str(), "%u.%u.%u.%u", &a, &b, &c, &d) != 4) return std::nullopt;
        return DeviceTarget{
            std::to_string(a) + "." + std::to_string(b) + "." + std::to_string(c) + "." + std::to_string(d),
            {}};
    }
    if (std::optional<std::string> mac = MacOf(text)) return DeviceTarget{{}, *mac};
    return std::nullopt;
}

bool Matches(const DeviceTarget& target, const FoundDevice& device) {
    if (!target.ip.empty()) return device.row.address == target.ip;
    return !target.mac.empty() && device.row.mac == target.mac;
}

}  // namespace orvan_scan
