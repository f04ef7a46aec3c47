#!/usr/bin/env bash
# orvan-scan and a camera still on its factory address (192.168.1.64/24) on the same link as this
# computer (198.18.0.1/16), with nothing routing between the two: without rights, the message that
# says what is wrong and the two ways out; as root, --reach and --open make it reachable (its web
# page loads from here), keep the address until interrupted, and leave nothing behind - after
# Ctrl+C, and after SIGKILL once the address's lifetime is over.
#
#   scan_reach_test.sh <orvan-scan> <orvan_device_sim>      (inside netns_run.sh --peers 1)
set -uo pipefail

# shellcheck source=tests/scan/scan_test_common.sh
source "$(dirname "${BASH_SOURCE[0]}")/scan_test_common.sh"
scan_pid=
trap '[[ -n $scan_pid ]] && kill -KILL "$scan_pid" 2>/dev/null; stop_sims; rm -rf "$work"' EXIT

device=192.168.1.64
lifetime=5
# Starts orvan-scan in the background with fresh output files: the previous run's "press Ctrl+C"
# must not be taken for this run's (the shell truncates the files only once the child runs).
start_scan() {
    : >"$work/out"
    : >"$work/err"
    "$scan" "$@" >"$work/out" 2>"$work/err" &
    scan_pid=$!
}

# The device's page as seen from this computer: true when it loads.
page_loads() { curl -s -o /dev/null --max-time 2 "http://$device/"; }
# The device's "reachable" field in a scan's JSON output.
reachable_in_scan() {
    "$scan" --json --timeout 3 2>/dev/null |
        python3 -c 'import json,sys; print(*[str(d["reachable"]).lower() for d in json.load(sys.stdin) if d["ip"]==sys.argv[1]])' "$device"
}
# What reaching added: our addresses ("<link>:or") and our routes (protocol 111).
leftovers() { ip -4 -o addr show label '*:or'; ip -4 -o route show proto 111; }
nothing_left() { [[ -z $(leftovers) ]]; }

start_sim 0 --base-address "$device" --prefix-len 24 --max-delay-ms 100 || exit 1
page_loads && fail "the device's page loads before anything was done"
[[ $(reachable_in_scan) == false ]] || fail "a scan does not mark the device unreachable: '$(reachable_in_scan)'"

# 1. Without rights: nothing changes, and the user learns what is wrong and what to do.
setpriv --reuid=nobody --regid=nogroup --clear-groups "$scan" --reach "$device" >"$work/out" 2>"$work/err"
status=$?
[[ $status == 2 ]] || fail "without rights: exit status $status, expected 2 ($(cat "$work/err"))"
for text in "$device is on another network than this computer" "198.18.0.1/16 on $ORVAN_NETNS_FINDER_IF" \
    "run orvan-scan as administrator" "give the device an address in one of this computer's networks"; do
    grep -qF -- "$text" "$work/err" || fail "without rights: standard error lacks '$text': $(cat "$work/err")"
done
nothing_left || fail "without rights, something was added: $(leftovers)"

# 2. --reach as root, then Ctrl+C.
start_scan --reach "$device"
wait_for 200 grep -q "press Ctrl+C" "$work/err" || fail "--reach: no word of the kept address: $(cat "$work/err")"
grep -q "reached through 192.168.1." "$work/err" || fail "--reach: the address used is not named: $(cat "$work/err")"
page_loads || fail "--reach: the device's page does not load"
[[ $(reachable_in_scan) == true ]] || fail "--reach: a scan meanwhile does not find the device reachable"
[[ $(ip -4 -o addr show label '*:or' | wc -l) == 1 ]] || fail "--reach: not exactly one address added: $(leftovers)"
sleep $((lifetime + 2))
page_loads || fail "--reach: the address was not kept alive"
kill -INT "$scan_pid"
wait "$scan_pid"
status=$?
scan_pid=
[[ $status == 0 ]] || fail "--reach: exit status $status after Ctrl+C"
nothing_left || fail "--reach: left behind after Ctrl+C: $(leftovers)"
page_loads && fail "--reach: the page still loads after the end"

# 3. --open as root: reached, opened, kept until interrupted.
record_opened_urls "$work"
start_scan --open "$device"
wait_for 200 grep -q "press Ctrl+C" "$work/err" || fail "--open: no word of the kept address: $(cat "$work/err")"
[[ $(cat "$urls") == "http://$device" ]] || fail "--open: opened '$(cat "$urls")'"
page_loads || fail "--open: the opened page does not load"
kill -TERM "$scan_pid"
wait "$scan_pid"
scan_pid=
nothing_left || fail "--open: left behind after the end: $(leftovers)"

# 4. A killed run: the address expires and takes its routes with it.
start_scan --reach "$device"
wait_for 200 grep -q "press Ctrl+C" "$work/err" || fail "killed run: not reached: $(cat "$work/err")"
kill -KILL "$scan_pid"
wait "$scan_pid" 2>/dev/null
scan_pid=
nothing_left && fail "killed run: nothing was there to expire"
wait_for $(((lifetime + 3) * 10)) nothing_left || fail "killed run: left behind after the lifetime: $(leftovers)"

end_if_failed
echo "scan_reach_test: passed"
