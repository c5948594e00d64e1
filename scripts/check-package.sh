#!/usr/bin/env bash
# Checks a package the way a user meets it: unpacks it into a scratch
# folder, runs lpgm from it on a copy of the example it ships, and compares
# the six files written with tests/e2e/golden/example.
#   check-package.sh deb build/ci/lpgm_1.1.0_amd64.deb
#   check-package.sh zip build/windows/lpgm-1.1.0-win64.zip   (runs Wine)
set -euo pipefail
# The Japanese file names and messages need a UTF-8 locale, whatever the
# caller set (a container or `env -i` starts with none).
export LC_ALL=C.UTF-8
kind=$1
package=$(realpath "$2")
golden=$(realpath "$(dirname "$0")/../tests/e2e/golden/example")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() { echo "check-package: $package: $*" >&2; exit 1; }

case $kind in
  deb)
    dpkg-deb -x "$package" "$scratch/root"
    for doc in usr/bin/lpgm usr/bin/lpgm-check usr/bin/lpgm-prepare \
               usr/bin/lpgm-spectrum \
               usr/bin/lpgm-match \
               usr/share/doc/lpgm/README.md \
               usr/share/doc/lpgm/example/definition.csv; do
      [ -e "$scratch/root/$doc" ] || fail "no /$doc"
    done
    cp -r "$scratch/root/usr/share/doc/lpgm/example" "$scratch/run"
    run=("$scratch/root/usr/bin/lpgm")
    ;;
  zip)
    (cd "$scratch" && unzip -q "$package")
    top=$(basename "$package" .zip)
    for doc in lpgm.exe lpgm-check.exe lpgm-prepare.exe lpgm-spectrum.exe \
               lpgm-match.exe README.md README-Windows.txt \
               example/lpgm.exe example/definition.csv; do
      [ -e "$scratch/$top/$doc" ] || fail "no $doc"
    done
    cp -r "$scratch/$top/example" "$scratch/run"
    export WINEDEBUG=-all LC_ALL=${LC_ALL:-C.UTF-8}
    run=(/usr/lib/wine/wine64 "$scratch/run/lpgm.exe")
    ;;
  *) fail "unknown kind $kind" ;;
esac

cd "$scratch/run"
printf 'definition.csv\n' | LC_ALL=${LC_ALL:-C} "${run[@]}" >"$scratch/out" \
  || fail "exit status $?"
names=("入力用･目標速度スペクトル.csv" "入力用･位相用加速度波形.csv"
       "参考･各震源断層の速度スペクトル.csv" "参考･各ケースの加速度波形.csv"
       "参考･各ケースの速度波形.csv" "参考･各ケースの最大速度.csv")
for k in 1 2 3 4 5 6; do
  cmp -s "${names[k-1]}" "$golden/$k.csv" || fail "${names[k-1]} differs"
done
echo "check-package: $(basename "$package"): the example's six files match"
