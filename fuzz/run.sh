#!/usr/bin/env bash
# Builds the fuzz targets with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for a given number of seconds.
#
#   bash fuzz/run.sh SECONDS [TARGET...]
#
# Every target runs on a scratch copy of its seed corpus (fuzz/corpus/TARGET),
# so the checked-in corpus is never changed. The script exits non-zero when
# any target finds a crash, a leak, undefined behaviour, a sanitizer report
# or a mismatch of its own checks; the reproducer is left in
# build/fuzz/run/TARGET/artifacts/. Needs clang and libFuzzer's runtime
# (scripts/install-prerequisites.sh --fuzz).
set -euo pipefail
# The Japanese file names and messages need a UTF-8 locale, whatever the
# caller set (a container or `env -i` starts with none).
export LC_ALL=C.UTF-8
cd "$(dirname "$0")/.."

if [[ $# -lt 1 || ! $1 =~ ^[0-9]+$ ]]; then
  echo "usage: bash fuzz/run.sh SECONDS [TARGET...]" >&2
  exit 2
fi
seconds=$1
shift
all_targets=(fuzz_free_form fuzz_field_read fuzz_definition_file
             fuzz_spectrum_file fuzz_acceleration_file fuzz_format
             fuzz_check fuzz_prepare_formats fuzz_spectrum_record
             fuzz_match)
if [[ $# -gt 0 ]]; then targets=("$@"); else targets=("${all_targets[@]}"); fi
for t in "${targets[@]}"; do
  [[ -f fuzz/$t.cc ]] || { echo "unknown target $t" >&2; exit 2; }
done

out=build/fuzz
# LPGM_FUZZ_BUDGET=cpu makes SECONDS the CPU time of each target instead of
# its wall-clock time (for a machine that other work shares).
budget=${LPGM_FUZZ_BUDGET:-wall}

# The targets come from the `fuzz` preset (clang, libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer). Two runs of this script may share the
# build directory: one builds at a time.
mkdir -p "$out/run"
exec 9>"$out/.build.lock"
flock 9
[[ -f $out/CMakeCache.txt ]] || cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]}"
flock -u 9

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:symbolize=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:abort_on_error=1:print_stacktrace=1}

failed=()
for t in "${targets[@]}"; do
  work="$out/run/$t"
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/artifacts"
  cp -r "fuzz/corpus/$t/." "$work/corpus/"
  args=(-max_total_time="$seconds" -detect_leaks=1 -rss_limit_mb=2048
        -timeout=60 -print_final_stats=1 -use_value_profile=1
        -artifact_prefix="$work/artifacts/")
  [[ $t != fuzz_format ]] && args+=(-dict=fuzz/lpgm.dict)
  if [[ $budget == cpu ]]; then
    args[0]=-max_total_time=$(( seconds * 20 ))
    echo "== fuzzing $t for ${seconds}s of CPU time (log: $work/log)"
  else
    echo "== fuzzing $t for ${seconds}s (log: $work/log)"
  fi
  status=0
  start=$(date +%s)
  (
    TIMEFORMAT="user %Us, sys %Ss, wall %Rs"
    time "$out/fuzz/$t" "${args[@]}" "$work/corpus" > "$work/log" 2>&1
  ) 2> "$work/time" &
  runner=$!
  if [[ $budget == cpu ]]; then
    # Interrupt the fuzzer once it has used its CPU time; it then prints its
    # final statistics and exits with status 72.
    ticks=$(getconf CLK_TCK)
    while kill -0 "$runner" 2>/dev/null; do
      sleep 5
      pid=$(pgrep -P "$runner" | head -1 || true)
      [[ -n $pid && -r /proc/$pid/stat ]] || continue
      used=$(awk -v t="$ticks" '{ print int(($14 + $15) / t) }' "/proc/$pid/stat" 2>/dev/null || echo 0)
      if (( used >= seconds )); then kill -INT "$pid" 2>/dev/null || true; break; fi
    done
  fi
  wait "$runner" || status=$?
  if [[ $budget == cpu && $status -eq 72 ]] &&
     grep -q 'libFuzzer: run interrupted' "$work/log"; then
    status=0
  fi
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$work/log" |
          grep -o '[0-9]*$' || true)
  cov=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$work/log" | tail -1 || true)
  echo "   $t: exit $status, ${execs:-?} executions, ${cov:-no coverage line}," \
       "$(cat "$work/time"), corpus $(ls "$work/corpus" | wc -l) inputs," \
       "$(( $(date +%s) - start ))s"
  if [[ $status -ne 0 ]] || grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error|fuzz invariant violated' "$work/log"; then
    echo "!! $t failed; tail of its log:"
    tail -n 40 "$work/log" | sed 's/^/   /'
    ls "$work/artifacts" | sed "s|^|   artifact: $work/artifacts/|"
    failed+=("$t")
  fi
done

if [[ ${#failed[@]} -gt 0 ]]; then
  echo "fuzzing found failures in: ${failed[*]}"
  exit 1
fi
echo "fuzzing: ${#targets[@]} targets ran ${seconds}s each without failure"
