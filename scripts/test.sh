#!/usr/bin/env bash
# Builds lpgm and its tests (warnings as errors) and runs every test.
set -euo pipefail
# The Japanese file names and messages need a UTF-8 locale, whatever the
# caller set (a container or `env -i` starts with none).
export LC_ALL=C.UTF-8
cd "$(dirname "$0")/.."
bash scripts/install-prerequisites.sh
# Builds use every processor (Ninja); tests too.
export CTEST_PARALLEL_LEVEL=${CTEST_PARALLEL_LEVEL:-$(nproc)}
cmake --workflow --preset ci
