#!/usr/bin/env bash
# Runs bench_discovery_probe inside a private test network with one peer namespace for the simulated
# devices (needs root). Usage: bench_discovery_probe.sh [build-dir] [--repeat R]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$root/build
if [[ $# -gt 0 && $1 != --* ]]; then
    build=$(cd "$1" && pwd)
    shift
fi
exec "$root/tests/netns/netns_run.sh" --peers 1 --timeout 1200 -- \
    "$build/bench/discovery/bench_discovery_probe" "$@"
