# Shell helpers that run simulated devices (orvan_device_sim) in the namespaces of the private test
# network, for the tests, benchmarks and demo that talk to them. Set sim (the simulator), work (a
# folder for its output) and, if every start shares options, sim_options (an array, e.g.
# (--max-delay-ms 200 --no-http)) before starting one. Needs wait_for.sh and test_network.sh
# (require_test_network called).

declare -gA sim_pids=()
sim_readers=()

# start_sim_in NAMESPACE INTERFACE NAME [simulator options...]: devices on INTERFACE of NAMESPACE
# (sim_options first, then these options, so that these win), standard output and error in
# $work/NAME.out; returns once the devices are ready, or says why not and fails. With sim_stamped
# set, each line of the output starts with the time it was read, in microseconds of Unix time.
start_sim_in() {
    local namespace=$1 interface=$2 name=$3 out
    shift 3
    out=$work/$name.out
    rm -f "$out" "$work/$name.pipe"
    if [[ -n ${sim_stamped:-} ]]; then
        mkfifo "$work/$name.pipe"
        while IFS= read -r line; do echo "${EPOCHREALTIME/[.,]/} $line"; done <"$work/$name.pipe" >"$out" &
        sim_readers+=($!)
        out=$work/$name.pipe
    fi
    ip netns exec "$namespace" "$sim" --interface "$interface" "${sim_options[@]}" "$@" >"$out" 2>&1 &
    sim_pids[$name]=$!
    # A thousand devices take a while to bind their sockets; a simulator that gave up is not waited for.
    wait_for 600 sim_settled "$name" || true
    sim_ready "$name" || {
        echo "simulator $name did not start: $(cat "$work/$name.out")" >&2
        return 1
    }
}
sim_ready() { grep -sqE '^([0-9]+ )?ready ' "$work/$1.out"; }
sim_settled() { sim_ready "$1" || ! kill -0 "${sim_pids[$1]}" 2>/dev/null; }

# start_sim K [simulator options...]: devices in peer K (from 0); the output is $work/simK.out and
# the simulator is named simK for stop_sim.
start_sim() {
    local k=$1
    shift
    start_sim_in "${peers[$k]}" "${peer_ifs[$k]}" "sim$k" "$@"
}

# stop_sim NAME: SIGTERM (the devices say Bye) and waits for it to end.
stop_sim() {
    [[ -n ${sim_pids[$1]:-} ]] || return 0
    stop_processes "${sim_pids[$1]}"
    unset 'sim_pids[$1]'
}

# stop_sims: every simulator started, and the readers that stamp their lines.
stop_sims() {
    stop_processes "${sim_pids[@]}" "${sim_readers[@]}"
    sim_pids=()
    sim_readers=()
}
