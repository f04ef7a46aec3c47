#!/usr/bin/env bash
# The many-sites path end to end, inside the private test network: simulated devices, the scheduled
# scan's own commands (read from its unit file) writing the collector's file as the unit's unprivileged
# user would, Debian's node_exporter serving it on loopback, a real Prometheus scraping that, and its
# HTTP API asked for the devices; then one device stops, the scan runs again, its series goes and the
# "gone" alert's expression returns it. Skipped (77) without prometheus and node_exporter.
#
#   prometheus_e2e_test.sh <orvan-scan> <orvan_device_sim>      (inside netns_run.sh --peers 2)
set -uo pipefail
scan=${1:?usage: prometheus_e2e_test.sh <orvan-scan> <orvan_device_sim>}
sim=${2:?usage: prometheus_e2e_test.sh <orvan-scan> <orvan_device_sim>}
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# shellcheck source=/dev/null
source "$top/tests/support/wait_for.sh"
# shellcheck source=/dev/null
source "$top/tests/support/test_network.sh"
require_test_network prometheus_e2e_test
for tool in prometheus prometheus-node-exporter curl setpriv; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed: skipped" >&2; exit 77; }
done

failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }
note() { echo "prometheus_e2e_test: $*" >&2; }
work=$(mktemp -d)
chmod 755 "$work"
pids=()
sim_pids=()
trap 'stop_processes "${sim_pids[@]}" "${pids[@]}"; rm -rf "$work"' EXIT
ip link set lo up

start_sim() {
    local k=$1
    shift
    ip netns exec "${peers[$k]}" "$sim" --interface "${peer_ifs[$k]}" --max-delay-ms 100 --no-http "$@" \
        >"$work/sim$k.out" 2>&1 &
    sim_pids[$k]=$!
    wait_for 100 grep -q '^ready ' "$work/sim$k.out" || { note "simulator $k: $(cat "$work/sim$k.out")"; exit 1; }
}
start_sim 0 --base-address 198.18.1.20 --count 2 --name "cam-{n}" --model CAM-100 --seed 3
start_sim 1 --base-address 198.18.2.30 --count 1 --name "gate-{n}" --model GW-1 --seed 4

# The unit's commands with this test's folders: %t is the runtime folder, the collector's folder
# is ours. The scan runs as the unit runs it: an unprivileged user without capabilities.
unit=$top/packaging/systemd/orvan-scan-prometheus.service
mkdir -p "$work/run/orvan-scan" "$work/textfile"
chown 65534:65534 "$work/run/orvan-scan"
local_paths() { sed -e "s|%t|$work/run|g" -e "s|/var/lib/prometheus/node-exporter|$work/textfile|g" -e "s|/usr/bin/orvan-scan|$scan|"; }
scan_command=$(grep '^ExecStart=' "$unit" | cut -d= -f2- | local_paths)
publish_command=$(grep '^ExecStopPost=+' "$unit" | cut -d= -f2- | cut -c2- | local_paths)
run_unit() {
    # shellcheck disable=SC2086
    setpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=-all --bounding-set=-all $scan_command \
        2>"$work/scan.err"
    local status=$?
    [[ $status -le 1 ]] || fail "the scan ended with status $status: $(cat "$work/scan.err")"
    eval "$publish_command" || fail "publishing the file failed"
}
run_unit
grep -q '^orvan_scan_devices 3$' "$work/textfile/orvan-devices.prom" ||
    fail "the file does not hold 3 devices: $(cat "$work/textfile/orvan-devices.prom")"

prometheus-node-exporter --collector.disable-defaults --collector.textfile \
    --collector.textfile.directory="$work/textfile" --web.listen-address=127.0.0.1:9100 >"$work/node.log" 2>&1 &
pids+=($!)
cat >"$work/prometheus.yml" <<'CONFIG'
global:
  scrape_interval: 1s
  evaluation_interval: 1s
scrape_configs:
  - job_name: site
    static_configs:
      - targets: ["127.0.0.1:9100"]
CONFIG
prometheus --config.file="$work/prometheus.yml" --storage.tsdb.path="$work/tsdb" \
    --web.listen-address=127.0.0.1:9090 >"$work/prometheus.log" 2>&1 &
pids+=($!)

# query EXPR: the result of an instant query as "ip mac model name" lines, sorted.
query() {
    curl -sf --get --data-urlencode "query=$1" http://127.0.0.1:9090/api/v1/query |
        python3 -c 'import json, sys
for r in sorted(json.load(sys.stdin)["data"]["result"], key=lambda r: r["metric"].get("ip", "")):
    m = r["metric"]
    print(m.get("ip"), m.get("mac"), m.get("model"), m.get("name"), m.get("reachable"))' 2>/dev/null
}
series_count() { [[ $(query orvan_device_info | grep -c .) -eq $1 ]]; }

wait_for 300 series_count 3 ||
    fail "Prometheus did not get the 3 devices: $(query orvan_device_info); $(tail -3 "$work/prometheus.log")"
expected="198.18.1.20 02:03:00:00:00:00 CAM-100 cam-1 true
198.18.1.21 02:03:00:00:00:01 CAM-100 cam-2 true
198.18.2.30 02:04:00:00:00:00 GW-1 gate-1 true"
[[ $(query orvan_device_info) == "$expected" ]] || fail "device series: $(query orvan_device_info)"
[[ $(query orvan_scan_failed) == "None None None None None" ]] || fail "orvan_scan_failed is not there"

# The gateway stops; the next scheduled scan no longer finds it.
stop_processes "${sim_pids[1]}"
unset 'sim_pids[1]'
run_unit
wait_for 300 series_count 2 || fail "the stopped device's series did not go: $(query orvan_device_info)"
gone_expr=$(grep -A1 'alert: OrvanDeviceGone' "$top/packaging/prometheus/alerts.yml" | sed -n 's/^ *expr: //p')
[[ -n $gone_expr ]] || fail "no expression for OrvanDeviceGone in alerts.yml"
# The alert fires once this has held for 10 minutes; the expression itself returns the device now.
gone=$(query "$gone_expr")
[[ $gone == "198.18.2.30 02:04:00:00:00:00 GW-1 gate-1 true" ]] || fail "the gone expression returned: '$gone'"

[[ $failed -eq 0 ]] && note "passed"
exit $failed
