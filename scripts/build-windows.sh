#!/usr/bin/env bash
# Cross-builds the Windows programs with mingw-w64 and runs their tests under Wine.
# Installs what a Debian machine lacks first (apt-get, through sudo when not root).
#
#   scripts/build-windows.sh              # build in ./build-windows and run the Windows tests
#   scripts/build-windows.sh --no-tests   # build only
#   Further arguments go to ctest (for example -R liborvaniot_os_tests).
#
# The tests run in a throw-away Wine prefix under the build folder (HOME too, since creating a
# prefix writes there), with one Wine server kept running for the whole run and stopped at the end.
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

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 nsis googletest)
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

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" -DORVAN_BUILD_APP=OFF
cmake --build "$build" -j "$(nproc)"

[ "$run_tests" -eq 1 ] || exit 0

wine_home="$build/wine-home"
rm -rf "$wine_home"
mkdir -p "$wine_home/prefix"
export HOME="$wine_home"
export WINEPREFIX="$wine_home/prefix"
export WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all
unset DISPLAY

stop_wine() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}
trap stop_wine EXIT

# One persistent server for all tests, and one program run that creates the prefix and brings up
# Wine's services before the first test: without it every test waits for them, and ctest can hang.
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1 || true

ctest --test-dir "$build" --output-on-failure --timeout 300 "${ctest_args[@]}"
