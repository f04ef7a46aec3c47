#!/usr/bin/env bash
# Runs a command with DISPLAY set to a fresh virtual X display (Xvfb, 1920 by 1080) and stops the
# display afterwards. Exit status 77 (a skipped test) when Xvfb is not installed.
#   on_virtual_display.sh <command> [args...]
set -euo pipefail

support=$(cd "$(dirname "${BASH_SOURCE[0]}")/../support" && pwd)
# shellcheck source=../support/wait_for.sh
source "$support/wait_for.sh"
# shellcheck source=../support/virtual_display.sh
source "$support/virtual_display.sh"

if ! command -v Xvfb >/dev/null; then
  echo "Xvfb is not installed: skipped" >&2
  exit 77
fi
work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  if [[ -n $xvfb_pid ]]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
start_virtual_display "$work"
status=0
"$@" || status=$?
exit "$status"
