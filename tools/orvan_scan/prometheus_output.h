// The device inventory for Prometheus: the text exposition format that node_exporter's textfile
// collector serves, written so that a collector never reads half a file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "found_device.h"

namespace orvan_scan {

// What the exposition says about the run itself.
struct ScanFigures {
    bool failed = false;       // the scan could not run: no device series, orvan_scan_failed 1
    double duration_s = 0;     // from the start of the run to its end
    double now_unix_s = 0;     // when it ended; the last success time when it did not fail
    // When failed: the last success time of an earlier run (none: the series is left out).
    std::optional<double> last_success_unix_s;
};

// HELP and TYPE lines, then orvan_device_info (value 1) per device and the scan's gauges. Device
// texts go through TerminalText and are then escaped for a label value.
std::string PrometheusText(const std::vector<FoundDevice>& devices, const ScanFigures& figures);

// One label value, quotes excluded: backslash, double quote and line feed escaped.
std::string PrometheusLabelValue(std::string_view utf8);

// The orvan_scan_last_success_timestamp_seconds value an earlier exposition text holds, if any.
std::optional<double> LastSuccessIn(std::string_view exposition);

// Replaces the file at path with text: a new file beside it, written, flushed to disk and renamed
// over it, so that readers see the old text or the new one whole. "" on success, else the reason.
std::string ReplaceFileAtomically(const std::string& path, std::string_view text);

// The file's text ("" when it cannot be read).
std::string ReadWholeFile(const std::string& path);

}  // namespace orvan_scan
