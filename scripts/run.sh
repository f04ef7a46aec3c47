#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks, builds the finder and starts its window.
# Run it from a desktop session (DISPLAY set). Started with sudo, the finder may also give this
# computer a link-local address (169.254.x.y) for the run, so that devices on a link-local
# network are found too; as a normal user it uses the addresses the computer already has.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${ORVAN_BUILD_DIR:-$top/build}

"$top/scripts/setup-debian.sh"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target orvan_finder

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "The finder is built ($build/src_mfc/shell/orvan_finder) but there is no display to show its window on."
  echo "Run this command from a desktop session, or try it without hardware: sudo scripts/demo.sh"
  exit 1
fi
exec "$build/src_mfc/shell/orvan_finder" "$@"
