#!/usr/bin/env bash
# Installs the Windows installer silently under Wine (the prefix of test-windows.sh), as
# a user without administrator rights would: checks the files, the Start-menu entries
# and the uninstall entry, asks the installed programs their version, then uninstalls
# silently and checks that nothing of it is left but the operator's settings.
set -euo pipefail
setup=$1
fail() { echo "check-windows-installer: $*" >&2; exit 1; }

user=$(wine cmd /c 'echo %USERNAME%' < /dev/null 2> /dev/null | tr -d '\r')
users="$WINEPREFIX/drive_c/users/$user"
dir="$users/AppData/Local/Programs/Zendrik2"
menu="$users/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Zendrik2"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zendrik2'
settings='HKCU\Software\OrvaneSystems\Zendrik\100'

# Polls: Wine ends the installer's process before the last of its files may have settled.
wait_for() {
  for _ in $(seq 100); do
    if eval "$1"; then return 0; fi
    sleep 0.1
  done
  return 1
}

wine reg add "$settings" /v ApplicationID /d 555 /f > /dev/null 2>&1 < /dev/null
wine "$setup" /S < /dev/null > /dev/null 2>&1 || fail "the installer failed"
for file in zendrik2.exe zendrik2-job.exe operator.md README.txt settings-example.reg uninstall.exe; do
  wait_for "[ -f '$dir/$file' ]" || fail "not installed: $file"
done
for link in Zendrik2 "Operator's guide" "Example settings" "Uninstall Zendrik2"; do
  [ -f "$menu/$link.lnk" ] || fail "no Start-menu entry: $link"
done
wine reg query "$key" /v DisplayVersion < /dev/null 2> /dev/null | grep -q '2\.4\.4' || fail "no uninstall entry"
for program in zendrik2 zendrik2-job; do
  version=$(wine "$dir/$program.exe" --version < /dev/null 2> /dev/null | tr -d '\r')
  [ "$version" = "$program 2.4.4" ] || fail "the installed $program.exe says '$version'"
done

# The uninstaller copies itself away and returns at once: the folder's end is awaited.
wine "$dir/uninstall.exe" /S < /dev/null > /dev/null 2>&1 || fail "the uninstaller failed"
wait_for "[ ! -e '$dir' ]" || fail "left behind: $(ls -A "$dir" | tr '\n' ' ')"
[ ! -e "$menu" ] || fail "the Start-menu folder is left"
! wine reg query "$key" < /dev/null > /dev/null 2>&1 || fail "the uninstall entry is left"
wine reg query "$settings" /v ApplicationID < /dev/null 2> /dev/null | grep -q 555 || fail "the settings went too"
wine reg delete "$settings" /v ApplicationID /f > /dev/null 2>&1 < /dev/null
echo "check-windows-installer: $(basename "$setup") installs, runs and uninstalls"
