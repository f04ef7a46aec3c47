#!/usr/bin/env bash
# The many-sites path end to end, inside the private test network: simulated devices (names that
# need escaping among them), the scheduled scan's own commands read from its unit file (the scan as
# an unprivileged user without capabilities, the steps before and after it as root), Debian's
# node_exporter serving the file on loopback as a user of its own, a real Prometheus scraping it
# every second, and its HTTP API asked for the devices. Then one device stops, the scan runs again,
# its series goes and the "gone" alert's expression returns it; then the scan cannot run at all,
# and the file says so, keeps the last success time, and no device is called gone for it.
# Skipped (77) without prometheus and node_exporter.
#
#   prometheus_e2e_test.sh <orvan-scan> <orvan_device_sim>      (inside netns_run.sh --peers 2)
set -uo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# shellcheck source=tests/scan/scan_test_common.sh
source "$top/tests/scan/scan_test_common.sh"
pids=()
trap 'stop_sims; stop_processes "${pids[@]}"; rm -rf "$work"' EXIT
for tool in prometheus prometheus-node-exporter python3 setpriv unshare; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed (scripts/setup-debian.sh installs it): skipped" >&2; exit 77; }
done
ip link set lo up
nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=-all --ambient-caps=-all --bounding-set=-all
        --no-new-privs --)

sim_options=(--max-delay-ms 100 --no-http)
cat >"$work/devices0" <<'DEVICES'
address=198.18.1.9; model=SLV-IPC4210; name=Lobby "east"; location=Floor 1\2
address=198.18.1.10; model=CAM-9; name=Dock; location=Köln
DEVICES
cat >"$work/devices1" <<'DEVICES'
address=198.18.2.10; model=GW-1; name=gate; location=Yard
DEVICES
start_sim 0 --devices "$work/devices0" --base-address 198.18.1.9 --seed 3 || exit 1
start_sim 1 --devices "$work/devices1" --base-address 198.18.2.10 --seed 4 || exit 1

# The unit's commands with this test's folders: %t is the runtime folder (new at every start, as
# systemd makes it for the dynamic user), the collector's folder is ours.
unit=$top/packaging/systemd/orvan-scan-prometheus.service
textfile=$work/textfile
published=$textfile/orvan-devices.prom
mkdir -p "$textfile"
local_paths() { sed -e "s|%t|$work/run|g" -e "s|/var/lib/prometheus/node-exporter|$textfile|g" -e "s|/usr/bin/orvan-scan|$scan|"; }
start_pre=$(sed -n 's/^ExecStartPre=-+//p' "$unit" | local_paths)
scan_command=$(sed -n 's/^ExecStart=//p' "$unit" | local_paths)
stop_post=$(sed -n 's/^ExecStopPost=+//p' "$unit" | local_paths)
[[ -n $start_pre && -n $scan_command && -n $stop_post ]] || fail "the unit's commands changed, update this test"
# run_unit [PREFIX...]: one start of the service; the scan runs under PREFIX (e.g. without network).
run_unit() {
    rm -rf "$work/run" && mkdir -p "$work/run/orvan-scan" && chown 65534:65534 "$work/run/orvan-scan"
    eval "$start_pre" 2>/dev/null
    # shellcheck disable=SC2086
    "$@" "${nobody[@]}" $scan_command 2>"$work/scan.err"
    scan_status=$?
    eval "$stop_post" || fail "publishing the file failed"
    [[ -z $(ip -4 -o addr show to 169.254.0.0/16) ]] ||
        fail "the scan without capabilities added a link-local address: $(ip -4 -o addr show to 169.254.0.0/16)"
}
run_unit
[[ $scan_status -eq 0 ]] || fail "the scan ended with status $scan_status: $(cat "$work/scan.err")"
grep -q '^orvan_scan_devices 3$' "$published" || fail "the file does not hold 3 devices: $(cat "$published")"
[[ $(ls -A "$textfile") == orvan-devices.prom ]] || fail "files beside the published one: $(ls -A "$textfile")"

# node_exporter as a user of its own, as Debian runs it: the file must be readable by others.
"${nobody[@]}" prometheus-node-exporter --collector.disable-defaults --collector.textfile \
    --collector.textfile.directory="$textfile" --web.listen-address=127.0.0.1:9100 >"$work/node.log" 2>&1 &
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

# query EXPR: the result of an instant query as JSON lines of labels (name, instance and job left
# out), sorted; ips_of EXPR: just the ip labels.
query() {
    python3 - "$1" <<'PY'
import json, sys, urllib.parse, urllib.request
url = "http://127.0.0.1:9090/api/v1/query?" + urllib.parse.urlencode({"query": sys.argv[1]})
try:
    reply = json.load(urllib.request.urlopen(url, timeout=5))
except Exception as error:
    print("error: %s" % error)
    sys.exit(1)
rows = [{k: v for k, v in r["metric"].items() if k not in ("__name__", "instance", "job")} for r in reply["data"]["result"]]
for row in sorted(json.dumps(r, sort_keys=True, ensure_ascii=False) for r in rows):
    print(row)
PY
}
ips_of() { query "$1" | python3 -c 'import json, sys; print(" ".join(sorted(json.loads(l).get("ip", "-") for l in sys.stdin if l.startswith("{"))))'; }
devices_are() { [[ $(ips_of orvan_device_info) == "$1" ]]; }
holds() { [[ -n $(query "$1") ]]; }

if ! wait_for 300 devices_are "198.18.1.10 198.18.1.9 198.18.2.10"; then
    fail "Prometheus lists $(ips_of orvan_device_info); node_exporter: $(tail -3 "$work/node.log"); $(tail -3 "$work/prometheus.log")"
    exit 1  # nothing below can pass
fi
python3 - "$(query orvan_device_info)" <<'PY' || fail "labels in Prometheus differ from the devices'"
import json, re, sys
rows = {r["ip"]: r for r in map(json.loads, sys.argv[1].splitlines())}
want = {
    "198.18.1.9": ("SLV-IPC4210", 'Lobby "east"', "Floor 1\\2"),
    "198.18.1.10": ("CAM-9", "Dock", "Köln"),
    "198.18.2.10": ("GW-1", "gate", "Yard"),
}
ok = True
for ip, (model, name, location) in want.items():
    row = rows.get(ip, {})
    if (row.get("model"), row.get("name"), row.get("location")) != (model, name, location) \
            or not re.fullmatch(r"([0-9A-F]{2}:){5}[0-9A-F]{2}", row.get("mac", "")) \
            or not re.fullmatch(r"https?://" + re.escape(ip) + r"/?", row.get("web_url", "")) \
            or row.get("reachable", "true") != "true":
        print("FAIL: %s: %s" % (ip, row), file=sys.stderr)
        ok = False
sys.exit(0 if ok else 1)
PY
holds 'orvan_scan_devices == 3 and orvan_scan_failed == 0 and orvan_scan_duration_seconds > 0' ||
    fail "the scan's figures: $(query '{__name__=~"orvan_scan_.*"}')"

# The gateway stops; the next scheduled scan no longer finds it.
stop_sim sim1
run_unit
[[ $scan_status -eq 0 ]] || fail "the second scan ended with status $scan_status: $(cat "$work/scan.err")"
wait_for 300 devices_are "198.18.1.10 198.18.1.9" || fail "the stopped device's series did not go: $(ips_of orvan_device_info)"
gone_expr=$(grep -A1 'alert: OrvanDeviceGone' "$top/packaging/prometheus/alerts.yml" | sed -n 's/^ *expr: //p')
[[ $gone_expr == *orvan_device_info* ]] || fail "no expression for OrvanDeviceGone in alerts.yml"
# The alert fires once this has held for 10 minutes; the expression itself returns the device now.
[[ $(ips_of "$gone_expr") == 198.18.2.10 ]] || fail "the gone expression returned: $(query "$gone_expr")"
success_before=$(grep '^orvan_scan_last_success_timestamp_seconds ' "$published")

# The scan cannot run (no network at all): the unit fails, the file says so without devices, keeps
# the last success time, and the devices of a site that cannot scan are not called gone.
run_unit unshare --net
[[ $scan_status -eq 2 ]] || fail "a scan without network: status $scan_status: $(cat "$work/scan.err")"
grep -q '^orvan_scan_failed 1$' "$published" || fail "failed scan: $(cat "$published")"
grep -q '^orvan_device_info' "$published" && fail "a failed scan still lists devices"
[[ $(grep '^orvan_scan_last_success_timestamp_seconds ' "$published") == "$success_before" ]] ||
    fail "the last success time was not kept: $(cat "$published")"
wait_for 300 holds 'orvan_scan_failed == 1' || fail "Prometheus did not see the failed scan"
[[ -z $(query "$gone_expr") ]] || fail "the gone expression judges a site that cannot scan: $(query "$gone_expr")"

[[ $failed -eq 0 ]] && note "passed"
exit $failed
