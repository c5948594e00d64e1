#!/usr/bin/env bash
# Builds lpgm and its tests (warnings as errors) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-prerequisites.sh
cmake --workflow --preset ci
