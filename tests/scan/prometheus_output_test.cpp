// The exposition text a metrics collector reads: exact for ordinary devices, well-formed for hostile
// ones (checked by Prometheus' own promtool where it is installed).
#include "prometheus_output.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace orvan_scan {
namespace {

FoundDevice Device(const std::string& ip, uint32_t order, const std::string& name) {
    FoundDevice device;
    device.row.model = "SLV-IPC4210";
    device.row.mac = "02:07:00:00:00:05";
    device.row.address = ip;
    device.row.name = name;
    device.row.location = "Floor 1";
    device.web_url = "https://" + ip;
    device.ip_order = order;
    return device;
}

std::string Reachable(const FoundDevice& device) {
    return device.ip_order == 0xC0A80140 ? "false" : "true";
}

// promtool's verdict on the text, or nothing where promtool is not installed.
std::optional<std::string> Promtool(const std::string& text) {
    if (std::system("command -v promtool >/dev/null 2>&1") != 0) return std::nullopt;
    const auto file = std::filesystem::temp_directory_path() / ("orvan_prom_" + std::to_string(getpid()));
    std::ofstream(file, std::ios::binary) << text;
    const std::string command = "promtool check metrics < " + file.string() + " 2>&1";
    std::string out;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
        const int status = pclose(pipe);
        if (status != 0) out = "status " + std::to_string(status) + ": " + out;
    }
    std::filesystem::remove(file);
    return out;
}

TEST(PrometheusOutputTest, OneInfoSeriesPerDeviceAndTheScansFigures) {
    ScanFigures figures;
    figures.duration_s = 1.5;
    figures.finished_unix_s = 1765400000.25;
    const std::string text = PrometheusText(
        {Device("10.0.0.9", 0x0A000009, "Lobby"), Device("192.168.1.64", 0xC0A80140, "Gate")}, figures, &Reachable);
    EXPECT_EQ(text,
              "# HELP orvan_device_info A device that answered the scan, with what it says about itself.\n"
              "# TYPE orvan_device_info gauge\n"
              "orvan_device_info{mac=\"02:07:00:00:00:05\",ip=\"10.0.0.9\",model=\"SLV-IPC4210\",name=\"Lobby\","
              "location=\"Floor 1\",web_url=\"https://10.0.0.9\",reachable=\"true\"} 1\n"
              "orvan_device_info{mac=\"02:07:00:00:00:05\",ip=\"192.168.1.64\",model=\"SLV-IPC4210\",name=\"Gate\","
              "location=\"Floor 1\",web_url=\"https://192.168.1.64\",reachable=\"false\"} 1\n"
              "# HELP orvan_scan_devices Devices found by the last scan.\n"
              "# TYPE orvan_scan_devices gauge\n"
              "orvan_scan_devices 2\n"
              "# HELP orvan_scan_duration_seconds How long the last scan took.\n"
              "# TYPE orvan_scan_duration_seconds gauge\n"
              "orvan_scan_duration_seconds 1.5\n"
              "# HELP orvan_scan_failed 1 when the last scan could not run (no usable network interface).\n"
              "# TYPE orvan_scan_failed gauge\n"
              "orvan_scan_failed 0\n"
              "# HELP orvan_scan_last_success_timestamp_seconds When the last scan that ran ended, in seconds "
              "since 1970.\n"
              "# TYPE orvan_scan_last_success_timestamp_seconds gauge\n"
              "orvan_scan_last_success_timestamp_seconds 1765400000.25\n");
    if (const auto verdict = Promtool(text)) {
        EXPECT_EQ(*verdict, "");
    }
}

TEST(PrometheusOutputTest, HostileDeviceTextsBecomeValidLabelValues) {
    struct Case {
        const char* what;
        std::string name;
        std::string label;
    } const cases[] = {
        {"quotes", "say \"hi\"", "say \\\"hi\\\""},
        {"backslashes", "a\\b\\", "a\\\\b\\\\"},
        {"line breaks", "a\nb\r", "a\xEF\xBF\xBD" "b\xEF\xBF\xBD"},
        {"invalid UTF-8", "x\xff\xc3", "x\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"a terminal escape", "\x1b[2J", "\xEF\xBF\xBD[2J"},
        {"a name of 1,000 characters", std::string(1000, 'n'), std::string(1000, 'n')},
    };
    std::vector<FoundDevice> devices;
    uint32_t order = 0x0A000001;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(PrometheusLabelValue(c.name), c.label);
        devices.push_back(Device("10.0.0." + std::to_string(order & 0xFF), order, c.name));
        ++order;
    }
    ScanFigures figures;
    figures.finished_unix_s = 1765400000;
    const std::string text = PrometheusText(devices, figures, &Reachable);
    if (const auto verdict = Promtool(text)) {
        EXPECT_EQ(*verdict, "") << text;
    }
}

TEST(PrometheusOutputTest, AFailedScanListsNoDeviceSaysSoAndKeepsTheLastSuccess) {
    ScanFigures figures;
    figures.failed = true;
    figures.last_success_unix_s = LastSuccessIn("orvan_scan_devices 3\norvan_scan_last_success_timestamp_seconds 1765400000.5\n");
    const std::string text = PrometheusText({Device("10.0.0.9", 0x0A000009, "Lobby")}, figures, &Reachable);
    EXPECT_EQ(text.find("orvan_device_info{"), std::string::npos);
    EXPECT_NE(text.find("\norvan_scan_failed 1\n"), std::string::npos);
    EXPECT_NE(text.find("\norvan_scan_devices 0\n"), std::string::npos);
    EXPECT_NE(text.find("\norvan_scan_last_success_timestamp_seconds 1765400000.5\n"), std::string::npos);
    EXPECT_EQ(PrometheusText({}, ScanFigures{0, 0, true, std::nullopt}, &Reachable).find("last_success"),
              std::string::npos);
    if (const auto verdict = Promtool(text)) {
        EXPECT_EQ(*verdict, "");
    }
}

}  // namespace
}  // namespace orvan_scan
