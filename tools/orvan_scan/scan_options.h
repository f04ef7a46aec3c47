// The scanner's command line: what to print, where to look, how long to wait, what to open.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "device_target.h"
#include "liborvaniot_drm_client/libdrm_client_probe_target.h"

namespace orvan_scan {

enum class OutputMode { table, json, csv, watch, prometheus };

inline constexpr double kDefaultTimeoutS = 3.0;
inline constexpr double kMaxTimeoutS = 86400.0;
inline constexpr uint32_t kDefaultRate = 1000;
inline constexpr uint32_t kMaxRate = 100000;

struct ScanOptions {
    OutputMode mode = OutputMode::table;
    std::vector<std::string> interfaces;  // names or addresses, as given; empty: every interface
    std::optional<double> timeout_s;      // scan: default kDefaultTimeoutS; watch: none
    std::optional<DeviceTarget> open;     // --open
    std::optional<DeviceTarget> reach;    // --reach
    std::optional<std::string> output;    // --output: the result replaces this file instead of going to stdout
    std::vector<std::string> targets;     // --target, as given
    std::vector<drm_probe_target_range> target_ranges;  // the targets read and merged
    uint32_t rate = kDefaultRate;         // --rate: unicast probes a second
    bool allow_large = false;             // --allow-large: more than DRM_PROBE_TARGET_LIMIT addresses
    bool multicast = true;                // false with --no-multicast
    bool help = false;
    bool debug = false;  // runtime diagnostics on standard error
};

struct ParsedOptions {
    std::optional<ScanOptions> options;
    std::string error;  // set when options is not
};

// args without the program name. "--name value" and "--name=value" both work.
ParsedOptions ParseScanOptions(std::span<const std::string_view> args);

// The --help text.
std::string_view HelpText();

}  // namespace orvan_scan
