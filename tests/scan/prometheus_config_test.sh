#!/usr/bin/env bash
# What the many-sites set-up ships, checked by the tools that will read it: the alert rules (and
# their behaviour over simulated sites, alerts_test.yml) and the federation example by promtool, the
# scheduled scan's units, alone and with the man page's link-local drop-in, by systemd-analyze
# (against a root that holds the built orvan-scan where the unit expects it). Skipped (77) without
# those tools.
#
#   prometheus_config_test.sh <orvan-scan>
set -uo pipefail
scan=${1:?usage: prometheus_config_test.sh <orvan-scan>}
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
command -v promtool >/dev/null && command -v systemd-analyze >/dev/null ||
    { echo "promtool or systemd-analyze missing: skipped" >&2; exit 77; }

failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$top/packaging/prometheus" && promtool check rules alerts.yml && promtool test rules alerts_test.yml &&
    promtool check config federation.yml) || fail "promtool finds faults in packaging/prometheus"

# systemd checks the units against the system they would run on: its own units, our program, a shell.
mkdir -p "$work/root/usr/bin" "$work/root/bin" "$work/root/lib/systemd/system"
cp -a /lib/systemd/system/. "$work/root/lib/systemd/system/"
cp "$top"/packaging/systemd/orvan-scan-prometheus.* "$work/root/lib/systemd/system/"
cp "$scan" "$work/root/usr/bin/orvan-scan"
cp /bin/sh "$work/root/bin/sh"
cp /usr/bin/install "$work/root/usr/bin/install"
verify() {
    systemd-analyze verify --man=no --root="$work/root" orvan-scan-prometheus.service orvan-scan-prometheus.timer \
        >"$work/verify" 2>&1 || fail "systemd-analyze verify ($1): $(cat "$work/verify")"
    [[ -s $work/verify ]] && fail "systemd-analyze verify warns ($1): $(cat "$work/verify")"
}
verify "the units as shipped"
# The drop-in the man page gives for adding link-local addresses, as an administrator would save it.
dropin=$work/root/etc/systemd/system/orvan-scan-prometheus.service.d
mkdir -p "$dropin"
sed -n '/^\[Service\]$/,/^\.fi$/p' "$top/tools/orvan_scan/orvan-scan.1" | grep -v '^\.fi$' >"$dropin/link-local.conf"
grep -q '^CapabilityBoundingSet=CAP_NET_ADMIN' "$dropin/link-local.conf" ||
    fail "no link-local drop-in found in the man page: $(cat "$dropin/link-local.conf")"
verify "with the man page's link-local drop-in"

exit $failed
