#!/bin/bash
# Peak RSS and wall time of lpgm runs with 1 GiB lines at each place a line
# can be long, beside a normal run. Usage: bench/bounded_memory.sh [LPGM]
# (default build/release/lpgm). Needs about 2 GiB of free disk in /tmp.
set -e
root="$(cd "$(dirname "$0")/.." && pwd)"
B="${1:-$root/build/release/lpgm}"
S=/tmp/lpgm_measure
G=1073741824
measure() {  # label, stdin file, locale
  LC_ALL=${3:-C} /usr/bin/time -f "%M %e %U %S %x" -o "$S.time" "$B" < "$2" > "$S.out" 2> "$S.err" || true
  read rss wall user sys status < "$S.time"
  printf '%-34s exit %s  peak RSS %7s KiB  wall %6ss  user %5ss  sys %5ss  stderr: %s\n' "$1" "$status" "$rss" "$wall" "$user" "$sys" "$(head -c 80 "$S.err")"
}
fresh() { rm -rf "$S"; cp -r "$root/examples" "$S"; cd "$S"; printf 'definition.csv\n' > typed.txt; }

fresh; measure "normal example" typed.txt
fresh; measure "normal example, C.UTF-8" typed.txt C.UTF-8

fresh; mv definition.csv d.orig
{ head -c $G /dev/zero | tr '\0' 'T'; printf '\r\n'; tail -n +2 d.orig; } > definition.csv
measure "1 GiB title line" typed.txt

fresh; F=faults/F1/Korvel長周期.csv; mv $F k.orig
{ head -n 4 k.orig; head -c $G /dev/zero | tr '\0' 'H'; printf '\r\n'; tail -n +6 k.orig; } > $F
measure "1 GiB spectrum header line" typed.txt

fresh; F=faults/F1/Korvel長周期.csv; mv $F k.orig
{ head -n 9 k.orig; sed -n 10p k.orig | tr -d '\r\n'; printf ','; head -c $G /dev/zero | tr '\0' '7'; printf '\r\n'; tail -n +11 k.orig; } > $F
measure "1 GiB data row (after field 28)" typed.txt

fresh; F=cases/ELCENTRO1940_NS/加速度波形.acc
python3 -c "
import math,sys
sys.stdout.write('100000,0.02\r\n' + ''.join(' %.4f' % (150*math.sin(j*0.013)) for j in range(100000)))" > s.head
{ cat s.head; printf '\r\n'; } > $F
measure "100000 samples, one line" typed.txt
{ cat s.head; yes ' 1.5' | tr -d '\n' | head -c $G; printf '\r\n'; } > $F
measure "100000 samples + 1 GiB same line" typed.txt

fresh; cp definition.csv definition.csvxxxxxxxxxxxxxxxxxxxxxxxxxx
{ printf 'definition.csv'; head -c $G /dev/zero | tr '\0' 'x'; printf '\n'; } > typed.txt
measure "1 GiB typed answer (cut to 40)" typed.txt
measure "1 GiB typed answer, C.UTF-8" typed.txt C.UTF-8

fresh; truncate -s +2G cases/ELCENTRO1940_NS/加速度波形.acc
du -k cases/ELCENTRO1940_NS/加速度波形.acc | sed 's/^/disk KiB of sparse file: /'
measure "acc file + 2 GiB sparse after 1560" typed.txt

rm -rf "$S" "$S.time" "$S.out" "$S.err"
