#!/usr/bin/env bash
# Builds lpgm and runs it on the bundled example, as a user would: in a copy
# of examples/ (build/example-run), answering "definition.csv" at the prompt.
set -euo pipefail
# The Japanese file names and messages need a UTF-8 locale, whatever the
# caller set (a container or `env -i` starts with none).
export LC_ALL=C.UTF-8
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
