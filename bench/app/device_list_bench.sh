#!/usr/bin/env bash
# Device list figures, as a user would feel them: from the click on Scan to the last of N rows, for
# N simulated devices whose answers are spread over 500 ms, the finder's CPU use while the full
# list sits idle, and the time from SIGTERM to the process's exit. Prints figures; asserts nothing
# about time.
#
#   device_list_bench.sh <orvan_finder> <orvan_device_sim> [repeats] [device counts...]
#
# Runs only inside a private test network with one peer (netns_run.sh --peers 1); defaults: 3
# repeats of 100 and 1,000 devices. The rows are read from the file the finder writes when
# ORVAN_DUMP_ROWS_TO is set (each write carries its time); the last answer's time is when the
# simulator reports that its last answer to the probe went out (the link is a local veth pair).
set -uo pipefail

finder=${1:?usage: device_list_bench.sh <orvan_finder> <orvan_device_sim> [repeats] [counts...]}
sim=${2:?usage: device_list_bench.sh <orvan_finder> <orvan_device_sim> [repeats] [counts...]}
repeats=${3:-3}
shift $(($# < 3 ? $# : 3))
counts=("$@")
((${#counts[@]})) || counts=(100 1000)
# Over how long the devices' answers are spread, and how long the idle CPU is measured; the
# environment may change both (for example ORVAN_BENCH_SPREAD_MS=1500 for 10,000 devices).
readonly spread_ms=${ORVAN_BENCH_SPREAD_MS:-500}
readonly idle_seconds=${ORVAN_BENCH_IDLE_S:-10}

# shellcheck source=tests/support/helpers.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../tests/support/helpers.sh"
require_test_network device_list_bench 1

work=$(mktemp -d)
rows_file=$work/rows
# Every line of the simulator with the time it was read.
sim_stamped=1
sim_options=(--no-hello --no-http --max-delay-ms "$spread_ms")
# stop_run: the finder (already closed by the run, unless it failed) and the devices of one run.
stop_run() {
    stop_sims
    [[ -n $finder_pid ]] && stop_processes "$finder_pid"
    finder_pid=""
}
trap 'stop_run; stop_finder_and_display; rm -rf "$work"' EXIT
ms() { awk -v us="$1" 'BEGIN { printf "%.1f", us / 1000 }'; }

start_virtual_display "$work" || exit 1
clock_ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }  # utime + stime

# One run; writes "<Scan -> last row> <last answer -> last row> <rows> <idle CPU %> <SIGTERM -> exit>"
# to $work/result.
run_once() {
    local count=$1
    rm -f "$rows_file" "$work/result"
    start_sim 0 --base-address 198.18.1.10 --count "$count" || return 1
    start_finder ORVAN_DUMP_ROWS_TO="$rows_file" "$finder" || return 1
    listening() { ss -Huanp 'sport = :13702' 2>/dev/null | grep -q orvan_finder; }
    wait_for 150 listening || { echo "the finder does not listen" >&2; return 1; }

    xdotool mousemove --window "$wid" 500 29 click 1
    wait_for 100 dump_says scans 1 || { echo "Scan did not reach the list" >&2; return 1; }
    local scan_us
    scan_us=$(field scanned-unix-us)
    # Every device or 10 s, then a moment for stragglers.
    wait_for 100 dump_says rows "$count"
    sleep 1
    local rows last_row_us last_answer_us
    rows=$(field rows)
    last_row_us=$(field written-unix-us)
    last_answer_us=$(awk -v n="$count" '$2 == "answered" && $3 == n { t = $1 } END { printf "%.0f\n", t }' "$work/sim0.out")

    local before after idle
    before=$(cpu_ticks "$finder_pid")
    sleep "$idle_seconds"
    after=$(cpu_ticks "$finder_pid")
    idle=$(awk -v t=$((after - before)) -v hz="$clock_ticks" -v s="$idle_seconds" 'BEGIN { printf "%.2f", 100 * t / hz / s }')

    local term_us exit_ms="n/a"
    term_us=${EPOCHREALTIME/[.,]/}
    kill -TERM "$finder_pid"
    for ((i = 0; i < 1000; i++)); do kill -0 "$finder_pid" 2>/dev/null || break; sleep 0.002; done
    kill -0 "$finder_pid" 2>/dev/null || exit_ms=$(ms $((${EPOCHREALTIME/[.,]/} - term_us)))

    local answer_part="n/a"
    ((last_answer_us > 0)) && answer_part=$(ms $((last_row_us - last_answer_us)))
    echo "$(ms $((last_row_us - scan_us))) $answer_part $rows $idle $exit_ms" >"$work/result"
}

printf '%-8s %-4s %22s %26s %6s %14s %22s\n' devices run "Scan -> last row (ms)" "last answer -> row (ms)" rows \
    "idle CPU (%)" "SIGTERM -> exit (ms)"
for count in "${counts[@]}"; do
    for ((r = 1; r <= repeats; r++)); do
        run_once "$count" || { echo "run failed" >&2; exit 1; }
        stop_run
        read -r to_last after_answer rows idle to_exit <"$work/result"
        printf '%-8s %-4s %22s %26s %6s %14s %22s\n' "$count" "$r" "$to_last" "$after_answer" "$rows" "$idle" "$to_exit"
    done
done
