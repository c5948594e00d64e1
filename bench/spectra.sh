#!/usr/bin/env bash
# The response spectra of the largest input (21 records of 100000 samples,
# 55 periods, h = 0.05: 115.5 million oscillator steps) by lpgm's engine and
# by numpy with the same method, each process timed from spawn to exit; the
# numpy result checks the engine's values.
#
#   bash bench/spectra.sh [-n RUNS] [BUILD_DIR]
#
# BUILD_DIR holds bench/lpgm_spectra_bench (default build/bench; built there
# when missing). numpy runs once (it takes seconds); the engine RUNS times
# (default 5), median shown. Last line, for bench/run.sh:
#   spectra: engine S s, numpy S s, ratio R, largest relative difference D
set -euo pipefail
cd "$(dirname "$0")/.."
runs=5
if [[ ${1:-} == -n ]]; then runs=$2; shift 2; fi
build=${1:-build/bench}
program=$build/bench/lpgm_spectra_bench
if [[ ! -x $program ]]; then
  [[ -f $build/CMakeCache.txt ]] || cmake --preset bench >/dev/null
  cmake --build "$build" --target lpgm_spectra_bench -j2 >/dev/null
fi
python=/usr/bin/python3
if ! $python -c 'import numpy' 2>/dev/null; then
  echo "spectra.sh: needs numpy for $python (apt-get install python3-numpy)" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
$python bench/spectra_numpy.py generate "$work/records.f64" 21 100000 0.01

$python - "$work" "$(realpath "$program")" "$runs" <<'PY'
import os, statistics, subprocess, sys, time
work, program, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
records = os.path.join(work, "records.f64")

def timed(cmd):
    """Wall time from spawn to exit, CPU time (user + system), output."""
    t0 = time.perf_counter()
    p = subprocess.Popen(cmd, stdout=subprocess.PIPE, text=True)
    out = p.stdout.read()
    _, status, usage = os.wait4(p.pid, 0)
    wall = time.perf_counter() - t0
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"spectra.sh: {cmd[0]} failed")
    return wall, usage.ru_utime + usage.ru_stime, out.strip()

engine = [timed([program, records, "21", "0.01",
                 os.path.join(work, "engine.f64")]) for _ in range(runs)]
numpy_time, numpy_cpu, numpy_line = timed(
    ["/usr/bin/python3", "bench/spectra_numpy.py", "compute", records, "21",
     "0.01", os.path.join(work, "numpy.f64")])
_, _, diff = timed(["/usr/bin/python3", "bench/spectra_numpy.py", "compare",
                    os.path.join(work, "engine.f64"),
                    os.path.join(work, "numpy.f64")])
median = statistics.median(t for t, _, _ in engine)
median_cpu = statistics.median(c for _, c, _ in engine)
print(engine[0][2])
print(f"engine, spawn to exit: median {median:.4f} s of {runs} "
      f"(min {min(t for t, _, _ in engine):.4f}), "
      f"CPU median {median_cpu:.4f} s")
print(f"numpy, spawn to exit: {numpy_time:.3f} s, CPU {numpy_cpu:.3f} s "
      f"({numpy_line})")
print(f"load average: {os.getloadavg()[0]:.1f}")
print(f"spectra: engine {median:.4f} s, numpy {numpy_time:.3f} s, "
      f"ratio {numpy_time / median:.0f}, largest relative difference {diff}")
PY
