#!/usr/bin/env python3
"""Writes a deterministic lpgm input set into a directory.

The set is what a user would hand the program: a definition file, one
long-period spectrum file per fault folder and one acceleration record file
per case folder. Every byte follows from the options and the seed alone, so
two runs with the same options give identical files.

Layout written under DIR:

  definition.csv                        CP932, CR LF
  faults/F<i>/Korvel長周期.csv           9 header lines, 55 rows of 28 values
  cases/C<nn>/加速度波形.acc             count header, then the samples

Names on disk are UTF-8: the program decodes the CP932 paths that it
composes and turns the backslash into '/'.

Only the Python 3 standard library is used.
"""

import argparse
import math
import os
import random
import sys

DT = 0.02
NPER = 55
SPECTRUM_NAME = "Korvel長周期.csv"
ACCELERATION_NAME = "加速度波形.acc"
STYLES = ("fixed", "exponent", "dform", "mixed")
DAMPINGS = (0.01, 0.02, 0.03, 0.05, 0.10, 0.20)


def cp932(text):
    return text.encode("cp932")


def write_bytes(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def crlf_lines(lines):
    return b"".join(line + b"\r\n" for line in lines)


# --- definition file -------------------------------------------------------

def definition_file(faults, cases):
    lines = [
        cp932("長周期地震動 ベンチマーク入力 (生成データ)"),
        b"%d,%d" % (faults, cases),
        cp932("震源断層番号,震源断層フォルダ"),
    ]
    lines += [cp932("%d,faults\\F%d" % (i, i)) for i in range(1, faults + 1)]
    lines.append(cp932("ケース番号,ケースフォルダ"))
    lines += [cp932("%d,cases\\C%02d" % (i, i)) for i in range(1, cases + 1)]
    return crlf_lines(lines)


# --- long-period spectrum file ---------------------------------------------

def spectrum_file(fault, rng):
    """9 header lines and 55 rows of 28 comma-separated numbers.

    Field 1 is the period, field 28 the 5 %-damped Sv; the fields between
    are the other columns of such a table (frequency, Sd, Sv, Sa, pSv, pSa,
    Sa/PGA), derived from one smooth spectral shape with some scatter.
    """
    header = [
        "長周期地震動 速度応答スペクトル表 (ベンチマーク用生成データ)",
        "震源断層 F%d: 合成スペクトル" % fault,
        "計算法: 平滑な形状に乱数の揺らぎを加えたもの",
        "周期点: 0.1 s から 10 s まで対数等間隔 55 点 (小数 4 桁)",
        "単位: 周期 s, 振動数 Hz, Sd cm, Sv cm/s, Sa cm/s2",
        "第 28 列 = 相対速度応答スペクトル Sv (減衰定数 0.05), cm/s",
        "",
        ",".join(["周期(s)", "振動数(Hz)"]
                 + ["Sd h=%.2f(cm)" % h for h in DAMPINGS]
                 + ["Sv h=%.2f(cm/s)" % h for h in DAMPINGS if h != 0.05]
                 + ["Sa h=%.2f(cm/s2)" % h for h in DAMPINGS]
                 + ["pSv h=%.2f(cm/s)" % h for h in DAMPINGS]
                 + ["pSa h=0.05(cm/s2)", "Sa/PGA h=0.05", "Sv h=0.05(cm/s)"]),
        ",".join(str(k) for k in range(1, 29)),
    ]
    lines = [cp932(h) for h in header]

    peak_sv = rng.uniform(40.0, 160.0)       # plateau of Sv, cm/s
    corner = rng.uniform(0.6, 2.5)           # period where the plateau begins, s
    fall = rng.uniform(0.3, 0.9)             # decay exponent beyond the plateau
    pga = rng.uniform(150.0, 600.0)
    for j in range(NPER):
        period = round(0.1 * 100.0 ** (j / (NPER - 1)), 4)
        shape = period / corner if period < corner else (corner / period) ** fall
        wiggle = math.exp(rng.gauss(0.0, 0.12))
        sv05 = peak_sv * shape * wiggle
        omega = 2.0 * math.pi / period

        def scaled(h):
            return sv05 * math.sqrt(1.5 / (1.0 + 10.0 * h))

        sd = [scaled(h) / omega for h in DAMPINGS]
        sv = [scaled(h) for h in DAMPINGS if h != 0.05]
        sa = [scaled(h) * omega for h in DAMPINGS]
        psv = [x * omega for x in sd]
        fields = (["%.4f" % period, "%.5f" % (1.0 / period)]
                  + ["%.5f" % x for x in sd]
                  + ["%.5f" % x for x in sv]
                  + ["%.4f" % x for x in sa]
                  + ["%.5f" % x for x in psv]
                  + ["%.4f" % (sd[3] * omega * omega),
                     "%.5f" % (sa[3] / pga),
                     "%.6f" % sv05])
        assert len(fields) == 28
        lines.append(",".join(fields).encode("ascii"))
    return crlf_lines(lines)


# --- acceleration record file ----------------------------------------------

def biquad(samples, b0, b1, b2, a1, a2):
    out = []
    x1 = x2 = y1 = y2 = 0.0
    append = out.append
    for x in samples:
        y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2
        x2, x1, y2, y1 = x1, x, y1, y
        append(y)
    return out


def bandpass(samples, f0, q):
    """Band-pass biquad (constant peak gain) centred on f0 Hz."""
    w0 = 2.0 * math.pi * f0 * DT
    alpha = math.sin(w0) / (2.0 * q)
    a0 = 1.0 + alpha
    return biquad(samples, alpha / a0, 0.0, -alpha / a0,
                  -2.0 * math.cos(w0) / a0, (1.0 - alpha) / a0)


def accelerations(count, rng):
    """Filtered noise under an envelope plus a long-period wave train,
    scaled to a peak of a few hundred cm/s2, rounded to 4 decimals."""
    if count <= 0:
        return []
    duration = count * DT
    noise = [rng.gauss(0.0, 1.0) for _ in range(count)]
    shaking = bandpass(bandpass(noise, rng.uniform(1.5, 4.0), 0.9),
                       rng.uniform(0.8, 2.0), 0.7)
    rms = math.sqrt(sum(v * v for v in shaking) / count) or 1.0
    rise, hold = 0.08 * duration, 0.35 * duration
    decay = math.log(20.0) / max(duration - hold, DT)
    trains = [(rng.uniform(3.0, 9.0), rng.uniform(0.0, 2.0 * math.pi),
               rng.uniform(0.2, 0.6)) for _ in range(3)]
    train_start = rng.uniform(0.2, 0.4) * duration
    train_width = rng.uniform(0.15, 0.3) * duration

    values = []
    for k in range(count):
        t = k * DT
        if t < rise:
            env = (t / rise) ** 2
        elif t < hold:
            env = 1.0
        else:
            env = math.exp(-decay * (t - hold))
        u = (t - train_start) / train_width
        train_env = math.exp(-u * u)
        train = sum(a * math.sin(2.0 * math.pi * t / p + ph)
                    for p, ph, a in trains)
        ramp = min(1.0, t / rise) if rise > 0.0 else 1.0
        values.append(env * shaking[k] / rms + ramp * train_env * train * 0.3)
    peak = max(abs(v) for v in values) or 1.0
    scale = rng.uniform(150.0, 600.0) / peak
    out = []
    for v in values:
        r = round(v * scale, 4)
        out.append(0.0 if r == 0.0 else r)  # no negative zero
    return out


def format_fixed(v):
    s = "%10.4f" % v
    return s if s[0] == " " else " " + s


def format_exponent(v, letter):
    s = "%13.5E" % v
    return s.replace("E", letter) if letter != "E" else s


def sample_text(values, style, per_line, rng):
    lines = []
    for start in range(0, len(values), per_line):
        chunk = values[start:start + per_line]
        if style == "fixed":
            lines.append("".join(format_fixed(v) for v in chunk))
        elif style == "exponent":
            lines.append("".join(format_exponent(v, "E") for v in chunk))
        elif style == "dform":
            lines.append("".join(format_exponent(v, "D") for v in chunk))
        else:
            # Any of the three forms, with blanks, tabs or commas between.
            parts = []
            for i, v in enumerate(chunk):
                form = rng.randrange(3)
                text = (format_fixed(v) if form == 0 else
                        format_exponent(v, "E" if form == 1 else "D"))
                if i > 0:
                    sep = rng.choice((" ", ",", ", ", "\t", " ,"))
                    text = sep + text.lstrip() if sep != " " else text
                parts.append(text)
            lines.append("".join(parts))
    return "\r\n".join(lines) + "\r\n" if lines else "\r\n"


def acceleration_file(values, style, per_line, rng):
    header = "%8d,%8.2f\r\n" % (len(values), DT)
    return (header + sample_text(values, style, per_line, rng)).encode("ascii")


def case_lengths(samples, cases, vary):
    """Samples per case: all equal, or with --vary spread evenly from half
    the count up to the full count (the last case is the longest)."""
    if not vary or cases == 1:
        return [samples] * cases
    low = samples // 2
    return [low + (samples - low) * (i - 1) // (cases - 1)
            for i in range(1, cases + 1)]


def main(argv):
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("dir", help="directory to write the input set into")
    p.add_argument("--faults", type=int, default=6, help="1 to 6 (default 6)")
    p.add_argument("--cases", type=int, default=21, help="1 to 21 (default 21)")
    p.add_argument("--samples", type=int, default=100000,
                   help="samples per case, 1 to 100000 (default 100000)")
    p.add_argument("--vary", action="store_true",
                   help="give the cases different lengths, from half of "
                        "--samples up to --samples")
    p.add_argument("--style", choices=STYLES, default="fixed",
                   help="number style of the samples (default fixed)")
    p.add_argument("--per-line", type=int, default=10,
                   help="samples per line (default 10)")
    p.add_argument("--seed", type=int, default=20240601)
    args = p.parse_args(argv)
    if not 1 <= args.faults <= 6:
        p.error("--faults must be 1 to 6")
    if not 1 <= args.cases <= 21:
        p.error("--cases must be 1 to 21")
    if not 1 <= args.samples <= 100000:
        p.error("--samples must be 1 to 100000")
    if args.per_line < 1:
        p.error("--per-line must be at least 1")

    root = args.dir.encode("utf-8")
    os.makedirs(root, exist_ok=True)
    write_bytes(os.path.join(root, b"definition.csv"),
                definition_file(args.faults, args.cases))
    total = 0
    for i in range(1, args.faults + 1):
        # Each file has its own stream, so that fault i is the same whatever
        # the number of faults.
        rng = random.Random(args.seed * 1000 + i)
        data = spectrum_file(i, rng)
        write_bytes(os.path.join(root, b"faults", b"F%d" % i,
                                 SPECTRUM_NAME.encode("utf-8")), data)
        total += len(data)
    for i, n in enumerate(case_lengths(args.samples, args.cases, args.vary), 1):
        rng = random.Random(args.seed * 1000 + 100 + i)
        values = accelerations(n, rng)
        data = acceleration_file(values, args.style, args.per_line, rng)
        write_bytes(os.path.join(root, b"cases", b"C%02d" % i,
                                 ACCELERATION_NAME.encode("utf-8")), data)
        total += len(data)
    print("wrote %d faults, %d cases, %d bytes into %s"
          % (args.faults, args.cases, total, args.dir))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
