#!/usr/bin/env bash
# Runs a command that starts Windows programs under Wine, inside the private test network made by
# tests/netns/netns_run.sh: the prefix's Wine server is started here, in the test network's finder
# namespace, so that every socket the programs open (Wine opens them in its server) belongs to it.
# The server and every program of the prefix are stopped when the command ends.
#
#   netns_run.sh --peers N -- wine_netns.sh WINE_HOME [--transient] command [args...]
#
# WINE_HOME holds the prefix (created on first use; scripts/build-windows.sh makes a fresh one per
# run). The command runs with Wine's environment set (wine_env.sh). With --transient the server ends
# a few seconds after its last program, so that `wineserver -w` waits for programs that outlive the
# one started (an uninstaller copies itself and returns at once); it is started again, here, by the
# next program.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tests/wine/wine_env.sh
source "$here/wine_env.sh"

wine_home=${1:?usage: wine_netns.sh WINE_HOME [--transient] command [args...]}
shift
persistence=""
if [[ ${1:-} == --transient ]]; then
    persistence=5
    shift
fi
(($#)) || { echo "wine_netns.sh: no command given" >&2; exit 2; }
if [[ -z ${ORVAN_NETNS_ID:-} ]]; then
    echo "wine_netns.sh: refusing to run outside a test network (run it through tests/netns/netns_run.sh)" >&2
    exit 1
fi

wine_env "$wine_home" || exit 1
trap wine_server_stop EXIT
wine_server_start "$persistence" || exit 1
"$@"
