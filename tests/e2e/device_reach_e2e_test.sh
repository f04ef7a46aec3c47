#!/usr/bin/env bash
# Web GUI on a camera still on its factory address (192.168.1.64/24, beside this computer's
# 198.18.0.1/16 with nothing routing between them), as a user with administrator rights meets it:
# the finder lists it, the status says it is not reachable from here, Web GUI reaches it and opens
# its page (which then loads from this computer), and closing the finder leaves nothing behind.
#
#   device_reach_e2e_test.sh <orvan_finder> <orvan_device_sim> <artifact-dir>
#
# Runs only inside a private test network with one peer (netns_run.sh --peers 1), as root.
set -uo pipefail

finder=${1:?usage: device_reach_e2e_test.sh <orvan_finder> <orvan_device_sim> <artifact-dir>}
sim=${2:?usage: device_reach_e2e_test.sh <orvan_finder> <orvan_device_sim> <artifact-dir>}
artifacts=${3:?usage: device_reach_e2e_test.sh <orvan_finder> <orvan_device_sim> <artifact-dir>}
readonly title="Selvani Version 1.2.7.0"
readonly device=192.168.1.64

support=$(dirname "${BASH_SOURCE[0]}")/../support
check_name=reach_e2e
# shellcheck source=/dev/null
source "$support/checks.sh"
# shellcheck source=/dev/null
source "$support/wait_for.sh"
# shellcheck source=/dev/null
source "$support/test_network.sh"
require_test_network reach_e2e

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill -TERM "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$artifacts"

# shellcheck source=/dev/null
source "$support/row_dump.sh"
rows_file=$work/rows
# shellcheck source=/dev/null
source "$support/url_handler.sh"
record_opened_urls "$work"

page_loads() { curl -s -o /dev/null --max-time 2 "http://$device/"; }
# What reaching added: our addresses ("<link>:or") and our routes (protocol 111).
leftovers() { ip -4 -o addr show label '*:or'; ip -4 -o route show proto 111; }
nothing_left() { [[ -z $(leftovers) ]]; }

ip netns exec "${peers[0]}" "$sim" --interface "${peer_ifs[0]}" --base-address "$device" --prefix-len 24 \
    --max-delay-ms 100 --no-hello >"$work/sim.out" 2>&1 &
pids+=($!)
wait_for 100 grep -q '^ready ' "$work/sim.out" || { fail "simulator: $(cat "$work/sim.out")"; exit 1; }
page_loads && fail "the device's page loads before anything was done"

# shellcheck source=/dev/null
source "$support/virtual_display.sh"
start_virtual_display "$work" || exit 1
pids+=("$xvfb_pid")
ORVAN_DUMP_ROWS_TO=$rows_file "$finder" >"$work/finder.out" 2>"$work/finder.err" &
finder_pid=$!
pids+=("$finder_pid")
wid=$(find_window "$title" 600) || { fail "no window titled '$title'"; exit 1; }
wait_for 100 dump_says rows 0 || { fail "the device list did not come up"; exit 1; }

click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; }
click 500 29  # Scan
wait_for 100 dump_says rows 1 || fail "the device on the other network was not listed"
click 260 100  # its row
wait_for 50 dump_says selected 0 || fail "a click on the row did not choose it"
click 590 29  # Web GUI
wait_for 200 more_urls_than 0 || fail "Web GUI opened nothing: $(tail -n5 "$work/finder.err")"
[[ $(head -n1 "$urls") == "http://$device" ]] || fail "Web GUI opened '$(head -n1 "$urls")'"
page_loads || fail "the opened page does not load from this computer"
[[ $(ip -4 -o addr show label '*:or' | wc -l) == 1 ]] || fail "not exactly one address added: $(leftovers)"
import -display "$DISPLAY" -window "$wid" "$artifacts/device_reached.png" 2>/dev/null

kill -TERM "$finder_pid"
expect_exit "$finder_pid" SIGTERM
cp "$work/finder.err" "$artifacts/finder_reach_stderr.txt"
expect_clean_finish "$work/finder.err"
nothing_left || fail "left behind after the finder closed: $(leftovers)"
page_loads && fail "the page still loads after the finder closed"

end_if_failed "rows=$rows_file" "URLs=$urls" "standard error of the finder=$work/finder.err"
echo "device_reach_e2e_test: passed"
