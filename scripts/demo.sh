#!/usr/bin/env bash
# See the finder work without any hardware: a few simulated devices and the finder run together in
# a private, throw-away test network (network namespaces), so nothing reaches your real network.
#
#   sudo scripts/demo.sh
#
# With a desktop (DISPLAY set; keep it through sudo with
# `sudo --preserve-env=DISPLAY,XAUTHORITY scripts/demo.sh`) the window opens on your screen: press
# Scan, pick a row, press Web GUI. Without one the window runs on a virtual screen, the demo presses
# Scan itself and keeps a screenshot up to date; its path is printed. Web GUI does not start a
# browser here (the devices live in the test network): the address it would open is printed.
# Besides the devices on the finder's own network there are three behind a router (10.2.0.0/24,
# which every Scan also asks: see "Scan addresses..." in the list's right-click menu) and a camera
# still on its factory address (192.168.1.64/24: choose it and press Web GUI, which reaches it
# first). Ctrl+C ends everything and removes the test network.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
self=$top/scripts/demo.sh

say() { echo "demo: $*"; }

# ------------------------------------------------------------------------------------------------
# Inside the test network (started by the part below through netns_run.sh).
if [[ ${1:-} == --in-test-network ]]; then
    finder=$2 sim=$3 work=$4
    # shellcheck source=tests/support/helpers.sh
    source "$top/tests/support/helpers.sh"
    require_test_network demo 2
    echo_pid=""
    finish() {
        trap - INT TERM EXIT
        set +e
        stop_processes $echo_pid
        stop_sims
        stop_finder_and_display
    }
    trap finish EXIT
    trap 'exit 0' INT TERM

    cat >"$work/devices" <<'EOF'
address=198.18.1.10; model=SLV-IPC4210; name=Lobby Camera; location=Floor 1
address=198.18.1.11; model=SLV-GW1100; name=Gateway; location=Server Room
address=198.18.1.12; model=Selvani Indoor Cube; name=Café Corner; location=Hall B
address=198.18.1.13; model=SIM-CAM100; name=Parking; location=Outside
address=198.18.1.14; hardware-scope=no; name=Old Box; location=Storage
EOF
    # The browser: Web GUI's address is printed rather than opened.
    mkdir -p "$work/bin"
    cat >"$work/bin/xdg-open" <<EOF
#!/bin/sh
echo "Web GUI would open: \$*" >>"$work/web-gui.log"
EOF
    chmod +x "$work/bin/xdg-open"
    touch "$work/web-gui.log"
    export PATH=$work/bin:$PATH
    unset BROWSER DEFAULT_BROWSER

    start_sim 0 --devices "$work/devices"
    # A camera fresh out of the box on its factory address, on the same cable.
    start_sim 1 --base-address 192.168.1.64 --prefix-len 24 --name "New Camera" --location "Out of the box" --seed 2
    # Three devices one router away (peer 1 routes), asked by every Scan through the kept targets.
    routed_network_up 10.2.0.0/24 10.2.0.1/24 10.2.0.10/24
    start_sim_in "$device_ns" "$device_if" routed --base-address 10.2.0.10 --count 3 --name "Remote {n}" \
        --location "Branch office" --seed 3
    export XDG_CONFIG_HOME=$work/config
    mkdir -p "$XDG_CONFIG_HOME/orvan-finder"
    echo "10.2.0.0/24" >"$XDG_CONFIG_HOME/orvan-finder/scan-targets"

    virtual=""
    if [[ -z ${DISPLAY:-} ]]; then
        virtual=1
        start_virtual_display "$work" 1280x720x24
    else
        export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work/runtime
        mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
    fi

    launch_finder "$finder"
    tail -n0 -f "$work/web-gui.log" &
    echo_pid=$!

    say "5 simulated devices at 198.18.1.10 to 198.18.1.14; the finder at $ORVAN_NETNS_FINDER_ADDR"
    say "3 more behind a router at 10.2.0.10 to 10.2.0.12 (every Scan asks 10.2.0.0/24: Scan addresses...)"
    say "and a camera on its factory address 192.168.1.64: choose it and press Web GUI to reach it"
    if [[ -z $virtual ]]; then
        say "the window is on your display ($DISPLAY): press Scan, pick a row, press Web GUI. Ctrl+C ends the demo."
        wait "$finder_pid" || true
        finder_pid=""
        say "the finder has closed"
        exit 0
    fi

    shot=$work/finder.png
    await_finder_window || { say "the finder's window did not appear; its output: $work/finder.err"; exit 1; }
    sleep 3  # the devices' announcements come in; then Scan, as a user would
    xdotool mousemove --window "$wid" 500 29 click 1
    say "no display: the window runs on a virtual screen; the demo pressed Scan"
    say "screenshot (refreshed every 5 s): $shot"
    say "Ctrl+C ends the demo"
    while kill -0 "$finder_pid" 2>/dev/null; do
        sleep 2
        import -display "$DISPLAY" -window "$wid" "$shot.new.png" 2>/dev/null && mv "$shot.new.png" "$shot"
        sleep 3
    done
    exit 0
fi

# ------------------------------------------------------------------------------------------------
# Outside: check, build, then start the part above in a fresh test network.
if [[ $(id -u) -ne 0 ]]; then
    echo "demo.sh needs root: it builds a private test network (network namespaces) for the simulated"
    echo "devices and the finder, so that nothing reaches your real network. Run:"
    echo "    sudo --preserve-env=DISPLAY,XAUTHORITY $0"
    exit 1
fi
for tool in ip Xvfb xdotool import; do
    command -v "$tool" >/dev/null || { echo "demo.sh needs '$tool': run scripts/setup-debian.sh first"; exit 1; }
done
# Through sudo the desktop's X authority may be left behind; the invoking user's is the one to use.
if [[ -n ${DISPLAY:-} && -z ${XAUTHORITY:-} && -n ${SUDO_USER:-} ]]; then
    user_home=$(getent passwd "$SUDO_USER" | cut -d: -f6)
    [[ -r $user_home/.Xauthority ]] && export XAUTHORITY=$user_home/.Xauthority
fi

build=${ORVAN_BUILD_DIR:-$top/build}
say "building the finder and the device simulator in $build"
cmake -S "$top" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target orvan_finder orvan_device_sim >/dev/null

work=$(mktemp -d /tmp/orvan-demo.XXXXXX)
chmod 0755 "$work"
set +e
"$top/tests/netns/netns_run.sh" --peers 2 -- "$self" --in-test-network \
    "$build/src_mfc/shell/orvan_finder" "$build/tools/drm_device_sim/orvan_device_sim" "$work"
status=$?
set -e
say "ended; the test network is gone. Logs (and any screenshot) stay in $work"
exit $((status == 130 || status == 143 ? 0 : status))
