#include "prometheus_output.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

#include "output_text.h"

#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#endif

namespace orvan_scan {

namespace {

constexpr std::string_view kLastSuccess = "orvan_scan_last_success_timestamp_seconds";

void AppendHeader(std::string& out, std::string_view name, std::string_view help) {
    out.append("# HELP ").append(name).append(" ").append(help).append("\n");
    out.append("# TYPE ").append(name).append(" gauge\n");
}

void AppendSample(std::string& out, std::string_view name, double value, int decimals) {
    char number[64];
    std::snprintf(number, sizeof number, "%.*f", decimals, value);
    out.append(name).append(" ").append(number).append("\n");
}

std::string Label(std::string_view name, std::string_view device_text) {
    return std::string(name) + "=\"" + PrometheusLabelValue(TerminalText(device_text)) + "\"";
}

#ifdef _WIN32
int SyncFile(int fd) { return _commit(fd); }
int Pid() { return _getpid(); }
constexpr int kCreateFlags = O_WRONLY | O_CREAT | O_EXCL | O_BINARY;
#else
int SyncFile(int fd) { return fsync(fd); }
int Pid() { return getpid(); }
constexpr int kCreateFlags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
#endif

std::string Failure(const std::string& what, const std::string& path) {
    return "cannot " + what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

std::string PrometheusLabelValue(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '"')
            out += "\\\"";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

std::string PrometheusText(const std::vector<FoundDevice>& devices, const ScanFigures& figures) {
    std::string out;
    AppendHeader(out, "orvan_device_info", "A device that answered the last scan; its texts as labels.");
    if (!figures.failed) {
        for (const FoundDevice& device : devices) {
            const ORVAN_UXClass::DeviceReport& row = device.row;
            out += "orvan_device_info{" + Label("mac", row.mac) + "," + Label("ip", row.address) + "," +
                   Label("model", row.model) + "," + Label("name", row.name) + "," +
                   Label("location", row.location) + "," + Label("web_url", device.web_url) + "} 1\n";
        }
    }
    AppendHeader(out, "orvan_scan_devices", "Devices that answered the last scan.");
    AppendSample(out, "orvan_scan_devices", figures.failed ? 0.0 : static_cast<double>(devices.size()), 0);
    AppendHeader(out, "orvan_scan_duration_seconds", "How long the last scan took.");
    AppendSample(out, "orvan_scan_duration_seconds", figures.duration_s, 3);
    const std::optional<double> last_success =
        figures.failed ? figures.last_success_unix_s : std::optional<double>(figures.now_unix_s);
    if (last_success) {
        AppendHeader(out, kLastSuccess, "When the last scan that could run ended, in seconds since the epoch.");
        AppendSample(out, kLastSuccess, *last_success, 3);
    }
    AppendHeader(out, "orvan_scan_failed", "1 when the last scan could not run (no usable network interface).");
    AppendSample(out, "orvan_scan_failed", figures.failed ? 1.0 : 0.0, 0);
    return out;
}

std::optional<double> LastSuccessIn(std::string_view exposition) {
    std::istringstream lines{std::string(exposition)};
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.starts_with(kLastSuccess) || line.size() <= kLastSuccess.size() || line[kLastSuccess.size()] != ' ')
            continue;
        const char* start = line.c_str() + kLastSuccess.size() + 1;
        char* end = nullptr;
        const double value = std::strtod(start, &end);
        if (end != start && value > 0) return value;
    }
    return std::nullopt;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return in ? text.str() : std::string();
}

std::string ReplaceFileAtomically(const std::string& path, std::string_view text) {
    // Beside the target, so that the rename stays on one file system; not ending in ".prom", so
    // that the collector never picks up the file while it is written.
    std::random_device random;
    const std::string temporary = path + ".tmp-" + std::to_string(Pid()) + "-" + std::to_string(random());
    const int fd = ::open(temporary.c_str(), kCreateFlags, 0644);
    if (fd < 0) return Failure("create", temporary);
    std::string problem;
#ifndef _WIN32
    // The collector runs as another user; a umask must not hide the file from it.
    if (fchmod(fd, 0644) != 0) problem = Failure("set the permissions of", temporary);
#endif
    for (size_t done = 0; problem.empty() && done < text.size();) {
        const auto written = ::write(fd, text.data() + done, static_cast<unsigned>(text.size() - done));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) problem = Failure("write", temporary);
        else done += static_cast<size_t>(written);
    }
    if (problem.empty() && SyncFile(fd) != 0) problem = Failure("flush", temporary);
    if (::close(fd) != 0 && problem.empty()) problem = Failure("close", temporary);
#ifdef _WIN32
    // Windows' rename does not replace an existing file.
    if (problem.empty()) std::remove(path.c_str());
#endif
    if (problem.empty() && std::rename(temporary.c_str(), path.c_str()) != 0) problem = Failure("rename " + temporary + " to", path);
    if (!problem.empty()) std::remove(temporary.c_str());
    return problem;
}

}  // namespace orvan_scan
