#!/usr/bin/env bash
# Start-up figures of the finder program on a virtual display: time from process start to the
# first painted screen, and resident memory once it is up.
#
#   app_startup_bench.sh <orvan_finder> [runs]
#
# Runs inside a private test network only (the core may add a link-local address as root); the
# CMake target run_app_bench starts it through netns_run.sh.
set -uo pipefail

finder=${1:?usage: app_startup_bench.sh <orvan_finder> [runs]}
runs=${2:-5}
if [[ -z ${ORVAN_NETNS_ID:-} ]]; then
    echo "app_startup_bench: refusing to start the finder outside a test network (run it through netns_run.sh)" >&2
    exit 1
fi

work=$(mktemp -d)
xvfb_pid=""
finder_pid=""
cleanup() {
    [[ -n $finder_pid ]] && kill -KILL "$finder_pid" 2>/dev/null
    [[ -n $xvfb_pid ]] && kill -TERM "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for ((i = 0; i < 100; i++)); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || { echo "app_startup_bench: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work/runtime
unset WAYLAND_DISPLAY
mkdir -m 0700 "$XDG_RUNTIME_DIR"

status_kib() { awk -v key="$2:" '$1 == key {print $2}' "/proc/$1/status"; }
median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

printf '%-4s %18s %12s %12s  %s\n' run first_paint_ms rss_kib peak_kib screen
for ((run = 1; run <= runs; run++)); do
    : >"$work/out"
    started_us=$(($(date +%s%N) / 1000))
    ORVAN_REPORT_FIRST_PAINT=1 "$finder" >"$work/out" 2>"$work/err" &
    finder_pid=$!
    for ((i = 0; i < 600; i++)); do grep -q '^first-paint-unix-us ' "$work/out" && break; sleep 0.05; done
    line=$(grep '^first-paint-unix-us ' "$work/out")
    if [[ -z $line ]]; then
        echo "app_startup_bench: run $run reported no first paint" >&2
        kill -KILL "$finder_pid"
        exit 1
    fi
    painted_us=$(awk '{print $2}' <<<"$line")
    screen=$(awk '{print $4}' <<<"$line")
    sleep 1  # let start-up settle before reading memory
    rss=$(status_kib "$finder_pid" VmRSS)
    peak=$(status_kib "$finder_pid" VmHWM)
    kill -TERM "$finder_pid"
    wait "$finder_pid"
    finder_pid=""
    ms=$(awk -v a="$started_us" -v b="$painted_us" 'BEGIN {printf "%.1f", (b - a) / 1000}')
    printf '%-4s %18s %12s %12s  %s\n' "$run" "$ms" "$rss" "$peak" "$screen"
    echo "$ms" >>"$work/ms"
    echo "$rss" >>"$work/rss"
done
echo "median: first paint $(median <"$work/ms") ms after process start, resident memory $(median <"$work/rss") KiB"
