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

# shellcheck source=/dev/null
source "$root/tests/support/wait_for.sh"
# shellcheck source=/dev/null
source "$root/tests/support/test_network.sh"
# shellcheck source=/dev/null
source "$root/tests/support/routed_network.sh"
require_test_network bench_discovery_sweep

devices=1000
work=$(mktemp -d)
sim_pid=
trap 'stop_processes $sim_pid; routed_network_down; rm -rf "$work"' EXIT
routed_network_up 10.8.0.0/22 10.8.0.1/22 10.8.0.2/22 || exit 1
ip netns exec "$device_ns" "$build/tools/drm_device_sim/orvan_device_sim" --interface "$device_if" \
    --base-address 10.8.0.10 --count "$devices" --prefix-len 22 --no-hello --no-bye --no-http \
    --max-delay-ms 100 >"$work/sim.out" 2>&1 &
sim_pid=$!
wait_for 600 grep -q '^ready ' "$work/sim.out" || { echo "simulator: $(cat "$work/sim.out")" >&2; exit 1; }
"$build/bench/discovery/bench_discovery_sweep" 10.8.0.0/22 "$devices" "$@"
