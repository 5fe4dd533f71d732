#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, as root.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# fonts-liberation: Wine then draws Arial with Arial's metrics, so dialogs
# look under Wine as they will on Windows. nsis and zip: the release files.
# locales: Wine takes a process's ANSI code page from its Unix locale, and
# the tests run the program on Traditional Chinese (950) too.
pkgs=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine wine32:i386 wine64
      xvfb xauth x11-apps netpbm googletest libgtest-dev libgmock-dev cmake ninja-build
      g++ clang clang-format libclang-rt-14-dev python3 fonts-liberation nsis zip locales)
for p in "${pkgs[@]}"; do have_pkg "$p" || need+=("$p"); done

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

# The locales the tests start Wine programs under (C.UTF-8 is built in).
make_locales() {
  if ! locale -a 2>/dev/null | grep -qix 'zh_TW.utf8'; then
    echo "setup: generating the zh_TW.UTF-8 locale" >&2
    $SUDO localedef -i zh_TW -f UTF-8 zh_TW.UTF-8
  fi
}

if [ ${#need[@]} -eq 0 ]; then
  make_locales
  exit 0
fi

export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
echo "setup: installing ${need[*]}" >&2
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
make_locales
