#!/usr/bin/env bash
# lpgm-check against lpgm on the largest input (6 faults, 21 cases of 100000
# samples), run alternately in one copy: medians of N runs each.
#
#   bash bench/check_speed.sh [-n N] [BUILD_DIR]
#
# BUILD_DIR holds both programs (default build/release). lpgm-check is timed
# with --html (the report goes to a scratch file) and its text output.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=5
if [[ ${1:-} == -n ]]; then runs=$2; shift 2; fi
build=${1:-build/release}
lpgm=$(realpath "$build/lpgm")
check=$(realpath "$build/src/check/lpgm-check")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 bench/generate_input.py "$work" >/dev/null
printf 'definition.csv\n' > "$work/answer"

python3 - "$work" "$lpgm" "$check" "$runs" <<'PY'
import os, statistics, subprocess, sys, time
work, lpgm, check, runs = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])

def timed(cmd, stdin_path):
    with open(stdin_path, "rb") as stdin:
        t0 = time.perf_counter()
        p = subprocess.Popen(cmd, cwd=work, stdin=stdin,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(p.pid, 0)
        t1 = time.perf_counter()
    return t1 - t0, usage.ru_utime + usage.ru_stime, usage.ru_maxrss / 1024, \
        os.waitstatus_to_exitcode(status)

rows = {"lpgm": [], "lpgm-check --html": []}
for _ in range(runs):
    rows["lpgm"].append(timed([lpgm], os.path.join(work, "answer")))
    rows["lpgm-check --html"].append(timed(
        [check, "--html", os.path.join(work, "report.html"), "definition.csv"],
        "/dev/null"))
print("%-20s %9s %9s %9s %6s" % ("program", "wall (s)", "cpu (s)", "RSS MiB", "exit"))
med = {}
for name, r in rows.items():
    med[name] = statistics.median(x[0] for x in r)
    print("%-20s %9.3f %9.3f %9.1f %6s" % (
        name, med[name], statistics.median(x[1] for x in r),
        statistics.median(x[2] for x in r), sorted({x[3] for x in r})))
print("ratio (check / lpgm, wall medians): %.2f" % (med["lpgm-check --html"] / med["lpgm"]))
PY
