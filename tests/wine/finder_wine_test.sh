#!/usr/bin/env bash
# The Windows finder under Wine, as a user meets it: its window on a virtual display, simulated
# devices (Linux programs in the peer namespaces) announcing themselves and answering a Scan
# clicked with xdotool, rows chosen by mouse and arrow key, Web GUI handing the device's page to
# the desktop's URL handler (https for a secure model, http otherwise), a screenshot, and a close
# through the window's own path that ends with the runtime's clean-finish line and no leak lines.
#
#   finder_wine_test.sh <orvan_finder.exe> <orvan_device_sim> <artifact-dir>
#   (inside netns_run.sh --peers 2 -- wine_netns.sh, which runs the Wine server in this network)
set -uo pipefail

finder=${1:?usage: finder_wine_test.sh <orvan_finder.exe> <orvan_device_sim> <artifact-dir>}
sim=${2:?usage: finder_wine_test.sh <orvan_finder.exe> <orvan_device_sim> <artifact-dir>}
artifacts=${3:?usage: finder_wine_test.sh <orvan_finder.exe> <orvan_device_sim> <artifact-dir>}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
check_name=finder_wine_test
# shellcheck source=tests/support/helpers.sh
source "$here/../support/helpers.sh"
# shellcheck source=tests/wine/wine_env.sh
source "$here/wine_env.sh"
require_test_network finder_wine_test 2

work=$(mktemp -d)
trap 'stop_sims; stop_finder_and_display; rm -rf "$work"' EXIT
mkdir -p "$artifacts"
sim_options=(--max-delay-ms 200 --no-http)

# --- The rows, from the file the finder writes when ORVAN_DUMP_ROWS_TO names one (a Windows path).
rows_file=$work/rows

# --- The browser: a stand-in that writes down the URLs it is given.
record_opened_urls "$work"

# --- The devices: a secure model and a device without a model in peer 0, another model in peer 1
# that stays silent until asked.
declare -A expected_url=(
    [198.18.1.9]=https://198.18.1.9
    [198.18.1.11]=http://198.18.1.11
    [198.18.2.10]=http://198.18.2.10
)
cat >"$work/devices_a" <<'DEVICES'
address=198.18.1.9; model=SLV-IPC4210; name=Side Door; location=Floor 2
address=198.18.1.11; hardware-scope=no; name=Gate; location=Yard
DEVICES
cat >"$work/devices_b" <<'DEVICES'
address=198.18.2.10; model=CAM-9; name=Annex; location=Shed
DEVICES

# --- The window on a virtual display. No window manager: the X window is the client area.
start_virtual_display "$work" || exit 1
note "Xvfb on $DISPLAY"
# Wine ties its desktop to the display of whoever starts the prefix's server: the one started for
# this network had none, so it is started again (in this network still) on the virtual display.
wine_server_stop
wine_server_start || exit 1
start_finder ORVAN_DUMP_ROWS_TO="$(winepath -w "$rows_file")" wine "$finder" || exit 1
wait_for 300 dump_says rows 0 || { fail "the device list did not come up"; exit 1; }
xwininfo -id "$wid" >"$work/xwininfo"
size=$(awk '/^  Width:/ { w = $2 } /^  Height:/ { h = $2 } END { print w "x" h }' "$work/xwininfo")
[[ $size == 960x540 ]] || fail "client area is $size, expected 960x540"

click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; }
click_scan() { click 500 29; }
click_web_gui() { click 590 29; }
# Row heights differ between list views: the first row is clicked, the others reached by arrow key.
click_first_row() { click 260 100; }

# 1. Devices that say Hello are listed without a Scan.
start_sim 0 --devices "$work/devices_a" || exit 1
wait_for 150 dump_says rows 2 || fail "after the Hellos the list has $(field rows) rows, expected 2"

# 2. Scan lists every device that answers, the silent one too.
start_sim 1 --devices "$work/devices_b" --no-hello || exit 1
click_scan
wait_for 100 dump_says scans 1 || fail "the click on Scan did not reach the list"
wait_for 150 dump_says rows 3 || fail "after Scan the list has $(field rows) rows, expected 3"

# 3. Each row, chosen by a click or the Down key, opens its page with the scheme its model asks for.
open_chosen_row() {  # <row>: Web GUI on the chosen row opens that device's page
    local ip before opened
    ip=$(ip_of_row "$1")
    before=$(url_count)
    click_web_gui
    wait_for 100 more_urls_than "$before" || { fail "Web GUI on row $1 ($ip) opened nothing"; return; }
    # Wine adds a slash to a URL without a path.
    opened=$(tail -n1 "$urls")
    [[ ${opened%/} == "${expected_url[$ip]:-none}" ]] || fail "Web GUI on $ip opened '$opened', expected '${expected_url[$ip]:-}'"
}
click_first_row
wait_for 50 dump_says selected 0 || fail "a click on the first row did not choose it"
open_chosen_row 0
for row in 1 2; do
    xdotool key --window "$wid" Down
    wait_for 50 dump_says selected "$row" || { fail "the Down key did not choose row $row"; continue; }
    open_chosen_row "$row"
done
sort -u "$urls" | sed 's:/$::' >"$work/opened"
[[ $(wc -l <"$work/opened") -eq 3 ]] || fail "Web GUI opened [$(paste -sd' ' "$work/opened")], expected the three devices"
import -display "$DISPLAY" -window "$wid" "$artifacts/finder_window.png" 2>/dev/null || fail "no screenshot"
cp "$rows_file" "$artifacts/rows.txt"

# 4. The window closes through its own path (WM_CLOSE; SIGTERM would kill a Wine program outright).
wine taskkill /im "$(basename "$finder")" >/dev/null 2>&1
expect_exit "$finder_pid" "WM_CLOSE" && finder_pid=""
cp "$work/finder.err" "$artifacts/finder_stderr.txt"
expect_clean_finish "$work/finder.err"

end_if_failed "rows=$rows_file" "URLs=$urls" "standard error of the finder=$work/finder.err"
note "screenshot $artifacts/finder_window.png"
echo "finder_wine_test: passed"
