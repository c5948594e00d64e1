#!/usr/bin/env bash
# lpgm-match against a numpy implementation of the same loop
# (bench/match_numpy.py), side by side in one sitting: a phase record of
# SAMPLES samples at 0.02 s (band-limited noise under an envelope, fixed
# seed) and a smooth 55-period pSv target, 20 iterations at most, no
# baseline change. lpgm-match is timed from spawn to exit (median of RUNS),
# numpy over its loop alone (reading excluded, once). Prints one summary
# line last. Needs /usr/bin/python3 with numpy (Debian: python3-numpy).
#
#   bench/match.sh [-n RUNS] [--samples N] [--bin PATH]
#
# PATH defaults to build/release/src/match/lpgm-match (built if missing).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=5
samples=100000
bin=
while [[ $# -gt 0 ]]; do
  case $1 in
    -n) runs=$2; shift 2 ;;
    --samples) samples=$2; shift 2 ;;
    --bin) bin=$2; shift 2 ;;
    *) echo "usage: bench/match.sh [-n RUNS] [--samples N] [--bin PATH]" >&2
       exit 64 ;;
  esac
done
if [[ -z $bin ]]; then
  bin=$root/build/release/src/match/lpgm-match
  if [[ ! -x $bin ]]; then
    cmake --preset release >/dev/null
    cmake --build "$root/build/release" --target lpgm-match -j2 >/dev/null
  fi
fi
python=/usr/bin/python3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$python" "$root/bench/match_numpy.py" write "$work" "$samples"

times=()
for ((i = 0; i < runs; ++i)); do
  start=$(date +%s.%N)
  (cd "$work" && "$bin" --target target.csv --phase phase.csv \
     --baseline none -o m.csv > summary.txt) || [[ $? -eq 1 ]]
  end=$(date +%s.%N)
  times+=("$(echo "$end - $start" | bc -l)")
done
median=$(printf '%s\n' "${times[@]}" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
echo "lpgm-match: $(cat "$work/summary.txt")"
echo "lpgm-match runs (s): ${times[*]}"
numpy_line=$("$python" "$root/bench/match_numpy.py" run "$work")
echo "$numpy_line"
numpy_s=$(echo "$numpy_line" | awk '{print $(NF-1)}')
printf 'match: %d samples, 55 periods: lpgm-match %.3f s (median of %d, spawn to exit), numpy loop %.2f s, %.0fx\n' \
  "$samples" "$median" "$runs" "$numpy_s" "$(echo "$numpy_s / $median" | bc -l)"
