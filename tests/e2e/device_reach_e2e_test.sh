#!/usr/bin/env bash
# Devices a Scan alone would not let a user open, as a user with administrator rights meets them: a
# camera still on its factory address (192.168.1.64/24, beside this computer's 198.18.0.1/16 with
# nothing routing between them), which Web GUI reaches and then opens (its page loads from this
# computer; closing the finder leaves nothing behind), and devices one router away, which every
# Scan finds through the targets the user kept and whose pages open without anything added.
#
#   device_reach_e2e_test.sh <orvan_finder> <orvan_device_sim> <artifact-dir>
#
# Runs only inside a private test network with one peer (netns_run.sh --peers 1), as root.
set -uo pipefail

check_name=reach_e2e
# shellcheck source=tests/e2e/e2e_common.sh
source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
require_test_network reach_e2e
readonly device=192.168.1.64

page_loads() { curl -s -o /dev/null --max-time 2 "http://$device/"; }
# What reaching added: our addresses ("<link>:or") and our routes (protocol 111).
leftovers() { ip -4 -o addr show label '*:or'; ip -4 -o route show proto 111; }
nothing_left() { [[ -z $(leftovers) ]]; }

sim_options=(--max-delay-ms 100 --no-hello)
start_sim 0 --base-address "$device" --prefix-len 24 || exit 1
page_loads && fail "the device's page loads before anything was done"

# Two devices behind a router (peer 1 routes to 10.2.0.0/24), and the targets a user kept earlier.
routed_network_up 10.2.0.0/24 10.2.0.1/24 10.2.0.10/24 || exit 1
start_sim_in "$device_ns" "$device_if" routed --base-address 10.2.0.10 --count 2 --no-http --seed 5 || exit 1
export XDG_CONFIG_HOME=$work/config
mkdir -p "$XDG_CONFIG_HOME/orvan-finder"
echo "10.2.0.0/24" >"$XDG_CONFIG_HOME/orvan-finder/scan-targets"

start_finder_with_rows
click_scan
wait_for 100 dump_says rows 3 || fail "after a Scan the list has $(field rows) rows, expected 3 (the routed ones too)"
for ip in 10.2.0.10 10.2.0.11; do listed "$ip" || fail "$ip behind the router was not listed"; done

# A routed device opens at once: its answer came back through the routes its page uses.
row=$(row_index_of 10.2.0.10)
click_row "$row"
wait_for 50 dump_says selected "$row" || fail "a click on the row of 10.2.0.10 did not choose it"
click_web_gui
wait_for 100 more_urls_than 0 || fail "Web GUI did not open the routed device's page"
[[ $(head -n1 "$urls") == "http://10.2.0.10" ]] || fail "Web GUI opened '$(head -n1 "$urls")'"
nothing_left || fail "opening a routed device added something: $(leftovers)"

row=$(row_index_of "$device")
click_row "$row"
wait_for 50 dump_says selected "$row" || fail "a click on the row of $device did not choose it"
click_web_gui
wait_for 200 more_urls_than 1 || fail "Web GUI opened nothing: $(tail -n5 "$work/finder.err")"
[[ $(tail -n1 "$urls") == "http://$device" ]] || fail "Web GUI opened '$(tail -n1 "$urls")'"
page_loads || fail "the opened page does not load from this computer"
[[ $(ip -4 -o addr show label '*:or' | wc -l) == 1 ]] || fail "not exactly one address added: $(leftovers)"
import -display "$DISPLAY" -window "$wid" "$artifacts/device_reached.png" 2>/dev/null

kill -TERM "$finder_pid"
expect_exit "$finder_pid" SIGTERM && finder_pid=""
cp "$work/finder.err" "$artifacts/finder_reach_stderr.txt"
expect_clean_finish "$work/finder.err"
nothing_left || fail "left behind after the finder closed: $(leftovers)"
page_loads && fail "the page still loads after the finder closed"

end_if_failed "rows=$rows_file" "URLs=$urls" "standard error of the finder=$work/finder.err"
echo "device_reach_e2e_test: passed"
