#!/usr/bin/env bash
# Screenshot of the X screen in $DISPLAY to a PNG; meant to run inside
# scripts/with-wine.sh.
#
#   scripts/screenshot.sh OUT.png [--crop LEFT TOP WIDTH HEIGHT]
#       [--show 102|381|icons [--frame] [--wait SECONDS]]
#
# --show first starts the preview program (tests/win_ui, ui-preview.exe) with
# a dialog template or the icons, waits (default 2 s) and ends it after the
# shot. There is no window manager on Xvfb, so windows have no title bar;
# --frame runs the preview inside Wine's own desktop window, which draws them.
# Example:
#   scripts/with-wine.sh scripts/screenshot.sh /tmp/main.png --show 102 --frame
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

[ $# -ge 1 ] || { sed -n '2,13p' "$0" >&2; exit 2; }
out="$1"; shift
crop=() show="" frame=0 wait=2
while [ $# -gt 0 ]; do
  case "$1" in
    --crop) crop=("$2" "$3" "$4" "$5"); shift 5 ;;
    --show) show="$2"; shift 2 ;;
    --frame) frame=1; shift ;;
    --wait) wait="$2"; shift 2 ;;
    *) echo "screenshot: unknown argument $1" >&2; exit 2 ;;
  esac
done
[ -n "${DISPLAY:-}" ] || { echo "screenshot: no DISPLAY (run inside scripts/with-wine.sh)" >&2; exit 1; }

preview_pid=""
if [ -n "$show" ]; then
  exe="$root/build/win32/tests/win_ui/ui-preview.exe"
  [ -f "$exe" ] || { echo "screenshot: build ui-preview first ($exe)" >&2; exit 1; }
  # The preview ends itself a while after the shot.
  seconds=$(( ${wait%.*} + 3 ))
  if [ "$frame" -eq 1 ]; then
    wine explorer /desktop=shot,1024x768 "$exe" "$show" "$seconds" >/dev/null 2>&1 &
  else
    wine "$exe" "$show" "$seconds" >/dev/null 2>&1 &
  fi
  preview_pid=$!
  sleep "$wait"
fi

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
xwd -root -silent -display "$DISPLAY" > "$tmp/screen.xwd"
xwdtopnm "$tmp/screen.xwd" 2>/dev/null > "$tmp/screen.pnm"
if [ ${#crop[@]} -eq 4 ]; then
  pnmcut -left "${crop[0]}" -top "${crop[1]}" -width "${crop[2]}" -height "${crop[3]}" \
    "$tmp/screen.pnm" > "$tmp/cut.pnm"
  mv "$tmp/cut.pnm" "$tmp/screen.pnm"
fi
pnmtopng "$tmp/screen.pnm" > "$out" 2>/dev/null

if [ -n "$preview_pid" ]; then
  wait "$preview_pid" 2>/dev/null || true
fi
echo "screenshot: $out"
