#!/usr/bin/env bash
# The one test command: installs what is missing, then builds and runs the
# portable core's tests (native, sanitizers, a short fuzz run) and the Windows
# tests (under Wine on a virtual screen). Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

echo "== format"
bash scripts/format.sh --check

echo "== native: portable core"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

echo "== fuzz: ParseSlot (short run)"
mkdir -p build/native/fuzz-corpus
build/native/fuzz/parse_slot_fuzz -runs=200000 -max_len=64 -seed=1 \
  build/native/fuzz-corpus fuzz/corpus/parse_slot 2>&1 | tail -n 2

echo "== fuzz: INI snapshot (short run)"
mkdir -p build/native/fuzz-corpus-ini
build/native/fuzz/ini_snapshot_fuzz -runs=1000 -max_len=2048 -seed=1 \
  build/native/fuzz-corpus-ini fuzz/corpus/ini_snapshot 2>&1 | tail -n 2

echo "== fuzz: profile file (short run)"
mkdir -p build/native/fuzz-corpus-profile-file
build/native/fuzz/profile_file_fuzz -runs=50000 -max_len=2048 -seed=1 \
  build/native/fuzz-corpus-profile-file fuzz/corpus/profile_file 2>&1 | tail -n 2

echo "== win32: the program under Wine"
cmake --preset win32 >/dev/null
cmake --build --preset win32
bash scripts/with-wine.sh ctest --preset win32
