// The Prometheus exposition: device texts that could break the format, the scan's figures, and the
// file replaced whole. promtool, where installed, parses and lints the text as Prometheus would.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "output_text.h"
#include "prometheus_output.h"
#include "scan_test_support.h"

namespace {

using namespace orvan_scan;
using scan_test::Answer;
using scan_test::Device;

const std::string kReplacement = "\xEF\xBF\xBD";

FoundDevice Named(const std::string& ip, const std::string& name, const std::string& location = "lab") {
    Answer answer;
    answer.ip = ip;
    FoundDevice device = Device(answer);
    device.row.name = name;  // as decoded from the device's scope: any bytes
    device.row.location = location;
    return device;
}

bool HavePromtool() {
    return std::system("command -v promtool >/dev/null 2>&1") == 0;
}

// promtool's verdict on the text ("" when it accepts it).
std::string PromtoolProblems(const std::string& text) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("prom_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + std::to_string(std::rand()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "in.prom", std::ios::binary) << text;
    const std::string command = "promtool check metrics <" + (dir / "in.prom").string() + " >" +
                                (dir / "out").string() + " 2>&1";
    const int status = std::system(command.c_str());
    std::stringstream out;
    out << std::ifstream(dir / "out").rdbuf();
    std::filesystem::remove_all(dir);
    return status == 0 ? std::string() : "status " + std::to_string(status) + ": " + out.str();
}

TEST(PrometheusOutputTest, HostileDeviceTextsStayInsideTheirLabels) {
    const std::string long_name(1000, 'n');
    const struct {
        const char* what;
        std::string name;
        std::string label;  // the name label's value as written
    } cases[] = {
        {"plain", "Lobby 1", "Lobby 1"},
        {"double quotes", "say \"hi\"", "say \\\"hi\\\""},
        {"backslashes", "a\\b\\", "a\\\\b\\\\"},
        {"quote after a backslash", "x\\\"} 1\nevil 1", "x\\\\\\\"} 1" + kReplacement + "evil 1"},
        {"line feed and carriage return", "a\nb\rc", "a" + kReplacement + "b" + kReplacement + "c"},
        {"terminal escape", "\x1b[2Jx", kReplacement + "[2Jx"},
        {"broken UTF-8", "a\xff\xc3", "a" + kReplacement + kReplacement},
        {"non-ASCII", "Caf\xc3\xa9 \xe6\x9d\xb1", "Caf\xc3\xa9 \xe6\x9d\xb1"},
        {"1,000 characters", long_name, long_name},
        {"empty", "", ""},
    };
    std::vector<FoundDevice> devices;
    int last = 1;
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        const FoundDevice device = Named("10.0.0." + std::to_string(last++), row.name);
        const std::string text = PrometheusText({device}, ScanFigures{false, 1.5, 1700000000.25, {}});
        EXPECT_NE(text.find("orvan_device_info{mac=\"0A:1B:2C:3D:4E:5F\",ip=\"" + device.row.address +
                            "\",model=\"SIM-CAM100\",name=\"" + row.label + "\",location=\"lab\",web_url=\"" +
                            PrometheusLabelValue(device.web_url) + "\"} 1\n"),
                  std::string::npos)
            << text;
        devices.push_back(device);
    }
    const std::string all = PrometheusText(devices, ScanFigures{false, 2.25, 1700000000.5, {}});
    size_t info_lines = 0;
    std::istringstream lines(all);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("orvan_device_info{")) ++info_lines;
        else EXPECT_TRUE(line.starts_with("# ") || line.starts_with("orvan_scan_")) << "stray line: " << line;
    }
    EXPECT_EQ(info_lines, std::size(cases));
    EXPECT_NE(all.find("\norvan_scan_devices " + std::to_string(std::size(cases)) + "\n"), std::string::npos);
    if (HavePromtool()) EXPECT_EQ(PromtoolProblems(all), "");
    else std::puts("promtool not found: the text was not checked by Prometheus' own parser");
}

TEST(PrometheusOutputTest, AFailedScanSaysSoAndKeepsTheLastSuccessTime) {
    const std::vector<FoundDevice> devices{Named("10.0.0.9", "cam")};
    const std::string ok = PrometheusText(devices, ScanFigures{false, 3.5, 1700000100.0, {}});
    EXPECT_NE(ok.find("\norvan_scan_failed 0\n"), std::string::npos) << ok;
    EXPECT_NE(ok.find("\norvan_scan_duration_seconds 3.500\n"), std::string::npos) << ok;
    EXPECT_EQ(LastSuccessIn(ok), 1700000100.0);

    const std::string failed = PrometheusText(devices, ScanFigures{true, 0.25, 1700000200.0, LastSuccessIn(ok)});
    EXPECT_EQ(failed.find("orvan_device_info{"), std::string::npos) << "a failed scan lists no device";
    EXPECT_NE(failed.find("\norvan_scan_failed 1\n"), std::string::npos) << failed;
    EXPECT_NE(failed.find("\norvan_scan_devices 0\n"), std::string::npos) << failed;
    EXPECT_EQ(LastSuccessIn(failed), 1700000100.0) << "the earlier success time is carried over";

    const std::string first_failed = PrometheusText({}, ScanFigures{true, 0.25, 1700000200.0, std::nullopt});
    EXPECT_EQ(LastSuccessIn(first_failed), std::nullopt) << "no success yet: no time is invented";
    EXPECT_EQ(LastSuccessIn("garbage\norvan_scan_last_success_timestamp_seconds_x 5\n"), std::nullopt);
    if (HavePromtool()) {
        EXPECT_EQ(PromtoolProblems(failed), "");
        EXPECT_EQ(PromtoolProblems(first_failed), "");
    }
}

TEST(PrometheusOutputTest, TheFileIsReplacedWholeAndReadableByOthers) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("prom_file_test_" + std::to_string(std::rand()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "orvan.prom").string();
    std::ofstream(path) << "old";
    const std::string text(200000, 'x');
    EXPECT_EQ(ReplaceFileAtomically(path, text), "");
    EXPECT_EQ(ReadWholeFile(path), text);
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::others_read,
              std::filesystem::perms::others_read);
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) ++entries;
    EXPECT_EQ(entries, 1u) << "no temporary file left behind";

    const std::string missing_dir = (dir / "none" / "orvan.prom").string();
    const std::string problem = ReplaceFileAtomically(missing_dir, "x");
    EXPECT_NE(problem.find("cannot create"), std::string::npos) << problem;
    std::filesystem::remove_all(dir);
}

}  // namespace
