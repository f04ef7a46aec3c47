# Simulated devices in the test network's peer namespaces, for the scripts that test Windows
# programs under Wine, with the test network's shell helpers. Call require_test_network first; set
# $work and $sim (the Linux simulator) before starting devices.

# shellcheck source=/dev/null
source "$(dirname "${BASH_SOURCE[0]}")/../support/wait_for.sh"
# shellcheck source=/dev/null
source "$(dirname "${BASH_SOURCE[0]}")/../support/test_network.sh"

sim_pids=()

# start_sim K [simulator options...]: devices in peer K (0-based); returns once they are ready. The
# simulator's log is $work/simK.out.
start_sim() {
    local k=$1
    shift
    ip netns exec "${peers[$k]}" "$sim" --interface "${peer_ifs[$k]}" --max-delay-ms 200 --no-http "$@" \
        >"$work/sim$k.out" 2>&1 &
    sim_pids[k]=$!
    wait_for 100 grep -q '^ready ' "$work/sim$k.out" || {
        echo "simulator $k did not start: $(cat "$work/sim$k.out")" >&2
        return 1
    }
}

# stop_sim K: SIGTERM (the devices say Bye) and wait.
stop_sim() {
    [[ -n ${sim_pids[$1]:-} ]] || return 0
    stop_processes "${sim_pids[$1]}"
    unset 'sim_pids[$1]'
}

stop_sims() {
    stop_processes "${sim_pids[@]}"
    sim_pids=()
}
