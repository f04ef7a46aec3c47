#!/usr/bin/env bash
# Runs a Windows program under Wine on a fresh virtual X display (Xvfb, 1920 by 1080), in a Wine
# prefix of its own that is made for this run and whose server is stopped at the end.
#
#   run_on_display.sh <work-dir> <wine> <program.exe> [args...]
#
# Wine binds its desktop to the display of the first program that starts the prefix's server; a
# server brought up without a display (as the other suites' is) would give this program no
# windows at all. Exit status: the program's; 77 (skipped) when Xvfb is not installed.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../support/wait_for.sh
source "$here/../support/wait_for.sh"
# shellcheck source=../support/virtual_display.sh
source "$here/../support/virtual_display.sh"
# shellcheck source=../wine/wine_env.sh
source "$here/../wine/wine_env.sh"

work=$1
wine=$2
shift 2
if ! command -v Xvfb >/dev/null; then
  echo "Xvfb is not installed: skipped" >&2
  exit 77
fi

rm -rf "$work"
# The display comes after Wine's environment, which clears DISPLAY for the suites without windows.
wine_env "$work"
trap 'wine_server_stop; stop_virtual_display' EXIT
start_virtual_display "$work"
status=0
"$wine" "$@" || status=$?
exit "$status"
