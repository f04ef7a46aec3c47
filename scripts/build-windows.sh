#!/usr/bin/env bash
# Cross-builds the Windows programs with mingw-w64, writes the installer and the zip, and runs the
# Windows tests under Wine. Installs what a Debian machine lacks first (apt-get, through sudo when
# not root).
#
#   scripts/build-windows.sh              # build in ./build-windows and run the Windows tests
#   scripts/build-windows.sh --no-tests   # build only
#   Further arguments go to ctest (for example -R orvan_scan or -E liborvaniot_os_tests).
#
# Written: build-windows/dist/orvaniot-finder-<version>-win64-setup.exe and ...-win64.zip.
#
# The tests run in one throw-away Wine prefix under the build folder (HOME too, since creating a
# prefix writes there). Wine opens sockets in its server process, so the server always runs inside
# a private test network (tests/netns/netns_run.sh, root needed): the portable suites share one
# network and one server kept running for all of them; then each network test (label "wine") makes
# its own network, with the Linux device simulator (built for this host in build-windows/host) in the
# peer namespaces and its own server beside the Windows program. Without root the portable suites
# run outside a test network and the network tests report themselves skipped.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$top/build-windows"
run_tests=1
ctest_args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir) build="$2"; shift 2 ;;
    --no-tests) run_tests=0; shift ;;
    --) shift; ctest_args+=("$@"); break ;;
    *) ctest_args+=("$1"); shift ;;
  esac
done
host_build="$build/host"

# The cross toolchain, Wine and NSIS; the host compiler for the simulator; what the test scripts use.
packages=(cmake ninja-build g++ g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 nsis googletest
          iproute2 python3 xvfb xdotool x11-utils imagemagick)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The device simulator, a Linux program, is all the Windows tests need from a host build.
cmake -S "$top" -B "$host_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVAN_BUILD_APP=OFF -DORVAN_BUILD_TESTS=OFF -DORVAN_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$host_build" -j "$(nproc)" --target orvan_device_sim

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" \
  -DORVAN_HOST_DEVICE_SIM="$host_build/tools/drm_device_sim/orvan_device_sim" \
  -DORVAN_WINE_HOME="$build/wine-home"
cmake --build "$build" -j "$(nproc)"
echo "Windows installer and zip: $build/dist/"

[ "$run_tests" -eq 1 ] || exit 0

rm -rf "$build/wine-home"
ctest_common=(--test-dir "$build" --output-on-failure --timeout 300 "${ctest_args[@]}")
status=0

# 1. The portable suites, one Wine server for all of them.
if [ "$(id -u)" -eq 0 ]; then
  "$top/tests/netns/netns_run.sh" --timeout 3600 -- \
    "$top/tests/wine/wine_netns.sh" "$build/wine-home" ctest "${ctest_common[@]}" -LE wine || status=1
else
  echo "Not root: the portable suites run outside a test network; the Wine network tests are skipped."
  # shellcheck source=tests/wine/wine_env.sh
  (source "$top/tests/wine/wine_env.sh"
   wine_env "$build/wine-home"
   trap wine_server_stop EXIT
   wine_server_start
   ctest "${ctest_common[@]}" -LE wine) || status=1
fi

# 2. The Windows programs in test networks, each with a Wine server of its own.
ctest "${ctest_common[@]}" -L wine || status=1
exit "$status"
