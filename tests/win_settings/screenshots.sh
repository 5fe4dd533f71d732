#!/usr/bin/env bash
# Retakes the screenshots of the settings window (opened from the tray) and of
# a caption over a target window, with the real program and the virtual
# receiver. Build first; then, with your own Wine prefix if you like:
#
#   WINEPREFIX=/tmp/my-prefix scripts/with-wine.sh tests/win_settings/screenshots.sh \
#       [--dpi 96|120|144|192] [OUTDIR]
#
# OUTDIR defaults to build/win32/screenshots; the files are settings.png,
# caption.png (the top right corner of the screen, where the caption shows)
# and tray.png (the notification area of Wine's own desktop, whose taskbar
# has one: the bottom right corner). The tray shot ends the wineserver.
# --dpi sets the display scale the programs start with (the prefix's
# LogPixels, which Wine reads when a process starts) and puts it back as it
# was when the script ends, also when it fails; the files are then named
# settings-DPI.png, caption-DPI.png and tray-DPI.png. The screen stays 1024x768.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
dpi=""
if [ "${1:-}" = "--dpi" ]; then
  dpi="$2"
  shift 2
fi
out="${1:-$root/build/win32/screenshots}"
pose="$root/build/win32/tests/win_settings/settings-pose.exe"
[ -f "$pose" ] || { echo "screenshots: build settings-pose first ($pose)" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "screenshots: run inside scripts/with-wine.sh" >&2; exit 1; }
mkdir -p "$out"
tmp="$(mktemp -d)"
desktop='HKCU\Control Panel\Desktop'
changed=0
restore_dpi() {
  [ "$changed" -eq 1 ] || return 0
  if [ -n "${old_dpi:-}" ]; then
    wine reg add "$desktop" /v LogPixels /t REG_DWORD /d "$((old_dpi))" /f >/dev/null 2>&1 </dev/null
  else
    wine reg delete "$desktop" /v LogPixels /f >/dev/null 2>&1 </dev/null || true
  fi
}
trap 'restore_dpi; rm -rf "$tmp"' EXIT
suffix=""
if [ -n "$dpi" ]; then
  old_dpi="$(wine reg query "$desktop" /v LogPixels 2>/dev/null </dev/null |
    awk '/LogPixels/ { print $3 }' | tr -d '\r' || true)"  # 0x60 (bash reads hex)
  changed=1
  wine reg add "$desktop" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 </dev/null
  suffix="-$dpi"
fi

# Starts the pose, waits for its "ready", lets the screen settle and shoots.
shoot() {
  local scene="$1" file="$2"
  shift 2
  wine "$pose" "$scene" 6 >"$tmp/$scene.log" 2>&1 </dev/null &
  local pid=$!
  for _ in $(seq 1 200); do
    grep -q ready "$tmp/$scene.log" && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  grep -q ready "$tmp/$scene.log" || { cat "$tmp/$scene.log" >&2; exit 1; }
  sleep 0.3
  bash "$root/scripts/screenshot.sh" "$out/$file" "$@"
  wait "$pid"
}

shoot settings "settings$suffix.png"
shoot caption "caption$suffix.png" --crop 400 0 624 380

# The program alone in a desktop named "shell" (Wine gives that one a
# taskbar), from a folder of its own; without the virtual receiver it shows
# the icon of a missing receiver. Shot once its first run has written its
# files and the tray had a moment to draw.
mkdir -p "$tmp/tray"
cp "$root/build/win32/app/K7F3-sim.exe" "$tmp/tray/"
exe="$(winepath -w "$tmp/tray/K7F3-sim.exe")"
(cd "$tmp/tray" && wine explorer /desktop=shell,1024x768 "$exe" >/dev/null 2>&1 </dev/null &)
for _ in $(seq 1 200); do
  [ -f "$tmp/tray/UserDef.ini" ] && break
  sleep 0.05
done
sleep 2
bash "$root/scripts/screenshot.sh" "$out/tray$suffix.png" --crop 824 668 200 100
wineserver -k
