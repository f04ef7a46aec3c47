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
# shellcheck source=tests/support/helpers.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../tests/support/helpers.sh"
require_test_network app_startup_bench

work=$(mktemp -d)
trap 'stop_finder_and_display; rm -rf "$work"' EXIT
start_virtual_display "$work" || exit 1

status_kib() { awk -v key="$2:" '$1 == key {print $2}' "/proc/$1/status"; }
median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

printf '%-4s %18s %12s %12s  %s\n' run first_paint_ms rss_kib peak_kib screen
for ((run = 1; run <= runs; run++)); do
    : >"$work/finder.out"
    started_us=$(($(date +%s%N) / 1000))
    launch_finder ORVAN_REPORT_FIRST_PAINT=1 "$finder"
    for ((i = 0; i < 600; i++)); do grep -q '^first-paint-unix-us ' "$work/finder.out" && break; sleep 0.05; done
    line=$(grep '^first-paint-unix-us ' "$work/finder.out")
    if [[ -z $line ]]; then
        echo "app_startup_bench: run $run reported no first paint" >&2
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
