#!/usr/bin/env bash
# Whole processes side by side: `olm reduce` (import, one zone over the whole
# curve, no smoothing, summary) against pandas.read_csv reading the same file
# alone, several processes each, interleaved.  The interpreter's start with
# pandas imported is timed separately and subtracted from the pandas runs.
# Usage: bench/peers/compare_reduce.sh [PROCESSES] [OLM] [FILE]
#   (after `make build`; needs Debian's python3-pandas)
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-7}
olm=${2:-build/default/src/cli/olm}
file=${3:-bench/data/curve_1000000.csv}
[ -f "$file" ] || build/default/bench/bench_reader --memory >/dev/null
py=/usr/bin/python3

now() { date +%s.%N; }
elapsed() { echo "$2 - $1" | bc -l; }

o=() p=() s=()
for i in $(seq 1 "$runs"); do
  t0=$(now); "$olm" reduce "$file" --columns 3 --x 2 --y 3 >/dev/null 2>&1; t1=$(now)
  o+=("$(elapsed "$t0" "$t1")")
  t0=$(now); "$py" -c "import pandas as pd; pd.read_csv('$file', skiprows=[1], engine='c')"; t1=$(now)
  p+=("$(elapsed "$t0" "$t1")")
  t0=$(now); "$py" -c "import pandas"; t1=$(now)
  s+=("$(elapsed "$t0" "$t1")")
done

median() { printf '%s\n' "$@" | sort -g | awk '{v[NR]=$1} END {print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }
mo=$(median "${o[@]}") mp=$(median "${p[@]}") ms=$(median "${s[@]}")
read_only=$(echo "$mp - $ms" | bc -l)
printf 'olm reduce            median %.3f s  (runs: %s)\n' "$mo" "${o[*]}"
printf 'python3 + pandas read median %.3f s\n' "$mp"
printf 'python3 + import only median %.3f s\n' "$ms"
printf 'pandas read_csv alone        %.3f s  ->  olm reduce is %.2fx faster\n' \
  "$read_only" "$(echo "$read_only / $mo" | bc -l)"
