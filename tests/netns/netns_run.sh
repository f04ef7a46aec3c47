#!/usr/bin/env bash
# Runs a command inside a private, throw-away test network: one "finder" host and N "peer" hosts,
# each in its own network namespace, joined by a bridge that lives in a "switch" namespace.
# Nothing is ever created in the namespace this script is started from, and everything it made is
# removed again when it ends, however it ends.
#
#   netns_run.sh [--peers N] [--timeout S] [--keep-going] [--verbose] -- command [args...]
#   netns_run.sh --self-test      proves set-up, isolation and clean-up; exit 0 when all is well
#   netns_run.sh --reap           removes networks left behind by runs that were killed outright
#
# The command runs inside the finder namespace and sees:
#   ORVAN_NETNS_ID           this run's name prefix (every namespace and link name starts with it)
#   ORVAN_NETNS_FINDER       finder namespace name
#   ORVAN_NETNS_FINDER_IF    the finder's only link besides lo
#   ORVAN_NETNS_FINDER_ADDR  the finder's address (198.18.0.1)
#   ORVAN_NETNS_PREFIX       prefix length of every host address (16: all hosts share one subnet)
#   ORVAN_NETNS_PEERS        peer namespace names, space-separated
#   ORVAN_NETNS_PEER_IFS     the peers' links, same order
#   ORVAN_NETNS_PEER_ADDRS   the peers' addresses (198.18.k.1 for peer k), same order
#   ORVAN_NETNS_SWITCH       the namespace holding the bridge
#
# Exit status: the command's; 124 when --timeout expired; 128+n when this script got signal n;
# 77 when not run as root (test runners treat that as "skipped"); 1 when the network could not be
# built. --keep-going leaves the network up after the command ended, until this script is
# interrupted (for poking around by hand with `ip netns exec`); it then exits with the command's
# status.
set -uo pipefail

readonly SKIP_STATUS=77
readonly NAME_PREFIX=orvt
readonly STATE_DIR=/run/orvan-netns
readonly MAX_PEERS=250
self=$(readlink -f "${BASH_SOURCE[0]}")

say() { echo "netns_run.sh: $*" >&2; }
die() { say "$*"; exit 1; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

require_root() {
    if [[ $(id -u) -ne 0 ]]; then
        say "needs root to create network namespaces; not running (skipped)"
        exit "$SKIP_STATUS"
    fi
    command -v ip >/dev/null || die "the 'ip' command (iproute2) is missing"
}

# Start time of a process (field 22 of /proc/pid/stat), to tell a live owner from a reused pid.
proc_start_time() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
    stat=${stat##*) }
    set -- $stat
    echo "${20}"
}

# ---------------------------------------------------------------------------------------------
# Tear-down. Only namespaces this run created are touched; every process inside them was started
# by this run (the command and whatever it spawned there).

created=()      # namespaces made by this run, in creation order
state_file=""
watchdog_pid=""   # the timeout's or --keep-going's sleep, ended at clean-up
command_status="" # set once the command has ended
cleaned=""

kill_namespace_processes() {
    local ns pids sig round
    for sig in TERM KILL; do
        for round in $(seq 1 30); do
            pids=""
            for ns in "$@"; do
                pids+=" $(ip netns pids "$ns" 2>/dev/null)"
            done
            [[ -z ${pids// /} ]] && return 0
            if [[ $round -eq 1 ]]; then
                # shellcheck disable=SC2086
                kill -s "$sig" $pids 2>/dev/null
            fi
            sleep 0.1
        done
    done
    say "warning: processes still alive in the test namespaces: $pids"
}

delete_namespaces() {
    local i
    ((${#created[@]})) || return 0
    kill_namespace_processes "${created[@]}"
    for ((i = ${#created[@]} - 1; i >= 0; i--)); do
        ip netns del "${created[i]}" 2>/dev/null || say "warning: could not delete namespace ${created[i]}"
    done
    created=()
}

cleanup() {
    [[ -n $cleaned ]] && return
    cleaned=1
    trap '' INT TERM HUP
    local started
    started=$(now_ms)
    [[ -n $watchdog_pid ]] && kill "$watchdog_pid" 2>/dev/null
    if [[ -n $state_file ]]; then
        # Also a namespace whose creation was interrupted before it was recorded.
        created=($(ip netns list | awk '{print $1}' | grep "^$run_id-"))
    fi
    delete_namespaces
    [[ -n $state_file ]] && rm -f "$state_file"
    [[ -n ${verbose:-} ]] && say "network removed in $(($(now_ms) - started)) ms"
}

on_signal() {
    local status=${command_status:-$1}
    say "interrupted, removing the test network"
    cleanup
    exit "$status"
}

# Networks whose owning script died without cleaning up (SIGKILL, e.g. from a test runner's
# timeout) are recognised by their state file naming a process that no longer exists.
reap_stale() {
    local file id pid start ns
    [[ -d $STATE_DIR ]] || return 0
    for file in "$STATE_DIR"/"$NAME_PREFIX"*; do
        [[ -f $file ]] || continue
        id=$(basename "$file")
        read -r pid start <"$file" || continue
        if [[ -n $pid && $(proc_start_time "$pid") == "$start" ]]; then
            continue
        fi
        created=()
        for ns in $(ip netns list | awk '{print $1}'); do
            [[ $ns == "$id"-* ]] && created+=("$ns")
        done
        ((${#created[@]})) && say "removing network $id left behind by a killed run"
        delete_namespaces
        rm -f "$file"
    done
}

# ---------------------------------------------------------------------------------------------
# Set-up. Every link command carries `-n <namespace>`, so links and addresses are born inside the
# test namespaces; a missing namespace makes the command fail instead of falling back to ours.

nsip() {
    local ns=$1
    shift
    ip -n "$ns" "$@" || {
        say "failed: ip -n $ns $*"
        return 1
    }
}

add_namespace() {
    ip netns add "$1" || return 1
    created+=("$1")
    # IPv6 would only add router solicitations and reports to every capture; the product is IPv4.
    ip netns exec "$1" sysctl -qw net.ipv6.conf.all.disable_ipv6=1 net.ipv6.conf.default.disable_ipv6=1 \
        >/dev/null 2>&1 || true
    nsip "$1" link set lo up
}

# Joins host namespace $1 to the bridge with link $2 (host side) and switch port $3; address $4.
attach_host() {
    local host=$1 host_if=$2 port=$3 addr=$4
    nsip "$switch_ns" link add "$port" type veth peer name "$host_if" netns "$host" &&
        nsip "$switch_ns" link set "$port" master "$bridge" &&
        nsip "$switch_ns" link set "$port" up &&
        nsip "$host" addr add "$addr/16" dev "$host_if" &&
        nsip "$host" link set "$host_if" up &&
        nsip "$host" route add 224.0.0.0/4 dev "$host_if"
}

# Links report carrier and bridge ports forward within milliseconds; wait so the first datagram
# of a test is not lost to a port that is still coming up.
wait_until_forwarding() {
    local i
    for i in $(seq 1 100); do
        if ! ip -n "$switch_ns" -o link show master "$bridge" | grep -qv 'state UP' &&
            ! bridge -n "$switch_ns" link show 2>/dev/null | grep -v 'state forwarding' | grep -q .; then
            return 0
        fi
        sleep 0.02
    done
    say "warning: bridge ports not all forwarding yet"
}

build_network() {
    local k suffix
    mkdir -p "$STATE_DIR" || return 1
    # The state file, created only if absent, makes the name this run's alone; it also tells a
    # later run whom the namespaces belong to.
    for _ in 1 2 3 4 5 6 7 8; do
        suffix=$(od -An -N3 -tx1 /dev/urandom | tr -d ' \n')
        run_id=$NAME_PREFIX$suffix
        ip netns list | awk '{print $1}' | grep -q "^$run_id-" && continue
        if (set -C && echo "$$ $(proc_start_time $$)" >"$STATE_DIR/$run_id") 2>/dev/null; then
            state_file=$STATE_DIR/$run_id
            break
        fi
    done
    [[ -n $state_file ]] || return 1
    finder_ns=$run_id-finder
    switch_ns=$run_id-switch
    bridge=${run_id}b
    finder_if=${run_id}f
    finder_addr=198.18.0.1
    peer_names=()
    peer_ifs=()
    peer_addrs=()
    for ((k = 1; k <= peers; k++)); do
        peer_names+=("$run_id-peer$k")
        peer_ifs+=("${run_id}p$k")
        peer_addrs+=("198.18.$k.1")
    done


    add_namespace "$switch_ns" || return 1
    nsip "$switch_ns" link add "$bridge" type bridge mcast_snooping 0 stp_state 0 forward_delay 0 || return 1
    nsip "$switch_ns" link set "$bridge" up || return 1
    add_namespace "$finder_ns" || return 1
    attach_host "$finder_ns" "$finder_if" "${run_id}s0" "$finder_addr" || return 1
    for ((k = 1; k <= peers; k++)); do
        add_namespace "${peer_names[k - 1]}" || return 1
        attach_host "${peer_names[k - 1]}" "${peer_ifs[k - 1]}" "${run_id}s$k" "${peer_addrs[k - 1]}" || return 1
    done
    wait_until_forwarding
}

# ---------------------------------------------------------------------------------------------

run_command() {
    local started status=0 finished
    require_root
    reap_stale
    trap 'on_signal 130' INT
    trap 'on_signal 143' TERM
    trap 'on_signal 129' HUP
    trap cleanup EXIT

    started=$(now_ms)
    build_network || die "could not build the test network"
    [[ -n $verbose ]] && say "network $run_id with $peers peer(s) up in $(($(now_ms) - started)) ms"

    export ORVAN_NETNS_ID=$run_id
    export ORVAN_NETNS_FINDER=$finder_ns
    export ORVAN_NETNS_FINDER_IF=$finder_if
    export ORVAN_NETNS_FINDER_ADDR=$finder_addr
    export ORVAN_NETNS_PREFIX=16
    export ORVAN_NETNS_PEERS="${peer_names[*]}"
    export ORVAN_NETNS_PEER_IFS="${peer_ifs[*]}"
    export ORVAN_NETNS_PEER_ADDRS="${peer_addrs[*]}"
    export ORVAN_NETNS_SWITCH=$switch_ns

    # In the background so that a signal to this script is handled at once rather than after the
    # command ends; standard input is passed on explicitly (background jobs get /dev/null).
    ip netns exec "$finder_ns" "$@" <&0 &
    local command_pid=$!
    if [[ -n $timeout ]]; then
        sleep "$timeout" </dev/null >/dev/null 2>&1 &
        watchdog_pid=$!
        wait -n -p finished "$command_pid" "$watchdog_pid"
        status=$?
        if [[ $finished == "$watchdog_pid" ]]; then
            watchdog_pid=""
            say "command still running after ${timeout}s: stopping it"
            status=124
        fi
    else
        wait "$command_pid"
        status=$?
    fi
    if [[ -n $keep_going ]]; then
        say "command ended with status $status; network $run_id stays up until interrupted"
        say "  finder: $finder_ns ($finder_addr)   peers: ${peer_names[*]}"
        command_status=$status
        sleep infinity </dev/null >/dev/null 2>&1 &
        watchdog_pid=$!
        wait "$watchdog_pid"
    fi
    exit "$status"
}

# ---------------------------------------------------------------------------------------------
# Self-test: each case runs this script as a child and then checks that nothing of that run is
# left and that the starting namespace looks exactly as before.

root_view() { ip -br link show 2>/dev/null | awk '{print $1}'; ip -br addr show 2>/dev/null; }

self_test() {
    require_root
    local work before failures=0 id status
    work=$(mktemp -d) || die "no temporary directory"
    before=$(root_view)

    leftovers() { # $1 = run id; prints anything of that run still present
        ip netns list | awk '{print $1}' | grep "^$1-"
        [[ -e $STATE_DIR/$1 ]] && echo "state file $STATE_DIR/$1"
    }
    check() { # $1 = case name, $2 = expected status, $3 = actual status, $4 = id file
        local found=""
        id=$(cat "$4" 2>/dev/null)
        if [[ -z $id ]]; then
            found="the command never ran"
        elif [[ $3 != "$2" ]]; then
            found="status $3, expected $2"
        else
            found=$(leftovers "$id")
        fi
        if [[ -n $found ]]; then
            echo "FAIL $1: $found"
            failures=$((failures + 1))
        else
            echo "ok   $1"
        fi
    }

    # Inside the network: variables set, finder holds only lo and its link, peers are reachable
    # over the bridge (a UDP datagram through bash's /dev/udp needs an ARP answer from the peer).
    local probe_env='echo "$ORVAN_NETNS_ID" > "$0"
        links=$(ip -br link show | awk "{print \$1}" | sed "s/@.*//" | sort | tr "\n" " ")
        [ "$links" = "lo $ORVAN_NETNS_FINDER_IF " ] || [ "$links" = "$ORVAN_NETNS_FINDER_IF lo " ] || exit 11
        ip -br addr show dev "$ORVAN_NETNS_FINDER_IF" | grep -q "$ORVAN_NETNS_FINDER_ADDR/$ORVAN_NETNS_PREFIX" || exit 12
        set -- $ORVAN_NETNS_PEERS; [ $# -eq 2 ] || exit 13
        for a in $ORVAN_NETNS_PEER_ADDRS; do
            echo x > /dev/udp/$a/9 || exit 14
            for i in $(seq 1 50); do ip neigh show $a | grep -q lladdr && break; sleep 0.02; done
            ip neigh show $a | grep -q lladdr || exit 15
        done
        exit 0'
    "$self" --peers 2 -- bash -c "$probe_env" "$work/ok"
    check "a run that succeeds is set up and removed" 0 $? "$work/ok"

    "$self" -- sh -c 'echo "$ORVAN_NETNS_ID" > "$0"; exit 7' "$work/fail"
    check "a failing command's status is passed on and the network removed" 7 $? "$work/fail"

    "$self" -- sh -c 'echo "$ORVAN_NETNS_ID" > "$0"; kill -KILL $$' "$work/killed"
    check "a command killed by a signal leaves nothing behind" 137 $? "$work/killed"

    "$self" --peers 1 -- sh -c 'echo "$ORVAN_NETNS_ID" > "$0"
        set -- $ORVAN_NETNS_PEERS; ip netns exec "$1" sleep 300 & exit 0' "$work/orphan"
    check "processes left running in a peer are ended" 0 $? "$work/orphan"

    "$self" --timeout 1 -- sh -c 'echo "$ORVAN_NETNS_ID" > "$0"; exec sleep 300' "$work/timeout"
    check "a command that overruns its timeout is stopped" 124 $? "$work/timeout"

    # Job control keeps SIGINT deliverable to the background run.
    local sig code
    set -m
    for sig in TERM INT HUP; do
        "$self" -- sh -c 'echo "$ORVAN_NETNS_ID" > "$0"; exec sleep 300' "$work/sig$sig" &
        local pid=$!
        for _ in $(seq 1 100); do [[ -s $work/sig$sig ]] && break; sleep 0.05; done
        kill -s "$sig" "$pid"
        wait "$pid"
        status=$?
        code=$((128 + $(kill -l "$sig")))
        check "the script stopped by SIG$sig removes the network" "$code" "$status" "$work/sig$sig"
    done
    set +m

    # A run killed outright cannot clean up; the next run removes what it left.
    "$self" -- sh -c 'echo "$ORVAN_NETNS_ID" > "$0"; exec sleep 300' "$work/hard" &
    local hard_pid=$!
    for _ in $(seq 1 100); do [[ -s $work/hard ]] && break; sleep 0.05; done
    kill -KILL "$hard_pid"
    wait "$hard_pid" 2>/dev/null
    "$self" -- true
    check "a network left by a killed run is removed by the next run" 0 0 "$work/hard"

    if [[ $(root_view) != "$before" ]]; then
        echo "FAIL the starting namespace's links or addresses changed"
        failures=$((failures + 1))
    else
        echo "ok   the starting namespace's links and addresses are unchanged"
    fi
    rm -rf "$work"
    ((failures == 0)) && { echo "self-test passed"; return 0; }
    echo "self-test: $failures case(s) failed"
    return 1
}

# ---------------------------------------------------------------------------------------------

peers=1
timeout=""
keep_going=""
verbose=""
while (($#)); do
    case $1 in
    --peers)
        [[ ${2:-} =~ ^[0-9]+$ && $2 -ge 1 && $2 -le $MAX_PEERS ]] || die "--peers needs a number from 1 to $MAX_PEERS"
        peers=$2
        shift 2
        ;;
    --timeout)
        [[ ${2:-} =~ ^[0-9]+$ && $2 -ge 1 ]] || die "--timeout needs a whole number of seconds"
        timeout=$2
        shift 2
        ;;
    --keep-going) keep_going=1; shift ;;
    --verbose | -v) verbose=1; shift ;;
    --self-test) self_test; exit $? ;;
    --reap) require_root; reap_stale; exit 0 ;;
    --) shift; break ;;
    -h | --help) sed -n '2,/^set -uo/p' "$self" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    *) die "unknown option '$1' (see --help)" ;;
    esac
done
(($#)) || die "no command given (usage: netns_run.sh [--peers N] [--timeout S] -- command args...)"
run_command "$@"
