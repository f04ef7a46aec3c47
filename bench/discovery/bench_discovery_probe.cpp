// Discovery end to end: simulated devices in a peer namespace answer one probe burst of the listener
// running here. For 10, 100 and 1,000 devices, answering spread over 500 ms and all at once, prints
// the devices reported, the devices lost and the time from the scan request to the last report,
// with the listener draining its sockets and, for comparison, reading one datagram per socket per
// pass. Runs only inside the private test network (bench_discovery_probe.sh); asserts nothing.
#include <arpa/inet.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "liborvaniot_drm_client/libdrm_client_probe.h"
#include "liborvaniot_os/liborvaniot_os.h"
#include "answer_tally.h"
#include "netns_env.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;


struct Outcome {
    size_t reported = 0;
    double last_report_ms = 0;
};

// One scan: waits until the devices have sent every answer, then until reports stop coming.
Outcome MeasureScan(AnswerTally& tally, orvan::netns::PeerProcess& sim, size_t devices) {
    tally.Reset();
    const Clock::time_point requested = Clock::now();
    liborvaniot_drm_client_probe_scan();
    if (!sim.WaitForLine("answered ", 30s)) std::fprintf(stderr, "the devices did not finish answering\n");
    size_t seen = tally.Senders();
    for (;;) {
        std::this_thread::sleep_for(300ms);
        const size_t now = tally.Senders();
        if (now == seen || now >= devices) break;
        seen = now;
    }
    Outcome outcome;
    outcome.reported = tally.Senders();
    if (tally.Last() > requested) {
        outcome.last_report_ms = std::chrono::duration<double, std::milli>(tally.Last() - requested).count();
    }
    return outcome;
}

std::string ReceiveBufferLimit() {
    std::ifstream in("/proc/sys/net/core/rmem_max");
    std::string value;
    return std::getline(in, value) ? value : "unknown";
}

}  // namespace

int main(int argc, char** argv) {
    orvan::netns::RequireIsolated();
    int repeat = 3;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) repeat = std::max(1, std::atoi(argv[++i]));
    }
    const orvan::netns::Topology topology = orvan::netns::Topology::FromEnvironment();
    if (topology.peers.empty()) {
        std::fprintf(stderr, "needs one peer namespace for the devices\n");
        return 2;
    }
    const orvan::netns::Peer& peer = topology.peers.front();
    const std::string first_device = peer.address.substr(0, peer.address.rfind('.') + 1) + "10";

    if (liborvaniot_os_initialize() != 0) return 1;
    AnswerTally tally;
    liborvaniot_drm_client_probe_set_callback(&AnswerTally::OnReport, nullptr, &tally);
    liborvaniot_drm_client_probe_set_port(LIBDRM_CLIENT_PROBE_PORT);
    liborvaniot_drm_client_probe_listen_start();
    while (liborvaniot_drm_client_probe_channel_count() == 0) std::this_thread::sleep_for(10ms);

    std::printf("receive buffer limit (net.core.rmem_max): %s bytes; %d runs per line\n",
                ReceiveBufferLimit().c_str(), repeat);
    std::printf("%-8s %-10s %-16s %9s %9s %9s %22s\n", "devices", "answers", "reading", "reported", "lost",
                "lost %", "last report ms (runs)");
    struct Reading {
        const char* name;
        int32_t batch;
    } readings[] = {{"drained", LIBDRM_CLIENT_RECEIVE_BATCH}, {"one per pass", 1}};
    for (const size_t devices : {size_t{10}, size_t{100}, size_t{1000}}) {
        for (const int spread_ms : {500, 0}) {
            orvan::netns::PeerProcess sim(
                peer.name, {ORVAN_DEVICE_SIM, "--interface", peer.link, "--base-address", first_device,
                            "--count", std::to_string(devices), "--max-delay-ms", std::to_string(spread_ms),
                            "--no-hello", "--no-bye", "--no-http"});
            if (!sim.WaitForLine("ready ", 120s)) {
                std::fprintf(stderr, "simulator not ready\n");
                return 1;
            }
            for (const Reading& reading : readings) {
                libdrm_client_probe_set_receive_batch(reading.batch);
                size_t reported = 0;
                std::string times;
                for (int run = 0; run < repeat; ++run) {
                    const Outcome outcome = MeasureScan(tally, sim, devices);
                    reported += outcome.reported;
                    char text[32];
                    std::snprintf(text, sizeof text, "%s%.0f", run == 0 ? "" : " ", outcome.last_report_ms);
                    times += text;
                }
                const double expected = static_cast<double>(devices) * repeat;
                const double lost = expected - static_cast<double>(reported);
                std::printf("%-8zu %-10s %-16s %9.1f %9.1f %8.2f%% %22s\n", devices,
                            spread_ms > 0 ? "500 ms" : "at once", reading.name,
                            static_cast<double>(reported) / repeat, lost / repeat, 100.0 * lost / expected,
                            times.c_str());
                std::fflush(stdout);
            }
        }
    }
    libdrm_client_probe_set_receive_batch(LIBDRM_CLIENT_RECEIVE_BATCH);
    liborvaniot_drm_client_probe_listen_stop();
    liborvaniot_drm_client_probe_set_callback(nullptr, nullptr, nullptr);
    liborvaniot_os_finalize();
    return 0;
}
