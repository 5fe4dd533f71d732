#!/usr/bin/env bash
# Runs a command with one virtual X screen (1024x768x24) and one running
# wineserver around it, in the Wine prefix of the win32 build tree; ends both
# when the command returns. Usage: scripts/with-wine.sh COMMAND [ARG ...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$root/build/win32/wineprefix}"
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"

display=""
for n in $(seq 90 140); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=$n; break; fi
done
[ -n "$display" ] || { echo "with-wine: no free X display" >&2; exit 1; }

Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" >/dev/null 2>&1 || true
  wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 1 100); do
  [ -e "/tmp/.X11-unix/X$display" ] && break
  sleep 0.05
done
export DISPLAY=":$display"

mkdir -p "$(dirname "$WINEPREFIX")"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "with-wine: creating the Wine prefix (once)" >&2
  wineboot --init >/dev/null 2>&1
  wineserver -w
fi
wineserver -p
# No window manager runs on the virtual screen: unmanaged windows close in
# milliseconds instead of waiting two seconds for one.
if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
fi
# Bring up the prefix's own services now, away from the caller's output.
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
"$@"
