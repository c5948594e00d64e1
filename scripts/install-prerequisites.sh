#!/usr/bin/env bash
# Installs what building and testing lpgm needs on Debian or Ubuntu, when it
# is missing. Runs as root or through sudo. With --fuzz, also clang and
# libFuzzer's runtime for the `fuzz` preset.
set -euo pipefail
need=()
command -v g++ >/dev/null || need+=(g++)
command -v cmake >/dev/null || need+=(cmake)
# The presets build with Ninja; cmake installed without recommends does not
# bring make either (the benchmark's plain build uses it).
command -v ninja >/dev/null || need+=(ninja-build)
command -v make >/dev/null || need+=(make)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
# The ci preset builds the stage benchmarks too.
[ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
fuzz=0
[ "${1:-}" = "--fuzz" ] && fuzz=1
[ $fuzz -eq 1 ] && ! command -v clang++ >/dev/null && need+=(clang)
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
if [ ${#need[@]} -gt 0 ]; then
  $SUDO apt-get update
  $SUDO apt-get install -y --no-install-recommends "${need[@]}"
fi
# libFuzzer's runtime comes with the package of clang's own version.
if [ $fuzz -eq 1 ]; then
  version=$(clang++ -dumpversion | cut -d. -f1)
  if ! ls /usr/lib/llvm-"$version"/lib/clang/*/lib/linux/libclang_rt.fuzzer-*.a \
      >/dev/null 2>&1; then
    $SUDO apt-get install -y --no-install-recommends "libclang-rt-$version-dev"
  fi
fi
