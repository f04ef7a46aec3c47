#!/usr/bin/env bash
# orvan-scan.exe under Wine against simulated devices (Linux programs in the peer namespaces): a
# channel on every address of this host, a scan that lists every well-formed device and none of the
# hostile or over-long answers, the exact bytes of JSON and CSV, interfaces chosen by address and by
# name, --open through the shell's "open", --watch with Hello and Bye and its end on Ctrl+C, and the messages of a taken port and of a
# scan that finds nothing.
#
#   scan_wine_test.sh <orvan-scan.exe> <orvan_device_sim>
#   (inside netns_run.sh --peers 2 -- wine_netns.sh, which runs the Wine server in this network)
set -uo pipefail

scan=${1:?usage: scan_wine_test.sh <orvan-scan.exe> <orvan_device_sim>}
sim=${2:?usage: scan_wine_test.sh <orvan-scan.exe> <orvan_device_sim>}
# shellcheck source=tests/scan/scan_test_common.sh
source "$(dirname "${BASH_SOURCE[0]}")/../scan/scan_test_common.sh"
trap 'stop_sims; rm -rf "$work"' EXIT
sim_options=(--max-delay-ms 200 --no-http)

run() {
    wine "$scan" "$@" >"$work/out" 2>"$work/err"
    echo $? >"$work/status"
}
expect_status() {
    [[ $(cat "$work/status") == "$1" ]] ||
        fail "$2: exit status $(cat "$work/status"), expected $1 (stderr: $(cat "$work/err"))"
}

# A second address on this host's link: discovery must ask from both.
second_addr=198.18.0.2
ip addr add "$second_addr/16" dev "$ORVAN_NETNS_FINDER_IF" || exit 1

# Four devices with texts that only survive careful handling (non-ASCII beyond the 16-bit range, a
# comma and quotes), a flood of malformed datagrams from another address before every answer, and
# two devices whose answers are longer than any valid datagram. Of the flood only the one answer
# that is well formed (with over-long, out-of-range values) may be listed, as one row.
flood_addr=198.18.1.1
cat >"$work/devices" <<'DEVICES'
address=198.18.1.10; model=SLV-IPC4210; name=Lobby, "east"; location=Floor 1
address=198.18.1.9; model=CAM-9; scope=drm://www.orvan-iot.example/name/Caf%C3%A9%20%F0%9F%93%B7; location=Köln
address=198.18.1.100; model=GW-1; name=gate; location=Yard
address=198.18.1.11; model=CAM-11; name=side; location=Hall
DEVICES
start_sim 0 --devices "$work/devices" --flood 25 --flood-from "$flood_addr" || exit 1
start_sim 1 --base-address 198.18.2.10 --count 2 --oversize || exit 1

# 1. The table: the four devices in address order, nothing else, a probe from each address.
run
expect_status 0 "table"
[[ -s $work/err ]] && fail "table: standard error: $(cat "$work/err")"
ips=$(awk -v flood="$flood_addr" 'NR > 1 && $3 != flood { print $3 }' "$work/out" | tr '\n' ' ')
[[ $ips == "198.18.1.9 198.18.1.10 198.18.1.11 198.18.1.100 " ]] || fail "table: listed '$ips'"
[[ $(awk -v flood="$flood_addr" '$3 == flood' "$work/out" | wc -l) -le 1 ]] || fail "table: the flood made rows"
for from in "$ORVAN_NETNS_FINDER_ADDR" "$second_addr"; do
    grep -q "^probe from $from:" "$work/sim0.out" || fail "no probe came from $from: $(grep probe "$work/sim0.out")"
done
grep -q '^flood sent' "$work/sim0.out" || fail "the simulator sent no malformed datagrams"
grep -q '^answered 2 ' "$work/sim1.out" || fail "the over-long answers were not sent: $(cat "$work/sim1.out")"

# 2. JSON: parsed back, texts exactly as the devices sent them.
run --json
expect_status 0 "json"
python3 - "$work/out" "$flood_addr" <<'PY' || fail "json: $(cat "$work/out")"
import json, sys
devices = [d for d in json.load(open(sys.argv[1], encoding="utf-8")) if d["ip"] != sys.argv[2]]
assert [d["ip"] for d in devices] == ["198.18.1.9", "198.18.1.10", "198.18.1.11", "198.18.1.100"], devices
nine, ten = devices[0], devices[1]
assert nine["name"] == "Caf\u00e9 \U0001F4F7" and nine["location"] == "K\u00f6ln", nine
assert ten["name"] == 'Lobby, "east"' and ten["web_url"] == "https://198.18.1.10", ten
PY

# 3. CSV: records end in one CR LF, not in the CR CR LF a text-mode stream would make of it.
run --csv
expect_status 0 "csv"
[[ $(grep -c $'\r$' "$work/out") -eq $(wc -l <"$work/out") ]] || fail "csv: a record does not end in CR LF"
python3 - "$work/out" "$flood_addr" <<'PY' || fail "csv: $(cat "$work/out")"
import csv, sys
rows = [r for r in csv.DictReader(open(sys.argv[1], encoding="utf-8", newline="")) if r["ip"] != sys.argv[2]]
assert [r["ip"] for r in rows] == ["198.18.1.9", "198.18.1.10", "198.18.1.11", "198.18.1.100"], rows
assert rows[1]["name"] == 'Lobby, "east"', rows[1]
PY
grep -q $'\r\r' "$work/out" && fail "csv: a doubled CR"

# 4. One interface, by address: the probes leave from it alone.
lines_before=$(wc -l <"$work/sim0.out")
run --interface "$second_addr" --json
expect_status 0 "--interface $second_addr"
tail -n +"$((lines_before + 1))" "$work/sim0.out" | grep '^probe from' >"$work/probes"
grep -q "^probe from $second_addr:" "$work/probes" || fail "--interface: no probe from $second_addr"
grep -q "^probe from $ORVAN_NETNS_FINDER_ADDR:" "$work/probes" && fail "--interface: a probe from the other address"

# 5. An interface by its name (Wine names adapters as Linux does), and one that does not exist.
run --interface "$ORVAN_NETNS_FINDER_IF" --json
expect_status 0 "--interface by name"
run --interface nosuch0
expect_status 2 "an unknown interface"
grep -qF "no network interface named 'nosuch0'" "$work/err" || fail "an unknown interface: $(cat "$work/err")"

# 6. --open: the shell's "open" reaches the desktop's URL handler (Wine passes it to xdg-open).
record_opened_urls "$work"
run --open 198.18.1.10
expect_status 0 "--open"
[[ $(cat "$work/out") == "https://198.18.1.10" ]] || fail "--open printed '$(cat "$work/out")'"
wait_for 100 test -s "$urls" || fail "--open: the URL handler did not run"
grep -q '^https://198.18.1.10/\{0,1\}$' "$urls" || fail "--open: the handler got '$(cat "$urls")'"

# 7. --watch: the answers, then Hello and Bye of devices that come and go; Ctrl+C ends it with 0.
stop_sim sim1
watch_devices_come_and_go 4 198.18.2.20 wine
[[ -s $work/watch.err ]] && fail "watch: standard error: $(cat "$work/watch.err")"
python3 - "$work/watch" "$flood_addr" <<'PY' || fail "watch output: $(cat "$work/watch")"
import json, sys
events = [(e["event"], e["ip"]) for e in map(json.loads, open(sys.argv[1], encoding="utf-8"))
          if e["ip"] != sys.argv[2]]
late = [e for e in events if e[0] != "match"]
assert sorted(late) == [("bye", "198.18.2.20"), ("bye", "198.18.2.21"),
                        ("hello", "198.18.2.20"), ("hello", "198.18.2.21")], events
assert events.index(("hello", "198.18.2.20")) < events.index(("bye", "198.18.2.20"))
assert len([e for e in events if e[0] == "match"]) == 4, events
PY

# 8. The discovery port taken by a program that does not share it: status 2 and what is wrong.
hold_udp_port 13702
run
expect_status 2 "port in use"
grep -qF "UDP port 13702 of the discovery group 239.255.255.250 is in use by another program" "$work/err" ||
    fail "port in use: $(cat "$work/err")"
kill "$holder_pid"
wait "$holder_pid" 2>/dev/null

# 9. Nobody answers: status 1 and an empty result.
stop_sims
run --json --timeout 1
expect_status 1 "no devices"
[[ $(cat "$work/out") == "[]" ]] || fail "no devices: JSON is '$(cat "$work/out")'"

end_if_failed
echo "scan_wine_test: passed"
