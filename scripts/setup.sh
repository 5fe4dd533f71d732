#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, as root.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# fonts-liberation: Wine then draws Arial with Arial's metrics, so dialogs
# look under Wine as they will on Windows. nsis and zip: the release files.
pkgs=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine wine32:i386 wine64
      xvfb xauth x11-apps netpbm googletest libgtest-dev libgmock-dev cmake ninja-build
      g++ clang clang-format libclang-rt-14-dev python3 fonts-liberation nsis zip)
for p in "${pkgs[@]}"; do have_pkg "$p" || need+=("$p"); done

if [ ${#need[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
echo "setup: installing ${need[*]}" >&2
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
