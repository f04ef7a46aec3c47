# Shell helper for scripts inside the private test network: a device network one router away.

# routed_network_up NETWORK ROUTER_CIDR DEVICE_CIDR: peer 1 becomes a router (IP forwarding on in
# its namespace) between the shared network and NETWORK (e.g. 10.2.0.0/24), which lives in a
# namespace of its own: the router holds ROUTER_CIDR there, the device namespace DEVICE_CIDR with
# its default route through the router, and the finder routes NETWORK through peer 1. Sets
# device_ns and device_if for the devices. The namespace is named after the run, so that
# netns_run.sh removes it with the rest however the script ends; routed_network_down removes it
# sooner. Needs test_network.sh (require_test_network called).
routed_network_up() {
    local network=$1 router_cidr=$2 device_cidr=$3
    local router=${peers[0]} router_addr=${ORVAN_NETNS_PEER_ADDRS%% *} router_if=${ORVAN_NETNS_ID}r
    device_ns=$ORVAN_NETNS_ID-devnet
    device_if=${ORVAN_NETNS_ID}d
    ip netns add "$device_ns" || return 1
    ip -n "$device_ns" link set lo up &&
        ip -n "$router" link add "$router_if" type veth peer name "$device_if" netns "$device_ns" &&
        ip -n "$router" addr add "$router_cidr" dev "$router_if" &&
        ip -n "$router" link set "$router_if" up &&
        ip -n "$device_ns" addr add "$device_cidr" dev "$device_if" &&
        ip -n "$device_ns" link set "$device_if" up &&
        ip -n "$device_ns" route add default via "${router_cidr%/*}" &&
        ip netns exec "$router" sysctl -qw net.ipv4.ip_forward=1 &&
        ip -n "$ORVAN_NETNS_FINDER" route add "$network" via "$router_addr" || {
        echo "routed_network_up: could not build the device network $network" >&2
        return 1
    }
    # A router that meets a thousand devices at once needs room for them in its neighbour table.
    ip netns exec "$router" sysctl -qw net.ipv4.neigh.default.gc_thresh3=16384 \
        net.ipv4.neigh.default.gc_thresh2=8192 2>/dev/null || true
}

routed_network_down() {
    [[ -n ${device_ns:-} ]] && ip netns del "$device_ns" 2>/dev/null
    device_ns=
}
