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

support=$(cd "$(dirname "${BASH_SOURCE[0]}")/../support" && pwd)
# shellcheck source=../support/wait_for.sh
source "$support/wait_for.sh"
# shellcheck source=../support/virtual_display.sh
source "$support/virtual_display.sh"

work=$1
wine=$2
shift 2
if ! command -v Xvfb >/dev/null; then
  echo "Xvfb is not installed: skipped" >&2
  exit 77
fi

rm -rf "$work"
mkdir -p "$work/home" "$work/prefix"
export HOME="$work/home" WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
xvfb_pid=""
cleanup() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  if [[ -n $xvfb_pid ]]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT
start_virtual_display "$work"
status=0
"$wine" "$@" || status=$?
exit "$status"
