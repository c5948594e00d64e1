#!/usr/bin/env bash
# Times whole runs of lpgm as a user makes them, against the I/O floor of the
# same input set (one process doing the same reads and writes, bench/io_floor.cc,
# and beside it the older cat + head floor), and checks every timed run's six
# output files byte for byte against a run of the plain (Debug) build.
# Needs bash, python3 (Debian: apt-get install python3), a C++ compiler and
# cmake; runs under any locale, LC_ALL=C included.
#
#   bench/run.sh [-n RUNS] [--faults F] [--cases C] [--samples S] [--vary]
#                [--style fixed|exponent|dform|mixed] [--per-line N]
#                [--seed N] [--scaling] [--reuse] [--no-build] [--keep]
#                [--bin PATH]
#
# Without options: 6 faults, 21 cases of 100000 samples (about 21 MB of
# input, 69 MB of output), 5 timed runs. See bench/README.md.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=5
scaling=0
build=1
keep=0
reuse=0
gen_args=()
faults=6
cases=21
samples=100000
timed_bin=

usage() {
  awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "${BASH_SOURCE[0]}"
  exit "${1:-0}"
}

while [[ $# -gt 0 ]]; do
  case $1 in
    -n) runs=$2; shift 2 ;;
    --faults) faults=$2; shift 2 ;;
    --cases) cases=$2; shift 2 ;;
    --samples) samples=$2; shift 2 ;;
    --style|--per-line|--seed) gen_args+=("$1" "$2"); shift 2 ;;
    --vary) gen_args+=(--vary); shift ;;
    --scaling) scaling=1; shift ;;
    --no-build) build=0; shift ;;
    --keep) keep=1; shift ;;
    --reuse) reuse=1; shift ;;
    --bin) timed_bin=$2; shift 2 ;;
    -h|--help) usage 0 ;;
    *) echo "run.sh: unknown option $1" >&2; usage 2 ;;
  esac
done
if ! [[ $runs =~ ^[0-9]+$ ]] || (( runs < 1 )); then
  echo "run.sh: -n needs a positive count" >&2; exit 2
fi

fail() { echo "run.sh: FAIL: $*" >&2; exit 1; }

command -v python3 > /dev/null ||
  fail "python3 is needed to generate the input (Debian: apt-get install python3)"

work=$(mktemp -d /tmp/lpgm-bench.XXXXXX)
if (( keep )); then
  echo "work directory kept: $work"
else
  trap 'rm -rf "$work"' EXIT
fi

release_bin=$root/build/release/lpgm
[[ -n $timed_bin ]] && release_bin=$(realpath "$timed_bin")
plain_bin=$root/build/bench-plain/lpgm
floor_bin=$root/build/bench-floor/io_floor

# --- build --------------------------------------------------------------
if (( build )); then
  echo "== building (log: $work/build.log)"
  if ! ( cd "$root" &&
         cmake --preset release &&
         cmake --build --preset release &&
         cmake -S . -B build/bench-plain -DCMAKE_BUILD_TYPE=Debug \
           -DLPGM_BUILD_TESTS=OFF &&
         cmake --build build/bench-plain -j2 ) > "$work/build.log" 2>&1; then
    tail -n 40 "$work/build.log" >&2
    fail "build failed"
  fi
fi
# The one-process floor is one small file: built here with the compiler
# directly, whenever it is older than its source.
if [[ ! -x $floor_bin || $root/bench/io_floor.cc -nt $floor_bin ]]; then
  mkdir -p "$(dirname "$floor_bin")"
  "${CXX:-g++}" -std=c++20 -O2 -o "$floor_bin" "$root/bench/io_floor.cc" ||
    fail "cannot build $floor_bin from bench/io_floor.cc"
fi
[[ -x $release_bin ]] || fail "no release binary at $release_bin"
[[ -x $plain_bin ]] || fail "no plain binary at $plain_bin"

# --- measuring ----------------------------------------------------------
# The six output files, by their names on disk.
outputs=(
  "入力用･目標速度スペクトル.csv"
  "入力用･位相用加速度波形.csv"
  "参考･各震源断層の速度スペクトル.csv"
  "参考･各ケースの加速度波形.csv"
  "参考･各ケースの速度波形.csv"
  "参考･各ケースの最大速度.csv"
)

if [[ -x /usr/bin/time ]]; then
  have_time=1
else
  have_time=0
  echo "note: /usr/bin/time is missing (apt-get install time); using Python's resource module"
fi

# measure DIR STDIN_FILE CMD...: runs CMD in DIR with STDIN_FILE as its
# standard input (stdout discarded, stderr to $work/stderr) and sets
# m_wall (seconds), m_cpu (user + system seconds), m_rss (peak resident
# set, KiB) and m_status.
measure() {
  local dir=$1 input=$2; shift 2
  if (( have_time )); then
    local t0 t1
    t0=$EPOCHREALTIME
    set +e
    ( cd "$dir" && /usr/bin/time -f '%U %S %M' -o "$work/time.out" "$@" \
        < "$input" > /dev/null 2> "$work/stderr" )
    m_status=$?
    set -e
    t1=$EPOCHREALTIME
    m_wall=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", b - a }')
    local user sys
    read -r user sys m_rss < <(tail -n 1 "$work/time.out")
    m_cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.2f", u + s }')
  else
    local line
    set +e
    line=$(cd "$dir" && python3 -c '
import os, subprocess, sys, time
with open(sys.argv[1], "rb") as stdin, open(sys.argv[2], "wb") as err:
    t0 = time.perf_counter()
    p = subprocess.Popen(sys.argv[3:], stdin=stdin,
                         stdout=subprocess.DEVNULL, stderr=err)
    _, status, usage = os.wait4(p.pid, 0)
    t1 = time.perf_counter()
print("%.4f %.2f %d %d" % (t1 - t0, usage.ru_utime + usage.ru_stime,
                          usage.ru_maxrss, os.waitstatus_to_exitcode(status)))
' "$input" "$work/stderr" "$@")
    set -e
    read -r m_wall m_cpu m_rss m_status <<< "$line"
  fi
}

# Prints "median min max" of the numbers given.
stats() {
  printf '%s\n' "$@" | sort -g | awk '
    { v[NR] = $1 }
    END {
      m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
      print m, v[1], v[NR]
    }'
}

remove_outputs() {
  local dir=$1 f
  for f in "${outputs[@]}"; do rm -f "$dir/$f"; done
}

# run_program DIR BIN: one run as a user makes it: the definition file's name
# typed at the prompt. Fails unless it ends normally and writes all six files.
# The outputs of the run before are removed first, unless --reuse asks for
# them to be left, so that the program reuses and cuts them.
run_program() {
  local dir=$1 bin=$2 f
  (( reuse )) || remove_outputs "$dir"
  measure "$dir" "$work/answer" "$bin"
  if (( m_status != 0 )) || [[ -s $work/stderr ]]; then
    cat "$work/stderr" >&2
    fail "$bin exited with status $m_status in $dir"
  fi
  for f in "${outputs[@]}"; do
    [[ -f $dir/$f ]] || fail "$bin did not write $f"
  done
}

# check_outputs DIR LABEL: the six files equal the reference ones.
check_outputs() {
  local dir=$1 label=$2 f diff line
  for f in "${outputs[@]}"; do
    if ! diff=$(cmp "$work/ref/$f" "$dir/$f" 2>&1); then
      echo "run.sh: MISMATCH in $label: $f differs from the plain build's" >&2
      echo "  $diff" >&2
      line=$(sed -n 's/.*line \([0-9]*\).*/\1/p' <<< "$diff")
      if [[ -n $line ]]; then
        echo "  plain:   $(sed -n "${line}p" "$work/ref/$f" | iconv -f CP932 -t UTF-8 2>/dev/null | cut -c1-160)" >&2
        echo "  release: $(sed -n "${line}p" "$dir/$f" | iconv -f CP932 -t UTF-8 2>/dev/null | cut -c1-160)" >&2
      fi
      exit 1
    fi
  done
}

# Quotes a word for sh in single quotes, byte for byte whatever the locale
# (printf %q writes $'\ooo' for non-ASCII bytes under LC_ALL=C, which sh
# does not read).
sh_quote() {
  local q="'\\''"
  printf "'%s'" "${1//\'/$q}"
}

# prepare DIR FAULTS CASES SAMPLES: writes the input set, runs the plain
# build once for the reference outputs, writes the cat + head floor script
# and sets floor_args, the one-process floor's arguments.
prepare() {
  local dir=$1 f size
  python3 "$root/bench/generate_input.py" "$dir" --faults "$2" --cases "$3" \
    --samples "$4" ${gen_args[@]+"${gen_args[@]}"} > /dev/null
  input_files=("$dir/definition.csv" "$dir"/faults/*/* "$dir"/cases/*/*)
  input_bytes=$(cat "${input_files[@]}" | wc -c)

  rm -rf "$work/ref"
  mkdir -p "$work/ref"
  remove_outputs "$dir"
  run_program "$dir" "$plain_bin"
  output_bytes=0
  {
    echo 'set -e'
    printf 'cat'
    for f in "${input_files[@]}"; do printf ' %s' "$(sh_quote "$f")"; done
    echo ' > /dev/null'
    local k=0
    floor_args=("${input_files[@]}" --)
    for f in "${outputs[@]}"; do
      size=$(stat -c %s "$dir/$f")
      floor_args+=("$size")
      output_bytes=$((output_bytes + size))
      k=$((k + 1))
      echo "head -c $size /dev/zero > floor_$k.out"
      mv "$dir/$f" "$work/ref/$f"
    done
  } > "$work/floor.sh"
}

remove_floor() { rm -f "$1"/floor_?.out; }

# run_floor DIR CMD...: one run of a floor; its files of the run before
# are removed first unless --reuse, as the program's are.
run_floor() {
  local dir=$1; shift
  (( reuse )) || remove_floor "$dir"
  measure "$dir" /dev/null "$@"
  (( m_status == 0 )) || { cat "$work/stderr" >&2; fail "floor $1 failed"; }
}

# time_runs DIR: one untimed warm-up of each, then RUNS timed runs of the
# release binary, of the one-process floor and of the cat + head floor, taken
# in turn so that a change of load hits all alike. Sets the arrays prog_wall,
# prog_cpu, prog_rss, floor_wall, floor_cpu, floor_rss (one process) and
# cat_wall, cat_cpu, cat_rss (cat + head).
time_runs() {
  local dir=$1 k
  prog_wall=(); prog_cpu=(); prog_rss=(); floor_wall=(); floor_cpu=(); floor_rss=()
  cat_wall=(); cat_cpu=(); cat_rss=()
  run_program "$dir" "$release_bin"
  check_outputs "$dir" "warm-up run"
  run_floor "$dir" "$floor_bin" "${floor_args[@]}"
  run_floor "$dir" sh "$work/floor.sh"
  for ((k = 1; k <= runs; ++k)); do
    run_program "$dir" "$release_bin"
    prog_wall+=("$m_wall"); prog_cpu+=("$m_cpu"); prog_rss+=("$m_rss")
    check_outputs "$dir" "timed run $k"
    run_floor "$dir" "$floor_bin" "${floor_args[@]}"
    floor_wall+=("$m_wall"); floor_cpu+=("$m_cpu"); floor_rss+=("$m_rss")
    run_floor "$dir" sh "$work/floor.sh"
    cat_wall+=("$m_wall"); cat_cpu+=("$m_cpu"); cat_rss+=("$m_rss")
  done
  remove_floor "$dir"
  remove_outputs "$dir"
}

mb() { awk -v b="$1" 'BEGIN { printf "%.1f", b / 1e6 }'; }

printf 'definition.csv\n' > "$work/answer"
echo "== load before: $(uptime)"

if (( ! scaling )); then
  dir=$work/input
  echo "== input: $faults faults, $cases cases of $samples samples ${gen_args[*]+${gen_args[*]}}"
  prepare "$dir" "$faults" "$cases" "$samples"
  echo "   $(mb "$input_bytes") MB in ${#input_files[@]} files; outputs $(mb "$output_bytes") MB"
  echo "== $runs timed runs of $release_bin (outputs checked against $plain_bin)"
  (( reuse )) && echo "   each run reuses the output files of the run before"
  time_runs "$dir"
  report() {  # LABEL WALLS CPUS RSSES, each a space-separated list
    local wall cpu rss
    read -r -a wall <<< "$2"; read -r -a cpu <<< "$3"; read -r -a rss <<< "$4"
    read -r w_med w_min w_max < <(stats "${wall[@]}")
    read -r c_med c_min c_max < <(stats "${cpu[@]}")
    read -r r_med r_min r_max < <(stats "${rss[@]}")
    awk -v l="$1" -v a="$w_med" -v b="$w_min" -v c="$w_max" -v d="$c_med" \
        -v e="$c_min" -v f="$c_max" -v g="$r_med" -v h="$r_min" -v i="$r_max" 'BEGIN {
      printf "%-10s %9.3f %7.3f-%-7.3f %9.2f %6.2f-%-6.2f %9.1f %6.1f-%-6.1f\n",
        l, a, b, c, d, e, f, g / 1024, h / 1024, i / 1024 }'
  }
  printf '\n%-10s %9s %15s %9s %13s %9s %13s\n' "" "wall (s)" "min-max" \
    "cpu (s)" "min-max" "RSS (MiB)" "min-max"
  report program "${prog_wall[*]}" "${prog_cpu[*]}" "${prog_rss[*]}"
  pw=$w_med pc=$c_med
  report "I/O floor" "${floor_wall[*]}" "${floor_cpu[*]}" "${floor_rss[*]}"
  fw=$w_med fc=$c_med
  report "cat + head" "${cat_wall[*]}" "${cat_cpu[*]}" "${cat_rss[*]}"
  awk -v a="$pw" -v b="$fw" -v c="$pc" -v d="$fc" 'BEGIN {
    printf "%-10s %9.2f %15s %9.2f   (program / I/O floor, medians)\n", "ratio", a / b, "", (d > 0 ? c / d : 0) }'
  awk -v a="$pw" -v b="$w_med" -v c="$pc" -v d="$c_med" 'BEGIN {
    printf "%-10s %9.2f %15s %9.2f   (program / cat + head floor, medians)\n", "ratio", a / b, "", (d > 0 ? c / d : 0) }'
  echo "program runs (s):    ${prog_wall[*]}"
  echo "I/O floor runs (s):  ${floor_wall[*]}"
  echo "cat + head runs (s): ${cat_wall[*]}"
  echo "program cpu (s):     ${prog_cpu[*]}"
  echo "all $runs timed runs wrote outputs byte-identical to the plain build's"
else
  echo "== scaling: $runs timed runs per point (outputs checked against $plain_bin)"
  printf '%6s %5s %7s %7s %7s %8s %15s %8s %6s %8s %11s %10s\n' \
    faults cases samples "in MB" "out MB" "wall (s)" "min-max" "floor(s)" ratio \
    "cpu (s)" "ns/cs wall" "ns/cs cpu"
  for f in 1 6; do
    for c in 5 21; do
      for s in 25000 50000 100000; do
        dir=$work/input-$f-$c-$s
        prepare "$dir" "$f" "$c" "$s"
        time_runs "$dir"
        read -r pw_med pw_min pw_max < <(stats "${prog_wall[@]}")
        read -r fw_med _ _ < <(stats "${floor_wall[@]}")
        read -r pc_med _ _ < <(stats "${prog_cpu[@]}")
        awk -v f="$f" -v c="$c" -v s="$s" -v ib="$input_bytes" -v ob="$output_bytes" \
            -v m="$pw_med" -v lo="$pw_min" -v hi="$pw_max" -v fl="$fw_med" \
            -v cpu="$pc_med" 'BEGIN {
          printf "%6d %5d %7d %7.1f %7.1f %8.3f %7.3f-%-7.3f %8.3f %6.2f %8.2f %11.1f %10.1f\n",
            f, c, s, ib / 1e6, ob / 1e6, m, lo, hi, fl, m / fl, cpu,
            m * 1e9 / (c * s), cpu * 1e9 / (c * s) }'
        rm -rf "$dir"
      done
    done
  done
  echo "every timed run wrote outputs byte-identical to the plain build's"
fi
echo "== load after: $(uptime)"
