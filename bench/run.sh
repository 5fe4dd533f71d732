#!/usr/bin/env bash
# Builds the benchmarks of the whole program and runs them under Wine, with
# one virtual screen and one wineserver around all of them.
#
#   bench/run.sh [counters] [latency] [held] [soak] [press] [press_cost] [timing]
#
# Without names it runs all seven in that order. Arguments for one benchmark
# go in K7_BENCH_ARGS_<NAME>, e.g. K7_BENCH_ARGS_SOAK="20 500" for a short soak.
# Honours WINEPREFIX (default: the build tree's prefix). Exits non-zero when a
# benchmark reports a failure.
set -euo pipefail
cd "$(dirname "$0")/.."

names=("$@")
[ ${#names[@]} -gt 0 ] || names=(counters latency held soak press press_cost timing)
targets=()
for n in "${names[@]}"; do
  case "$n" in
    counters | latency | held | soak | press | press_cost | timing) targets+=("k7_bench_$n") ;;
    *) echo "bench/run.sh: unknown benchmark \"$n\" (counters, latency, held, soak, press, press_cost, timing)" >&2; exit 2 ;;
  esac
done

bash scripts/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target "${targets[@]}"

# wine-run.sh passes the output on once the program has ended.
bash scripts/with-wine.sh bash -c '
  rc=0
  for n in "$@"; do
    echo "== $n"
    args="K7_BENCH_ARGS_${n^^}"
    # shellcheck disable=SC2086  # the arguments are meant to split
    build/win32/wine-run.sh "build/win32/bench/k7_bench_$n.exe" ${!args:-} || rc=1
  done
  exit $rc
' bench "${names[@]}"
