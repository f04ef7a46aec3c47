#!/usr/bin/env bash
# orvan-scan against many simulated devices: the time from start to exit and the devices listed,
# as root (with the link-local set-up) and without administrator rights. Prints figures; asserts
# nothing about time.
#
#   scan_bench.sh <orvan-scan> <orvan_device_sim> [repeats] [device counts...]
#
# Runs only inside a private test network with one peer (netns_run.sh --peers 1); defaults: 3
# repeats of 1,000 devices. The devices answer with a random delay of up to 500 ms, as real ones may.
set -uo pipefail

scan=${1:?usage: scan_bench.sh <orvan-scan> <orvan_device_sim> [repeats] [counts...]}
sim=${2:?usage: scan_bench.sh <orvan-scan> <orvan_device_sim> [repeats] [counts...]}
repeats=${3:-3}
shift $(($# < 3 ? $# : 3))
counts=("$@")
((${#counts[@]})) || counts=(1000)

# shellcheck source=tests/support/helpers.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../tests/support/helpers.sh"
require_test_network scan_bench

work=$(mktemp -d)
chmod 755 "$work"
trap 'stop_sims; rm -rf "$work"' EXIT

# One run: "<seconds> <devices listed> <exit status>".
run_once() {
    local start end listed status
    start=${EPOCHREALTIME/[.,]/}
    "${as_user[@]}" "$scan" --json >"$work/out" 2>"$work/err"
    status=$?
    end=${EPOCHREALTIME/[.,]/}
    listed=$(python3 -c 'import json, sys; print(len(json.load(open(sys.argv[1]))))' "$work/out" 2>/dev/null || echo 0)
    awk -v us=$((end - start)) -v n="$listed" -v s="$status" 'BEGIN { printf "%.2f %d %d\n", us / 1e6, n, s }'
}

printf '%-8s %-22s %-4s %16s %8s %6s\n' devices rights run "start -> exit (s)" listed status
for count in "${counts[@]}"; do
    start_sim 0 --base-address 198.18.1.10 --count "$count" --no-hello --no-bye --no-http --max-delay-ms 500 || exit 1
    for rights in root unprivileged; do
        as_user=()
        [[ $rights == unprivileged ]] && as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
        for ((r = 1; r <= repeats; r++)); do
            read -r seconds listed status < <(run_once)
            printf '%-8s %-22s %-4s %16s %8s %6s\n' "$count" "$rights" "$r" "$seconds" "$listed" "$status"
        done
    done
    stop_sims
done
