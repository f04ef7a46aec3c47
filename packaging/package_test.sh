#!/usr/bin/env bash
# The Debian package on this machine: builds it from a build folder, installs it with apt-get,
# checks that both programs start (orvan-scan --help; the finder's window on Xvfb inside a private
# test network), then removes it and checks that nothing of it is left. Needs root; meant for CI.
#
#   packaging/package_test.sh [build-dir]      (default: build)
set -uo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd) || { echo "package_test: no build folder ${1:-$top/build}" >&2; exit 1; }
readonly package=orvaniot-finder

fail() { echo "FAIL: $*" >&2; failed=1; }
note() { echo "package_test: $*" >&2; }
failed=0

if [[ $(id -u) -ne 0 ]]; then
    note "needs root to install a package; not running (skipped)"
    exit 77
fi
installed() { dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; }
export DEBIAN_FRONTEND=noninteractive
remove() { apt-get purge -y -q "$package" >/dev/null; }
if installed; then
    note "$package is installed already (an earlier run?): removing it first"
    remove
fi

work=$(mktemp -d)
trap 'installed && remove; rm -rf "$work"' EXIT

# 1. The package.
(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log" >&2; exit 1; }
deb=$(find "$work/out" -maxdepth 1 -name "${package}_*.deb" | head -n1)
[[ -n $deb ]] || { note "cpack made no ${package} package"; cat "$work/cpack.log" >&2; exit 1; }
note "built $(basename "$deb")"
dpkg-deb --info "$deb" | grep -E '^ (Package|Version|Depends|Recommends):' >&2

# 2. Installed the way users install it.
apt-get install -y -q "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; exit 1; }
installed || { note "apt-get did not install $package"; exit 1; }
dpkg -L "$package" >"$work/files"

for path in /usr/bin/orvan-scan /usr/bin/orvan-finder /usr/share/applications/orvan-finder.desktop \
    /usr/share/icons/hicolor/256x256/apps/orvan-finder.png /usr/share/man/man1/orvan-scan.1.gz \
    /usr/share/doc/$package/README.md; do
    grep -qx "$path" "$work/files" || fail "the package lacks $path"
done
grep -qx 'Exec=orvan-finder' /usr/share/applications/orvan-finder.desktop || fail "desktop entry: wrong Exec"
grep -qx 'Icon=orvan-finder' /usr/share/applications/orvan-finder.desktop || fail "desktop entry: wrong Icon"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate /usr/share/applications/orvan-finder.desktop || fail "desktop entry does not validate"
fi
zcat /usr/share/man/man1/orvan-scan.1.gz | grep -q '^\.TH ORVAN-SCAN 1' || fail "man page unreadable"
# The scheduled scan for Prometheus: installed, disabled, and sound as systemd reads it.
for unit in orvan-scan-prometheus.service orvan-scan-prometheus.timer; do
    grep -qx "/usr/lib/systemd/system/$unit" "$work/files" || fail "the package lacks $unit"
done
[[ $(systemctl --root=/ is-enabled orvan-scan-prometheus.timer 2>&1) == disabled ]] ||
    fail "orvan-scan-prometheus.timer is not disabled after installation"
systemd-analyze verify --man=no /usr/lib/systemd/system/orvan-scan-prometheus.service \
    /usr/lib/systemd/system/orvan-scan-prometheus.timer || fail "systemd-analyze verify finds faults in the units"

# 3. Both programs start from where the package put them.
(cd / && orvan-scan --help) >"$work/help" 2>&1
help_status=$?
[[ $help_status -eq 0 ]] || fail "orvan-scan --help: exit status $help_status"
grep -q '^Usage: orvan-scan' "$work/help" || fail "orvan-scan --help printed: $(cat "$work/help")"
"$top/tests/netns/netns_run.sh" --timeout 150 -- "$top/tests/app/app_window_test.sh" /usr/bin/orvan-finder \
    "$build/artifacts/package" || fail "the installed finder did not start and end cleanly"

# 4. Removed without leftovers.
remove
installed && fail "$package is still installed after apt-get purge"
while IFS= read -r path; do
    [[ -d $path ]] && continue  # shared folders such as /usr/bin stay
    [[ -e $path || -L $path ]] && fail "left behind: $path"
done <"$work/files"

if ((failed)); then
    exit 1
fi
echo "package_test: passed"
