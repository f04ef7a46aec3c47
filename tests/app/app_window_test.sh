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
readonly title="Selvani Version 1.2.7.0"

fail() { echo "FAIL: $*" >&2; failed=1; }
note() { echo "app_window_test: $*" >&2; }

if [[ -z ${ORVAN_NETNS_ID:-} ]]; then
    echo "app_window_test: refusing to start the finder outside a test network (run it through netns_run.sh)" >&2
    exit 1
fi

work=$(mktemp -d)
xvfb_pid=""
finder_pid=""
failed=0
cleanup() {
    [[ -n $finder_pid ]] && kill -KILL "$finder_pid" 2>/dev/null
    [[ -n $xvfb_pid ]] && kill -TERM "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$artifacts"

# shellcheck source=/dev/null
source "$(dirname "${BASH_SOURCE[0]}")/../support/wait_for.sh"

# 1. Without a display the program says what to do and ends.
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$finder" >"$work/nodisplay.out" 2>"$work/nodisplay.err"
status=$?
[[ $status -eq 1 ]] || fail "without a display the exit status is $status, expected 1"
grep -q "^no display: set DISPLAY or run under Xvfb" "$work/nodisplay.err" ||
    fail "without a display the message is: $(cat "$work/nodisplay.err")"

# 2. A virtual screen of 1920 by 1080 on the first free display number.
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.err" &
xvfb_pid=$!
wait_for 100 test -s "$work/display" || { note "Xvfb did not start: $(cat "$work/xvfb.err")"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"
note "Xvfb on $DISPLAY"

# 3. The program, until its window is up and its first paint happened.
ORVAN_REPORT_FIRST_PAINT=1 "$finder" >"$work/finder.out" 2>"$work/finder.err" &
finder_pid=$!
window_up() { xdotool search --name "^$title\$" >"$work/wid" 2>/dev/null && test -s "$work/wid"; }
if ! wait_for 600 window_up; then
    fail "no window titled '$title' within 60 s"
else
    wid=$(head -n1 "$work/wid")
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
    for ((i = 0; i < 300; i++)); do kill -0 "$finder_pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$finder_pid" 2>/dev/null; then
        fail "still running 30 s after SIGTERM"
    else
        wait "$finder_pid"
        status=$?
        [[ $status -eq 0 ]] || fail "exit status after SIGTERM is $status, expected 0"
    fi
else
    wait "$finder_pid"
    fail "the program ended on its own with status $?"
fi
finder_pid=""

cp "$work/finder.err" "$artifacts/finder_stderr.txt"
cp "$work/finder.out" "$artifacts/finder_stdout.txt"
grep -q "liborvaniot_core_cms_finalize:Ok\." "$work/finder.err" || fail "no 'liborvaniot_core_cms_finalize:Ok.' line"
if grep -qi "leak" "$work/finder.err"; then
    fail "leak lines on standard error:"
    grep -i "leak" "$work/finder.err" | head -20 >&2
fi

if ((failed)); then
    echo "--- standard error of the finder ---" >&2
    tail -40 "$work/finder.err" >&2
    exit 1
fi
echo "app_window_test: passed"
