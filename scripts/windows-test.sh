#!/usr/bin/env bash
# Cross-builds lpgm.exe, lpgm-check.exe, lpgm-prepare.exe, lpgm-spectrum.exe
# and the tests for
# Windows (mingw-w64) and runs them under Wine: the unit tests (CTest,
# `windows` preset), the end-to-end tests of the POSIX test binary against
# lpgm.exe, the companion programs against their Linux builds
# (windows-companion-test.sh), and the Windows zip package.
# Everything runs once under LC_ALL=C.UTF-8 and once under ja_JP.UTF-8
# (Wine's Unix locale: Japanese file names need a UTF-8 one).
# Installs the cross compiler, Wine and the Japanese locale when missing
# (as root, or through sudo).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

# --- prerequisites ---------------------------------------------------------
need=()
command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64)
[ -x /usr/lib/wine/wine64 ] || need+=(wine64)
command -v script >/dev/null || need+=(bsdutils)
command -v unzip >/dev/null || need+=(unzip)
command -v localedef >/dev/null && [ -d /usr/share/i18n/locales ] || need+=(locales)
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
if [ ${#need[@]} -gt 0 ]; then
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y \
    --no-install-recommends "${need[@]}"
fi
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  $SUDO localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi

# --- the Wine prefix, made once and kept by its server ---------------------
export WINEDEBUG=-all
export WINEPREFIX=${LPGM_WINEPREFIX:-$root/build/wine}
wine=/usr/lib/wine/wine64
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  LC_ALL=C.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml=" "$wine" wineboot --init \
    >/dev/null 2>&1
  "$wineserver" -w </dev/null >/dev/null 2>&1
fi
"$wineserver" -p </dev/null >/dev/null 2>&1 || true  # already running
# Start the prefix's services now rather than in the first test.
"$wine" wineboot </dev/null >/dev/null 2>&1 || true
trap '"$wineserver" -k || true' EXIT

# --- builds ------------------------------------------------------------------
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake --preset windows "${launcher[@]}" >/dev/null
cmake --build --preset windows
# The POSIX test binary runs the end-to-end tests against lpgm.exe.
cmake --preset ci "${launcher[@]}" >/dev/null
cmake --build --preset ci --target lpgm_tests lpgm-check lpgm-prepare \
  lpgm-spectrum lpgm-match

windows=$root/build/windows
# Tests of the POSIX console rule (the locale decides the console encoding,
# also checked inside two dialogue tests) and of POSIX resources (peak
# memory of the process, /dev/full) do not apply to lpgm.exe.
end_to_end='ExampleRunTest.*:RealDataRunTest.*:DialogueTest.*:ConsoleFaultTest.*'
end_to_end+=':FolderAsInputFileTest.*:OutputFailureTest.*:RunShapesTest.*:Wine*'
posix_only='*Utf8*:BoundedMemoryTest.*:OutputFailureTest.FullDevice*'
posix_only+=':DialogueTest.EndOfFileAtThePromptIsFailure24OnStdin'
posix_only+=':DialogueTest.InputFileFailureEndsTheRunWithDiagnosticAndExitTwo'

for locale in C.UTF-8 ja_JP.UTF-8; do
  echo "== Windows tests under $locale"
  export LC_ALL=$locale
  if [ "$locale" = C.UTF-8 ]; then
    ctest --preset windows
  else
    # The same unit tests in one Wine process: a process per test costs
    # seconds each.
    /usr/lib/wine/wine64 "$windows/tests/lpgm_tests.exe" --gtest_brief=1
  fi
  # lpgm.exe as the end-to-end tests start it: Wine under this locale.
  wrapper=$windows/lpgm-under-wine
  cat >"$wrapper" <<WRAPPER
#!/bin/sh
export WINEPREFIX='$WINEPREFIX' WINEDEBUG=-all HOME='$HOME' LC_ALL='$locale'
exec '$wine' '$windows/lpgm.exe' "\$@"
WRAPPER
  chmod +x "$wrapper"
  LPGM_TEST_BINARY=$wrapper LPGM_TEST_WINE=1 \
    "$root/build/ci/tests/lpgm_tests" \
    --gtest_filter="$end_to_end-$posix_only" --gtest_brief=1
  bash scripts/windows-companion-test.sh "$windows" "$root/build/ci"
done
# The zip tool reads the Japanese names of the example under a UTF-8 locale.
export LC_ALL=C.UTF-8

# --- the zip: unpacked, its lpgm.exe run on its example ----------------------
(cd "$windows" && cpack -G ZIP >/dev/null)
zip=$(ls "$windows"/lpgm-*-win64.zip)
bash scripts/check-package.sh zip "$zip"
