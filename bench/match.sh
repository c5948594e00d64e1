#!/usr/bin/env bash
# lpgm-match against a numpy implementation of the same loop
# (bench/match_numpy.py), side by side in one sitting: a phase record of
# SAMPLES samples at 0.02 s (band-limited noise under an envelope, fixed
# seed) and a smooth 55-period pSv target, 20 iterations at most, no
# baseline change. lpgm-match is timed from spawn to exit (median of RUNS),
# numpy over its loop alone (reading excluded, once), wall time. The
# CPU time of lpgm-match is shown too: on a loaded machine it is the
# figure that does not depend on the other processes. Prints one summary
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
bin=$(cd "$(dirname "$bin")" && pwd)/$(basename "$bin")
python=/usr/bin/python3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$python" "$root/bench/match_numpy.py" write "$work" "$samples"

times=()
cpus=()
for ((i = 0; i < runs; ++i)); do
  (cd "$work" && /usr/bin/time -f '%e %U %S' -o time.txt "$bin" \
     --target target.csv --phase phase.csv --baseline none -o m.csv \
     > summary.txt) || [[ $? -eq 1 ]]
  read -r wall user sys < "$work/time.txt"
  times+=("$wall")
  cpus+=("$(echo "$user + $sys" | bc -l)")
done
median_of() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
median=$(median_of "${times[@]}")
cpu=$(median_of "${cpus[@]}")
cat "$work/summary.txt"
echo "lpgm-match runs, wall (s): ${times[*]}; cpu (s): ${cpus[*]}"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
numpy_line=$("$python" "$root/bench/match_numpy.py" run "$work")
echo "$numpy_line"
numpy_s=$(echo "$numpy_line" | awk '{print $(NF-1)}')
printf 'match: %d samples, 55 periods: lpgm-match %.2f s wall, %.2f s cpu (medians of %d, spawn to exit), numpy loop %.1f s, %.0fx\n' \
  "$samples" "$median" "$cpu" "$runs" "$numpy_s" "$(echo "$numpy_s / $median" | bc -l)"
