#!/usr/bin/env bash
# The window tour: the finder's shell, navigator and screens in a real window on a virtual display.
# It visits every screen of the activity table and keeps a screenshot of each, presses Prev, a
# radio box, OK and a GPIO pin by mouse, runs one settings write that gives up on the
# connect-error screen, and checks that the window closes cleanly with no leak lines.
#
#   window_tour_test.sh <orvan_window_tour> <orvan_tour_sheet> <artifact-dir>
#
# Runs only inside a private test network (the core and the device list open sockets). The tour
# program is steered through its standard input (tests/tour/tour_control.h).
set -uo pipefail

tour=${1:?usage: window_tour_test.sh <orvan_window_tour> <orvan_tour_sheet> <artifact-dir>}
sheet=${2:?usage: window_tour_test.sh <orvan_window_tour> <orvan_tour_sheet> <artifact-dir>}
artifacts=${3:?usage: window_tour_test.sh <orvan_window_tour> <orvan_tour_sheet> <artifact-dir>}

check_name=window_tour
# shellcheck source=tests/support/helpers.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/helpers.sh"
require_test_network window_tour

work=$(mktemp -d)
trap 'exec 4>&-; stop_finder_and_display; rm -rf "$work"' EXIT
rm -rf "$artifacts/screens"
mkdir -p "$artifacts/screens"

start_virtual_display "$work" || exit 1
note "Xvfb on $DISPLAY"

# --- The tour program, steered through a pipe; it answers on its standard output.
out=$work/finder.out
mkfifo "$work/control"
# Should the program die, a write to its pipe fails instead of ending this script unreported.
trap '' PIPE
launch_finder --input "$work/control" "$tour"
exec 4>"$work/control"
send() { echo "$*" >&4; }
lines() { wc -l <"$out"; }
# Whether a line equal to $2 came after the first $1 lines of the output.
said_after() { tail -n +"$(($1 + 1))" "$out" | grep -qx -- "$2"; }
# The last line after the first $1 lines that starts with $2.
answer_after() { tail -n +"$(($1 + 1))" "$out" | grep -- "^$2" | tail -n1; }
answered() { [[ -n $(answer_after "$1" "$2") ]]; }
# Sends a command and prints the program's answer to it (the line that starts with its name).
ask() {
    local mark word=${1%% *}
    mark=$(lines)
    send "$1"
    wait_for 50 answered "$mark" "$word" || return 1
    answer_after "$mark" "$word"
}
record_field() { ask record | tr ' ' '\n' | sed -n "s/^$1=//p"; }
mode_set_is() { [[ $(record_field gateway_mode_set) == "$1" ]]; }

await_finder_window || exit 1
wait_for 300 said_after 0 "screen 1001" || { fail "the start screen did not come up"; exit 1; }
read -r -a table <<<"$(sed -n 's/^table //p' "$out")"
note "window $wid; ${#table[@]} screens in the table"
((${#table[@]} == 55)) || fail "the table lists ${#table[@]} screens, expected 55"

# Requests screen $1 and waits until it is the current one.
go_to() {
    local mark
    mark=$(lines)
    send "go $1"
    wait_for 100 said_after "$mark" "screen $1"
}
# Waits until screen $2 became current after the first $1 lines.
reached() { wait_for "${3:-100}" said_after "$1" "screen $2"; }
shot() {
    # The navigator has switched; give the window its paint before the picture is taken.
    sleep 0.3
    import -display "$DISPLAY" -window "$wid" "$1" 2>/dev/null || fail "no screenshot $1"
}
click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; }
# The Prev button stands at (10, 10) and is 114 by 30 on every management screen.
click_prev() { click 67 25; }

# --- 1. Every screen of the table, one screenshot each. The welcome screen closes the program
# when it is shown a second time, so it is visited once only, like every other screen.
for id in "${table[@]}"; do
    if go_to "$id"; then
        shot "$artifacts/screens/$id.png"
    else
        fail "screen $id did not become current"
    fi
done

# --- 2. Prev on a settings menu leads to the start screen.
go_to 1006 || fail "settings menu 1006 did not come up"
mark=$(lines)
click_prev
reached "$mark" 1001 || fail "Prev on settings menu 1006 did not lead to the start screen"

# --- 3. A radio box and OK on the gateway guard page: the write screen gives up after the short
# fail timeout and shows the connect-error screen.
[[ $(ask "fail_timeout 2") == "fail_timeout 2" ]] || fail "the fail timeout was not taken"
go_to 112 || fail "gateway guard page 112 did not come up"
mode_set_is 1 || fail "an unknown security mode does not start at ON"
# SECURITY MODE is row 1 (labels at y 35, radio boxes 7 pixels higher); OFF is its second box.
click 419 43
wait_for 50 mode_set_is 0 || fail "the OFF radio box did not set the mode to 0"
shot "$artifacts/112_security_off.png"
mark=$(lines)
click 373 405  # OK, centred under the background
reached "$mark" 1010 || fail "OK on page 112 did not open the settings write"
reached "$mark" 1004 100 || fail "the settings write did not give up on the connect-error screen"
shot "$artifacts/1004_after_write.png"
[[ $(ask record) == "record page_id=112 pending=1006 return=1006 "* ]] ||
    fail "after OK on page 112 the record says: $(ask record)"

# --- 4. Prev on the connect-error screen leads to the start screen.
mark=$(lines)
click_prev
reached "$mark" 1001 || fail "Prev on the connect-error screen did not lead to the start screen"

# --- 5. SET of GPIO pin 5 (first column, sixth row: radio boxes at y = 100 + 5 x 30, SET at x 130)
# hands over to the settings write with the pin's command.
go_to 701 || fail "the GPIO page did not come up"
mark=$(lines)
click 145 265
reached "$mark" 1010 || fail "SET of pin 5 did not open the settings write"
[[ $(ask record) == "record page_id=701 pending=701 return="*" command_code=1005 command_arg=1 "* ]] ||
    fail "after SET of pin 5 the record says: $(ask record)"
reached "$mark" 1004 100 || fail "the GPIO write did not give up on the connect-error screen"

# --- 6. Prev on the GPIO page leads to the start screen.
go_to 701 || fail "the GPIO page did not come up again"
mark=$(lines)
click_prev
reached "$mark" 1001 || fail "Prev on the GPIO page did not lead to the start screen"

# --- 7. The contact sheet of every screen, in table order.
shots=()
for id in "${table[@]}"; do [[ -s $artifacts/screens/$id.png ]] && shots+=("$artifacts/screens/$id.png"); done
((${#shots[@]} == ${#table[@]})) || fail "${#shots[@]} screenshots for ${#table[@]} screens"
if ((${#shots[@]})); then
    "$sheet" "$artifacts/contact_sheet.png" "${shots[@]}" || fail "no contact sheet"
fi

# --- 8. The window closes through its normal path; the runtime reports no leak.
if grep -q '^error' "$out"; then fail "the tour program did not understand: $(grep '^error' "$out")"; fi
send quit
exec 4>&-
expect_exit "$finder_pid" quit && finder_pid=""
cp "$work/finder.err" "$artifacts/tour_stderr.txt"
cp "$out" "$artifacts/tour_stdout.txt"
expect_clean_finish "$work/finder.err"

end_if_failed "standard error of the tour program=$work/finder.err"
note "screenshots in $artifacts/screens, contact sheet $artifacts/contact_sheet.png"
echo "window_tour_test: passed"
