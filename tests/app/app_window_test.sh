#!/usr/bin/env bash
# The finder program on a virtual display: its window, a screenshot, and a clean end on SIGTERM.
#
#   app_window_test.sh <orvan_finder> <artifact-dir>
#
# Runs inside a private test network (the core may add a link-local address as root); refuses to
# run anywhere else. Starts its own Xvfb on a free display and stops everything it started.
set -uo pipefail

finder=${1:?usage: app_window_test.sh <orvan_finder> <artifact-dir>}
artifacts=${2:?usage: app_window_test.sh <orvan_finder> <artifact-dir>}

check_name=app_window_test
# shellcheck source=tests/support/helpers.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/helpers.sh"
require_test_network app_window_test

work=$(mktemp -d)
trap 'stop_finder_and_display; rm -rf "$work"' EXIT
mkdir -p "$artifacts"

# 1. Without a display the program says what to do and ends.
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$finder" >"$work/nodisplay.out" 2>"$work/nodisplay.err"
status=$?
[[ $status -eq 1 ]] || fail "without a display the exit status is $status, expected 1"
grep -q "^no display: set DISPLAY or run under Xvfb" "$work/nodisplay.err" ||
    fail "without a display the message is: $(cat "$work/nodisplay.err")"

# 2. A virtual screen of 1920 by 1080 on the first free display number.
start_virtual_display "$work" || exit 1
note "Xvfb on $DISPLAY"

# 3. The program, until its window is up and its first paint happened.
if ! start_finder ORVAN_REPORT_FIRST_PAINT=1 "$finder"; then
    fail "the finder's window did not come up"
else
    wait_for 100 grep -q '^first-paint-unix-us ' "$work/finder.out" || fail "no first paint reported"
    sleep 0.5
    xwininfo -id "$wid" >"$work/xwininfo"
    width=$(awk '/^  Width:/ {print $2}' "$work/xwininfo")
    height=$(awk '/^  Height:/ {print $2}' "$work/xwininfo")
    left=$(awk '/Absolute upper-left X:/ {print $4}' "$work/xwininfo")
    top=$(awk '/Absolute upper-left Y:/ {print $4}' "$work/xwininfo")
    # Without a window manager the client area is the whole window.
    [[ $width == 960 && $height == 540 ]] || fail "client area is ${width}x${height}, expected 960x540"
    [[ $left == 480 && $top == 270 ]] || fail "window at ($left,$top), expected centred at (480,270)"
    import -display "$DISPLAY" -window root "$artifacts/finder_screen.png" ||
        fail "no screenshot"
    import -display "$DISPLAY" -window "$wid" "$artifacts/finder_window.png" 2>/dev/null
    note "screenshots in $artifacts"
fi

# 4. SIGTERM closes the window through its normal close path.
if kill -0 "$finder_pid" 2>/dev/null; then
    kill -TERM "$finder_pid"
    expect_exit "$finder_pid" SIGTERM
else
    wait "$finder_pid"
    fail "the program ended on its own with status $?"
fi
finder_pid=""

cp "$work/finder.err" "$artifacts/finder_stderr.txt"
cp "$work/finder.out" "$artifacts/finder_stdout.txt"
expect_clean_finish "$work/finder.err"

end_if_failed "standard error of the finder=$work/finder.err"
echo "app_window_test: passed"
