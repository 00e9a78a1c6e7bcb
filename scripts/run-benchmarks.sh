#!/usr/bin/env bash
# Runs every benchmark program of the default build once (a few minutes).
# Peer comparisons are separate: bench/peers/compare_reader.sh and
# bench/peers/compare_numerics.sh (they need Debian's python3-pandas,
# python3-scipy and r-base-core).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build/default/bench
for b in "$dir"/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_min_time=0.2 2>&1 | grep -v '^\*\*\*WARNING'
done
