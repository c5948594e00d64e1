#!/usr/bin/env bash
# lpgm-check.exe, lpgm-prepare.exe, lpgm-spectrum.exe and lpgm-match.exe under Wine against
# their Linux builds:
# the check of the bundled example (one case folder renamed in Japanese)
# gives the same report, and a small AT2 record (0.01 s, so that it is
# filtered and resampled) becomes the same case file, also in a folder with
# a Japanese name; that record's spectra are the same fault file and CSV,
# also from the case file in the Japanese folder.
# lpgm-match's motion from lpgm's two files of the example agrees within
# a unit of the last decimal.
#   windows-companion-test.sh WINDOWS_BUILD_DIR POSIX_BUILD_DIR
# Wine's prefix and locale come from the environment (WINEPREFIX, LC_ALL).
set -euo pipefail
export LC_ALL=${LC_ALL:-C.UTF-8}
windows=$(realpath "$1")
posix=$(realpath "$2")
examples=$(realpath "$(dirname "$0")/../examples")
wine=/usr/lib/wine/wine64
export WINEDEBUG=-all
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() { echo "windows-companion-test: $*" >&2; exit 1; }

# --- lpgm-check on the example, one case folder with a Japanese name ---------
cp -r "$examples" "$scratch/example"
cd "$scratch/example"
mv cases/SYN02 cases/合成02
sed -i "s/SYN02/$(printf '合成02' | iconv -f UTF-8 -t CP932)/" definition.csv
"$posix/src/check/lpgm-check" definition.csv >"$scratch/check-linux.txt" ||
  fail "lpgm-check: exit status $?"
"$wine" "$windows/src/check/lpgm-check.exe" definition.csv \
  >"$scratch/check-windows.cp932" || fail "lpgm-check.exe: exit status $?"
# Redirected, the Windows report is CP932 with the bytes lpgm writes.
iconv -f CP932 -t UTF-8 "$scratch/check-windows.cp932" \
  >"$scratch/check-windows.txt"
cmp -s "$scratch/check-linux.txt" "$scratch/check-windows.txt" ||
  fail "lpgm-check.exe's report differs: $(diff "$scratch/check-linux.txt" \
    "$scratch/check-windows.txt" | head -5)"
# The HTML report under a Japanese name; never over one of lpgm's files.
"$wine" "$windows/src/check/lpgm-check.exe" definition.csv --html 報告.html \
  >/dev/null || fail "lpgm-check.exe --html: exit status $?"
grep -q '</html>' 報告.html || fail "lpgm-check.exe wrote no report 報告.html"
# The same page as on Linux, spectra and charts included, but for where and
# when it was made.
"$posix/src/check/lpgm-check" definition.csv --html "$scratch/linux.html" \
  >/dev/null || fail "lpgm-check --html: exit status $?"
made='Working directory|Checked at|Input check of'
cmp -s <(grep -Ev "$made" "$scratch/linux.html") <(grep -Ev "$made" 報告.html) ||
  fail "lpgm-check.exe's page differs: $(diff <(grep -Ev "$made" \
    "$scratch/linux.html") <(grep -Ev "$made" 報告.html) | head -5)"
status=0
"$wine" "$windows/src/check/lpgm-check.exe" definition.csv \
  --html DEFINITION.CSV >/dev/null 2>&1 || status=$?
[ "$status" = 73 ] || fail "lpgm-check.exe --html over the definition: $status"

# --- lpgm-prepare on an AT2 record --------------------------------------------
cd "$scratch"
{
  printf 'PEER NGA STRONG MOTION DATABASE RECORD\r\n'
  printf 'A small record written by the test\r\n'
  printf 'ACCELERATION TIME SERIES IN UNITS OF G\r\n'
  printf 'NPTS=  400, DT= .0100 SEC\r\n'
  awk 'BEGIN { for (i = 0; i < 400; i += 5) {
    line = ""
    for (j = i; j < i + 5; ++j)
      line = line sprintf("  %.7E", 0.2 * sin(j * 0.13) * exp(-j / 150.0))
    printf "%s\r\n", line } }'
} >record.AT2
for folder in case1 ケース２; do
  "$posix/src/prepare/lpgm-prepare" record.AT2 -o "linux/$folder" \
    >"$scratch/prepare-linux.txt" || fail "lpgm-prepare: exit status $?"
  "$wine" "$windows/src/prepare/lpgm-prepare.exe" record.AT2 \
    -o "windows/$folder" >"$scratch/prepare-windows.txt" ||
    fail "lpgm-prepare.exe: exit status $?"
  cmp -s "linux/$folder/加速度波形.acc" "windows/$folder/加速度波形.acc" ||
    fail "lpgm-prepare.exe's case file in $folder differs"
  sed 's/linux/windows/' "$scratch/prepare-linux.txt" |
    cmp -s - "$scratch/prepare-windows.txt" ||
    fail "lpgm-prepare.exe's line differs: $(cat "$scratch/prepare-windows.txt")"
done
# --- lpgm-spectrum on the AT2 record and on a case file -----------------------
for system in linux windows; do
  if [ $system = linux ]; then
    spectrum=("$posix/src/spectrum/lpgm-spectrum")
  else
    spectrum=("$wine" "$windows/src/spectrum/lpgm-spectrum.exe")
  fi
  "${spectrum[@]}" --fault-file record.AT2 -o "$system/断層.csv" \
    >/dev/null || fail "lpgm-spectrum ($system) --fault-file: exit status $?"
  "${spectrum[@]}" --damping 0.02,0.05 --substeps 4 \
    "$system/ケース２/加速度波形.acc" -o "$system/スペクトル.csv" \
    >/dev/null || fail "lpgm-spectrum ($system) --csv: exit status $?"
  status=0
  "${spectrum[@]}" missing.AT2 -o "$system/x.csv" 2>/dev/null || status=$?
  [ $status = 2 ] || fail "lpgm-spectrum ($system) on a missing record: $status"
done
for file in 断層.csv スペクトル.csv; do
  cmp -s "linux/$file" "windows/$file" ||
    fail "lpgm-spectrum.exe's $file differs"
done
# --- lpgm-match on lpgm's two files of the example ----------------------------
# The same motion at most one unit of the last decimal apart (the systems'
# math libraries differ in the last bit of sin, cos and exp).
cp -r "$examples" "$scratch/match"
cd "$scratch/match"
printf 'definition.csv\n' | "$posix/lpgm" >/dev/null || fail "lpgm: exit $?"
mkdir -p 設計波
for side in linux windows; do
  status=0
  if [ $side = linux ]; then
    "$posix/src/match/lpgm-match" -o $side.csv --case-folder 設計波 \
      >"$scratch/match-$side.txt" || status=$?
  else
    "$wine" "$windows/src/match/lpgm-match.exe" -o $side.csv \
      --case-folder 設計波 >"$scratch/match-$side.txt" || status=$?
  fi
  [ "$status" -le 1 ] || fail "lpgm-match ($side): exit status $status"
done
paste -d, linux.csv windows.csv | tail -n +2 | tr -d '\r' | awk -F, '
  { for (i = 1; i <= 4; ++i) { d = $i - $(i + 4); if (d < 0) d = -d
      if (d > (i == 1 ? 1.01e-4 : 1.01e-6)) { print "line " NR + 1; exit 1 } } }' ||
  fail "lpgm-match.exe's motion differs from Linux's by more than a unit"
[ -s 設計波/加速度波形.acc ] || fail "lpgm-match.exe wrote no case file"
echo "windows-companion-test: lpgm-check.exe, lpgm-prepare.exe, lpgm-spectrum.exe and lpgm-match.exe agree with Linux"
