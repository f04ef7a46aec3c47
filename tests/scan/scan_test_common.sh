# The start the network tests of orvan-scan share: their arguments (<orvan-scan> <orvan_device_sim>),
# reporting named after the script (checks.sh), the helpers for waiting, the test network and
# simulated devices, and a work folder that other users may read (a URL handler or a scan run as
# another user reaches it). Source it first; the script sets its own trap to stop what it starts and
# remove $work.

check_name=$(basename "$0" .sh)
usage="usage: $check_name.sh <orvan-scan> <orvan_device_sim>"
scan=${1:?$usage}
sim=${2:?$usage}

# shellcheck source=tests/support/helpers.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/helpers.sh"
require_test_network "$check_name"

work=$(mktemp -d)
chmod 755 "$work"

# watch_devices_come_and_go ANSWERS BASE [LAUNCHER...]: orvan-scan --watch (through LAUNCHER, such as
# wine, when given) until ANSWERS answers are in; then two devices named late-1 and late-2 start at
# BASE in peer 1 and stop again, and their Hello and Bye lines are waited for; then Ctrl+C, after
# which the scanner must end with status 0. Its lines stay in $work/watch, its standard error in
# $work/watch.err, for the script's own checks.
watch_devices_come_and_go() {
    local answers=$1 base=$2 watch_pid status
    shift 2
    "$@" "$scan" --watch >"$work/watch" 2>"$work/watch.err" &
    watch_pid=$!
    wait_for 150 watch_lines match "$answers" || fail "watch: the answers did not arrive: $(cat "$work/watch")"
    start_sim 1 --base-address "$base" --count 2 --name "late-{n}" --seed 2 || exit 1
    wait_for 100 watch_lines hello 2 || fail "watch: no Hello: $(cat "$work/watch")"
    stop_sim sim1
    wait_for 100 watch_lines bye 2 || fail "watch: no Bye: $(cat "$work/watch")"
    kill -INT "$watch_pid"
    wait "$watch_pid"
    status=$?
    [[ $status -eq 0 ]] || fail "watch: exit status $status after Ctrl+C, expected 0"
}
# watch_lines EVENT N: whether the watch's output has at least N lines of that event.
watch_lines() { [[ $(grep -c "\"event\":\"$1\"" "$work/watch") -ge $2 ]]; }
