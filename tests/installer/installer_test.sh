#!/usr/bin/env bash
# The release files and the installer, end to end, in a Wine prefix made for
# this test and thrown away after it: an installed copy left running, or its
# Run value, would make every later start of the program in the other tests
# end silently. Needs an X display (scripts/with-wine.sh gives one).
#
#   installer_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
root="$1" build="$2"
work="$(mktemp -d /tmp/k7-installer.XXXXXX)"
export WINEPREFIX="$work/prefix" WINEARCH=win32 WINEDEBUG=-all
# No Mono or Gecko prompts, and no menu entries on the host's desktop.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

failed=0
check() {
  local what="$1"
  shift
  if "$@"; then echo "ok    $what"; else echo "FAILED $what"; failed=1; fi
}
# Wine's output goes to a file: its helper processes inherit the descriptors
# they are started with, and a pipe they held would keep the caller waiting.
w() { wine "$@" >>"$work/wine.log" 2>&1 </dev/null; }
same() { [ "$1" = "$2" ] || { echo "  got '$1', want '$2'"; return 1; }; }
# A registry value's data, as reg.exe prints it (empty when there is none).
reg_value() {
  wine reg query "$1" /v "$2" >"$work/reg.out" 2>/dev/null </dev/null || true
  tr -d '\r' <"$work/reg.out" | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
# A child of this script has ended (reaped or not yet).
exited() { local state; state="$(ps -o stat= -p "$1")" || return 0; [[ "$state" == Z* ]]; }
ended_cleanly() { wait_for exited "$1" && wait "$1"; }
ini_sums() { (cd "$dir" && sha256sum QVCtrl.ini UserDef.ini UserDefInf.ini 2>&1); }
wait_for() {  # up to 30 s for a command to succeed
  for _ in $(seq 300); do "$@" && return 0; sleep 0.1; done
  return 1
}

# The release command's packaging, on the program this build made.
bash "$root/scripts/release.sh" --no-build --build-dir "$build" --out "$work/dist"
. "$build/generated/release.env"
setup="$work/dist/K7F3-$K7_VERSION-setup.exe"
zip="$work/dist/K7F3-$K7_VERSION-portable.zip"
check "the zip holds the program and the guide, nothing else" same \
  "$(python3 -c 'import sys, zipfile; print(*sorted(zipfile.ZipFile(sys.argv[1]).namelist()))' "$zip")" \
  "K7F3.exe USER-GUIDE.txt"
check "the sums match the release files" \
  bash -c "cd '$work/dist' && sha256sum --quiet -c SHA256SUMS && [ \$(wc -l <SHA256SUMS) = 2 ]"
check "the shipped guide names the release" grep -q "^Quorvan K7F3 $K7_VERSION" \
  "$build/release-stage/USER-GUIDE.txt"
check "the guide and the README name no other release" same \
  "$(grep -ohE '[0-9]+\.[0-9]+\.[0-9]+' "$root/docs/USER-GUIDE.md" "$root/README.md" | sort -u)" "$K7_VERSION"

wineboot --init >/dev/null 2>&1 </dev/null
wineserver -w

win_dir='C:\Scratch Apps\K7F3'
dir="$WINEPREFIX/drive_c/Scratch Apps/K7F3"
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
uninst_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\K7F3'
shortcut() { find "$WINEPREFIX/drive_c/users" -name 'Quorvan K7F3.lnk' | grep -q .; }
no_shortcut() { ! shortcut; }

# The installer reads /D= from its raw command line, unquoted, last: cmd
# passes the line on as written (wine would quote an argument with a space).
setup_to() { w cmd /c "$(winepath -w "$setup") /S /D=$win_dir"; }

# A silent install into a scratch folder (a space in its name).
check "silent install succeeds" setup_to
check "the program is in place" cmp -s "$dir/K7F3.exe" "$build/release-stage/K7F3.exe"
check "the guide and the uninstaller are in place" \
  test -f "$dir/USER-GUIDE.txt" -a -f "$dir/uninstall.exe"
check "the start-menu shortcut exists" shortcut
check "Run holds the quoted path" same "$(reg_value "$run_key" 'Quorvan K7F3')" "\"$win_dir\\K7F3.exe\""
while read -r name want; do
  check "uninstall key: $name" same "$(reg_value "$uninst_key" "$name")" "$want"
done <<EOF2
DisplayName Quorvan K7F3
DisplayVersion $K7_VERSION
Publisher $K7_PUBLISHER
DisplayIcon $win_dir\\K7F3.exe,0
InstallLocation $win_dir
UninstallString "$win_dir\\uninstall.exe"
EOF2
check "uninstall key: EstimatedSize in KB" \
  bash -c "(( \$(printf %d '$(reg_value "$uninst_key" EstimatedSize)') > 100 ))"

# The installed program starts and writes its first-run files beside itself.
# It stands for an older build: the upgrade must replace it.
printf 'older build' >>"$dir/K7F3.exe"
wine "$win_dir\\K7F3.exe" >>"$work/wine.log" 2>&1 </dev/null &
program=$!
first_run() { diff -qr --exclude='*.exe' --exclude='*.txt' "$root/tests/data/first_run" "$dir" >/dev/null; }
check "the program writes its first-run INI files beside itself" wait_for first_run

# Upgrade over the running copy, with the user's edits in its INI files.
for f in QVCtrl.ini UserDef.ini UserDefInf.ini; do printf '; edited\r\n' >>"$dir/$f"; done
edited="$(ini_sums)"
check "silent upgrade over the running copy succeeds" setup_to
check "the running copy ended through its own Exit (code 0)" ended_cleanly "$program"
check "the new program is in place" cmp -s "$dir/K7F3.exe" "$build/release-stage/K7F3.exe"
check "the INI files are byte-identical" same "$(ini_sums)" "$edited"

# Silent uninstall over a running copy. The copy is known to be up when it
# has written its first-run files; the user's files then go back in place.
mkdir "$work/kept"
mv "$dir"/*.ini "$work/kept/"
wine "$win_dir\\K7F3.exe" >>"$work/wine.log" 2>&1 </dev/null &
program=$!
check "the program starts again" wait_for first_run
cp "$work/kept"/*.ini "$dir/"
# The uninstaller runs a copy of itself from the temporary folder and
# returns at once; the prefix's server ends when that copy has.
w "$dir/uninstall.exe" /S
check "the running copy ended through its own Exit (code 0)" ended_cleanly "$program"
check "the uninstaller has finished" timeout 60 wineserver -w
check "the program, guide and uninstaller are gone" \
  test ! -e "$dir/K7F3.exe" -a ! -e "$dir/USER-GUIDE.txt" -a ! -e "$dir/uninstall.exe"
check "the shortcut is gone" no_shortcut
check "the Run value is gone" same "$(reg_value "$run_key" 'Quorvan K7F3')" ""
check "the uninstall key is gone" same "$(reg_value "$uninst_key" DisplayName)" ""
check "the INI files are kept as they were" same "$(ini_sums)" "$edited"
[ "$failed" = 0 ] || { echo "-- Wine said:"; tail -n 20 "$work/wine.log"; }
exit $failed
