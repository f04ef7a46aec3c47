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

if [[ -z ${ORVAN_NETNS_ID:-} ]]; then
    echo "scan_bench: refusing to run outside a test network (run it through tests/netns/netns_run.sh)" >&2
    exit 1
fi
read -r -a peers <<<"$ORVAN_NETNS_PEERS"
read -r -a peer_ifs <<<"$ORVAN_NETNS_PEER_IFS"

work=$(mktemp -d)
chmod 755 "$work"
sim_pid=""
trap '[[ -n $sim_pid ]] && kill -TERM "$sim_pid" 2>/dev/null && wait "$sim_pid"; rm -rf "$work"' EXIT
# shellcheck source=/dev/null
source "$(dirname "${BASH_SOURCE[0]}")/../../tests/support/wait_for.sh"

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
    ip netns exec "${peers[0]}" "$sim" --interface "${peer_ifs[0]}" --base-address 198.18.1.10 --count "$count" \
        --no-hello --no-bye --no-http --max-delay-ms 500 >"$work/sim.out" 2>&1 &
    sim_pid=$!
    wait_for 600 grep -q '^ready ' "$work/sim.out" || { echo "simulator: $(cat "$work/sim.out")" >&2; exit 1; }
    for rights in root unprivileged; do
        as_user=()
        [[ $rights == unprivileged ]] && as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
        for ((r = 1; r <= repeats; r++)); do
            read -r seconds listed status < <(run_once)
            printf '%-8s %-22s %-4s %16s %8s %6s\n' "$count" "$rights" "$r" "$seconds" "$listed" "$status"
        done
    done
    kill -TERM "$sim_pid"
    wait "$sim_pid"
    sim_pid=""
done
