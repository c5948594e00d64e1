#!/usr/bin/env bash
# Builds lpgm and runs it on the bundled example, as a user would: in a copy
# of examples/ (build/example-run), answering "definition.csv" at the prompt.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-prerequisites.sh
cmake --preset release >/dev/null
cmake --build --preset release
run="$root/build/example-run"
rm -rf "$run"
cp -r "$root/examples" "$run"
cd "$run"
status=0
printf 'definition.csv\n' | "$root/build/release/lpgm" || status=$?
echo
echo "exit status $status; output files in $run:"
ls -l -- *.csv | grep -v definition.csv
