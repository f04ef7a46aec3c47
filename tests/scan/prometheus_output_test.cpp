// The exposition text a metrics collector reads: exact for ordinary devices, each hostile text kept
// inside its own label, the failed scan's figures; checked by Prometheus' own promtool where it is
// installed.
#include "prometheus_output.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "scan_test_support.h"

namespace orvan_scan {
namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

FoundDevice Named(const std::string& ip, const std::string& name) {
    scan_test::Answer answer;
    answer.ip = ip;
    FoundDevice device = scan_test::Device(answer);
    device.row.name = name;  // as decoded from the device's scope: any bytes
    return device;
}

// promtool's verdict on the text ("" when it accepts it), or nothing where promtool is not installed.
std::optional<std::string> Promtool(const std::string& text) {
    if (std::system("command -v promtool >/dev/null 2>&1") != 0) {
        std::puts("promtool not found: the text was not checked by Prometheus' own parser");
        return std::nullopt;
    }
    const auto file = std::filesystem::temp_directory_path() / ("orvan_prom_" + std::to_string(getpid()));
    std::ofstream(file, std::ios::binary) << text;
    const std::string command = "promtool check metrics < " + file.string() + " 2>&1";
    std::string out;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
        if (const int status = pclose(pipe); status != 0) out = "status " + std::to_string(status) + ": " + out;
    }
    std::filesystem::remove(file);
    return out;
}

TEST(PrometheusOutputTest, OneInfoSeriesPerDeviceAndTheScansFigures) {
    FoundDevice distant = Named("192.168.1.64", "Gate");
    distant.reachable = false;
    const std::string text =
        PrometheusText({Named("10.0.0.9", "Lobby"), distant}, ScanFigures{1.5, 1765400000.25, false, std::nullopt});
    EXPECT_EQ(text,
              "# HELP orvan_device_info A device that answered the scan, with what it says about itself.\n"
              "# TYPE orvan_device_info gauge\n"
              "orvan_device_info{mac=\"0A:1B:2C:3D:4E:5F\",ip=\"10.0.0.9\",model=\"SIM-CAM100\",name=\"Lobby\","
              "location=\"lab\",web_url=\"http://10.0.0.9\",reachable=\"true\"} 1\n"
              "orvan_device_info{mac=\"0A:1B:2C:3D:4E:5F\",ip=\"192.168.1.64\",model=\"SIM-CAM100\",name=\"Gate\","
              "location=\"lab\",web_url=\"http://192.168.1.64\",reachable=\"false\"} 1\n"
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

TEST(PrometheusOutputTest, HostileDeviceTextsStayInsideTheirLabels) {
    const std::string long_name(1000, 'n');
    const struct {
        const char* what;
        std::string name;
        std::string label;  // the name label's value as written
    } cases[] = {
        {"double quotes", "say \"hi\"", "say \\\"hi\\\""},
        {"backslashes", "a\\b\\", "a\\\\b\\\\"},
        {"a forged end of the series", "x\\\"} 1\nevil 1", "x\\\\\\\"} 1" + kReplacement + "evil 1"},
        {"line feed and carriage return", "a\nb\rc", "a" + kReplacement + "b" + kReplacement + "c"},
        {"a terminal escape", "\x1b[2Jx", kReplacement + "[2Jx"},
        {"invalid UTF-8", "a\xff\xc3", "a" + kReplacement + kReplacement},
        {"non-ASCII", "Caf\xc3\xa9 \xe6\x9d\xb1", "Caf\xc3\xa9 \xe6\x9d\xb1"},
        {"1,000 characters", long_name, long_name},
        {"empty", "", ""},
    };
    std::vector<FoundDevice> devices;
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        const FoundDevice device = Named("10.0.0." + std::to_string(devices.size() + 1), row.name);
        EXPECT_EQ(PrometheusLabelValue(row.name), row.label);
        const std::string text = PrometheusText({device}, ScanFigures{1.5, 1700000000.25, false, {}});
        EXPECT_NE(text.find("orvan_device_info{mac=\"0A:1B:2C:3D:4E:5F\",ip=\"" + device.row.address +
                            "\",model=\"SIM-CAM100\",name=\"" + row.label + "\",location=\"lab\",web_url=\"" +
                            device.web_url + "\",reachable=\"true\"} 1\n"),
                  std::string::npos)
            << text;
        devices.push_back(device);
    }
    // All of them in one file: one line per device, nothing else but the figures.
    const std::string all = PrometheusText(devices, ScanFigures{2.25, 1700000000.5, false, {}});
    size_t info_lines = 0;
    std::istringstream lines(all);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("orvan_device_info{")) ++info_lines;
        else EXPECT_TRUE(line.starts_with("# ") || line.starts_with("orvan_scan_")) << "stray line: " << line;
    }
    EXPECT_EQ(info_lines, std::size(cases));
    EXPECT_NE(all.find("\norvan_scan_devices " + std::to_string(std::size(cases)) + "\n"), std::string::npos);
    if (const auto verdict = Promtool(all)) {
        EXPECT_EQ(*verdict, "") << all;
    }
}

TEST(PrometheusOutputTest, AFailedScanListsNoDeviceSaysSoAndKeepsTheLastSuccessTime) {
    const std::vector<FoundDevice> devices{Named("10.0.0.9", "cam")};
    const std::string ok = PrometheusText(devices, ScanFigures{3.5, 1700000100.0, false, {}});
    EXPECT_EQ(LastSuccessIn(ok), 1700000100.0);

    const std::string failed = PrometheusText(devices, ScanFigures{0.25, 1700000200.0, true, LastSuccessIn(ok)});
    EXPECT_EQ(failed.find("orvan_device_info{"), std::string::npos) << "a failed scan lists no device";
    EXPECT_NE(failed.find("\norvan_scan_failed 1\n"), std::string::npos) << failed;
    EXPECT_NE(failed.find("\norvan_scan_devices 0\n"), std::string::npos) << failed;
    EXPECT_EQ(LastSuccessIn(failed), 1700000100.0) << "the earlier success time is carried over";

    const std::string first_failed = PrometheusText({}, ScanFigures{0.25, 1700000200.0, true, std::nullopt});
    EXPECT_EQ(LastSuccessIn(first_failed), std::nullopt) << "no success yet: no time is invented";
    EXPECT_EQ(LastSuccessIn("garbage\norvan_scan_last_success_timestamp_seconds_x 5\n"
                            "orvan_scan_last_success_timestamp_seconds 7 junk\n"),
              std::nullopt);
    for (const std::string& text : {failed, first_failed}) {
        if (const auto verdict = Promtool(text)) {
            EXPECT_EQ(*verdict, "") << text;
        }
    }
}

}  // namespace
}  // namespace orvan_scan
