#!/usr/bin/env bash
# Sets up the devices probe_wine_net_test.exe expects (see its source) and runs it under Wine: five
# devices behind a flood of malformed datagrams in peer 1, two devices with over-long answers in
# peer 2, and a second address on this host.
#
#   probe_wine_net_test.sh <probe_wine_net_test.exe> <orvan_device_sim>
#   (inside netns_run.sh --peers 2 -- wine_netns.sh, which runs the Wine server in this network)
set -uo pipefail

test_exe=${1:?usage: probe_wine_net_test.sh <test.exe> <orvan_device_sim>}
sim=${2:?usage: probe_wine_net_test.sh <test.exe> <orvan_device_sim>}
# shellcheck source=tests/support/helpers.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/helpers.sh"
require_test_network probe_wine_net_test
sim_options=(--max-delay-ms 200 --no-http)

work=$(mktemp -d)
trap 'stop_sims; rm -rf "$work"' EXIT

second_addr=198.18.0.2
ip addr add "$second_addr/16" dev "$ORVAN_NETNS_FINDER_IF" || exit 1
start_sim 0 --base-address 198.18.1.10 --count 5 --no-hello --flood 25 --flood-from 198.18.1.1 || exit 1
start_sim 1 --base-address 198.18.2.10 --count 2 --no-hello --oversize || exit 1

export ORVAN_WINE_LOCAL_ADDRS="$ORVAN_NETNS_FINDER_ADDR $second_addr"
export ORVAN_WINE_DEVICES="198.18.1.10 198.18.1.11 198.18.1.12 198.18.1.13 198.18.1.14"
export ORVAN_WINE_FLOOD_FROM=198.18.1.1
wine "$test_exe"
