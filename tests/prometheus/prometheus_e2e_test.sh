#!/usr/bin/env bash
# The many-sites path end to end, inside the private test network: simulated devices in two peers,
# the scheduled service's exact command (without any capability, as the unit runs it) writing the
# textfile, Debian's node_exporter serving it on loopback, and a real Prometheus scraping that every
# second. The HTTP API must list every device with its labels; after one simulator stops and the
# scan runs again, its series is gone and the rule "OrvanDeviceGone" returns it.
#
#   prometheus_e2e_test.sh <orvan-scan> <orvan_device_sim> <source dir>  (inside netns_run.sh --peers 2)
set -uo pipefail

scan=${1:?usage: prometheus_e2e_test.sh <orvan-scan> <orvan_device_sim> <source dir>}
sim=${2:?usage: prometheus_e2e_test.sh <orvan-scan> <orvan_device_sim> <source dir>}
src=${3:?usage: prometheus_e2e_test.sh <orvan-scan> <orvan_device_sim> <source dir>}

# shellcheck source=/dev/null
source "$src/tests/support/wait_for.sh"
# shellcheck source=/dev/null
source "$src/tests/support/test_network.sh"
require_test_network prometheus_e2e_test

note() { echo "prometheus_e2e_test: $*" >&2; }
for tool in prometheus prometheus-node-exporter python3 setpriv; do
    command -v "$tool" >/dev/null || { note "$tool is not installed (scripts/setup-debian.sh installs it): skipped"; exit 77; }
done

work=$(mktemp -d)
chmod 755 "$work"
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }
sim_pids=()
exporter_pid=
prometheus_pid=
# Every process this test started, by pid.
trap 'stop_processes "${sim_pids[@]}" $exporter_pid $prometheus_pid; rm -rf "$work"' EXIT

readonly exporter_port=19100 prometheus_port=19090
textfile_dir=$work/node-exporter
mkdir -p "$textfile_dir"

# The service's ExecStart, with the directory of this test in place of Debian's.
unit=$src/packaging/systemd/orvan-scan-prometheus.service
exec_start=$(sed -n 's/^ExecStart=//p' "$unit")
[[ $exec_start == "/usr/bin/orvan-scan --prometheus --output /var/lib/prometheus/node-exporter/orvan-scan.prom" ]] ||
    fail "the unit's command changed, update this test: $exec_start"
read -r -a command <<<"$exec_start"
command[0]=$scan
command[${#command[@]} - 1]=$textfile_dir/orvan-scan.prom

# As the unit runs it: no capability at all, so no link-local address may appear.
run_scan() {
    setpriv --inh-caps=-all --ambient-caps=-all --bounding-set=-all --no-new-privs -- "${command[@]}" \
        2>"$work/scan.err"
    local status=$?
    [[ $status -le 1 ]] || fail "scan: status $status: $(cat "$work/scan.err")"
    [[ -z $(ip -4 -o addr show to 169.254.0.0/16) ]] && return 0
    fail "the scan without capabilities added a link-local address: $(ip -4 -o addr show to 169.254.0.0/16)"
}

start_sim() {
    local k=$1
    shift
    ip netns exec "${peers[$k]}" "$sim" --interface "${peer_ifs[$k]}" --max-delay-ms 100 --no-http "$@" \
        >"$work/sim$k.out" 2>&1 &
    sim_pids+=($!)
    wait_for 100 grep -q '^ready ' "$work/sim$k.out" || { note "simulator $k: $(cat "$work/sim$k.out")"; exit 1; }
}

# Names that need escaping in the exposition format, so that the labels are checked end to end.
cat >"$work/devices0" <<'DEVICES'
address=198.18.1.9; model=SLV-IPC4210; name=Lobby "east"; location=Floor 1\2
address=198.18.1.10; model=CAM-9; name=Dock; location=Köln
DEVICES
cat >"$work/devices1" <<'DEVICES'
address=198.18.2.10; model=GW-1; name=gate; location=Yard
DEVICES
start_sim 0 --devices "$work/devices0" --base-address 198.18.1.9
start_sim 1 --devices "$work/devices1" --base-address 198.18.2.10

run_scan
grep -q '^orvan_scan_failed 0$' "$textfile_dir/orvan-scan.prom" || fail "first scan: $(cat "$textfile_dir/orvan-scan.prom")"
ls "$textfile_dir" | grep -qv '^orvan-scan.prom$' && fail "temporary files left: $(ls "$textfile_dir")"

prometheus-node-exporter --collector.disable-defaults --collector.textfile \
    --collector.textfile.directory "$textfile_dir" --web.listen-address "127.0.0.1:$exporter_port" \
    >"$work/exporter.log" 2>&1 &
exporter_pid=$!

cat >"$work/prometheus.yml" <<EOF2
global:
  scrape_interval: 1s
  evaluation_interval: 1s
scrape_configs:
  - job_name: node
    static_configs:
      - targets: ["127.0.0.1:$exporter_port"]
EOF2
prometheus --config.file "$work/prometheus.yml" --storage.tsdb.path "$work/tsdb" \
    --web.listen-address "127.0.0.1:$prometheus_port" >"$work/prometheus.log" 2>&1 &
prometheus_pid=$!

# query EXPR: the result vector as JSON lines of labels (metric name dropped), sorted.
query() {
    python3 - "$prometheus_port" "$1" <<'PY'
import json, sys, urllib.parse, urllib.request
url = "http://127.0.0.1:%s/api/v1/query?" % sys.argv[1] + urllib.parse.urlencode({"query": sys.argv[2]})
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
# within SECONDS COMMAND...: retries the command until it succeeds or the seconds have passed (each
# try runs Python twice, so a count of tries would not bound the time on a busy machine).
within() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < end)) || return 1
        sleep 0.2
    done
}
ips_of() { query "$1" | python3 -c 'import json, sys; print(" ".join(sorted(json.loads(l)["ip"] for l in sys.stdin if l.startswith("{"))))'; }

devices_are() { [[ $(ips_of orvan_device_info) == "$1" ]]; }
within 30 devices_are "198.18.1.10 198.18.1.9 198.18.2.10" ||
    fail "Prometheus lists $(ips_of orvan_device_info) (log: $(tail -3 "$work/prometheus.log"))"

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
    got = (row.get("model"), row.get("name"), row.get("location"))
    if got != (model, name, location) or not re.fullmatch(r"([0-9A-F]{2}:){5}[0-9A-F]{2}", row.get("mac", "")) \
            or not re.fullmatch(r"https?://" + re.escape(ip) + r"/?", row.get("web_url", "")):
        print("FAIL: %s: %s" % (ip, row), file=sys.stderr)
        ok = False
sys.exit(0 if ok else 1)
PY
[[ $(query orvan_scan_devices) ]] && [[ $(query 'orvan_scan_devices == 3') ]] || fail "orvan_scan_devices is not 3"

# The gate leaves; the next run no longer lists it.
stop_processes "${sim_pids[1]}"
sim_pids=("${sim_pids[0]}")
run_scan
within 15 devices_are "198.18.1.10 198.18.1.9" || fail "after the gate left, Prometheus lists $(ips_of orvan_device_info)"

# The alert's own expression, its windows shortened (1h to 5m, 10m to 3s) so that the test takes
# seconds instead of ten minutes; what it compares and excludes is the shipped rule's.
gone_expr=$(python3 - "$src/packaging/prometheus/alerts.yml" <<'PY'
import re, sys
text = open(sys.argv[1]).read()
block = text.split("alert: OrvanDeviceGone", 1)[1]
expr = re.search(r"expr: \|\n((?:          .*\n)+)", block).group(1)
print(" ".join(l.strip() for l in expr.splitlines()).replace("[1h]", "[5m]").replace("[10m]", "[3s]"))
PY
)
[[ $gone_expr == *orvan_device_info* ]] || fail "could not read the gone rule's expression"
gone_is_gate() { [[ $(ips_of "$gone_expr") == "198.18.2.10" ]]; }
within 15 gone_is_gate || fail "the gone rule returns '$(ips_of "$gone_expr")' for: $gone_expr"

# A scan that cannot run still replaces the file: no device, failed, the last success time kept.
cp "$textfile_dir/orvan-scan.prom" "$work/failed.prom"
"${command[@]:0:${#command[@]}-1}" "$work/failed.prom" --interface nosuch0 2>/dev/null
status=$?
[[ $status -eq 2 ]] || fail "a scan on a missing interface: status $status"
grep -q '^orvan_scan_failed 1$' "$work/failed.prom" || fail "failed scan: $(cat "$work/failed.prom")"
grep -q '^orvan_device_info' "$work/failed.prom" && fail "a failed scan still lists devices"
[[ $(grep '^orvan_scan_last_success' "$work/failed.prom") == $(grep '^orvan_scan_last_success' "$textfile_dir/orvan-scan.prom") ]] ||
    fail "the last success time was not kept: $(cat "$work/failed.prom")"

[[ $failed -eq 0 ]] && echo "prometheus_e2e_test: all checks passed"
exit "$failed"
