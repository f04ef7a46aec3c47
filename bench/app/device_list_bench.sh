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
readonly title="Selvani Version 1.2.7.0"
# Over how long the devices' answers are spread, and how long the idle CPU is measured; the
# environment may change both (for example ORVAN_BENCH_SPREAD_MS=1500 for 10,000 devices).
readonly spread_ms=${ORVAN_BENCH_SPREAD_MS:-500}
readonly idle_seconds=${ORVAN_BENCH_IDLE_S:-10}

if [[ -z ${ORVAN_NETNS_ID:-} ]]; then
    echo "device_list_bench: refusing to run outside a test network (run it through tests/netns/netns_run.sh)" >&2
    exit 1
fi
read -r -a peers <<<"$ORVAN_NETNS_PEERS"
read -r -a peer_ifs <<<"$ORVAN_NETNS_PEER_IFS"

work=$(mktemp -d)
pids=()
stop_all() {
    for pid in "${pids[@]}"; do kill -TERM "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
    pids=()
}
trap 'stop_all; rm -rf "$work"' EXIT

# shellcheck source=/dev/null
source "$(dirname "${BASH_SOURCE[0]}")/../../tests/support/wait_for.sh"
field() { sed -n "s/^$1 //p" "$work/rows" 2>/dev/null; }
dump_says() { [[ $(field "$1") == "$2" ]]; }
ms() { awk -v us="$1" 'BEGIN { printf "%.1f", us / 1000 }'; }

Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
trap 'stop_all; kill -TERM "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; rm -rf "$work"' EXIT
wait_for 100 test -s "$work/display" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work/runtime
unset WAYLAND_DISPLAY
mkdir -m 0700 "$XDG_RUNTIME_DIR"
clock_ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }  # utime + stime

# One run; writes "<Scan -> last row> <last answer -> last row> <rows> <idle CPU %> <SIGTERM -> exit>"
# to $work/result.
run_once() {
    local count=$1
    rm -f "$work/rows" "$work/sim.out" "$work/sim.pipe" "$work/result"
    # Every line of the simulator with the time it was read.
    mkfifo "$work/sim.pipe"
    while IFS= read -r line; do echo "${EPOCHREALTIME/[.,]/} $line"; done <"$work/sim.pipe" >"$work/sim.out" &
    pids+=($!)
    ip netns exec "${peers[0]}" "$sim" --interface "${peer_ifs[0]}" --base-address 198.18.1.10 --count "$count" \
        --no-hello --no-http --max-delay-ms "$spread_ms" >"$work/sim.pipe" 2>"$work/sim.err" &
    pids+=($!)
    wait_for 300 grep -qs ' ready ' "$work/sim.out" || { echo "simulator did not start: $(cat "$work/sim.err")" >&2; return 1; }

    ORVAN_DUMP_ROWS_TO=$work/rows "$finder" >/dev/null 2>"$work/finder.err" &
    local finder_pid=$!
    pids+=("$finder_pid")
    window_up() { xdotool search --name "^$title\$" >"$work/wid" 2>/dev/null && test -s "$work/wid"; }
    wait_for 600 window_up || { echo "no window" >&2; return 1; }
    local wid
    wid=$(head -n1 "$work/wid")
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
    last_answer_us=$(awk -v n="$count" '$2 == "answered" && $3 == n { t = $1 } END { printf "%.0f\n", t }' "$work/sim.out")

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
        stop_all
        read -r to_last after_answer rows idle to_exit <"$work/result"
        printf '%-8s %-4s %22s %26s %6s %14s %22s\n' "$count" "$r" "$to_last" "$after_answer" "$rows" "$idle" "$to_exit"
    done
done
