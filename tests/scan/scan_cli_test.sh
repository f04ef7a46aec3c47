#!/usr/bin/env bash
# orvan-scan as users and scripts run it, against simulated devices in the private test network:
# the table, JSON and CSV (parsed back), --watch with Hello and Bye, --open with a recording URL
# handler, every exit status with its message, the live count on a terminal, and the link-local
# address it adds as root being removed again, also on Ctrl+C.
#
#   scan_cli_test.sh <orvan-scan> <orvan_device_sim>      (inside netns_run.sh --peers 2)
set -uo pipefail

# shellcheck source=tests/scan/scan_test_common.sh
source "$(dirname "${BASH_SOURCE[0]}")/scan_test_common.sh"
trap 'stop_sims; rm -rf "$work"' EXIT
finder_if=$ORVAN_NETNS_FINDER_IF
sim_options=(--max-delay-ms 200 --no-http)

# Runs orvan-scan with the arguments: standard output, error and status in $work/out, err, status.
run() {
    "$scan" "$@" >"$work/out" 2>"$work/err"
    echo $? >"$work/status"
}
status() { cat "$work/status"; }
expect_status() {
    local want=$1 what=$2
    [[ $(status) == "$want" ]] || fail "$what: exit status $(status), expected $want (stderr: $(cat "$work/err"))"
}
expect_err() {
    local text=$1 what=$2
    grep -qF -- "$text" "$work/err" || fail "$what: standard error lacks '$text': $(cat "$work/err")"
}
# Addresses this program added ("<link>:ov" labels).
added_addresses() { ip -4 -o addr show label '*:ov' | awk '{ print $4 }'; }

# Devices whose names and locations carry what breaks careless output: commas, quotes, line breaks,
# non-ASCII and a terminal escape. Addresses sort differently as text and as numbers.
cat >"$work/devices" <<'DEVICES'
address=198.18.1.10; model=SLV-IPC4210; name=Lobby, "east"; location=Floor 1
address=198.18.1.9; model=CAM-9; scope=drm://www.orvan-iot.example/name/Caf%C3%A9%0Aline%202; location=Köln
address=198.18.1.100; model=GW-1; name=gate; scope=drm://www.orvan-iot.example/location/x%1B%5B2Jy
DEVICES
start_sim 0 --devices "$work/devices" --base-address 198.18.1.9 --metadata-version 7 || exit 1

# 1. The table: sorted by IP as numbers, one line per device, nothing on standard error when piped.
run
expect_status 0 "table"
[[ -s $work/err ]] && fail "table: standard error is not empty when piped: $(cat "$work/err")"
ips=$(awk 'NR > 1 { print $3 }' "$work/out" | tr '\n' ' ')
[[ $ips == "198.18.1.9 198.18.1.10 198.18.1.100 " ]] || fail "table: IP order is '$ips'"
head -n1 "$work/out" | grep -q '^Model  *MAC  *IP  *System Name  *Location$' || fail "table heading: $(head -n1 "$work/out")"
[[ $(wc -l <"$work/out") -eq 4 ]] || fail "table: $(wc -l <"$work/out") lines, expected 4"
grep -q $'\e' "$work/out" && fail "table: a terminal escape reached the output"
python3 - "$work/out" <<'PY' || fail "table: columns do not line up"
import sys, unicodedata
lines = open(sys.argv[1], encoding="utf-8").read().splitlines()
starts = [lines[0].index(h) for h in ("MAC", "IP", "System Name", "Location")]
for line in lines[1:]:
    for s in starts:
        assert line[s - 2:s] == "  " and line[s] != " ", (line, s)
PY
added_addresses | grep -q . && fail "table: the added link-local address is still there after the exit"

# 2. JSON, parsed back: every field, names exactly as the devices sent them.
run --json
expect_status 0 "json"
python3 - "$work/out" <<'PY' || fail "json: $(cat "$work/out")"
import json, sys
devices = json.load(open(sys.argv[1], encoding="utf-8"))
assert [d["ip"] for d in devices] == ["198.18.1.9", "198.18.1.10", "198.18.1.100"], devices
keys = ["model", "mac", "ip", "name", "location", "web_url", "endpoint", "types", "xaddrs", "scopes",
        "metadata_version", "reachable", "ip_conflict"]
for d in devices:
    assert list(d) == keys, list(d)
    assert d["metadata_version"] == 7
    assert d["types"] == ["dn:NetworkVideoTransmitter", "tds:Device"], d["types"]
    assert d["xaddrs"] == ["http://%s/device/service" % d["ip"]], d["xaddrs"]
    assert d["endpoint"].startswith("urn:uuid:") and d["mac"].count(":") == 5
nine, ten, hundred = devices
assert nine["name"] == "Caf\u00e9\nline 2" and nine["location"] == "K\u00f6ln", nine
assert ten["name"] == 'Lobby, "east"' and ten["web_url"] == "https://198.18.1.10", ten
assert nine["web_url"] == "http://198.18.1.9"
assert hundred["location"] == "x\x1b[2Jy", hundred["location"]
assert any(s.endswith("/hardware/GW-1") for s in hundred["scopes"]), hundred["scopes"]
PY

# 3. CSV, parsed back (RFC 4180 quoting).
run --csv
expect_status 0 "csv"
python3 - "$work/out" <<'PY' || fail "csv: $(cat "$work/out")"
import csv, sys
with open(sys.argv[1], encoding="utf-8", newline="") as f:
    rows = list(csv.DictReader(f))
assert [r["ip"] for r in rows] == ["198.18.1.9", "198.18.1.10", "198.18.1.100"], rows
assert rows[0]["name"] == "Caf\u00e9\nline 2" and rows[0]["location"] == "K\u00f6ln", rows[0]
assert rows[1]["name"] == 'Lobby, "east"', rows[1]
assert rows[2]["location"] == "x\ufffd[2Jy", rows[2]["location"]
assert rows[1]["types"] == "dn:NetworkVideoTransmitter tds:Device" and rows[1]["metadata_version"] == "7"
PY
grep -q $'\r$' "$work/out" || fail "csv: records do not end in CRLF"

# 4. --open: the right scheme by model, through the desktop's URL handler (a recording stand-in).
record_opened_urls "$work"
run --open 198.18.1.9
expect_status 0 "open by IP"
[[ $(cat "$work/out") == "http://198.18.1.9" ]] || fail "open by IP printed '$(cat "$work/out")'"
run --json
cp "$work/out" "$work/out.json"
mac_of_ten=$(python3 -c 'import json,sys; print([d["mac"] for d in json.load(open(sys.argv[1])) if d["ip"]=="198.18.1.10"][0])' "$work/out.json")
run --open "${mac_of_ten//:/-}"
expect_status 0 "open by MAC"
[[ $(cat "$urls") == $'http://198.18.1.9\nhttps://198.18.1.10' ]] || fail "opened: $(cat "$urls")"
run --open 198.18.1.77 --timeout 1
expect_status 1 "open of an absent device"
expect_err "no device with IP 198.18.1.77 answered" "open of an absent device"
HANDLER_STATUS=4 run --open 198.18.1.9
expect_status 2 "open with a failing handler"
expect_err "failed with status 4" "open with a failing handler"
[[ $(wc -l <"$urls") -eq 3 ]] || fail "the handler ran $(wc -l <"$urls") times, expected 3"
# Root on a user's behalf: the handler, and the browser it would start, run as that user.
SUDO_UID=65534 run --open 198.18.1.9
expect_status 0 "open on behalf of a user"
[[ $(tail -n1 "$uids") == 65534 ]] || fail "with SUDO_UID=65534 the handler ran as uid $(tail -n1 "$uids")"
# A second device claims the MAC of 198.18.1.10 (answers are not authenticated): opening by that MAC
# waits for every answer and refuses, naming both addresses, instead of opening whichever came first.
uuid_of_ten=$(python3 -c 'import json,sys; print([d["endpoint"] for d in json.load(open(sys.argv[1])) if d["ip"]=="198.18.1.10"][0].removeprefix("urn:uuid:"))' "$work/out.json")
echo "address=198.18.2.50; uuid=$uuid_of_ten; model=CAM-9; name=impostor" >"$work/impostor"
start_sim 1 --devices "$work/impostor" --base-address 198.18.2.50 || exit 1
opened_before=$(url_count)
run --open "$mac_of_ten" --timeout 2
expect_status 2 "open by a MAC two devices claim"
expect_err "2 devices claim MAC $mac_of_ten (198.18.1.10, 198.18.2.50)" "open by a MAC two devices claim"
[[ $(url_count) -eq $opened_before ]] || fail "a MAC two devices claim was opened: $(tail -n1 "$urls")"
stop_sim sim1

# Two devices on one address (a second camera still on the first one's address): both are listed,
# each marked, in JSON and in the table's note column.
echo "address=198.18.1.10; model=CAM-9; name=twin" >"$work/twin"
start_sim 1 --devices "$work/twin" --base-address 198.18.1.10 --seed 7 || exit 1
run --json --timeout 2
expect_status 0 "two devices on one address"
python3 - "$work/out" <<'PY' || fail "two devices on one address: $(cat "$work/out")"
import json, sys
devices = json.load(open(sys.argv[1]))
at_ten = [d for d in devices if d["ip"] == "198.18.1.10"]
assert len(at_ten) == 2 and {d["name"] for d in at_ten} == {"Lobby, \"east\"", "twin"}, at_ten
assert all(d["ip_conflict"] for d in at_ten), at_ten
assert not any(d["ip_conflict"] for d in devices if d["ip"] != "198.18.1.10"), devices
assert all(d["reachable"] for d in devices), devices
PY
run --timeout 2
[[ $(grep -c 'IP shared by 2 devices$' "$work/out") == 2 ]] || fail "table: the shared address is not noted: $(cat "$work/out")"
stop_sim sim1

# 5. The live count on a terminal, and nothing of it on a pipe.
script -qec "$scan --timeout 2 >$work/tty.out" "$work/tty.log" >/dev/null 2>&1
grep -q 'Scanning: 3 devices found' "$work/tty.log" || fail "no live count on a terminal: $(cat -v "$work/tty.log")"
grep -q $'\r\e\[K' "$work/tty.log" || fail "the live count is not cleared at the end"
[[ $(wc -l <"$work/tty.out") -eq 4 ]] || fail "terminal run: table has $(wc -l <"$work/tty.out") lines"

# 6. --watch: answers, then Hello from devices that start, Bye from devices that stop; Ctrl+C ends it.
watch_devices_come_and_go 3 198.18.2.10
python3 - "$work/watch" <<'PY' || fail "watch output: $(cat "$work/watch")"
import json, sys
events = [json.loads(line) for line in open(sys.argv[1], encoding="utf-8")]
kinds = [(e["event"], e["ip"]) for e in events]
assert sorted(k for k in kinds if k[0] == "match") == [("match", ip) for ip in ("198.18.1.10", "198.18.1.100", "198.18.1.9")], kinds
assert sorted(k for k in kinds if k[0] != "match") == [("bye", "198.18.2.10"), ("bye", "198.18.2.11"),
                                                       ("hello", "198.18.2.10"), ("hello", "198.18.2.11")], kinds
assert kinds.index(("hello", "198.18.2.10")) < kinds.index(("bye", "198.18.2.10"))
assert all(e["name"].startswith("late-") for e in events if e["event"] != "match")
PY
[[ -s $work/watch.err ]] && fail "watch: standard error: $(cat "$work/watch.err")"

# 7. Ctrl+C while the scanner holds the link-local address it added: the address goes with it.
"$scan" --watch >/dev/null 2>"$work/ctrlc.err" &
ctrlc_pid=$!
address_added() { [[ -n $(added_addresses) ]]; }
wait_for 100 address_added || fail "no link-local address was added as root"
note "added while running: $(added_addresses | tr '\n' ' ')"
kill -INT "$ctrlc_pid"
wait "$ctrlc_pid"
ctrlc_status=$?
[[ $ctrlc_status -le 1 ]] || fail "Ctrl+C: exit status $ctrlc_status"
[[ -z $(added_addresses) ]] || fail "Ctrl+C: the added address $(added_addresses) was left behind"

# 8. No device answers: status 1, an empty result in each format.
stop_sims
run --timeout 1
expect_status 1 "no devices, table"
[[ -s $work/out ]] && fail "no devices: the table printed '$(cat "$work/out")'"
run --json --timeout 1
expect_status 1 "no devices, json"
[[ $(cat "$work/out") == "[]" ]] || fail "no devices: JSON is '$(cat "$work/out")'"

# 9. Usage and system errors: status 2 and a message saying what is wrong.
run --frobnicate
expect_status 2 "unknown option"
expect_err "unknown option '--frobnicate'" "unknown option"
run --interface nosuch0
expect_status 2 "unknown interface"
expect_err "no network interface named 'nosuch0'" "unknown interface"
run --interface 198.18.1.1
expect_status 2 "a peer's address as interface"
expect_err "198.18.1.1 is not an IPv4 address of this computer" "a peer's address as interface"
run --interface lo
expect_status 2 "loopback only"
expect_err "no usable address on the chosen interfaces" "loopback only"

hold_udp_port 13702
run
expect_status 2 "port in use"
expect_err "UDP port 13702 of the discovery group 239.255.255.250 is in use by another program" "port in use"
kill "$holder_pid"
wait "$holder_pid" 2>/dev/null

igmp=$(sysctl -n net.ipv4.igmp_max_memberships)
sysctl -qw net.ipv4.igmp_max_memberships=0
run
expect_status 2 "group unavailable"
expect_err "cannot join the discovery group 239.255.255.250" "group unavailable"
sysctl -qw net.ipv4.igmp_max_memberships="$igmp"

# Without administrator rights: the discovery port counts as privileged here, and later the
# computer has no address at all.
unprivileged=$(sysctl -n net.ipv4.ip_unprivileged_port_start)
sysctl -qw net.ipv4.ip_unprivileged_port_start=20000
setpriv --reuid=nobody --regid=nogroup --clear-groups "$scan" >"$work/out" 2>"$work/err"
echo $? >"$work/status"
expect_status 2 "permission denied"
expect_err "permission denied opening UDP port 13702" "permission denied"
sysctl -qw net.ipv4.ip_unprivileged_port_start="$unprivileged"

address=$(ip -4 -o addr show dev "$finder_if" | awk '{ print $4 }')
ip addr del "$address" dev "$finder_if"
setpriv --reuid=nobody --regid=nogroup --clear-groups "$scan" >"$work/out" 2>"$work/err"
echo $? >"$work/status"
expect_status 2 "no usable interface"
expect_err "no usable network interface" "no usable interface"
ip addr add "$address" dev "$finder_if"

end_if_failed
echo "scan_cli_test: passed"
