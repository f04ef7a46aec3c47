# Shell helpers that run the finder, or a test program showing the finder's window, on the virtual
# display, and end it with the display when a script stops. Set work (its output goes there) first;
# needs wait_for.sh and virtual_display.sh.

finder_title="Selvani Version 1.2.7.0"
finder_pid=""

# launch_finder [--input FILE] [VARIABLE=VALUE...] PROGRAM [ARGS...]: the program in the background
# with those variables, standard input from FILE (a pipe a script writes to opens only once the
# script opens it too; /dev/null when not given), standard output and error in $work/finder.out and
# $work/finder.err. Sets finder_pid.
launch_finder() {
    local input=/dev/null
    if [[ ${1:-} == --input ]]; then
        input=$2
        shift 2
    fi
    (
        while [[ $1 =~ ^[A-Za-z_][A-Za-z0-9_]*= ]]; do
            export "${1?}"
            shift
        done
        exec "$@" <"$input" >"$work/finder.out" 2>"$work/finder.err"
    ) &
    finder_pid=$!
}

# await_finder_window: waits up to 60 s for the window titled $finder_title and sets wid to its id;
# says so and fails when it does not come up.
await_finder_window() {
    wid=$(find_window "$finder_title" 600) && return 0
    echo "no window titled '$finder_title' within 60 s" >&2
    return 1
}

# start_finder [VARIABLE=VALUE...] PROGRAM [ARGS...]: launch_finder, then await_finder_window.
start_finder() {
    launch_finder "$@"
    await_finder_window
}

# stop_finder_and_display: for a script's end, whatever happened before: a program still running
# gets SIGTERM and, after 5 s, SIGKILL; then the display goes.
stop_finder_and_display() {
    if [[ -n $finder_pid ]]; then
        kill -TERM "$finder_pid" 2>/dev/null || true
        wait_for 50 eval '! kill -0 "$finder_pid" 2>/dev/null' || true
        kill -KILL "$finder_pid" 2>/dev/null || true
        wait "$finder_pid" 2>/dev/null || true
        finder_pid=""
    fi
    stop_virtual_display
}
