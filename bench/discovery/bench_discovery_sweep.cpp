// Unicast probes to a network behind a router: the time to probe every address of the targets at a
// given rate, and the devices that answered among those simulated there. Runs only inside the
// private test network, with the routed device network bench_discovery_sweep.sh builds; prints
// figures and asserts nothing.
//
//   bench_discovery_sweep TARGET DEVICES [--rate N] [--repeat R]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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


double MsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

}  // namespace

int main(int argc, char** argv) {
    orvan::netns::RequireIsolated();
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_discovery_sweep TARGET DEVICES [--rate N] [--repeat R]\n");
        return 2;
    }
    const std::vector<std::string> texts = {argv[1]};
    const size_t devices = static_cast<size_t>(std::atol(argv[2]));
    uint32_t rate = LIBDRM_CLIENT_SWEEP_RATE;
    int repeat = 3;
    for (int i = 3; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--rate") == 0) rate = static_cast<uint32_t>(std::max(1, std::atoi(argv[i + 1])));
        if (std::strcmp(argv[i], "--repeat") == 0) repeat = std::max(1, std::atoi(argv[i + 1]));
    }
    const drm_probe_target_list targets = drm_probe_targets_parse(texts, true);
    if (!targets.error.empty()) {
        std::fprintf(stderr, "%s\n", targets.error.c_str());
        return 2;
    }

    if (liborvaniot_os_initialize() != 0) return 1;
    AnswerTally tally;
    liborvaniot_drm_client_probe_set_callback(&AnswerTally::OnReport, nullptr, &tally);
    liborvaniot_drm_client_probe_set_port(LIBDRM_CLIENT_PROBE_PORT);
    liborvaniot_drm_client_probe_set_multicast(0);
    liborvaniot_drm_client_probe_listen_start();
    while (liborvaniot_drm_client_probe_channel_count() == 0) std::this_thread::sleep_for(10ms);
    liborvaniot_drm_client_probe_set_targets(targets.ranges, rate);

    std::printf("%s: %llu addresses at %u probes/s, %zu devices behind a router\n", argv[1],
                static_cast<unsigned long long>(targets.addresses), rate, devices);
    std::printf("%-4s %16s %8s %8s %10s %10s %18s\n", "run", "all sent (ms)", "sent", "refused", "answered",
                "lost", "last answer (ms)");
    for (int run = 1; run <= repeat; ++run) {
        tally.Reset();
        const Clock::time_point requested = Clock::now();
        liborvaniot_drm_client_probe_scan();
        while (liborvaniot_drm_client_probe_scan_state() != LIBDRM_CLIENT_SCAN_IDLE) std::this_thread::sleep_for(1ms);
        const Clock::time_point sent = Clock::now();
        // Answers are over once a second passes without a new one.
        size_t seen = 0;
        do {
            seen = tally.Senders();
            std::this_thread::sleep_for(1s);
        } while (tally.Senders() != seen);
        const size_t answered = tally.Senders();
        std::printf("%-4d %16.0f %8llu %8llu %10zu %10zu %18.0f\n", run, MsBetween(requested, sent),
                    static_cast<unsigned long long>(liborvaniot_drm_client_probe_sweep_sent()),
                    static_cast<unsigned long long>(liborvaniot_drm_client_probe_sweep_failed()), answered,
                    devices > answered ? devices - answered : 0, MsBetween(requested, tally.Last()));
        std::fflush(stdout);
    }
    liborvaniot_drm_client_probe_listen_stop();
    liborvaniot_drm_client_probe_set_callback(nullptr, nullptr, nullptr);
    liborvaniot_os_finalize();
    return 0;
}
