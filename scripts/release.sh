#!/usr/bin/env bash
# Builds the release files under dist/: the portable zip (K7F3.exe and the
# user guide), the installer K7F3-<version>-setup.exe and SHA256SUMS. The
# version and names come from the top CMakeLists.txt.
#
#   scripts/release.sh [--no-build] [--build-dir DIR] [--out DIR]
#
# --no-build packages the K7F3.exe already built in the build directory
# (default build/win32, an optimised build); the tests use it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build=1 build_dir="$root/build/win32" out="$root/dist"
while [ $# -gt 0 ]; do
  case "$1" in
    --no-build) build=0; shift ;;
    --build-dir) build_dir="$(realpath "$2")"; shift 2 ;;
    --out) out="$(realpath -m "$2")"; shift 2 ;;
    *) sed -n '2,10p' "$0" >&2; exit 2 ;;
  esac
done

if [ "$build" = 1 ]; then
  bash "$root/scripts/setup.sh"
  (cd "$root" && cmake --preset win32 >/dev/null && cmake --build --preset win32 --target K7F3)
fi
# shellcheck source=/dev/null
. "$build_dir/generated/release.env"
guide="$root/docs/USER-GUIDE.md"
[ -f "$guide" ] || { echo "release: $guide is missing" >&2; exit 1; }

stage="$build_dir/release-stage"
rm -rf "$stage"
mkdir -p "$stage" "$out"
i686-w64-mingw32-strip -o "$stage/K7F3.exe" "$build_dir/app/K7F3.exe"
# The guide as plain text that Notepad shows cleanly on Windows 7 and later,
# the release named on top.
python3 "$root/scripts/guide_to_text.py" "$guide" "$stage/USER-GUIDE.txt" \
  --top "Quorvan K7F3 $K7_VERSION" --version "$K7_VERSION"

zip_name="K7F3-$K7_VERSION-portable.zip"
setup_name="K7F3-$K7_VERSION-setup.exe"
rm -f "$out/$zip_name" "$out/$setup_name" "$out/SHA256SUMS"
(cd "$stage" && zip -q -X "$out/$zip_name" K7F3.exe USER-GUIDE.txt)
makensis -V2 -WX -NOCD \
  "-DVERSION=$K7_VERSION" "-DPUBLISHER=$K7_PUBLISHER" "-DCOPYRIGHT=$K7_COPYRIGHT" \
  "-DSRCROOT=$root" "-DSTAGE=$stage" "-DOUTFILE=$out/$setup_name" \
  "$root/installer/k7f3.nsi" >/dev/null
(cd "$out" && sha256sum "$zip_name" "$setup_name" >SHA256SUMS)
ls -l "$out/$zip_name" "$out/$setup_name" | awk '{print "release: " $9 " " $5 " bytes"}'
