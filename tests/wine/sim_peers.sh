# Simulated devices in the test network's peer namespaces, for the scripts that test Windows
# programs under Wine. Needs test_network.sh and wait_for.sh sourced, $work set and sim pointing at
# the (Linux) simulator.

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
