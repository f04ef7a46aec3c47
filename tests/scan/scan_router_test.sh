#!/usr/bin/env bash
# orvan-scan and cameras one router away: peer 1 of the test network routes (IP forwarding on)
# between this computer's network (198.18.0.0/16) and a device network (10.2.0.0/24) in a namespace
# of its own. Multicast does not cross the router, so a plain scan finds nothing there; --target
# probes each address by unicast and finds every device, each once; bad targets are refused with
# status 2 and a message; targets with no route to them fail the same way.
#
#   scan_router_test.sh <orvan-scan> <orvan_device_sim>      (inside netns_run.sh --peers 1)
#   scan_router_test.sh <orvan-scan.exe> <orvan_device_sim>  (the same under Wine, inside wine_netns.sh)
set -uo pipefail

# shellcheck source=tests/scan/scan_test_common.sh
source "$(dirname "${BASH_SOURCE[0]}")/scan_test_common.sh"
trap 'stop_sims; routed_network_down; rm -rf "$work"' EXIT

devices=20
routed_network_up 10.2.0.0/24 10.2.0.1/24 10.2.0.2/24 || exit 1
# Devices 10.2.0.10 to 10.2.0.29.
start_sim_in "$device_ns" "$device_if" sim --base-address 10.2.0.10 --count "$devices" --prefix-len 24 \
    --no-hello --no-bye --max-delay-ms 50 --no-http || exit 1

launcher=()
[[ $scan == *.exe ]] && launcher=(wine)
run() {
    "${launcher[@]}" "$scan" "$@" >"$work/out" 2>"$work/err"
    status=$?
}

# The addresses of a JSON result, one per line, sorted.
found_ips() {
    python3 -c 'import json, sys
for device in json.load(open(sys.argv[1], encoding="utf-8")): print(device["ip"])' "$work/out" | sort
}
expected_ips() { for n in "$@"; do echo "10.2.0.$n"; done | sort; }

# 1. Multicast alone does not reach the routed network.
run --json --timeout 1
[[ $status == 1 ]] || fail "multicast only: exit status $status, expected 1 (none found): $(cat "$work/out")"

# 2. The whole device network by unicast only: every device, each once.
run --target 10.2.0.0/24 --no-multicast --json
[[ $status == 0 ]] || fail "--target /24: exit status $status: $(cat "$work/err")"
[[ $(found_ips) == "$(expected_ips $(seq 10 29))" ]] ||
    fail "--target /24: found $(found_ips | tr '\n' ' ')"
[[ -s $work/err ]] && fail "--target /24: unexpected messages: $(cat "$work/err")"
grep -q 'to 239.255.255.250' "$work/sim.out" && fail "--no-multicast: a multicast probe reached the devices"

python3 -c 'import json, sys
sys.exit(any(device["reachable"] is not True for device in json.load(open(sys.argv[1], encoding="utf-8"))))' \
    "$work/out" || fail "--target /24: devices behind the router are not marked reachable: $(cat "$work/out")"

# 2b. Such a device is reachable already: --reach adds nothing on the link (it would take the
# device's traffic away from the router).
plain_launcher=("${launcher[@]}")
launcher=(timeout 30 "${launcher[@]}")  # a --reach that added an address would wait for Ctrl+C
run --target 10.2.0.10 --no-multicast --reach 10.2.0.10
launcher=("${plain_launcher[@]}")
[[ $status == 0 ]] || fail "--reach: exit status $status: $(cat "$work/err")"
grep -qF "10.2.0.10 is reachable from this computer already" "$work/err" || fail "--reach: $(cat "$work/err")"
[[ -z $(ip -4 -o addr show label '*:or'; ip -4 -o route show proto 111) ]] || fail "--reach: something was added"

# 3. A range and a single address, with multicast on beside them: exactly the devices named.
run --target 10.2.0.12-10.2.0.15 --target=10.2.0.27 --rate 200 --json
[[ $status == 0 ]] || fail "range and address: exit status $status: $(cat "$work/err")"
[[ $(found_ips) == "$(expected_ips 12 13 14 15 27)" ]] ||
    fail "range and address: found $(found_ips | tr '\n' ' ')"

# 4. The table lists them too.
run --target 10.2.0.10 --no-multicast
[[ $status == 0 ]] || fail "table: exit status $status: $(cat "$work/err")"
grep -q '10\.2\.0\.10' "$work/out" || fail "table: the device is not listed: $(cat "$work/out")"
grep -q 'not reachable' "$work/out" && fail "table: the device is said not to be reachable: $(cat "$work/out")"

# 4b. The unicast socket is accounted for like the others: the runtime's leak report stays empty.
run --target 10.2.0.10-10.2.0.12 --no-multicast --json --debug
[[ $status == 0 ]] || fail "--debug: exit status $status"
grep -i 'leak' "$work/err" && fail "--debug: the runtime reports a leak"
[[ $(found_ips) == "$(expected_ips 10 11 12)" ]] || fail "--debug: found $(found_ips | tr '\n' ' ')"

# 5. Bad targets: status 2, the reason on standard error, nothing probed and nothing printed.
probes_before=$(grep -c '^probe from' "$work/sim.out")
while IFS='|' read -r message args; do
    read -r -a argv <<<"$args"
    run "${argv[@]}"
    [[ $status == 2 ]] || fail "'$args': exit status $status, expected 2"
    grep -qF -- "orvan-scan: $message" "$work/err" || fail "'$args': standard error lacks '$message': $(cat "$work/err")"
    [[ -s $work/out ]] && fail "'$args': printed $(cat "$work/out")"
done <<'CASES'
invalid target '10.2.0.0/33': the prefix length after '/' must be a number from 0 to 32|--target 10.2.0.0/33
invalid target '10.2.0.60-10.2.0.10': the range ends before it starts|--target 10.2.0.60-10.2.0.10
invalid target '10.2.0.300': '10.2.0.300' is not an IPv4 address|--target 10.2.0.300
invalid target '239.255.255.250': multicast, reserved and broadcast addresses|--target 239.255.255.250
the targets hold 131070 addresses, more than 65536: give smaller targets, or --allow-large|--target 10.0.0.0/15 --json
--no-multicast needs at least one --target to ask|--no-multicast
invalid rate '0': give probes a second, a whole number from 1 to 100000|--target 10.2.0.10 --rate 0
CASES
run --target= --json
[[ $status == 2 ]] || fail "empty target: exit status $status, expected 2"
grep -qF "orvan-scan: empty target: give an address" "$work/err" || fail "empty target: $(cat "$work/err")"
[[ $(grep -c '^probe from' "$work/sim.out") == "$probes_before" ]] || fail "a refused command line still probed"

# 6. Targets this computer has no route to: nothing can be asked, and the user is told so.
run --target 203.0.113.5 --no-multicast --timeout 1
[[ $status == 2 ]] || fail "unroutable target: exit status $status, expected 2"
grep -qF "orvan-scan: no probe could be sent to the targets: this computer has no route to them" "$work/err" ||
    fail "unroutable target: $(cat "$work/err")"

# 7. Some targets without a route: the others are still asked, and the user learns how many were not.
run --target 10.2.0.11 --target 203.0.113.5 --no-multicast --json
[[ $status == 0 ]] || fail "partly unroutable targets: exit status $status: $(cat "$work/err")"
[[ $(found_ips) == "$(expected_ips 11)" ]] || fail "partly unroutable targets: found $(found_ips | tr '\n' ' ')"
grep -qF "orvan-scan: 1 of 2 target addresses could not be sent a probe (no route to them?)" "$work/err" ||
    fail "partly unroutable targets: $(cat "$work/err")"

end_if_failed
echo "scan_router_test: all checks passed"
