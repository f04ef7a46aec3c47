#!/usr/bin/env bash
# The Windows installer under Wine: a silent install puts the finder, orvan-scan, the README, the
# two Start-menu shortcuts (one asking for administrator rights), the firewall rules, the uninstaller
# and its entry in Programs and Features (with its size) in place, the installed scanner runs, while
# it runs neither an install over it nor the uninstall goes on, and a silent uninstall removes all of
# it, firewall rules included.
#
#   installer_test.sh <setup.exe> <recording netsh.exe>
#   (inside netns_run.sh -- wine_netns.sh WINE_HOME --transient, so that wineserver -w can wait for
#   the uninstaller, which copies itself away and returns at once)
set -uo pipefail

setup=${1:?usage: installer_test.sh <setup.exe> <recording netsh.exe>}
recording_netsh=${2:?usage: installer_test.sh <setup.exe> <recording netsh.exe>}
[[ -n ${WINEPREFIX:-} ]] || { echo "installer_test: run through tests/wine/wine_netns.sh" >&2; exit 1; }

product="Selvani Device Finder"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\OrvanIoT Finder'
# Where a default install goes (a folder name with spaces, as users get it).
folder="C:\\Program Files\\$product"
unix_folder="$WINEPREFIX/drive_c/Program Files/$product"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/$product/$product.lnk"
elevated_shortcut="$(dirname "$shortcut")/$product (administrator).lnk"
system32="$WINEPREFIX/drive_c/windows/system32"
netsh_calls="$system32/netsh-calls.txt"
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

installed_files=(orvan_finder.exe orvan-scan.exe README.txt uninstall.exe)
registered() { wine reg query "$key" /reg:64 >/dev/null 2>&1; }

# A prefix kept from an earlier run may hold an install that would make the checks pass.
rm -rf "$unix_folder" "$(dirname "$shortcut")"
wine reg delete "$key" /f /reg:64 >/dev/null 2>&1
# The prefix exists once a program has run: the firewall's command line is replaced in it, and Wine
# told to load that file rather than its own netsh.
cp "$recording_netsh" "$system32/netsh.exe" || fail "cannot put the recording netsh in place"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}netsh.exe=n"
rm -f "$netsh_calls"

# netsh_called TEXT: whether the installer ran netsh with TEXT on its command line.
netsh_called() { [[ -f $netsh_calls ]] && tr -d '\r' <"$netsh_calls" | grep -qF -- "$1"; }
rule_for() { echo "name=\"$1\" dir=in action=allow protocol=UDP program=\"$folder\\$2\" profile=any"; }

# 1. Silent install.
wine "$setup" /S
status=$?
wineserver -w
[[ $status -eq 0 ]] || fail "install: exit status $status"
for file in "${installed_files[@]}"; do
    [[ -f $unix_folder/$file ]] || fail "install: $file missing in $unix_folder"
done
[[ -f $shortcut ]] || fail "install: no Start-menu shortcut at $shortcut"
[[ -f $elevated_shortcut ]] || fail "install: no Start-menu shortcut at $elevated_shortcut"
# Shell links keep "run as administrator" as flag 0x2000 of the 32-bit flags at offset 0x14.
flags_byte() { od -An -tu1 -j21 -N1 "$1" 2>/dev/null | tr -d ' '; }
[[ -f $elevated_shortcut ]] && (( ($(flags_byte "$elevated_shortcut") & 0x20) != 0 )) ||
    fail "install: the administrator shortcut does not ask for administrator rights"
[[ -f $shortcut ]] && (( ($(flags_byte "$shortcut") & 0x20) == 0 )) ||
    fail "install: the ordinary shortcut asks for administrator rights"
registered || fail "install: no uninstall entry under $key"
wine reg query "$key" /v UninstallString /reg:64 2>/dev/null | grep -qF "$folder\\uninstall.exe" ||
    fail "install: the uninstall entry does not name $folder\\uninstall.exe"
size=$(wine reg query "$key" /v EstimatedSize /reg:64 2>/dev/null | tr -d '\r' | awk '$1 == "EstimatedSize" { print $3 }')
[[ -n $size ]] && (( size > 100 )) || fail "install: no EstimatedSize of the files in KiB (got '$size')"
for rule in "$(rule_for "$product" orvan_finder.exe)" "$(rule_for "$product (orvan-scan)" orvan-scan.exe)"; do
    netsh_called "advfirewall firewall add rule $rule" || fail "install: no firewall rule $rule"
done

# 2. The installed scanner runs (its help needs no network).
help=$(mktemp)
wine "$unix_folder/orvan-scan.exe" --help >"$help" 2>&1
status=$?
[[ $status -eq 0 ]] && grep -q '^Usage: orvan-scan' "$help" ||
    fail "installed orvan-scan --help: status $status, $(head -c 300 "$help")"
rm -f "$help"

# 3. While the scanner runs (it watches the test network until interrupted), an install over it
# refuses with status 2 and the uninstall (whose status is that of a copy it started) leaves
# everything as it was.
wine "$unix_folder/orvan-scan.exe" --watch >/dev/null 2>&1 &
scanner=$!
sleep 2
wine "$setup" /S
status=$?
[[ $status -eq 2 ]] || fail "install over a running scanner: exit status $status, expected 2"
wine "$unix_folder/uninstall.exe" /S
sleep 3
for file in "${installed_files[@]}"; do
    [[ -f $unix_folder/$file ]] || fail "uninstall with a running scanner: $file removed"
done
registered || fail "uninstall with a running scanner: the uninstall entry was removed"
kill -INT "$scanner" 2>/dev/null
wait "$scanner"
wineserver -w

# 4. Silent uninstall: it returns before it is done, so wait for the server to see every program end.
rm -f "$netsh_calls"
wine "$unix_folder/uninstall.exe" /S
status=$?
wineserver -w
[[ $status -eq 0 ]] || fail "uninstall: exit status $status"
for file in "${installed_files[@]}"; do
    [[ -e $unix_folder/$file ]] && fail "uninstall: $file left in $unix_folder"
done
[[ -d $unix_folder ]] && fail "uninstall: the folder $unix_folder is left"
[[ -e $shortcut || -e $elevated_shortcut || -d $(dirname "$shortcut") ]] && fail "uninstall: the Start-menu entry is left"
registered && fail "uninstall: the uninstall entry is left"
for pair in "$product:orvan_finder.exe" "$product (orvan-scan):orvan-scan.exe"; do
    rule="name=\"${pair%%:*}\" program=\"$folder\\${pair#*:}\""
    netsh_called "advfirewall firewall delete rule $rule" || fail "uninstall: firewall rule $rule not removed"
done

((failed)) && exit 1
echo "installer_test: passed"
