// The devices in the Prometheus text exposition format, for node_exporter's textfile collector:
// one info series per device and the scan's own figures, so that a central Prometheus keeps the
// history of every site and alerts on a device that vanished, moved or a scan that failed.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "found_device.h"

namespace orvan_scan {

struct ScanFigures {
    double duration_s = 0;
    double finished_unix_s = 0;
    bool failed = false;  // the scan could not run: no device series then
    // Time of the last scan that did run; carried over from the previous file after a failure.
    std::optional<double> last_success_unix_s;
};

std::string PrometheusText(const std::vector<FoundDevice>& devices, const ScanFigures& figures);

// A label value as the format wants it: device texts made safe as for a terminal (broken UTF-8 and
// control characters become U+FFFD), then backslash, double quote and line feed escaped.
std::string PrometheusLabelValue(std::string_view bytes);

// The last-success time a file written earlier holds, if any (so that a failed scan keeps it).
std::optional<double> LastSuccessIn(const std::string& text);

}  // namespace orvan_scan
