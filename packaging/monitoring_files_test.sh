#!/usr/bin/env bash
# The files the package ships for Prometheus: the scan's service and timer pass systemd-analyze
# verify (with ExecStart pointing at the built program, as the package's path is not installed
# here), and the alert rules and federation examples pass promtool. Exits 77 (skipped) when neither
# tool is installed; a missing one is reported and its checks skipped.
#
#   monitoring_files_test.sh <orvan-scan>
set -uo pipefail

scan=${1:?usage: monitoring_files_test.sh <orvan-scan>}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
failed=0
checked=0
fail() { echo "FAIL: $*" >&2; failed=1; }
note() { echo "monitoring_files_test: $*" >&2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if command -v systemd-analyze >/dev/null; then
    checked=1
    for unit in orvan-scan-prometheus.service orvan-scan-prometheus.timer; do
        sed "s|/usr/bin/orvan-scan|$scan|" "$here/systemd/$unit" >"$work/$unit"
    done
    grep -q '^ExecStart=/usr/bin/orvan-scan --prometheus --output /var/lib/prometheus/node-exporter/' \
        "$here/systemd/orvan-scan-prometheus.service" || fail "the service no longer runs the installed program into the textfile directory"
    grep -q '^SuccessExitStatus=1$' "$here/systemd/orvan-scan-prometheus.service" ||
        fail "exit status 1 (no device) would mark the unit failed"
    # The drop-in example, uncommented, is checked with them.
    mkdir -p "$work/orvan-scan-prometheus.service.d"
    sed -n 's/^# \(\[Service\]\|[A-Za-z]*=.*\)$/\1/p' "$here/systemd/link-local.conf.example" \
        >"$work/orvan-scan-prometheus.service.d/link-local.conf"
    grep -q CAP_NET_ADMIN "$work/orvan-scan-prometheus.service.d/link-local.conf" || fail "drop-in example: no capability line found"
    # Loaded from a unit path, so that the drop-in is read too; any remark about our files fails.
    if ! SYSTEMD_UNIT_PATH="$work:" systemd-analyze verify --man=no orvan-scan-prometheus.service \
        orvan-scan-prometheus.timer >"$work/verify" 2>&1 || grep -q 'orvan-scan-prometheus\|link-local' "$work/verify"; then
        fail "systemd-analyze verify: $(cat "$work/verify")"
    fi
else
    note "systemd-analyze is not installed: the units were not verified"
fi

if command -v promtool >/dev/null; then
    checked=1
    promtool check rules "$here/prometheus/alerts.yml" >"$work/rules" 2>&1 || fail "promtool check rules: $(cat "$work/rules")"
    for config in prometheus-site.yml prometheus-central.yml; do
        promtool check config "$here/prometheus/$config" >"$work/config" 2>&1 ||
            fail "promtool check config $config: $(cat "$work/config")"
    done
else
    note "promtool is not installed: the rules and examples were not checked"
fi

[[ $checked -eq 1 ]] || exit 77
[[ $failed -eq 0 ]] && echo "monitoring_files_test: all checks passed"
exit "$failed"
