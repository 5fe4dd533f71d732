#!/usr/bin/env bash
# The release files and the installer, end to end, in a Wine prefix made for
# this test and thrown away after it: an installed copy left running, or its
# Run value, would make every later start of the program in the other tests
# end silently. Needs an X display (scripts/with-wine.sh gives one).
#
#   installer_test.sh SOURCE_DIR BUILD_DIR HOLDER_EXE
set -euo pipefail
root="$1" build="$2" holder="$3"
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
# The installed program runs: its session mutex and its window exist.
running() { wine "$holder" running 'Local\Quorvan-K7F3-running' 'Quorvan K7F3 v2.1' >>"$work/wine.log" 2>&1 </dev/null; }
not_running() { ! running; }
# A child of this script has ended (reaped or not yet).
exited() { local state; state="$(ps -o stat= -p "$1")" || return 0; [[ "$state" == Z* ]]; }
ended_cleanly() { wait_for exited "$1" && wait "$1"; }
# A command's exit code is the one given.
fails_with() { local want="$1" rc=0; shift; "$@" || rc=$?; same "$rc" "$want"; }
reg_set() { w reg add "$1" /v "$2" /t "${4:-REG_SZ}" /d "$3" /f; }
# The holder (holder.cpp) keeps a file open or a mutex refused until let go.
hold() {
  rm -f "$work/ready"
  wine "$holder" "$1" "$2" "$(winepath -w "$work/ready")" >>"$work/wine.log" 2>&1 </dev/null &
  holder_pid=$!
  wait_for test -e "$work/ready"
}
let_go() { rm -f "$work/ready"; ended_cleanly "$holder_pid"; }
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
guide="$build/release-stage/USER-GUIDE.txt"
check "the shipped guide names the release" grep -q "^$(printf '\xef\xbb\xbf')Quorvan K7F3 $K7_VERSION" "$guide"
# Notepad before Windows 10 reads a file without the signature as ANSI.
signed_crlf() { [ "$(head -c 3 "$1" | od -An -tx1 | tr -d ' ')" = efbbbf ] && ! grep -qv $'\r$' "$1"; }
no_markdown() { ! grep -nE '\*\*|\]\(|^#|^ *\|' "$1"; }
check "the shipped guide is UTF-8 with a signature and CRLF line ends" signed_crlf "$guide"
check "the shipped guide has no Markdown syntax" no_markdown "$guide"
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

approved_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run'
run_state() { echo "$(reg_value "$run_key" 'Quorvan K7F3')|$(reg_value "$approved_key" 'Quorvan K7F3')"; }

# The installer reads /D= from its raw command line, unquoted, last: cmd
# passes the line on as written (wine would quote an argument with a space).
setup_to() { w cmd /c "$(winepath -w "$setup") /S /D=${1:-$win_dir}"; }
# The uninstaller run in place (_?=), so that its exit code is seen: run
# plainly it starts a copy of itself and returns at once.
uninstall_in_place() {
  cp "$dir/uninstall.exe" "$work/uninstaller.exe"
  w cmd /c "$(winepath -w "$work/uninstaller.exe") /S _?=$win_dir"
}

# A silent install into a scratch folder (a space in its name).
check "silent install succeeds" setup_to
check "the program is in place" cmp -s "$dir/K7F3.exe" "$build/release-stage/K7F3.exe"
check "the guide and the uninstaller are in place" \
  test -f "$dir/USER-GUIDE.txt" -a -f "$dir/Uninstall K7F3.exe"
check "the start-menu shortcut exists" shortcut
check "a first install starts no program" not_running
check "Run holds the quoted path" same "$(reg_value "$run_key" 'Quorvan K7F3')" "\"$win_dir\\K7F3.exe\""
while read -r name want; do
  check "uninstall key: $name" same "$(reg_value "$uninst_key" "$name")" "$want"
done <<EOF2
DisplayName Quorvan K7F3
DisplayVersion $K7_VERSION
Publisher $K7_PUBLISHER
DisplayIcon $win_dir\\K7F3.exe,0
InstallLocation $win_dir
UninstallString "$win_dir\\Uninstall K7F3.exe"
EOF2
check "uninstall key: EstimatedSize in KB" \
  bash -c "(( \$(printf %d '$(reg_value "$uninst_key" EstimatedSize)') > 100 ))"

# The installed copy now stands for an older release: an older program (of a
# version before the switches: setup tells it through its window), the
# uninstaller under the generic name that release gave it, its version.
printf 'older build' >>"$dir/K7F3.exe"
python3 - "$dir/K7F3.exe" <<'EOF2'
import struct, sys
data = bytearray(open(sys.argv[1], 'rb').read())
at = data.index(struct.pack('<I', 0xFEEF04BD))  # the version resource's fixed part
data[at + 8:at + 24] = struct.pack('<4I', 0x00020000, 0, 0x00020000, 0)  # 2.0.0.0
open(sys.argv[1], 'wb').write(data)
EOF2
mv "$dir/Uninstall K7F3.exe" "$dir/uninstall.exe"
reg_set "$uninst_key" UninstallString "\"$win_dir\\uninstall.exe\""
reg_set "$uninst_key" DisplayVersion 2.0.0
reported() {
  echo "$(reg_value "$uninst_key" DisplayVersion)|$(run_state)|$(shortcut && echo link)" \
    "$(cd "$dir" && sha256sum K7F3.exe uninstall.exe)"
}
before="$(reported)"

# Whatever stops setup from replacing or removing K7F3.exe fails a silent
# run with its own code, and setup changes nothing: a scanner holding the
# file, a running copy with more rights than ours (its mutex refuses us).
while IFS='|' read -r what kind name run code; do
  hold "$kind" "$name"
  check "$what: exit code $code" fails_with "$code" "$run"
  check "$what: nothing changed" same "$(reported)" "$before"
  check "$what: the holder let go" let_go
done <<EOF2
upgrade while K7F3.exe is held|file|$win_dir\\K7F3.exe|setup_to|4
uninstall while K7F3.exe is held|file|$win_dir\\K7F3.exe|uninstall_in_place|4
upgrade while a copy with more rights runs|mutex|Local\\Quorvan-K7F3-running|setup_to|3
EOF2

# The installed program starts and writes its first-run files beside itself.
wine "$win_dir\\K7F3.exe" >>"$work/wine.log" 2>&1 </dev/null &
program=$!
first_run() { diff -qr --exclude='*.exe' --exclude='*.txt' "$root/tests/data/first_run" "$dir" >/dev/null; }
check "the program writes its first-run INI files beside itself" wait_for first_run

# Upgrade over the running copy, with the user's edits in its INI files and
# its start turned off in Task Manager.
for f in QVCtrl.ini UserDef.ini UserDefInf.ini; do printf '; edited\r\n' >>"$dir/$f"; done
edited="$(ini_sums)"
reg_set "$approved_key" 'Quorvan K7F3' 030000000000000000000000 REG_BINARY
turned_off="$(run_state)"
check "silent upgrade over the running copy succeeds" setup_to
check "the running copy ended through its own Exit (code 0)" ended_cleanly "$program"
check "setup started the program again" wait_for running
check "the new program is in place" cmp -s "$dir/K7F3.exe" "$build/release-stage/K7F3.exe"
check "the INI files are byte-identical" same "$(ini_sums)" "$edited"
check "the new version is reported" same "$(reg_value "$uninst_key" DisplayVersion)" "$K7_VERSION"
check "the old uninstaller's name is gone" \
  test ! -e "$dir/uninstall.exe" -a -f "$dir/Uninstall K7F3.exe"
check "a start turned off in Task Manager stays off" same "$(run_state)" "$turned_off"

# The user turns the start off; an install into a folder that holds a file
# of the user's goes into a K7F3 folder there, and the installed copy moves
# along with its profiles and runs again from there.
for key in "$run_key" "$approved_key"; do w reg delete "$key" /v 'Quorvan K7F3' /f; done
tools="$WINEPREFIX/drive_c/Tools"
mkdir "$tools"
printf 'notes' >"$tools/notes.txt"
old_dir="$dir"
win_dir='C:\Tools\K7F3' dir="$tools/K7F3"
# Another program's dialog under the program's title is on top: setup ends
# the copy through "/exit" of the installed program, which tells the copy's
# window from it.
hold window 'Quorvan K7F3 v2.1'
check "silent install into a folder with other files succeeds" setup_to 'C:\Tools'
check "the other program's dialog was left alone" let_go
check "it makes a folder of its own beside the user's file" same "$(cd "$tools" && echo *)" "K7F3 notes.txt"
check "the program is in place there" cmp -s "$dir/K7F3.exe" "$build/release-stage/K7F3.exe"
check "the profiles moved along" same "$(ini_sums)" "$edited"
check "the old copy is gone" test ! -e "$old_dir"
check "the Apps entry names the new folder" same "$(reg_value "$uninst_key" InstallLocation)" "$win_dir"
check "a start turned off stays off" same "$(run_state)" "|"
check "the moved program runs" wait_for running

# Silent uninstall over the running copy. The uninstaller runs a copy of
# itself from the temporary folder and returns at once; the prefix's server
# ends when that copy and the program have.
mkdir "$work/kept"
cp "$dir"/*.ini "$work/kept/"
w "$dir/Uninstall K7F3.exe" /S
check "the uninstaller has finished and the program has ended" timeout 60 wineserver -w
check "the program, guide and uninstaller are gone" \
  test ! -e "$dir/K7F3.exe" -a ! -e "$dir/USER-GUIDE.txt" -a ! -e "$dir/Uninstall K7F3.exe"
check "the shortcut is gone" no_shortcut
check "the Run value is gone" same "$(reg_value "$run_key" 'Quorvan K7F3')" ""
check "the uninstall key is gone" same "$(reg_value "$uninst_key" DisplayName)" ""
check "the INI files are kept as they were" same "$(ini_sums)" "$edited"
check "the user's file is kept" test -f "$tools/notes.txt"

# An unpacked portable copy with its profiles, and another program's file
# under the old generic uninstaller name: upgraded in place, both kept.
dir="$WINEPREFIX/drive_c/Portable" win_dir='C:\Portable'
python3 -m zipfile -e "$zip" "$dir"
printf 'older build' >>"$dir/K7F3.exe"
cp "$work/kept"/*.ini "$dir/"
printf 'another program' >"$dir/uninstall.exe"
check "silent install over a portable copy succeeds" setup_to
check "the portable copy's program is new" cmp -s "$dir/K7F3.exe" "$build/release-stage/K7F3.exe"
check "its profiles and the other program's file are kept" \
  same "$(ini_sums; cat "$dir/uninstall.exe")" "$edited"$'\n'"another program"
check "a first install starts with Windows" same "$(run_state)" "\"$win_dir\\K7F3.exe\"|"

# The uninstaller's pages, answered as a user would who wants the profiles
# gone too: untick Keep, Uninstall, Finish.
cp "$dir/Uninstall K7F3.exe" "$work/uninstaller.exe"
wine "$work/uninstaller.exe" "_?=$win_dir" >>"$work/wine.log" 2>&1 </dev/null &
uninstaller=$!
click() { wine "$holder" click 'Quorvan K7F3' "$1" >>"$work/wine.log" 2>&1 </dev/null; }
for control in '&Keep your profiles and settings (the three INI files)' '&Uninstall' '&Finish'; do
  check "uninstall with its pages: $control" click "$control"
done
check "uninstall with its pages: finished" ended_cleanly "$uninstaller"
check "uninstall with its pages: the profiles are gone, the other program's file is kept" \
  same "$(cd "$dir" && echo *)" "uninstall.exe"
[ "$failed" = 0 ] || { echo "-- Wine said:"; tail -n 20 "$work/wine.log"; }
exit $failed
