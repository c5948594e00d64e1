"""Compares lpgm-prepare's case files with scipy's resampling by the same
design: kaiserord(81, width), the tap count made odd, firwin with a Kaiser
window (unit gain at 0 Hz, times the up factor) and upfirdn, the output
taken centred on the taps so that sample 1 stays at t = 0.

Usage: /usr/bin/python3 prepare_vs_scipy.py LPGM_PREPARE WORK_DIR [RECORD...]
Each RECORD is an AT2 file; two synthetic tables at 0.0125 s and 0.025 s
are always added. Prints one row per record and the largest differences.
"""
import math
import os
import subprocess
import sys

import numpy as np
from scipy import signal

DESIGN_DB = 81.0


def read_at2(path):
    with open(path) as f:
        lines = f.read().splitlines()
    header = lines[3].upper().replace(",", " ")
    words = header.split()
    dt = float(words[words.index("DT=") + 1])
    values = [float(v) for line in lines[4:] for v in line.split()]
    return dt, np.array(values) * 980.665


def read_acc(path):
    with open(path, "rb") as f:
        lines = f.read().decode("ascii").split("\r\n")
    count = int(lines[0].split(",")[0])
    values = np.array([float(v) for line in lines[1:] for v in line.split()])
    assert len(values) == count, (path, count, len(values))
    return values


def ratio(dt):
    from fractions import Fraction
    r = Fraction(dt / 0.02).limit_denominator(1000)
    return r.numerator, r.denominator


def scipy_resample(x, dt):
    up, down = ratio(dt)
    if up == 1 and down == 1:
        return x.copy(), 0
    rate_in = 1.0 / dt
    edge = min(rate_in / 2.0, 25.0)
    rate = rate_in * up
    width = (edge - 0.8 * edge) / (rate / 2.0)
    numtaps, beta = signal.kaiserord(DESIGN_DB, width)
    numtaps |= 1
    h = signal.firwin(numtaps, 0.9 * edge, window=("kaiser", beta), fs=rate)
    h = h * up
    full = signal.upfirdn(h, x, up, 1)
    centre = (numtaps - 1) // 2
    n_out = -(-len(x) * up // down)
    return full[centre::down][:n_out], numtaps


def pgv(acc):
    v = np.empty_like(acc)
    prev = 0.01 * acc[0]
    v[0] = prev
    for j in range(1, len(acc)):
        prev = (acc[j] + acc[j - 1]) * 0.01 + prev
        v[j] = prev
    return np.max(np.abs(v))


def synthetic(dt, seconds, seed):
    rng = np.random.default_rng(seed)
    n = int(round(seconds / dt))
    t = np.arange(n) * dt
    envelope = np.exp(-((t - seconds / 3) / (seconds / 6)) ** 2)
    return envelope * rng.normal(0.0, 100.0, n)


def run(prepare, args, folder):
    subprocess.run([prepare, *args, "-o", folder, "--force"], check=True,
                   stdout=subprocess.DEVNULL)
    return read_acc(os.path.join(folder, "加速度波形.acc"))


def compare(name, x, dt, ours):
    theirs, taps = scipy_resample(x, dt)
    assert len(theirs) == len(ours), (name, len(theirs), len(ours))
    diff = np.max(np.abs(ours - theirs))
    pga = np.max(np.abs(theirs))
    pgv_ours, pgv_theirs = pgv(ours), pgv(theirs)
    # Rounded as the case file rounds, the two differ only where scipy's
    # value lies within its own arithmetic's error of a rounding tie.
    unequal = int(np.sum(np.array([float(f"{v:.4f}") for v in theirs]) != ours))
    print(f"{name:30s} dt {dt:<6g} taps {taps:3d} n {len(ours):5d} "
          f"max|diff| {diff:.2e} cm/s2 ({diff / pga:.0e} of PGA), "
          f"{unequal} differ at 4 decimals; "
          f"PGV {pgv_ours:.4f} vs {pgv_theirs:.4f}")
    return diff, diff / pga, abs(pgv_ours - pgv_theirs) / pgv_theirs


def main():
    prepare, work = sys.argv[1], sys.argv[2]
    rows = []
    for path in sys.argv[3:]:
        dt, x = read_at2(path)
        name = os.path.basename(path)
        ours = run(prepare, [path], os.path.join(work, name))
        rows.append(compare(name, x, dt, ours))
    for dt in (0.0125, 0.025, 0.01):
        x = synthetic(dt, 60.0, int(dt * 1e4))
        table = os.path.join(work, f"synthetic_{dt}.txt")
        np.savetxt(table, x, fmt="%.17g")
        ours = run(prepare, ["--format", "table", "--dt", str(dt), "--units",
                             "cm/s2", table], table + ".case")
        # The table holds x to 17 digits: exactly the doubles above.
        rows.append(compare(f"synthetic {dt} s", x, dt, ours))
    worst = np.max(np.array(rows), axis=0)
    print(f"largest: |diff| {worst[0]:.2e} cm/s2, {worst[1]:.1e} of PGA, "
          f"PGV relative {worst[2]:.1e}")
    # The case file keeps 4 decimals: half a unit of its last place, plus
    # rounding of the sums.
    return 0 if worst[0] <= 5.1e-5 else 1


if __name__ == "__main__":
    sys.exit(main())
