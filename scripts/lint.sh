#!/usr/bin/env bash
# Checks the house style: clang-format on every C++ file of the tree (no file
# is changed), then clang-tidy (.clang-tidy) on src/ with the compile database
# of the ci build, which it configures when it is missing. The Windows
# sources are left out of clang-tidy: they do not compile here.
#
#   bash scripts/lint.sh [--format-only]
set -euo pipefail
# The Japanese file names and messages need a UTF-8 locale, whatever the
# caller set (a container or `env -i` starts with none).
export LC_ALL=C.UTF-8
cd "$(dirname "$0")/.."

mapfile -t files < <(git ls-files '*.cc' '*.h')
echo "== clang-format: ${#files[@]} files"
clang-format --dry-run -Werror "${files[@]}"

[[ ${1:-} == --format-only ]] && exit 0

build=build/ci
if [[ ! -f $build/compile_commands.json ]]; then
  cmake --preset ci >/dev/null
fi
mapfile -t sources < <(git ls-files 'src/*.cc' | grep -v '_win32\.cc$')
echo "== clang-tidy: ${#sources[@]} files"
# Two at a time, like the builds; any finding fails the run.
printf '%s\n' "${sources[@]}" |
  xargs -P 2 -n 4 clang-tidy -p "$build" --quiet \
    --extra-arg=-Wno-unknown-warning-option
echo "lint: clean"
