# Shell helpers for scripts that run inside the private test network made by netns_run.sh.

# require_test_network NAME [PEERS]: ends the script (status 1) unless it runs inside such a network
# with at least PEERS peer namespaces; otherwise sets the arrays peers and peer_ifs (the peer
# namespaces and their links).
require_test_network() {
    if [[ -z ${ORVAN_NETNS_ID:-} ]]; then
        echo "$1: refusing to run outside a test network (run it through tests/netns/netns_run.sh)" >&2
        exit 1
    fi
    read -r -a peers <<<"${ORVAN_NETNS_PEERS:-}"
    read -r -a peer_ifs <<<"${ORVAN_NETNS_PEER_IFS:-}"
    if ((${#peers[@]} < ${2:-0})); then
        echo "$1: needs $2 peer namespaces" >&2
        exit 1
    fi
}

# stop_processes PID...: SIGTERM to each, then waits for each.
stop_processes() {
    local pid
    for pid in "$@"; do kill -TERM "$pid" 2>/dev/null; done
    for pid in "$@"; do wait "$pid" 2>/dev/null; done
}

# hold_udp_port PORT: a program binds 0.0.0.0:PORT without sharing it and keeps it until killed; its
# pid is in holder_pid once the port is taken. Needs wait_for.sh.
hold_udp_port() {
    local ready
    ready=$(mktemp -u)
    python3 -c 'import socket, time, sys
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind(("0.0.0.0", int(sys.argv[1])))
open(sys.argv[2], "w").close()
time.sleep(60)' "$1" "$ready" &
    holder_pid=$!
    wait_for 50 test -e "$ready"
    rm -f "$ready"
}
