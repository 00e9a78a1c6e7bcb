#!/usr/bin/env bash
# Side-by-side timing of our filters and fits against R and SciPy on the same
# generated test curve (N = 10^6, window 25), several processes each,
# interleaved; prints a table of best-of-process medians and their ratios.
#
#   bench/peers/compare_numerics.sh [BUILD_DIR] [ROUNDS]
#
# BUILD_DIR defaults to build/default (bench_numerics must be built there);
# ROUNDS (default 5) is the number of processes per tool.  Needs Debian's
# python3 with python3-numpy and python3-scipy (/usr/bin/python3), R
# (r-base-core) and gcc.  Data and raw results go to BUILD_DIR/peer-compare.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
BUILD=$(cd "${1:-$ROOT/build/default}" && pwd)
ROUNDS=${2:-5}
PY=${PY:-/usr/bin/python3}
N=1000000
WORK=$BUILD/peer-compare
RAW=$WORK/raw-$(date +%Y%m%d-%H%M%S)
BENCH=$BUILD/bench/bench_numerics
mkdir -p "$WORK/data" "$RAW"

[ -x "$BENCH" ] || { echo "missing $BENCH: build the default preset first"; exit 1; }
"$PY" -c "import numpy, scipy" || { echo "missing python3-numpy / python3-scipy for $PY"; exit 1; }
command -v Rscript >/dev/null || { echo "missing Rscript (r-base-core)"; exit 1; }

DATA=$WORK/data/curve_$N.f64
[ -f "$DATA" ] || "$PY" "$HERE/gen_data.py" "$N" "$WORK/data/curve_$N.csv" >&2
gcc -O2 -shared -fPIC -o "$WORK/r_monoclock.so" "$HERE/r_monoclock.c"
cat "$DATA" > /dev/null  # into the page cache

echo "curve: $DATA ($N points); $ROUNDS processes per tool; raw results in $RAW" >&2
for round in $(seq "$ROUNDS"); do
  echo "round $round" >&2
  OLM_BENCH_CURVE=$DATA "$BENCH" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
      --benchmark_format=json > "$RAW/ours_$round.json" 2>/dev/null
  for task in savgol medfilt polyfit convolve; do
    "$PY" "$HERE/peer_numerics.py" "$task" --data "$DATA" >> "$RAW/peers.jsonl"
  done
  for iter in 0 3; do
    Rscript "$HERE/peer_numerics.R" --data "$DATA" --clock "$WORK/r_monoclock.so" --iter "$iter" \
        >> "$RAW/peers.jsonl"
  done
done
"$PY" "$HERE/summarize_numerics.py" "$RAW" | tee "$RAW/comparison.md"
