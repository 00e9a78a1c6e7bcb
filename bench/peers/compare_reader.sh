#!/usr/bin/env bash
# Side by side: our reader and pandas.read_csv on the same generated
# 1,000,000-row file, several processes each, interleaved (this machine's
# speed varies per process; compare the best and the median process).
# Usage: bench/peers/compare_reader.sh [PROCESSES]   (after `make build`)
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-4}
bin=build/default/bench/bench_reader
file=bench/data/curve_1000000.csv
[ -f "$file" ] || "$bin" --memory >/dev/null
size=$(stat -c %s "$file")
for i in $(seq 1 "$runs"); do
  "$bin" --benchmark_filter='BM_ReadRawData/1000000' --benchmark_repetitions=7 \
      --benchmark_report_aggregates_only=true 2>/dev/null |
    awk -v size="$size" '/_median/ { printf "olm    median %.4f s  %.0f MB/s\n", $2 / 1000, size / ($2 / 1000) / 1e6 }'
  /usr/bin/python3 bench/peers/reader_pandas.py "$file" 7
done
"$bin" --memory "$file"
