#!/usr/bin/env bash
# The Windows installer under Wine: a silent install puts the finder, orvan-scan, the README, the
# Start-menu shortcut, the uninstaller and its entry in Programs and Features in place, the installed
# scanner runs, and a silent uninstall removes all of it.
#
#   installer_test.sh <setup.exe>
#   (inside netns_run.sh -- wine_netns.sh WINE_HOME --transient, so that wineserver -w can wait for
#   the uninstaller, which copies itself away and returns at once)
set -uo pipefail

setup=${1:?usage: installer_test.sh <setup.exe>}
[[ -n ${WINEPREFIX:-} ]] || { echo "installer_test: run through tests/wine/wine_netns.sh" >&2; exit 1; }

product="Selvani Device Finder"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\OrvanIoT Finder'
# Where a default install goes (a folder name with spaces, as users get it).
folder="C:\\Program Files\\$product"
unix_folder="$WINEPREFIX/drive_c/Program Files/$product"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/$product/$product.lnk"
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

installed_files=(orvan_finder.exe orvan-scan.exe README.txt uninstall.exe)
registered() { wine reg query "$key" /reg:64 >/dev/null 2>&1; }

# A prefix kept from an earlier run may hold an install that would make the checks pass.
rm -rf "$unix_folder" "$(dirname "$shortcut")"
wine reg delete "$key" /f /reg:64 >/dev/null 2>&1

# 1. Silent install.
wine "$setup" /S
status=$?
wineserver -w
[[ $status -eq 0 ]] || fail "install: exit status $status"
for file in "${installed_files[@]}"; do
    [[ -f $unix_folder/$file ]] || fail "install: $file missing in $unix_folder"
done
[[ -f $shortcut ]] || fail "install: no Start-menu shortcut at $shortcut"
registered || fail "install: no uninstall entry under $key"
wine reg query "$key" /v UninstallString /reg:64 2>/dev/null | grep -qF "$folder\\uninstall.exe" ||
    fail "install: the uninstall entry does not name $folder\\uninstall.exe"

# 2. The installed scanner runs (its help needs no network).
help=$(mktemp)
wine "$unix_folder/orvan-scan.exe" --help >"$help" 2>&1
status=$?
[[ $status -eq 0 ]] && grep -q '^Usage: orvan-scan' "$help" ||
    fail "installed orvan-scan --help: status $status, $(head -c 300 "$help")"
rm -f "$help"

# 3. Silent uninstall: it returns before it is done, so wait for the server to see every program end.
wine "$unix_folder/uninstall.exe" /S
status=$?
wineserver -w
[[ $status -eq 0 ]] || fail "uninstall: exit status $status"
for file in "${installed_files[@]}"; do
    [[ -e $unix_folder/$file ]] && fail "uninstall: $file left in $unix_folder"
done
[[ -d $unix_folder ]] && fail "uninstall: the folder $unix_folder is left"
[[ -e $shortcut || -d $(dirname "$shortcut") ]] && fail "uninstall: the Start-menu entry is left"
registered && fail "uninstall: the uninstall entry is left"

((failed)) && exit 1
echo "installer_test: passed"
