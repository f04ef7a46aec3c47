#include "prometheus_output.h"

#include <cstdio>
#include <sstream>

#include "device_output.h"
#include "output_text.h"

namespace orvan_scan {

namespace {

constexpr char kLastSuccess[] = "orvan_scan_last_success_timestamp_seconds";

std::string Number(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

void Gauge(std::string& out, const char* name, const char* help, const std::string& value) {
    out += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " gauge\n" + name + " " + value + "\n";
}

}  // namespace

std::string PrometheusLabelValue(std::string_view bytes) {
    std::string out;
    for (char c : TerminalText(bytes)) {
        if (c == '\\') out += "\\\\";
        else if (c == '"') out += "\\\"";
        else if (c == '\n') out += "\\n";
        else out += c;
    }
    return out;
}

std::string PrometheusText(const std::vector<FoundDevice>& devices, const ScanFigures& figures) {
    std::string out;
    out += "# HELP orvan_device_info A device that answered the scan, with what it says about itself.\n"
           "# TYPE orvan_device_info gauge\n";
    if (!figures.failed) {
        for (const FoundDevice& device : devices) {
            const ORVAN_UXClass::DeviceReport& row = device.row;
            out += "orvan_device_info{mac=\"" + PrometheusLabelValue(row.mac) + "\",ip=\"" +
                   PrometheusLabelValue(row.address) + "\",model=\"" + PrometheusLabelValue(row.model) +
                   "\",name=\"" + PrometheusLabelValue(row.name) + "\",location=\"" +
                   PrometheusLabelValue(row.location) + "\",web_url=\"" + PrometheusLabelValue(device.web_url) +
                   "\",reachable=\"" + std::string(BooleanText(device.reachable)) + "\"} 1\n";
        }
    }
    Gauge(out, "orvan_scan_devices", "Devices found by the last scan.",
          std::to_string(figures.failed ? 0 : devices.size()));
    Gauge(out, "orvan_scan_duration_seconds", "How long the last scan took.", Number(figures.duration_s));
    Gauge(out, "orvan_scan_failed", "1 when the last scan could not run (no usable network interface).",
          figures.failed ? "1" : "0");
    const std::optional<double> last_success =
        figures.failed ? figures.last_success_unix_s : std::optional<double>(figures.finished_unix_s);
    if (last_success) {
        Gauge(out, kLastSuccess, "When the last scan that ran ended, in seconds since 1970.", Number(*last_success));
    }
    return out;
}

std::optional<double> LastSuccessIn(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    const std::string prefix = std::string(kLastSuccess) + " ";
    while (std::getline(lines, line)) {
        if (!line.starts_with(prefix)) continue;
        char* end = nullptr;
        const double value = std::strtod(line.c_str() + prefix.size(), &end);
        if (end != nullptr && *end == '\0' && value > 0) return value;
    }
    return std::nullopt;
}

}  // namespace orvan_scan
