# Shell helpers for the scripts that drive a window on a virtual display. Source wait_for.sh first.

xvfb_pid=""

# start_virtual_display <work-dir> [<width>x<height>x<depth>]: an Xvfb (1920x1080x24 unless given)
# on the first free display number, with DISPLAY, QT_QPA_PLATFORM and a private XDG_RUNTIME_DIR
# exported for the programs started after it. Sets xvfb_pid (stop_virtual_display ends it); fails
# when the server does not come up.
start_virtual_display() {
    local work=$1 screen=${2:-1920x1080x24}
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.err" &
    xvfb_pid=$!
    if ! wait_for 100 test -s "$work/display"; then
        echo "Xvfb did not start: $(cat "$work/xvfb.err")" >&2
        return 1
    fi
    export DISPLAY=":$(head -n1 "$work/display")" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work/runtime
    unset WAYLAND_DISPLAY
    mkdir -m 0700 "$XDG_RUNTIME_DIR"
}

# stop_virtual_display: ends the Xvfb started here, if any, and waits for it.
stop_virtual_display() {
    [[ -n $xvfb_pid ]] || return 0
    kill -TERM "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
}

# find_window <title> <tenths>: prints the id of the window with exactly that title once it is
# up, waiting at most <tenths> tenths of a second.
find_window() {
    local title=$1 tenths=$2 wid
    for ((i = 0; i < tenths; i++)); do
        wid=$(xdotool search --name "^$title\$" 2>/dev/null | head -n1)
        [[ -n $wid ]] && { echo "$wid"; return 0; }
        sleep 0.1
    done
    return 1
}
