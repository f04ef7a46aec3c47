#include "scanner.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>

#include "device_output.h"
#include "device_rows/device_bound.h"
#include "device_reaching.h"
#include "device_set.h"
#include "discovery_session.h"
#include "liborvaniot_os/liborvaniot_os.h"
#include "liborvaniot_os/liborvaniot_os_console.h"
#include "liborvaniot_os/liborvaniot_os_file.h"
#include "prometheus_output.h"

namespace orvan_scan {

namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

// Answers stop when no new device came for this long.
constexpr Seconds kQuietPeriod{1.0};
constexpr uint32_t kPollMs = 20;

// "Scanning: N devices" on a terminal's error stream, rewritten in place; nothing elsewhere.
class LiveCount {
  public:
    explicit LiveCount(const Console& console) : console_(console) {}
    ~LiveCount() { Clear(); }

    void Show(size_t devices) {
        if (!console_.err_is_terminal || devices == shown_) return;
        std::fprintf(console_.err, "\rScanning: %zu device%s found", devices, devices == 1 ? "" : "s");
        std::fflush(console_.err);
        shown_ = devices;
    }

    void Clear() {
        if (shown_ == kNone) return;
        std::fputs("\r\033[K", console_.err);
        std::fflush(console_.err);
        shown_ = kNone;
    }

  private:
    static constexpr size_t kNone = static_cast<size_t>(-1);
    const Console& console_;
    size_t shown_ = kNone;
};

// Applies the queued events to the set; true when a device was added.
bool Apply(DeviceSet& devices, const std::vector<ScanEvent>& events) {
    bool added = false;
    for (const ScanEvent& event : events) {
        if (event.device) {
            FoundDevice device = *event.device;
            CheckReachability(device);
            added = devices.Add(device) || added;
        } else {
            devices.RemoveEndpoint(event.endpoint);
        }
    }
    return added;
}

bool Write(const Console& console, const std::string& text) {
    const bool written = std::fwrite(text.data(), 1, text.size(), console.out) == text.size();
    return std::fflush(console.out) == 0 && written;
}

// A reader that went away (a closed pipe) needs no message; anything else does.
int WriteFailed(const Console& console) {
    if (errno != EPIPE) ReportError(console, std::string("cannot write the result: ") + std::strerror(errno));
    return kExitError;
}

// Says what the bounds made the program leave out, if anything.
void ReportLosses(const FeedLosses& losses, const Console& console) {
    if (losses.queue_full > 0) {
        ReportError(console, "dropped " + std::to_string(losses.queue_full) +
                                 " reports while the output was blocked");
    }
    if (losses.beyond_bound > 0) {
        ReportError(console, "ignored " + std::to_string(losses.beyond_bound) + " answers from devices beyond the limit of " +
                                 std::to_string(ORVAN_UXClass::kMaxDevicesHeld) + " devices");
    }
}

std::string NoChannelMessage() {
    return "no usable network interface: no discovery socket could be opened";
}

// Once the probes are out: why nothing could be asked, or "". Targets the system refused (no route
// to them) are reported, but only asking nobody at all fails the scan.
std::string ProbeProblem(const ScanOptions& options, const DiscoverySession& session, const Console& console) {
    if (DiscoverySession::Interrupted()) return {};
    const uint64_t failed = session.UnicastFailed();
    const uint64_t asked = session.UnicastSent() + failed;
    if (failed > 0 && (options.multicast || session.UnicastSent() > 0)) {
        ReportError(console, std::to_string(failed) + " of " + std::to_string(asked) +
                                 " target addresses could not be sent a probe (no route to them?)");
    }
    if (session.UnicastSent() > 0) return {};
    if (options.multicast) return session.Channels() > 0 ? std::string() : NoChannelMessage();
    return "no probe could be sent to the targets: this computer has no route to them";
}

// Waits for the probes to go out: false when none could (the problem is then reported).
bool WaitForProbes(const ScanOptions& options, DiscoverySession& session, DeviceSet& devices, LiveCount& live,
                   const Console& console) {
    while (session.ScanPending() && !DiscoverySession::Interrupted()) {
        Apply(devices, session.TakeEvents());
        live.Show(devices.size());
        liborvaniot_os_sleep_unless_stopped(kPollMs);
    }
    live.Clear();
    const std::string problem = ProbeProblem(options, session, console);
    if (!problem.empty()) ReportError(console, problem);
    return problem.empty();
}

// The device the target names among those found; reported when none is, and refused when several
// claim the MAC (answers are unauthenticated: any host may claim a device's MAC to be opened
// instead of it). *status says which.
const FoundDevice* FindTarget(const DeviceTarget& target, const std::vector<FoundDevice>& found,
                              const Console& console, int* status) {
    std::vector<const FoundDevice*> matching;
    for (const FoundDevice& device : found) {
        if (Matches(target, device)) matching.push_back(&device);
    }
    if (matching.size() == 1) {
        const FoundDevice& device = *matching.front();
        if (device.devices_at_ip > 1) {
            ReportError(console, "note: " + std::to_string(device.devices_at_ip) + " devices answer from " +
                                     device.row.address + ": what answers there may be another of them");
        }
        return &device;
    }
    if (matching.empty()) {
        ReportError(console,
                    "no device with " + (target.ip.empty() ? "MAC " + target.mac : "IP " + target.ip) + " answered");
        *status = kExitNone;
        return nullptr;
    }
    *status = kExitError;
    if (!target.ip.empty()) {
        std::string macs;
        for (const FoundDevice* device : matching) macs += (macs.empty() ? "" : ", ") + device->row.mac;
        ReportError(console, std::to_string(matching.size()) + " devices share IP " + target.ip + " (MAC " + macs +
                                 "): give each its own address first, then name the one you mean");
        return nullptr;
    }
    std::string addresses;
    for (const FoundDevice* device : matching) addresses += (addresses.empty() ? "" : ", ") + device->row.address;
    ReportError(console, std::to_string(matching.size()) + " devices claim MAC " + target.mac + " (" + addresses +
                             "): give the IP address of the one you mean");
    return nullptr;
}

// A device named by IP is known once it answers; one named by MAC only after everyone answered,
// since another device may claim the same MAC.
bool TargetSettled(const std::optional<DeviceTarget>& target, const DeviceSet& devices) {
    return target && !target->ip.empty() && devices.Has(*target);
}

int ReachDevice(const ScanOptions& options, const std::vector<FoundDevice>& found, const Console& console) {
    int missing = kExitNone;
    const FoundDevice* device = FindTarget(*options.reach, found, console, &missing);
    if (device == nullptr) return missing;
    bool added = false;
    int status = kExitFound;
    if (!MakeReachable(*device, options, console, &added, &status)) return status;
    if (!added) {
        std::fprintf(console.err, "orvan-scan: %s is reachable from this computer already\n", device->row.address.c_str());
        return kExitFound;
    }
    HoldUntilInterrupted(console, device->row.address + " stays reachable while orvan-scan runs");
    return kExitFound;
}

int OpenDevice(const ScanOptions& options, const std::vector<FoundDevice>& found, const Console& console) {
    int missing = kExitNone;
    const FoundDevice* device = FindTarget(*options.open, found, console, &missing);
    if (device == nullptr) return missing;
    bool added = false;
    int reach_status = kExitFound;
    // A page on a network this computer does not reach would never load.
    if (!MakeReachable(*device, options, console, &added, &reach_status)) return reach_status;
    if (!Write(console, device->web_url + "\n")) return WriteFailed(console);
    const int32_t status = liborvaniot_os_open_url(device->web_url.c_str());
    if (status != 0) {
        ReportError(console, "could not open " + device->web_url + ": " + liborvaniot_os_open_url_failure(status));
        return kExitError;
    }
    if (added) HoldUntilInterrupted(console, "the page of " + device->row.address + " needs the address added for it");
    return kExitFound;
}

double UnixNow() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// The scan's result in Prometheus' format, also when it could not run (failed set): a collector
// that reads the file then sees the failure instead of the last good result going stale unnoticed.
std::string PrometheusResult(const ScanOptions& options, const std::vector<FoundDevice>& found,
                             Clock::time_point started, bool failed) {
    ScanFigures figures;
    figures.duration_s = Seconds(Clock::now() - started).count();
    figures.finished_unix_s = UnixNow();
    figures.failed = failed;
    if (failed && options.output) {
        std::ifstream previous(*options.output, std::ios::binary);
        std::ostringstream text;
        text << previous.rdbuf();
        figures.last_success_unix_s = LastSuccessIn(text.str());
    }
    return PrometheusText(found, figures);
}

// The result to standard output, or in place of the --output file.
int Emit(const ScanOptions& options, const std::string& text, const Console& console) {
    if (!options.output) return Write(console, text) ? kExitFound : WriteFailed(console);
    // Readable by others as a shell redirection would make it: the collector runs as its own user.
    if (const int32_t error = liborvaniot_os_file_replace(options.output->c_str(), text.data(), text.size(), 0666);
        error != 0) {
        ReportError(console, "cannot write " + *options.output + ": " + std::strerror(error));
        return kExitError;
    }
    return kExitFound;
}

int Print(const ScanOptions& options, const std::vector<FoundDevice>& found, Clock::time_point started,
          const Console& console) {
    std::string text;
    switch (options.mode) {
        case OutputMode::json:
            text = JsonArray(found);
            break;
        case OutputMode::csv:
            text = CsvText(found);
            break;
        case OutputMode::prometheus:
            text = PrometheusResult(options, found, started, false);
            break;
        default:
            text = TableText(found);
            break;
    }
    if (const int status = Emit(options, text, console); status != kExitFound) return status;
    if (options.mode == OutputMode::table && console.err_is_terminal) {
        if (found.empty()) std::fputs("No devices found.\n", console.err);
        if (std::any_of(found.begin(), found.end(), [](const FoundDevice& d) { return !d.reachable; })) {
            std::fputs("Devices not reachable from here are on a network this computer does not reach directly:\n"
                       "  'orvan-scan --reach IP' as administrator reaches one while it runs.\n",
                       console.err);
        }
    }
    return found.empty() ? kExitNone : kExitFound;
}

int Scan(const ScanOptions& options, DiscoverySession& session, const Console& console) {
    const Clock::time_point started = Clock::now();
    DeviceSet devices;
    LiveCount live(console);
    if (!WaitForProbes(options, session, devices, live, console)) {
        if (options.mode == OutputMode::prometheus) Emit(options, PrometheusResult(options, {}, started, true), console);
        return kExitError;
    }
    const Clock::time_point sent = Clock::now();
    const Seconds timeout{options.timeout_s.value_or(kDefaultTimeoutS)};
    Clock::time_point last_new = sent;
    while (!DiscoverySession::Interrupted()) {
        const Clock::time_point now = Clock::now();
        const std::vector<ScanEvent> events = session.TakeEvents();
        if (Apply(devices, events)) last_new = now;
        // The device to open answered: nothing else is waited for.
        if (TargetSettled(options.open, devices) || TargetSettled(options.reach, devices)) break;
        live.Show(devices.size());
        if (now - last_new >= kQuietPeriod || now - sent >= timeout) break;
        liborvaniot_os_sleep_unless_stopped(kPollMs);
    }
    Apply(devices, session.TakeEvents());
    live.Clear();
    ReportLosses(session.Losses(), console);
    const std::vector<FoundDevice> found = devices.Sorted();
    // The page is handed over while an added link-local address still exists.
    if (options.reach) return ReachDevice(options, found, console);
    return options.open ? OpenDevice(options, found, console) : Print(options, found, started, console);
}

int WatchEvents(const ScanOptions& options, DiscoverySession& session, const Console& console) {
    DeviceSet devices;
    size_t seen = 0;
    bool probes_checked = false;
    const Clock::time_point start = Clock::now();
    while (!DiscoverySession::Interrupted()) {
        for (const ScanEvent& event : session.TakeEvents()) {
            std::string lines;
            if (event.device) {
                FoundDevice device = *event.device;
                CheckReachability(device);
                if (devices.Add(device)) {
                    ++seen;
                    device.devices_at_ip = devices.CountAt(device.ip_order);
                    lines = JsonObject(device, event.kind == DRM_PROBE_REPORT_HELLO ? "hello" : "match") + "\n";
                }
            }
            if (!event.device) {
                for (const FoundDevice& gone : devices.RemoveEndpoint(event.endpoint)) {
                    lines += JsonObject(gone, "bye") + "\n";
                }
            }
            if (!lines.empty() && !Write(console, lines)) {
                // A reader that stopped reading (a closed pipe) ends the watch like Ctrl+C.
                if (errno == EPIPE) return seen > 0 ? kExitFound : kExitNone;
                return WriteFailed(console);
            }
        }
        if (!probes_checked && !session.ScanPending()) {
            probes_checked = true;
            if (const std::string problem = ProbeProblem(options, session, console); !problem.empty()) {
                ReportError(console, problem);
                return kExitError;
            }
        }
        if (options.timeout_s && Clock::now() - start >= Seconds{*options.timeout_s}) break;
        liborvaniot_os_sleep_unless_stopped(kPollMs);
    }
    return seen > 0 ? kExitFound : kExitNone;
}

int Watch(const ScanOptions& options, DiscoverySession& session, const Console& console) {
    const int status = WatchEvents(options, session, console);
    ReportLosses(session.Losses(), console);
    return status;
}

}  // namespace

void ReportError(const Console& console, const std::string& message) {
    std::fprintf(console.err, "orvan-scan: %s\n", message.c_str());
    std::fflush(console.err);
}

int RunScanner(const ScanOptions& options, const Console& console) {
    DiscoverySession session;
    const auto started = Clock::now();
    const UnicastProbes unicast{options.target_ranges, options.rate, options.multicast};
    if (const std::string problem = session.Start(options.interfaces, unicast); !problem.empty()) {
        ReportError(console, problem);
        if (options.mode == OutputMode::prometheus) Emit(options, PrometheusResult(options, {}, started, true), console);
        return kExitError;
    }
    session.RequestScan();
    return options.mode == OutputMode::watch ? Watch(options, session, console)
                                             : Scan(options, session, console);
}

}  // namespace orvan_scan
