#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks, builds everything and runs every test.
# Network and window tests run inside private network namespaces, which needs root:
# when not run as root, the tests are started through sudo.
#
#   scripts/test.sh                       # normal build in ./build
#   scripts/test.sh --sanitizer address   # AddressSanitizer + UndefinedBehaviorSanitizer in ./build-address
#   scripts/test.sh --sanitizer thread    # ThreadSanitizer in ./build-thread
#   scripts/test.sh --no-app ...           # without the window (no Qt build)
#   Further arguments go to ctest (for example -R liborvaniot_).
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
sanitizer=""
build=""
ctest_args=()
build_app=ON
while [ $# -gt 0 ]; do
  case "$1" in
    --sanitizer) sanitizer="$2"; shift 2 ;;
    --build-dir) build="$2"; shift 2 ;;
    --no-app) build_app=OFF; shift ;;
    --) shift; ctest_args+=("$@"); break ;;
    *) ctest_args+=("$1"); shift ;;
  esac
done
build=${build:-$top/build${sanitizer:+-$sanitizer}}

"$top/scripts/setup-debian.sh"

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVAN_SANITIZER="$sanitizer" \
  -DORVAN_BUILD_APP="$build_app"
cmake --build "$build" -j "$(nproc)"

run_as_root=()
if [ "$(id -u)" -ne 0 ]; then
  echo "Network tests need root for their private namespaces: running the tests through sudo."
  run_as_root=(sudo --preserve-env=PATH)
fi
"${run_as_root[@]}" ctest --test-dir "$build" --output-on-failure --timeout 900 "${ctest_args[@]}"
