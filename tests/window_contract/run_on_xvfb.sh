#!/usr/bin/env bash
# Runs a test program on a fresh virtual X display (Xvfb, no TCP), so the Qt layer works through a
# real X server (its clipboard among it); the display is stopped at the end.
#
#   run_on_xvfb.sh <program> [args...]
#
# Exit status: the program's; 77 (skipped) when Xvfb is not installed.
set -uo pipefail

support=$(cd "$(dirname "${BASH_SOURCE[0]}")/../support" && pwd)
# shellcheck source=tests/support/wait_for.sh
source "$support/wait_for.sh"
# shellcheck source=tests/support/virtual_display.sh
source "$support/virtual_display.sh"

if ! command -v Xvfb >/dev/null; then
    echo "Xvfb is not installed: skipped" >&2
    exit 77
fi

work=$(mktemp -d)
trap 'stop_virtual_display; rm -rf "$work"' EXIT
start_virtual_display "$work" || exit 1
status=0
"$@" || status=$?
exit "$status"
