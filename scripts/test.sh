#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks, builds everything and runs every test.
# Network and window tests run inside private network namespaces, which needs root:
# when not run as root, the tests are started through sudo.
#
#   scripts/test.sh                       # normal build in ./build
#   scripts/test.sh --sanitizer address   # AddressSanitizer + UndefinedBehaviorSanitizer in ./build-address
#   scripts/test.sh --sanitizer thread    # ThreadSanitizer in ./build-thread
#   scripts/test.sh --no-app ...           # without the window (no Qt build)
#   scripts/test.sh --quick SUITE [CASES]   # one test suite: builds only its program and runs only
#                                         # it, CASES a gtest filter (e.g. 'DeviceListReach*')
#   Further arguments go to ctest (for example -R liborvaniot_).
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
sanitizer=""
build=""
ctest_args=()
build_app=ON
quick=""
cases=""
while [ $# -gt 0 ]; do
  case "$1" in
    --quick)
      quick="$2"
      shift 2
      if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then cases="$1"; shift; fi
      ;;
    --sanitizer) sanitizer="$2"; shift 2 ;;
    --build-dir) build="$2"; shift 2 ;;
    --no-app) build_app=OFF; shift ;;
    --) shift; ctest_args+=("$@"); break ;;
    *) ctest_args+=("$1"); shift ;;
  esac
done
build=${build:-$top/build${sanitizer:+-$sanitizer}}

run_as_root=()
if [ "$(id -u)" -ne 0 ]; then
  echo "Network tests need root for their private namespaces: running the tests through sudo."
  run_as_root=(sudo --preserve-env=PATH,GTEST_FILTER)
fi

# One suite while working on it: a machine that builds has its packages, and the rest of the tree
# need not be built.
if [ -n "$quick" ]; then
  [ -f "$build/build.ninja" ] || cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DORVAN_SANITIZER="$sanitizer" -DORVAN_BUILD_APP="$build_app"
  cmake --build "$build" -j "$(nproc)" --target "$quick"
  # A suite that runs in a test network is one CTest entry, which takes the filter from the
  # environment; an offline suite lists each case as SUITE.Suite.Case, chosen by the filter's
  # patterns read as regular expressions.
  cases_regex=".*"
  if [ -n "$cases" ]; then
    export GTEST_FILTER="$cases"
    cases_regex=$(printf '%s' "$cases" | sed -e 's/[.]/\\./g' -e 's/[*]/.*/g' -e 's/?/./g' -e 's/:/|/g')
  fi
  exec "${run_as_root[@]}" ctest --test-dir "$build" --output-on-failure --timeout 900 \
    -R "^${quick}(\$|\.(${cases_regex})\$)" "${ctest_args[@]}"
fi

"$top/scripts/setup-debian.sh"

# A sanitizer build runs the tests only: its benchmarks would measure the sanitizer.
benchmarks=ON
[ -z "$sanitizer" ] || benchmarks=OFF
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVAN_SANITIZER="$sanitizer" \
  -DORVAN_BUILD_APP="$build_app" -DORVAN_BUILD_BENCHMARKS="$benchmarks"
cmake --build "$build" -j "$(nproc)"

"${run_as_root[@]}" ctest --test-dir "$build" --output-on-failure --timeout 900 "${ctest_args[@]}"
