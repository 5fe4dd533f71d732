#!/usr/bin/env bash
# Runs the program users install, K7F3.exe, under Wine, reading a virtual USB
# receiver (tools/virtual-hid), and shows a few presses doing their work.
# Installs and builds what is missing first.
#
#   scripts/run.sh            demonstration: presses, keys logged, a screenshot
#                             taken while the press's caption shows
#   scripts/run.sh --stay     afterwards, keep everything running and read
#                             commands from this terminal; end with Ctrl-D:
#                               press CODE      one press of a button
#                               hold CODE [N]   held: a press, then N repeats
#                                               (default 10) 100 ms apart
#                               unplug, plug    the receiver out and back in
#                             anything else goes to vhid-ctl as it is (see
#                             docs/VIRTUAL-RECEIVER.md)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target K7F3 vhid-ctl target_app >/dev/null

demo="$root/build/demo"
rm -rf "$demo"
mkdir -p "$demo"
cp build/win32/app/K7F3.exe "$demo/"
# A stand-in for a DVD player: a window that logs the keys it receives.
cp build/win32/tests/apps/target_app.exe "$demo/WinDVD.exe"
export K7_DEMO_DIR="$demo" K7_STAY="${1:-}" K7_VHID="$root/build/win32/tools/virtual-hid"

exec bash scripts/with-wine.sh bash -c '
set -euo pipefail
trap "" PIPE
cd "$K7_DEMO_DIR"
receiver="plug 0 0x1209 0x0007 8 0 K7F3 receiver"
wine "$K7_VHID/vhid-ctl.exe" install "Z:$K7_VHID/vhid.inf" </dev/null | sed "s/^/vhid-ctl install: /"
coproc HID { wine "$K7_VHID/vhid-ctl.exe" serve 2>&1; }
ask() {
  echo "$1" >&"${HID[1]}"
  IFS= read -r -t 15 answer <&"${HID[0]}" || answer="(no answer)"
  echo "vhid-ctl> $1  ->  ${answer%$'"'"'\r'"'"'}"
}
ask "$receiver"
sleep 1  # the device arrives within a few tenths of a second
wine K7F3.exe & k7=$!
sleep 3
echo "K7F3.exe is running with the receiver plugged in; its INI files are in $K7_DEMO_DIR"
wine WinDVD.exe & player=$!
sleep 2
echo "WinDVD.exe (a key-logging stand-in) is in front; pressing remote buttons:"
for code in 0x02 0x5C 0x03; do ask "press 0 $code"; sleep 0.5; done
# The caption shows for a second after a press: the shot goes within it.
ask "press 0 0x02"
sleep 0.3
bash ../../scripts/screenshot.sh "$K7_DEMO_DIR/screen.png"
sleep 1
echo "What WinDVD.exe received (slot 28 Next = PgDown 0x22, slot 1 Exit = X 0x58, slot 25 Forward = F 0x46):"
grep -E "WM_KEY" WinDVD.log | sed "s/^/  /"
if [ "$K7_STAY" = "--stay" ]; then
  echo "Commands: press CODE, hold CODE [N], unplug, plug, or any vhid-ctl command; Ctrl-D ends."
  while read -r -a words; do
    case "${words[0]:-}" in
      "") ;;
      press) ask "press 0 ${words[1]:-0}" ;;
      hold)
        ask "press 0 ${words[1]:-0}"
        for _ in $(seq 1 "${words[2]:-10}"); do sleep 0.1; ask "press 0 ${words[1]:-0} 1"; done ;;
      unplug) ask "unplug 0" ;;
      plug) ask "$receiver" ;;
      *) ask "${words[*]}" ;;
    esac
  done
  sleep 1  # the last press acts before everything ends
fi
kill "$player" "$k7" 2>/dev/null || true
exec {HID[1]}>&-
wait "$HID_PID" 2>/dev/null || true
'
