#!/usr/bin/env bash
# Runs the program under Wine with the virtual receiver and shows a few
# presses doing their work. Installs and builds what is missing first.
#
#   scripts/run.sh            demonstration: presses, keys logged, a screenshot
#   scripts/run.sh --stay     afterwards, keep everything running and read
#                             remote-sim commands from this terminal (see
#                             docs/VIRTUAL-RECEIVER.md); end with Ctrl-D
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target K7F3-sim remote-sim target_app >/dev/null

demo="$root/build/demo"
rm -rf "$demo"
mkdir -p "$demo"
cp build/win32/app/K7F3-sim.exe "$demo/"
# A stand-in for a DVD player: a window that logs the keys it receives.
cp build/win32/tests/apps/target_app.exe "$demo/WinDVD.exe"
export K7_DEMO_DIR="$demo" K7_STAY="${1:-}"

exec bash scripts/with-wine.sh bash -c '
set -euo pipefail
cd "$K7_DEMO_DIR"
sim="$(cd ../win32/tools/remote-sim && pwd)/remote-sim.exe"
coproc SIM { wine "$sim" 2>&1; }
ask() { echo "$1" >&"${SIM[1]}"; IFS= read -r -t 10 answer <&"${SIM[0]}"; echo "remote-sim> $1  ->  ${answer%$'"'"'\r'"'"'}"; }
wine K7F3-sim.exe & k7=$!
ask "wait-client 10000"
echo "K7F3-sim.exe is running and connected; its INI files are in $K7_DEMO_DIR"
wine WinDVD.exe & player=$!
sleep 2
echo "WinDVD.exe (a key-logging stand-in) is in front; pressing remote buttons:"
for code in 0x02 0x5C 0x03; do ask "press $code"; sleep 0.5; done
sleep 1
echo "What WinDVD.exe received (slot 28 Next = PgDown 0x22, slot 1 Exit = X 0x58, slot 25 Forward = F 0x46):"
grep -E "WM_KEY" WinDVD.log | sed "s/^/  /"
bash ../../scripts/screenshot.sh "$K7_DEMO_DIR/screen.png" && echo "screenshot: $K7_DEMO_DIR/screen.png"
if [ "$K7_STAY" = "--stay" ]; then
  echo "Type remote-sim commands (press CODE, unplug, plug, ...); Ctrl-D ends."
  while IFS= read -r line; do ask "$line"; done
fi
kill "$player" "$k7" 2>/dev/null || true
'
