#!/usr/bin/env bash
# Times whole runs of lpgm as a user makes them, against the I/O floor of the
# same input set (one process doing the same reads and writes, bench/io_floor.cc,
# and beside it the older cat + head floor), and checks every timed run's six
# output files byte for byte against a run of the plain (Debug) build. Each
# process is timed from its spawn to its exit by bench/timing.py; the spawn
# of /bin/true, timed the same way, is printed as the harness's overhead.
# --all times the rows of bench/rows-all.txt instead: lpgm, its floor, the
# numpy script, lpgm-check --html, the spectra and lpgm-match.
# Needs bash, python3 (Debian: apt-get install python3), a C++ compiler and
# cmake; the numpy row needs /usr/bin/python3 with numpy (python3-numpy).
# Runs under any locale, LC_ALL=C included.
#
#   bench/run.sh [-n RUNS] [--all] [--faults F] [--cases C] [--samples S]
#                [--vary] [--style fixed|exponent|dform|mixed] [--per-line N]
#                [--seed N] [--scaling] [--reuse] [--no-build] [--keep]
#                [--bin PATH]
#
# Without options: 6 faults, 21 cases of 100000 samples (about 21 MB of
# input, 69 MB of output), 5 timed runs. See bench/README.md.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=5
scaling=0
all=0
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
    --all) all=1; shift ;;
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
         cmake --build build/bench-plain -j2 &&
         if (( all )); then
           cmake --preset bench &&
             cmake --build --preset bench --target lpgm_spectra_bench
         fi ) > "$work/build.log" 2>&1; then
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
# The numpy script's Python: the first of these that has numpy.
python_numpy="python3-with-numpy"
for p in /usr/bin/python3 python3; do
  if "$p" -c 'import numpy' 2> /dev/null; then
    python_numpy=$(command -v "$p"); break
  fi
done

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

remove_outputs() {
  local dir=$1 f
  for f in "${outputs[@]}"; do rm -f "$dir/$f"; done
}

# Quotes a word for sh in single quotes, byte for byte whatever the locale
# (printf %q writes $'\ooo' for non-ASCII bytes under LC_ALL=C, which sh
# does not read).
sh_quote() {
  local q="'\\''"
  printf "'%s'" "${1//\'/$q}"
}

# prepare DIR FAULTS CASES SAMPLES: writes the input set, runs the plain
# build once there for the reference outputs (kept in $work/ref), writes the
# cat + head floor script and the one-process floor's arguments
# ($work/floor_args, one a line).
prepare() {
  local dir=$1 f size
  python3 "$root/bench/generate_input.py" "$dir" --faults "$2" --cases "$3" \
    --samples "$4" ${gen_args[@]+"${gen_args[@]}"} > /dev/null
  input_files=("$dir/definition.csv" "$dir"/faults/*/* "$dir"/cases/*/*)
  input_bytes=$(cat "${input_files[@]}" | wc -c)

  rm -rf "$work/ref"
  mkdir -p "$work/ref"
  remove_outputs "$dir"
  if ! (cd "$dir" && "$plain_bin" < "$work/answer" > /dev/null 2> "$work/stderr") ||
     [[ -s $work/stderr ]]; then
    cat "$work/stderr" >&2
    fail "the plain build failed in $dir"
  fi
  output_bytes=0
  printf '%s\n' "${input_files[@]}" -- > "$work/floor_args"
  {
    echo 'set -e'
    printf 'cat'
    for f in "${input_files[@]}"; do printf ' %s' "$(sh_quote "$f")"; done
    echo ' > /dev/null'
    local k=0
    for f in "${outputs[@]}"; do
      [[ -f $dir/$f ]] || fail "the plain build did not write $f"
      size=$(stat -c %s "$dir/$f")
      echo "$size" >> "$work/floor_args"
      output_bytes=$((output_bytes + size))
      k=$((k + 1))
      echo "head -c $size /dev/zero > floor_$k.out"
      mv "$dir/$f" "$work/ref/$f"
    done
  } > "$work/floor.sh"
}

# timed DIR ROWS [OPTION...]: the rows of ROWS timed in DIR by timing.py.
timed() {
  local dir=$1 rows=$2; shift 2
  local extra=()
  (( reuse )) && extra+=(--reuse)
  python3 "$root/bench/timing.py" --rows "$rows" --dir "$dir" --runs "$runs" \
    --ref "$work/ref" --var "lpgm=$release_bin" --var "floor=$floor_bin" \
    --var "build=$(dirname "$release_bin")" --var "root=$root" \
    --var "work=$work" --var "ref=$work/ref" --var "answer=$work/answer" \
    --var "python_numpy=$python_numpy" --list "floor_args=$work/floor_args" \
    --var "spectra_bench=$root/build/bench/bench/lpgm_spectra_bench" \
    --var "records=$work/records.f64" \
    ${extra[@]+"${extra[@]}"} "$@"
  rm -f "$dir"/floor_?.out
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
  echo "== $runs timed runs of each row; lpgm is $release_bin, its outputs checked against $plain_bin"
  (( reuse )) && echo "   each run reuses the output files of the run before"
  rows=$root/bench/rows-lpgm.txt
  # The spectra row's records: 21 of 100000 samples at 0.01 s, made once.
  if (( all )) && [[ -x $python_numpy ]]; then
    "$python_numpy" "$root/bench/spectra_numpy.py" generate \
      "$work/records.f64" 21 100000 0.01
  fi
  (( all )) && rows=$root/bench/rows-all.txt
  echo
  timed "$dir" "$rows"
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
        read -r pw_med pw_min pw_max fw_med pc_med < <(
          timed "$dir" "$root/bench/rows-lpgm.txt" --scaling-line lpgm)
        awk -v f="$f" -v c="$c" -v s="$s" -v ib="$input_bytes" -v ob="$output_bytes" \
            -v m="$pw_med" -v lo="$pw_min" -v hi="$pw_max" -v fl="$fw_med" \
            -v cpu="$pc_med" 'BEGIN {
          printf "%6d %5d %7d %7.1f %7.1f %8.3f %7.3f-%-7.3f %8.3f %6.2f %8.3f %11.1f %10.1f\n",
            f, c, s, ib / 1e6, ob / 1e6, m, lo, hi, fl, m / fl, cpu,
            m * 1e9 / (c * s), cpu * 1e9 / (c * s) }'
        rm -rf "$dir"
      done
    done
  done
  echo "every timed run wrote outputs byte-identical to the plain build's"
fi
echo "== load after: $(uptime)"
