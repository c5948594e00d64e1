#!/usr/bin/python3
"""Which statistics of a case's response spectrum tell a mistake in the case
file apart from the natural spread of real records.

Builds a corpus of case records at 0.02 s in cm/s2:
  * natural: the cases of DATA/cases as they are (set "real"), and the cases
    lpgm-prepare makes from every record in DATA/original (set "prepared":
    both components of each station, El Centro's table, the two check
    records of Chino Hills);
  * planted: mistakes made from each natural case (wrong units or scale,
    wrong time step in the header, two or three columns read as one record,
    a time column read as samples, a baseline offset, a velocity record read
    as acceleration).
Then computes every case's response spectrum at the target's 55 periods
(exact piecewise-linear step, from rest, h = 0.05, peaks at the sample times,
dt = 0.02 s whatever the record really was), a set of candidate statistics,
and prints for each statistic the natural range, the range of each kind of
mistake, and the margin between them.

  /usr/bin/python3 bench/check_spectral_rules.py BUILD_DIR [--data DIR]
      [--work DIR] [--cases] [--engine]

BUILD_DIR holds src/prepare/lpgm-prepare. DIR is the real data folder
(default: ../shared/data/real beside the repository). --work keeps the
prepared cases in DIR (default: a temporary folder, removed at the end).
--cases also prints every case's statistics; --engine compares the
natural cases' spectra with lpgm-spectrum's (BUILD_DIR/src/spectrum).

Needs Debian's python3-numpy under /usr/bin/python3. Runs on one processor
(lpgm-prepare is given one record at a time); about 10 s on an idle
processor.
"""
import argparse
import math
import os
import re
import subprocess
import sys
import tempfile

import numpy as np

sys.dont_write_bytecode = True  # leave no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from spectra_numpy import coefficients  # noqa: E402  (the same exact step)

DT = 0.02          # what every case file's header says
DAMPING = 0.05
G = 980.665        # cm/s2
CASE_FILE = "加速度波形.acc"
FAULT_FILE = "Korvel長周期.csv"

# Case folder of the real set -> the record it was made from.
REAL_SOURCES = {
    "ELCENTRO1940_NS": "satish-annigeri_Notebooks/elcentro.dat",
    "TABAS1978_FER_L": "NHERI-SimCenter_EE-UQ/RSN140_TABAS_FER-L1.AT2",
    "LANDERS1992_PSA090": "NHERI-SimCenter_EE-UQ/RSN884_LANDERS_PSA090.AT2",
    "LANDERS1992_LCN260": "NHERI-SimCenter_EE-UQ/RSN879_LANDERS_LCN260.AT2",
    "KOCAELI1999_FAT000": "NHERI-SimCenter_EE-UQ/RSN1160_KOCAELI_FAT000.AT2",
    "CHICHI1999_CHY002N": "NHERI-SimCenter_EE-UQ/RSN1180_CHICHI_CHY002-N.AT2",
    "CHICHI1999_TCU029N": "NHERI-SimCenter_EE-UQ/RSN1476_CHICHI_TCU029-N.AT2",
    "CHICHI1999_TAP034N": "NHERI-SimCenter_EE-UQ/RSN1426_CHICHI_TAP034-N.AT2",
    "DENALI2002_FAIGO090": "NHERI-SimCenter_EE-UQ/RSN2110_DENALI_FAIGO-90.AT2",
    "STELIAS1979_ICY180": "NHERI-SimCenter_EE-UQ/RSN1628_STELIAS_059V2180.AT2",
}

# The two horizontal components of a station, by the record's file stem.
PARTNERS = [
    ("RSN1180_CHICHI_CHY002-N", "RSN1180_CHICHI_CHY002-W"),
    ("RSN1476_CHICHI_TCU029-N", "RSN1476_CHICHI_TCU029-E"),
    ("RSN879_LANDERS_LCN260", "RSN879_LANDERS_LCN345"),
    ("RSN1160_KOCAELI_FAT000", "RSN1160_KOCAELI_FAT090"),
    ("RSN2110_DENALI_FAIGO-90", "RSN2110_DENALI_FAIGO360"),
    ("RSN1628_STELIAS_059V2180", "RSN1628_STELIAS_059V2090"),
    ("RSN8883_14383980_13849090", "RSN8883_14383980_13849360"),
]

NUMBER = re.compile(r"[-+]?(?:\d+\.\d*|\.\d+)(?:[EeDd][-+]?\d+)?")


# ---------------------------------------------------------------- reading

def read_case(path):
    """A case file: header 'NPTS, DT', then the samples (cm/s2)."""
    with open(path, "rb") as f:
        lines = f.read().decode("ascii").splitlines()
    count = int(lines[0].replace(",", " ").split()[0])
    values = [float(v) for v in NUMBER.findall(" ".join(lines[1:]))]
    return np.array(values[:count])


def read_at2(path):
    """A PEER AT2 record: (samples in cm/s2, dt)."""
    with open(path, "r", encoding="ascii", errors="replace") as f:
        lines = f.read().splitlines()
    head = lines[3].upper()
    match = re.search(r"NPTS\s*=\s*(\d+)\s*,\s*DT\s*=\s*([\d.]+)", head)
    if match:
        count, dt = int(match.group(1)), float(match.group(2))
    else:  # the older header: "  12377    .00500    NPTS, DT"
        fields = head.split()
        count, dt = int(fields[0]), float(fields[1])
    values = [float(v.replace("D", "E").replace("d", "e"))
              for v in NUMBER.findall(" ".join(lines[4:]))]
    return np.array(values[:count]) * G, dt


def read_table_g(path, skip):
    """El Centro's table: values in g at 0.02 s after `skip` lines."""
    with open(path, "r", encoding="ascii") as f:
        lines = f.read().splitlines()[skip:]
    return np.array([float(v) for v in NUMBER.findall(" ".join(lines))]) * G


def read_source(data, relative):
    path = os.path.join(data, "original", relative)
    if relative.endswith(".dat"):
        return read_table_g(path, 6), 0.02
    return read_at2(path)


def read_target(data):
    """Periods (field 1) and the SRSS of the faults' Sv and pSv at h = 0.05
    (fields 28 and 23) divided by 1.1."""
    periods, sv, psv = None, [], []
    for fault in sorted(os.listdir(os.path.join(data, "faults"))):
        path = os.path.join(data, "faults", fault, FAULT_FILE)
        with open(path, "rb") as f:
            rows = f.read().decode("cp932").splitlines()[9:64]
        table = np.array([[float(v) for v in r.split(",")] for r in rows])
        periods = table[:, 0]
        sv.append(table[:, 27])
        psv.append(table[:, 22])
    srss = lambda parts: np.sqrt(np.sum(np.square(parts), axis=0)) / 1.1
    return periods, {"sv": srss(sv), "psv": srss(psv)}


# ------------------------------------------------------------ the corpus

def prepare_all(build, data, work):
    """Runs lpgm-prepare on every original record, one at a time (the
    machine is shared). Returns {stem: folder}."""
    program = os.path.join(build, "src", "prepare", "lpgm-prepare")
    made = {}
    for root, _, files in os.walk(os.path.join(data, "original")):
        for name in sorted(files):
            stem, ext = os.path.splitext(name)
            if ext.upper() not in (".AT2", ".DAT"):
                continue
            out = os.path.join(work, stem)
            command = [program, os.path.join(root, name), "-o", out, "--force"]
            if ext.upper() == ".DAT":
                command[2:2] = ["--format", "table", "--dt", "0.02",
                                "--units", "g", "--skip", "6"]
            subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
            made[stem] = (out, os.path.relpath(os.path.join(root, name),
                                                os.path.join(data, "original")))
    return made


def low_pass(x, cutoff):
    """Windowed-sinc low-pass (Blackman, 201 taps), applied centred.
    cutoff: fraction of the sampling rate."""
    n = np.arange(201) - 100
    taps = 2 * cutoff * np.sinc(2 * cutoff * n) * np.blackman(201)
    return np.convolve(x, taps / taps.sum(), mode="same")


def velocity(acc):
    """Trapezoidal velocity from rest, as lpgm integrates."""
    return np.cumsum((acc + np.concatenate(([0.0], acc[:-1]))) * DT / 2)


def plant(case, source, source_dt, partner):
    """The planted mistakes made from one natural case: [(kind, samples)].
    case: the 0.02 s record; source: the record at its own step."""
    out = []
    level = [("m/s2 as cm/s2 (/100)", 0.01), ("g as cm/s2 (/980.665)", 1 / G),
             ("cm/s2 taken as g (x980.665)", G), ("cm/s2 taken as m/s2 (x100)", 100.0),
             ("scale x10", 10.0), ("scale /10", 0.1)]
    out += [(k, case * f) for k, f in level]
    step = round(source_dt, 4)
    if step in (0.005, 0.004):
        # Not a wrong header but a careless resampling: every 4th or 5th
        # sample kept, no low-pass, so what lies above 25 Hz folds back.
        keep = int(round(DT / step))
        out.append(("0.02 s every 4th/5th sample, no low-pass", source[::keep]))
    if step == 0.005:
        out.append(("0.01 s every 2nd sample, header 0.02", source[::2]))
        out.append(("0.01 s low-passed, header 0.02", low_pass(source, 0.2)[::2]))
        out.append(("0.005 s record, header 0.02", source))
    elif step == 0.004:
        out.append(("0.008 s every 2nd sample, header 0.02", source[::2]))
        out.append(("0.004 s record, header 0.02", source))
    elif step == 0.02:
        t = np.arange(2 * len(case) - 1) / 2.0
        out.append(("0.01 s interpolated, header 0.02",
                    np.interp(t, np.arange(len(case)), case)))
    out.append(("0.04 s every 2nd sample, header 0.02", case[::2]))
    out.append(("0.04 s low-passed, header 0.02", low_pass(case, 0.2)[::2]))
    if partner is not None:
        n = min(len(case), len(partner))
        both = np.empty(2 * n)
        both[0::2], both[1::2] = case[:n], partner[:n]
        out.append(("two components interleaved", both))
        # A third column stands in for the vertical component: the first
        # one a second later at 0.6 times (no vertical is in the data).
        third = 0.6 * np.roll(case[:n], 50)
        three = np.empty(3 * n)
        three[0::3], three[1::3], three[2::3] = case[:n], partner[:n], third
        out.append(("three columns interleaved", three))
    timed = np.empty(2 * len(case))
    timed[0::2], timed[1::2] = np.arange(len(case)) * DT, case
    out.append(("time column read as samples", timed))
    pga = np.abs(case).max()
    out.append(("offset 1 % of PGA", case + 0.01 * pga))
    out.append(("offset 5 % of PGA", case + 0.05 * pga))
    out.append(("velocity record read as acceleration", velocity(case)))
    return out


# --------------------------------------------------------------- spectra

def spectra(records, periods):
    """Sd, Sv, Sa (cm, cm/s, cm/s2) of each record at the periods, h = 0.05,
    dt = 0.02, from rest, peaks at the sample times. Records of similar
    length go through together; a record's peaks stop at its last sample."""
    a11, a12, a21, a22, b11, b12, b21, b22, kv, ku = coefficients(
        periods, DAMPING, DT)
    result = [None] * len(records)
    order = sorted(range(len(records)), key=lambda i: len(records[i]))
    for start in range(0, len(order), 48):
        group = order[start:start + 48]
        longest = max(len(records[i]) for i in group)
        acc = np.zeros((len(group), longest))
        live = np.zeros((len(group), longest))
        for row, i in enumerate(group):
            acc[row, :len(records[i])] = records[i]
            live[row, :len(records[i])] = 1.0
        shape = (len(group), periods.size)
        u, v = np.zeros(shape), np.zeros(shape)
        sd, sv, sa = np.zeros(shape), np.zeros(shape), np.zeros(shape)
        previous = np.zeros((len(group), 1))
        for current, on in zip(acc.T[:, :, None], live.T[:, :, None]):
            u, v = (a11 * u + a12 * v + b11 * previous + b12 * current,
                    a21 * u + a22 * v + b21 * previous + b22 * current)
            np.maximum(sd, on * np.abs(u), out=sd)
            np.maximum(sv, on * np.abs(v), out=sv)
            np.maximum(sa, on * np.abs(kv * v + ku * u), out=sa)
            previous = current
        for row, i in enumerate(group):
            result[i] = (sd[row], sv[row], sa[row])
    return result


# ------------------------------------------------------------ statistics

def record_statistics(acc, periods, sd, sv, sa, target):
    """Statistics of one case that need no other case."""
    w = 2 * np.pi / periods
    psv, psa = w * sd, w * w * sd
    pga = np.abs(acc).max()
    vel = velocity(acc)
    pgv = np.abs(vel).max()
    power = np.abs(np.fft.rfft(acc)) ** 2
    freq = np.fft.rfftfreq(len(acc), DT)
    band = (freq >= 0.25) & (freq <= 20.0)
    logt = np.log10(periods)
    ratio = np.log10(sv / target["sv"])
    diff = np.diff(acc)
    energy = float(np.dot(acc, acc))
    lag = [float(np.dot(acc[:-k], acc[k:])) / energy for k in (1, 2, 3)]
    return {
        "lvl_tgt_sv": float(np.mean(ratio)),
        "lvl_tgt_psv": float(np.mean(np.log10(psv / target["psv"]))),
        "tpk_psa": float(periods[np.argmax(psa)]),
        "tpk_psv": float(periods[np.argmax(psv)]),
        "tm": float(np.sum(power[band] / freq[band]) / np.sum(power[band])),
        "sa01_pga": float(sa[0] / pga),
        "slope_sv": float(np.polyfit(logt, ratio, 1)[0]),
        "hf_12_25": float(power[freq >= 12.5].sum() / power[freq > 0].sum()),
        "hf_20_25": float(power[freq >= 20.0].sum() / power[freq > 0].sum()),
        "pgv_pga": float(pgv / pga),
        "lag_excess": max(lag[1], lag[2]) - lag[0],
        "rough": float(np.sum(diff * diff) / np.sum(acc * acc)),
        "vend_pgv": float(abs(vel[-1]) / pgv),
        "mean_pga": float(abs(acc.mean()) / pga),
        "pga": float(pga), "pgv": float(pgv), "vend": float(abs(vel[-1])),
        "duration": len(acc) * DT,
        "psv": psv, "sv": sv,
    }


def median_case(others, kind):
    """The case among `others` whose mean log ratio to the target is the
    median one (the lower middle for an even count)."""
    key = "lvl_tgt_" + kind
    ranked = sorted(others, key=lambda s: s[key])
    return ranked[(len(ranked) - 1) // 2]


def best_shift(spectrum, reference, steps=16):
    """The shift in period steps (a step is a factor 10**(2/54) = 1.089)
    that best lines the shape of log(spectrum) up with log(reference):
    positive when the case's features lie at longer periods."""
    a, b = np.log10(spectrum), np.log10(reference)
    best, where = -2.0, 0
    for k in range(-steps, steps + 1):
        x = a[k:] if k >= 0 else a[:k]
        y = b[:len(b) - k] if k >= 0 else b[-k:]
        x, y = x - x.mean(), y - y.mean()
        c = float(np.dot(x, y) / math.sqrt(np.dot(x, x) * np.dot(y, y)))
        if c > best:
            best, where = c, k
    return where


def set_statistics(stats, others):
    """Statistics of a case against the other cases of its set."""
    out = {}
    for kind in ("sv", "psv"):
        ref = median_case(others, kind)[kind]
        out["lvl_med_" + kind] = float(np.mean(np.log10(stats[kind] / ref)))
        out["amean_med_" + kind] = float(np.mean(stats[kind] / ref))
        out["shift_med_" + kind] = best_shift(stats[kind], ref)
        key = "lvl_tgt_" + kind
        levels = [o[key] for o in others] + [stats[key]]
        out["lvl_all_" + kind] = stats[key] - middle(levels, "mean")
    for key in ("tm", "pgv_pga", "hf_12_25", "rough"):
        mid = float(np.median([o[key] for o in others]))
        out[key + "_rel"] = float(stats[key] / mid)
    return out


# ---------------------------------------------------------------- tables

# name, what it is, whether its margins are read on a log scale
CANDIDATES = [
    ("lvl_med_psv", "mean log10 pSv / median case's pSv", False),
    ("lvl_med_sv", "mean log10 Sv / median case's Sv", False),
    ("lvl_all_psv", "mean log10 pSv / median of all cases' (itself too)", False),
    ("lvl_all_sv", "mean log10 Sv / median of all cases' (itself too)", False),
    ("amean_med_psv", "mean pSv / median case's pSv", True),
    ("lvl_tgt_psv", "mean log10 pSv / target pSv", False),
    ("lvl_tgt_sv", "mean log10 Sv / target Sv", False),
    ("shift_med_psv", "shape shift vs median case, steps of x1.089", False),
    ("shift_med_sv", "shape shift vs median case (Sv), steps", False),
    ("tpk_psa", "period of peak pSa (s)", True),
    ("tpk_psv", "period of peak pSv (s)", True),
    ("tm", "mean period Tm, 0.25-20 Hz (s)", True),
    ("tm_rel", "Tm / median of the other cases' Tm", True),
    ("sa01_pga", "Sa(0.1 s) / PGA", True),
    ("slope_sv", "slope of log10(Sv/target) on log10 T", False),
    ("hf_12_25", "power share 12.5-25 Hz", True),
    ("hf_12_25_rel", "power share 12.5-25 Hz / others' median", True),
    ("hf_20_25", "power share 20-25 Hz", True),
    ("pgv_pga", "PGV / PGA (s)", True),
    ("pgv_pga_rel", "PGV/PGA / others' median", True),
    ("lag_excess", "max(r2, r3) - r1, r_k lag-k autocorrelation", False),
    ("rough", "sum (a[i+1]-a[i])^2 / sum a^2", True),
    ("rough_rel", "roughness / others' median", True),
    ("vend_pgv", "|final velocity| / PGV", True),
    ("mean_pga", "|mean| / PGA", True),
]


def distance(a, b, log):
    return math.log10(b / a) if log else b - a


def margin(natural, planted, log):
    """How far the planted values lie beyond the natural ones: positive when
    every planted value is above the natural maximum (or below the natural
    minimum), in decades for a log statistic. Returns (side, margin). The
    table also counts the planted values beyond the natural extreme: what a
    rule set right at that extreme, with no margin at all, would catch."""
    lo, hi = min(natural), max(natural)
    above = distance(hi, min(planted), log) if min(planted) > 0 or not log else -9
    below = distance(max(planted), lo, log) if max(planted) > 0 or not log else -9
    if above >= below:
        return "high", above
    return "low", below


def fmt(x):
    if isinstance(x, int):
        return f"{x:d}"
    if x == 0 or 1e-3 <= abs(x) < 1e4:
        return f"{x:.3g}"
    return f"{x:.2e}"


def print_tables(natural, planted, show_cases):
    kinds = sorted({p["kind"] for p in planted}, key=lambda k: [
        p["kind"] for p in planted].index(k))
    for name, what, log in CANDIDATES:
        values = [n[name] for n in natural]
        lo = min(natural, key=lambda n: n[name])
        hi = max(natural, key=lambda n: n[name])
        print(f"\n## {name}: {what}")
        print(f"natural ({len(values)} case-in-set): {fmt(min(values))} "
              f"({lo['label']}) .. {fmt(max(values))} ({hi['label']})")
        print(f"  {'planted mistake':42s} {'n':>3s} {'min':>9s} {'median':>9s} "
              f"{'max':>9s}  side  beyond  margin{' (dec)' if log else ''}")
        for kind in kinds:
            got = [p[name] for p in planted if p["kind"] == kind]
            side, gap = margin(values, got, log)
            hi, lo = max(values), min(values)
            slack = 1e-9 * max(abs(hi), abs(lo))  # a scaled copy's rounding
            beyond = sum(g > hi + slack if side == "high" else g < lo - slack
                         for g in got)
            mark = "  SEPARATES" if gap > 0 else ""
            print(f"  {kind:42s} {len(got):3d} {fmt(min(got)):>9s} "
                  f"{fmt(float(np.median(got))):>9s} {fmt(max(got)):>9s}  "
                  f"{side:4s}  {beyond:6d}  {gap:+.3f}{mark}")
    if show_cases:
        keys = [c[0] for c in CANDIDATES]
        print("\n## natural cases\n" + "label " + " ".join(keys))
        for n in natural:
            print(n["label"], " ".join(fmt(n[k]) for k in keys))


# ------------------------------------------------------ rules, measured

# The rules lpgm-check has today that look at a case's values, with their
# thresholds: (id, test).
EXISTING_RULES = [
    ("acceleration-range", lambda r: r["pga"] < 5 or r["pga"] > 3000),
    ("velocity-drift", lambda r: r["vend"] > 0.2 * r["pgv"]),
    ("record-duration", lambda r: r["duration"] < 10 or r["duration"] > 600),
]

# The spectral rules proposed here, with the thresholds measured below.
LEVEL_DECADES = 1.2      # spectrum-level: a factor 16 from the median
LAG_EXCESS = 0.1         # interleaved-columns: r2 or r3 above r1 by this
TARGET_BAND = (-1.6, 0.48)  # fewer than three cases: 1/40 to 3 x the target
PROPOSED_RULES = [
    ("spectrum-level", lambda r: abs(r["lvl_all_psv"]) > LEVEL_DECADES),
    ("interleaved-columns", lambda r: r["lag_excess"] > LAG_EXCESS),
]


def against_engine(build, data, naturals, result, work):
    """The largest relative difference of Sd, Sv and Sa between these
    spectra and lpgm-spectrum's for each natural case file."""
    program = os.path.join(build, "src", "spectrum", "lpgm-spectrum")
    fault = os.path.join(data, "faults", "F1", FAULT_FILE)
    worst = 0.0
    for (group, label, *_rest), mine in zip(naturals, result):
        if group == "real":
            record = os.path.join(data, "cases", label, CASE_FILE)
        else:
            record = os.path.join(work, label, CASE_FILE)
        out = os.path.join(work, "engine.csv")
        subprocess.run([program, record, "--periods", fault, "-o", out],
                       check=True, stdout=subprocess.DEVNULL)
        table = np.loadtxt(out, delimiter=",", skiprows=1)
        for column, values in zip((1, 2, 3), mine):
            diff = np.abs(values - table[:, column]) / table[:, column]
            worst = max(worst, float(diff.max()))
    return worst


def print_coverage(natural, planted):
    """Which rules fire on the natural cases and on each kind of mistake."""
    rules = EXISTING_RULES + PROPOSED_RULES
    kinds = list(dict.fromkeys(p["kind"] for p in planted))
    names = [r[0] for r in rules]
    print("\n## rules fired (cases caught of n)")
    print(f"  {'':42s} {'n':>3s} " + " ".join(f"{n[:14]:>14s}" for n in names)
          + f" {'by none':>8s}")
    rows = [("natural (false alarms)", natural)]
    rows += [(k, [p for p in planted if p["kind"] == k]) for k in kinds]
    for label, group in rows:
        hits = [sum(test(r) for r in group) for _, test in rules]
        none = sum(not any(test(r) for _, test in rules) for r in group)
        print(f"  {label:42s} {len(group):3d} "
              + " ".join(f"{h:14d}" for h in hits) + f" {none:8d}")


def middle(values, how):
    """The median level of a set: 'low' the lower middle one, 'mean' the
    mean of the two middle ones for an even count."""
    v = sorted(values)
    if len(v) % 2 or how == "low":
        return v[(len(v) - 1) // 2]
    return 0.5 * (v[len(v) // 2 - 1] + v[len(v) // 2])


def level_flags(logs, yardstick, mean, decades):
    """Which cases of a set lie more than `decades` from the yardstick, for
    the cases' log10 spectra `logs`. yardstick 'others-low': the median case
    of the other cases (the lower middle one for an even count);
    'others-mean': the same, the two middle cases' mean for an even count;
    'all': the median of all the cases, the case itself included. mean
    'log': the mean over the band of log10(S / S_ref); 'arith': log10 of
    the mean over the band of S / S_ref."""
    levels = [float(l.mean()) for l in logs]
    flags = []
    for i, log in enumerate(logs):
        pool = list(range(len(logs)))
        if yardstick != "all":
            pool.remove(i)
        pool.sort(key=lambda j: levels[j])
        mid = len(pool) // 2
        if len(pool) % 2:
            ref = logs[pool[mid]]
        elif yardstick == "others-low":
            ref = logs[pool[mid - 1]]
        else:
            ref = 0.5 * (logs[pool[mid - 1]] + logs[pool[mid]])
        if mean == "log":
            distance = float(np.mean(log - ref))
        else:
            distance = math.log10(float(np.mean(10.0 ** (log - ref))))
        flags.append(abs(distance) > decades)
    return flags


YARDSTICKS = [("others-low", "arith", 1.0), ("others-low", "log", 1.0),
              ("all", "log", 1.0), ("all", "log", 1.2), ("all", "arith", 1.2)]


def print_yardsticks(natural, kind):
    """spectrum-level on many sets drawn from each natural set: false alarms
    with every case right, catches and false alarms with one case wrong by
    a unit mistake, for each way of taking the median and the mean."""
    import itertools
    rng = np.random.default_rng(20261208)
    shifts = [math.log10(f) for f in (0.01, 1 / G, 100.0, G)]
    key = "lvl_tgt_" + kind
    print(f"\n## spectrum-level yardsticks ({kind}): sets drawn from each "
          "natural set, one case made wrong by /100, /980.665, x100, x980.665")
    print(f"  {'set':9s} {'n':>2s} {'sets':>5s} {'yardstick':11s} {'mean':5s} "
          f"{'dec':>4s} {'natural sets flagged':>20s} {'wrong case caught':>18s} "
          f"{'right case flagged':>19s}")
    for group in ("real", "prepared"):
        logs = [np.log10(n[kind]) for n in natural
                if n["label"].startswith(group)]
        for size in (3, 4, 5, len(logs)):
            combos = list(itertools.combinations(range(len(logs)), size))
            if len(combos) > 300:
                pick = rng.choice(len(combos), 300, replace=False)
                combos = [combos[i] for i in sorted(pick)]
            for yardstick, mean, decades in YARDSTICKS:
                alarms = caught = wrongly = tries = 0
                for combo in combos:
                    base = [logs[i] for i in combo]
                    alarms += any(level_flags(base, yardstick, mean, decades))
                    for j in range(size):
                        for shift in shifts:
                            trial = list(base)
                            trial[j] = trial[j] + shift
                            flags = level_flags(trial, yardstick, mean, decades)
                            tries += 1
                            caught += flags[j]
                            wrongly += sum(flags) - flags[j]
                print(f"  {group:9s} {size:2d} {len(combos):5d} {yardstick:11s} "
                      f"{mean:5s} {decades:4.1f} "
                      f"{alarms:12d} ({100 * alarms / len(combos):4.1f} %) "
                      f"{caught:9d}/{tries:<7d} {wrongly:10d} "
                      f"({100 * wrongly / tries:5.1f} %)")
    levels = [n[key] for n in natural]
    low, high = TARGET_BAND
    fired = [n["label"] for n in natural if not low < n[key] < high]
    print(f"  target band {low:+.1f} .. {high:+.2f} decades fires on natural: "
          f"{', '.join(fired) or 'none'}; symmetric +-1 decade fires on: "
          + (", ".join(n["label"] for n in natural if abs(n[key]) > 1) or "none"))
    for group in ("real", "prepared"):
        mid = middle([n[key] for n in natural if n["label"].startswith(group)],
                     "mean")
        print(f"  whole {group} set: median case {mid:+.3f} decades from the "
              f"target; every case /100: {mid - 2:+.3f}, x100: {mid + 2:+.3f}")
    print(f"  against the target alone (fewer than three cases): natural "
          f"{min(levels):+.3f} .. {max(levels):+.3f} decades; wrong by "
          f"/100 at most {max(levels) - 2:+.3f}, x100 at least "
          f"{min(levels) + 2:+.3f}")


def station(source):
    """The station of a record, from its file name: both components and
    both sets of one station share it."""
    name = os.path.basename(source)
    match = re.match(r"(RSN\d+)", name)
    return match.group(1) if match else name


# The shape statistics a time step written wrong moves, all on a log scale
# but the slope.
NOVELTY = [("tm", True), ("sa01_pga", True), ("hf_20_25", True),
           ("pgv_pga", True), ("tpk_psa", True), ("slope_sv", False)]


def print_novelty(natural, planted):
    """Could the shape statistics together tell a time step written wrong?
    Each case's distance (statistics scaled by the natural spread) to the
    nearest natural case of another station; a rule 'farther than any
    natural case is from its nearest other station' has no false alarm on
    this corpus, and the table shows what it would catch."""
    def point(row):
        return np.array([math.log10(row[k]) if log else row[k]
                         for k, log in NOVELTY])
    cloud = np.array([point(n) for n in natural])
    scale = cloud.std(axis=0)

    def nearest(row):
        x = point(row) / scale
        return min(float(np.linalg.norm(x - cloud[j] / scale))
                   for j, n in enumerate(natural)
                   if n["station"] != row["station"])
    limit = max(nearest(n) for n in natural) * (1 + 1e-9)  # rounding
    print(f"\n## shape statistics together ({', '.join(k for k, _ in NOVELTY)}):"
          f" nearest natural case of another station, natural at most "
          f"{limit:.2f}")
    for kind in dict.fromkeys(p["kind"] for p in planted):
        got = [nearest(p) for p in planted if p["kind"] == kind]
        print(f"  {kind:42s} {len(got):3d}  median {np.median(got):5.2f}  "
              f"beyond the natural {sum(g > limit for g in got):3d}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("build")
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--data", default=os.path.join(
        here, "..", "..", "shared", "data", "real"))
    parser.add_argument("--work")
    parser.add_argument("--cases", action="store_true")
    parser.add_argument("--engine", action="store_true",
                        help="compare the natural cases' spectra with "
                        "lpgm-spectrum's")
    args = parser.parse_args()
    if not os.path.isdir(os.path.join(args.data, "original")):
        print(f"no real data at {args.data}: give --data DIR")
        return 2

    periods, target = read_target(args.data)
    temp = None
    if args.work is None:
        temp = tempfile.TemporaryDirectory()
        args.work = temp.name
    prepared = prepare_all(args.build, args.data, args.work)

    # Natural cases: (set, label, 0.02 s record, source record, its dt, stem)
    naturals = []
    for name, source in REAL_SOURCES.items():
        record = read_case(os.path.join(args.data, "cases", name, CASE_FILE))
        stem = os.path.splitext(os.path.basename(source))[0]
        naturals.append(("real", name, record, source, stem))
    for stem, (folder, source) in sorted(prepared.items()):
        record = read_case(os.path.join(folder, CASE_FILE))
        naturals.append(("prepared", stem, record, source, stem))
    by_stem = {n[4]: n[2] for n in naturals if n[0] == "prepared"}
    partner_of = {}
    for a, b in PARTNERS:
        partner_of[a], partner_of[b] = b, a

    # Planted mistakes: (set, label, kind, samples, index of the natural case)
    plants = []
    for index, (group, label, record, source, stem) in enumerate(naturals):
        samples, source_dt = read_source(args.data, source)
        partner = by_stem.get(partner_of.get(stem))
        for kind, acc in plant(record, samples, source_dt, partner):
            plants.append((group, label, kind, acc, index))

    records = [n[2] for n in naturals] + [p[3] for p in plants]
    print(f"{len(naturals)} natural cases, {len(plants)} planted; "
          f"computing {len(records)} spectra at {periods.size} periods",
          file=sys.stderr)
    result = spectra(records, periods)
    stats = [record_statistics(acc, periods, *s, target)
             for acc, s in zip(records, result)]
    natural_stats, planted_stats = stats[:len(naturals)], stats[len(naturals):]
    if args.engine:
        worst = against_engine(args.build, args.data, naturals, result,
                               args.work)
        print(f"# against lpgm-spectrum, natural cases: largest relative "
              f"difference of Sd, Sv, Sa {worst:.2e}")

    # Each case is judged within its own set, the other cases left natural.
    natural_rows = []
    for i, (group, label, *_rest) in enumerate(naturals):
        others = [natural_stats[j] for j, n in enumerate(naturals)
                  if n[0] == group and j != i]
        row = dict(natural_stats[i], **set_statistics(natural_stats[i], others))
        row["label"] = f"{group}:{label}"
        row["station"] = station(naturals[i][3])
        natural_rows.append(row)
    planted_rows = []
    for p, s in zip(plants, planted_stats):
        group, label, kind, _acc, index = p
        others = [natural_stats[j] for j, n in enumerate(naturals)
                  if n[0] == group and j != index]
        row = dict(s, **set_statistics(s, others))
        row["label"], row["kind"] = f"{group}:{label}", kind
        row["station"] = station(naturals[index][3])
        planted_rows.append(row)

    print(f"# {len(naturals)} natural cases (real set {sum(n[0] == 'real' for n in naturals)}, "
          f"prepared set {sum(n[0] == 'prepared' for n in naturals)}), "
          f"{len(plants)} planted mistakes; h = {DAMPING}, dt = {DT} s, "
          f"{periods.size} periods {periods[0]}-{periods[-1]} s")
    print_tables(natural_rows, planted_rows, args.cases)
    print_coverage(natural_rows, planted_rows)
    for kind in ("psv", "sv"):
        print_yardsticks(natural_rows, kind)
    print_novelty(natural_rows, planted_rows)
    if temp is not None:
        temp.cleanup()
    return 0


if __name__ == "__main__":
    sys.exit(main())
