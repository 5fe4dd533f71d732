#!/usr/bin/env bash
# Retakes the screenshots of the settings window (opened from the tray) and of
# a caption over a target window, with the real program and the virtual
# receiver. Build first; then, with your own Wine prefix if you like:
#
#   WINEPREFIX=/tmp/my-prefix scripts/with-wine.sh tests/win_settings/screenshots.sh [OUTDIR]
#
# OUTDIR defaults to build/win32/screenshots; the files are settings.png and
# caption.png (the top right corner of the screen, where the caption shows).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
out="${1:-$root/build/win32/screenshots}"
pose="$root/build/win32/tests/win_settings/settings-pose.exe"
[ -f "$pose" ] || { echo "screenshots: build settings-pose first ($pose)" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "screenshots: run inside scripts/with-wine.sh" >&2; exit 1; }
mkdir -p "$out"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

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

shoot settings settings.png
shoot caption caption.png --crop 400 0 624 380
