#!/usr/bin/env bash
# Screenshots of the hotkey editor in the running program at several DPIs
# (default 96 120 144 192), each the test EditorAtDpi.ButtonsSitOnThePicture-
# AtAnotherDpi held open. Build first; then
#
#   scripts/with-wine.sh tests/win_editor/screenshots.sh [OUTDIR [DPI ...]]
#
# OUTDIR defaults to build/win32/screenshots; the files are editor-DPI.png.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
out="${1:-$root/build/win32/screenshots}"
shift || true
dpis=("$@")
[ ${#dpis[@]} -gt 0 ] || dpis=(96 120 144 192)
exe="$root/build/win32/tests/win_editor/k7_editor_tests.exe"
[ -f "$exe" ] || { echo "screenshots: build k7_editor_tests first ($exe)" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "screenshots: run inside scripts/with-wine.sh" >&2; exit 1; }
mkdir -p "$out"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

for dpi in "${dpis[@]}"; do
  K7_EDITOR_DPI="$dpi" K7_EDITOR_HOLD_MS=6000 wine "$exe" \
    --gtest_filter=EditorAtDpi.ButtonsSitOnThePictureAtAnotherDpi >"$tmp/$dpi.log" 2>&1 </dev/null &
  pid=$!
  for _ in $(seq 1 300); do
    xwininfo -root -tree 2>/dev/null | grep -q '"HotKey Configuration"' && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  # The test looks at the blinking button for 2.5 s before it holds.
  sleep 4
  bash "$root/scripts/screenshot.sh" "$out/editor-$dpi.png"
  wait "$pid" || { cat "$tmp/$dpi.log" >&2; }
done
