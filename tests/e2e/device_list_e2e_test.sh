#!/usr/bin/env bash
# The device list as a user sees it: the finder on a virtual display, simulated devices in two peer
# namespaces, Scan, row clicks and Web GUI by mouse (xdotool), double click, Enter, the row menu,
# copying (read back from the X clipboard with xclip), sorting by a heading, and the browser
# replaced by a script that writes down the URL it was asked to open.
#
#   device_list_e2e_test.sh <orvan_finder> <orvan_device_sim> <artifact-dir>
#
# Runs only inside a private test network with two peers (netns_run.sh --peers 2). The finder's
# rows are read from the file it writes when ORVAN_DUMP_ROWS_TO is set.
set -uo pipefail

check_name=e2e
# shellcheck source=tests/e2e/e2e_common.sh
source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
require_test_network e2e 2

# --- The devices. Values are percent-encoded by the simulator (a space as %20, é as %C3%A9).
long_name=$(printf 'N%.0s' {1..80})
long_location=$(printf 'L%.0s' {1..70})
cat >"$work/devices_a" <<EOF
address=198.18.1.9; model=SLV-IPC4210; name=Side Door; location=Floor 2
address=198.18.1.10; model=SLV-IPC4210; name=Lobby Cam; location=Floor 1
address=198.18.1.11; hardware-scope=no; name=Gate; location=Yard
address=198.18.1.12; model=Selvani Indoor Cube; name=Café Corner; location=Hall B/West
address=198.18.1.13; model=slv-ipc4210; name=$long_name; location=$long_location
address=198.18.1.14; hardware-scope=no; name=Spare; location=Shelf; scope=drm://www.orvan-iot.example/hardware/SLV-IPC4210%20
EOF
cat >"$work/devices_b" <<EOF
address=198.18.2.10; model=DUP-FIRST; name=Twin; location=Annex
EOF
# IP -> the row (Model, MAC, IP, System Name, Location) and the URL Web GUI must open.
declare -A expected_row expected_url
tab=$'\t'
expect() { expected_row[$3]="$1$tab$2$tab$3$tab$4$tab$5"; expected_url[$3]=$6; }
expect "SLV-IPC4210" "02:01:00:00:00:00" 198.18.1.9 "Side Door" "Floor 2" https://198.18.1.9
expect "SLV-IPC4210" "02:01:00:00:00:01" 198.18.1.10 "Lobby Cam" "Floor 1" https://198.18.1.10
expect "Unknown" "02:01:00:00:00:02" 198.18.1.11 "Gate" "Yard" http://198.18.1.11
expect "Selvani Indoor Cube" "02:01:00:00:00:03" 198.18.1.12 "Café Corner" "Hall B/West" https://198.18.1.12
expect "slv-ipc4210" "02:01:00:00:00:04" 198.18.1.13 "${long_name:0:63}" "${long_location:0:63}" http://198.18.1.13
expect "SLV-IPC4210 " "02:01:00:00:00:05" 198.18.1.14 "Spare" "Shelf" http://198.18.1.14
expect "DUP-FIRST" "02:02:00:00:00:00" 198.18.2.10 "Twin" "Annex" http://198.18.2.10
readonly hello_ips="198.18.1.9 198.18.1.10 198.18.1.11 198.18.1.12 198.18.1.13 198.18.1.14"
readonly all_ips="$hello_ips 198.18.2.10"
# The IP column sorted by value (198.18.1.9 before 198.18.1.10), as the rows read from the top.
readonly sorted_ips="198.18.1.9 198.18.1.10 198.18.1.11 198.18.1.12 198.18.1.13 198.18.1.14 198.18.2.10"
ip_column() { awk -F'\t' 'NR > 6 { printf "%s%s", sep, $3; sep = " " }' "$rows_file"; }
ip_column_is() { [[ $(ip_column) == "$1" ]]; }
reversed() { tr ' ' '\n' <<<"$1" | tac | paste -sd' '; }

check_row() {
    local ip=$1 got
    got=$(row_of "$ip")
    [[ $got == "${expected_row[$ip]}" ]] || fail "row of $ip is [$got], expected [${expected_row[$ip]}]"
}

start_finder_with_rows
# The listener hears announcements once its group receiver is bound to the discovery port.
listening() { ss -Huanp 'sport = :13702' 2>/dev/null | grep -q orvan_finder; }
wait_for 150 listening || fail "the finder does not listen on port 13702"

sim_options=(--max-delay-ms 300)

# 1. Announcements: devices that say Hello appear without a Scan; the silent one does not.
start_sim 1 --devices "$work/devices_b" --seed 2 --no-hello --duplicate-answers --duplicate-model SLV-IPC4210 || exit 1
start_sim 0 --devices "$work/devices_a" --seed 1 || exit 1
wait_for 100 dump_says rows 6 || fail "after the Hellos the list has $(field rows) rows, expected 6"
for ip in $hello_ips; do check_row "$ip"; done
listed 198.18.2.10 && fail "a device that sent no Hello is listed before any Scan"
dump_says scans 0 || fail "rows came with a Scan"

# 2. Scan: every device answers (the twin twice from one address, the second time as a secure model).
click_scan
wait_for 100 dump_says scans 1 || fail "the click on Scan did not reach the list"
wait_for 100 dump_says rows 7 || fail "after Scan the list has $(field rows) rows, expected 7"
sleep 1  # late answers and the twin's second answer must not add rows
dump_says rows 7 || fail "the list grew to $(field rows) rows"
for ip in $all_ips; do check_row "$ip"; done
dump_says web-gui disabled || fail "Web GUI is enabled with no row chosen"

# 3. Each row: choose it, press Web GUI, see what the browser was asked to open.
for ip in $all_ips; do
    index=$(row_index_of "$ip")
    before=$(url_count)
    click_row "$index"
    wait_for 50 dump_says selected "$index" || { fail "a click on row $index ($ip) did not choose it"; continue; }
    dump_says web-gui enabled || fail "Web GUI stays disabled with row $index chosen"
    [[ $ip == 198.18.1.12 ]] &&
        import -display "$DISPLAY" -window "$wid" "$artifacts/device_list.png" 2>/dev/null
    click_web_gui
    wait_for 100 more_urls_than "$before" || { fail "Web GUI on $ip opened nothing"; continue; }
    opened=$(tail -n1 "$urls")
    [[ $opened == "${expected_url[$ip]}" ]] || fail "Web GUI on $ip opened '$opened', expected '${expected_url[$ip]}'"
done
[[ -s $artifacts/device_list.png ]] || fail "no screenshot"

# 3b. The arrow keys choose as a click does: Web GUI opens the row under the highlight.
click_row 0
wait_for 50 dump_says selected 0 || fail "a click on row 0 did not choose it"
xdotool key --window "$wid" Down
wait_for 50 dump_says selected 1 || fail "the Down key moved the highlight but did not choose row 1"
second_ip=$(ip_of_row 1)
before=$(url_count)
click_web_gui
if wait_for 100 more_urls_than "$before"; then
    opened=$(tail -n1 "$urls")
    [[ -n $second_ip && $opened == "${expected_url[$second_ip]}" ]] ||
        fail "Web GUI after Down opened '$opened', expected row 1 ($second_ip)"
else
    fail "Web GUI after Down opened nothing"
fi

# 3c. Double click and Enter open the row's page as Web GUI does.
open_url_of_row() {  # <what> <row> <command...>: runs the command, expects the row's page opened
    local what=$1 index=$2 ip before
    shift 2
    ip=$(ip_of_row "$index")
    before=$(url_count)
    "$@"
    if wait_for 100 more_urls_than "$before"; then
        [[ $(tail -n1 "$urls") == "${expected_url[$ip]:-none}" ]] ||
            fail "$what on row $index ($ip) opened '$(tail -n1 "$urls")', expected '${expected_url[$ip]:-}'"
    else
        fail "$what on row $index ($ip) opened nothing"
    fi
}
double_click_row() { xdotool mousemove --window "$wid" 260 $((100 + 20 * $1)) click --repeat 2 --delay 60 1; }
open_url_of_row "a double click" 2 double_click_row 2
dump_says selected 2 || fail "a double click on row 2 did not choose it"
click_row 3
wait_for 50 dump_says selected 3 || fail "a click on row 3 did not choose it"
# The key goes to whichever widget has the focus; a slow (sanitizer) build may still be handing it to
# the list after the click.
sleep 0.5
open_url_of_row "Enter" 3 xdotool key --window "$wid" Return

# 3d. The row menu copies the IP, the MAC or the whole row; Ctrl+C copies the chosen row. What was
#     copied is read back from the X clipboard.
clipboard_is() { [[ $(xclip -o -selection clipboard 2>/dev/null) == "$1" ]]; }
# The menu is a window of its own beside the main one: keys are typed once it shows, and the next
# step waits until it has gone.
finder_windows() { xdotool search --onlyvisible --pid "$finder_pid" 2>/dev/null | wc -l; }
menu_shown() { (($(finder_windows) > 1)); }
menu_pick() {  # <row> <item number, from 1>: right click, then the item chosen by keyboard
    xdotool mousemove --window "$wid" 260 $((100 + 20 * $1)) click 3
    wait_for 50 menu_shown || fail "no menu after a right click on row $1"
    xdotool key --repeat "$2" --delay 50 Down
    xdotool key Return
    wait_for 50 eval '! menu_shown' || fail "the menu stays open"
}
menu_ip=$(ip_of_row 1)
menu_pick 1 2
wait_for 50 clipboard_is "$menu_ip" || fail "Copy IP address on row 1 copied [$(xclip -o -selection clipboard 2>/dev/null)], expected [$menu_ip]"
dump_says selected 1 || fail "the right click did not choose row 1"
menu_pick 1 3
mac=$(cut -f2 <<<"${expected_row[$menu_ip]}")
wait_for 50 clipboard_is "$mac" || fail "Copy MAC address copied [$(xclip -o -selection clipboard 2>/dev/null)], expected [$mac]"
menu_pick 1 4
wait_for 50 clipboard_is "${expected_row[$menu_ip]}" || fail "Copy row copied [$(xclip -o -selection clipboard 2>/dev/null)]"
open_url_of_row "Open Web GUI in the menu" 1 menu_pick 1 1
click_row 4
wait_for 50 dump_says selected 4 || fail "a click on row 4 did not choose it"
copied_ip=$(ip_of_row 4)
xdotool key --window "$wid" ctrl+c
wait_for 50 clipboard_is "${expected_row[$copied_ip]}" ||
    fail "Ctrl+C copied [$(xclip -o -selection clipboard 2>/dev/null)], expected the row of $copied_ip"

# 3e. The IP heading sorts by value, a second click the other way round; the chosen device keeps
#     the highlight, and Web GUI still opens its page.
click_row "$(row_index_of 198.18.2.10)"
click_heading_ip() { click 431 82; }
click_heading_ip
wait_for 50 ip_column_is "$sorted_ips" || fail "after a click on IP the rows read [$(ip_column)], expected [$sorted_ips]"
dump_says selected "$(row_index_of 198.18.2.10)" || fail "the chosen device lost the highlight when sorted"
click_heading_ip
wait_for 50 ip_column_is "$(reversed "$sorted_ips")" || fail "a second click on IP gave [$(ip_column)]"
dump_says selected 0 || fail "the chosen device is not the one highlighted after the second sort"
open_url_of_row "Web GUI after sorting" 0 click_web_gui

# 4. A device that leaves (Bye) keeps its row until the next Scan; Scan after a choice empties the
#    list, disables Web GUI and lists only who answers.
kill -TERM "${sim_pids[sim1]}"
wait_for 50 grep -q '^bye sent' "$work/sim1.out" || fail "the twin said no Bye"
sleep 0.5
listed 198.18.2.10 || fail "a Bye removed a row"
click_row 0
wait_for 50 dump_says selected 0 || fail "a click on row 0 did not choose it"
click_scan
wait_for 100 dump_says scans 2 || fail "the second Scan did not reach the list"
dump_says selected -1 || fail "the choice survived the Scan"
dump_says web-gui disabled || fail "Web GUI stays enabled after Scan"
wait_for 100 dump_says rows 6 || fail "after the second Scan the list has $(field rows) rows, expected 6"
listed 198.18.2.10 && fail "the departed device is still listed after Scan"
# Rows that arrive while sorted go to their sorted place.
ip_column_is "$(reversed "${sorted_ips% *}")" || fail "rows arriving after a sort read [$(ip_column)]"
before=$(url_count)
click_web_gui
sleep 1
[[ $(url_count) -eq $before ]] || fail "Web GUI opened '$(tail -n1 "$urls")' with no row chosen"
cp "$rows_file" "$artifacts/rows.txt"
import -display "$DISPLAY" -window "$wid" "$artifacts/device_list_after_second_scan.png" 2>/dev/null

# 5. The window closes cleanly on SIGTERM.
kill -TERM "$finder_pid"
expect_exit "$finder_pid" SIGTERM && finder_pid=""
cp "$work/finder.err" "$artifacts/finder_stderr.txt"
expect_clean_finish "$work/finder.err"

end_if_failed "rows=$rows_file" "URLs=$urls" "standard error of the finder=$work/finder.err"
echo "device_list_e2e_test: passed"
