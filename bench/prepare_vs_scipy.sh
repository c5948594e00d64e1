#!/usr/bin/env bash
# Converts whole records with lpgm-prepare and with scipy's resampling by
# the same Kaiser design, and reports the largest differences.
# Usage: bash bench/prepare_vs_scipy.sh [LPGM_PREPARE]
# Needs Debian's /usr/bin/python3 with python3-scipy. Uses the PEER records
# of ../shared/data/real when present; synthetic tables always.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
prepare="${1:-$root/build/dev/src/prepare/lpgm-prepare}"
python=/usr/bin/python3
if [[ ! -x "$prepare" ]]; then
  echo "no lpgm-prepare at $prepare (build the target lpgm-prepare)" >&2
  exit 2
fi
if ! "$python" -c 'import scipy' 2>/dev/null; then
  echo "$python has no scipy (apt-get install python3-scipy)" >&2
  exit 2
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
records=()
peer="$root/../shared/data/real/original/NHERI-SimCenter_EE-UQ"
if [[ -d "$peer" ]]; then
  records=("$peer"/*.AT2)
fi
"$python" "$root/bench/prepare_vs_scipy.py" "$prepare" "$work" "${records[@]}"
