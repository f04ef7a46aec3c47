#!/usr/bin/env bash
# Unicast probes to a /22 one router away holding 1,000 simulated devices: builds that network inside
# a private test network (needs root) and runs bench_discovery_sweep there, which prints the time to
# probe every address at the default rate and the devices that answered.
#
#   bench_discovery_sweep.sh [build-dir] [--rate N] [--repeat R]
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$root/build
if [[ $# -gt 0 && $1 != --* ]]; then
    build=$(cd "$1" && pwd)
    shift
fi

if [[ -z ${ORVAN_NETNS_ID:-} ]]; then
    exec "$root/tests/netns/netns_run.sh" --peers 1 --timeout 600 -- "${BASH_SOURCE[0]}" "$build" "$@"
fi

# shellcheck source=tests/support/helpers.sh
source "$root/tests/support/helpers.sh"
require_test_network bench_discovery_sweep

devices=1000
work=$(mktemp -d)
sim=$build/tools/drm_device_sim/orvan_device_sim
trap 'stop_sims; routed_network_down; rm -rf "$work"' EXIT
routed_network_up 10.8.0.0/22 10.8.0.1/22 10.8.0.2/22 || exit 1
start_sim_in "$device_ns" "$device_if" sim --base-address 10.8.0.10 --count "$devices" --prefix-len 22 --no-hello \
    --no-bye --no-http --max-delay-ms 100 || exit 1
"$build/bench/discovery/bench_discovery_sweep" 10.8.0.0/22 "$devices" "$@"
