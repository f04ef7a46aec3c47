# The start the end-to-end scripts share: their arguments (<orvan_finder> <orvan_device_sim>
# <artifact-dir>), the shared helpers, a work folder removed at the end together with every process
# started, the finder's rows read from the file it writes when ORVAN_DUMP_ROWS_TO names one, the
# browser replaced by a script that writes down the URLs it is given, and the clicks on the window.
# Source it first, with check_name set.

usage="usage: $(basename "$0") <orvan_finder> <orvan_device_sim> <artifact-dir>"
finder=${1:?$usage}
sim=${2:?$usage}
artifacts=${3:?$usage}

# shellcheck source=tests/support/helpers.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/helpers.sh"

work=$(mktemp -d)
trap 'stop_sims; stop_finder_and_display; routed_network_down; rm -rf "$work"' EXIT
mkdir -p "$artifacts"
rows_file=$work/rows
record_opened_urls "$work"

# start_finder_with_rows: a virtual screen and the finder on it, once its device list is up; the
# window sits without decoration at (480,270), so window coordinates are the view's client
# coordinates. Ends the script when either does not come up.
start_finder_with_rows() {
    start_virtual_display "$work" || exit 1
    start_finder ORVAN_DUMP_ROWS_TO="$rows_file" "$finder" || exit 1
    wait_for 100 dump_says rows 0 || { fail "the device list did not come up"; exit 1; }
}

click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; }
click_scan() { click 500 29; }
click_web_gui() { click 590 29; }
# Rows are 20 pixels high below the heading; the dump says whether the click chose the row.
click_row() { click 260 $((100 + 20 * $1)); }
