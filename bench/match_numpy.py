"""lpgm-match's loop in numpy, for the side-by-side timing of bench/match.sh.

The same steps as src/compute/spectral_match.cc: the exact piecewise-linear
oscillator at the target's periods (vectorised across the oscillators, a
Python loop over the samples, as numpy allows), the gain interpolated in log
period with the same taper, a real FFT at the same padded length, the best
iteration kept, the same stop rule. Also writes the bench's inputs.

  match_numpy.py write DIR SAMPLES      the phase and target files
  match_numpy.py run DIR                 the loop; prints figures and seconds
"""
import math
import sys
import time

import numpy as np

DT = 0.02
TAPER = 1.5
PAD_PERIODS = 4.0
CONVERGED = 0.01
MAX_STEP = 10.0


def periods():
    return 0.1 * 100.0 ** (np.arange(55) / 54.0)


def write_inputs(folder, n):
    rng = np.random.default_rng(20261208)
    w = rng.normal(0.0, 50.0, n)
    x = np.empty(n)
    s = 0.0
    for j in range(n):
        s = 0.7 * s + w[j]
        x[j] = s
    t = np.arange(n) * DT
    tm = t[-1] / 4.0
    a = x * (t / tm) * np.exp(1.0 - t / tm)
    with open(folder + "/phase.csv", "wb") as f:
        f.write("時刻(s),加速度(cm/s2)\r\n".encode("cp932"))
        f.write("".join("%12.4f,%14.6f\r\n" % r for r in zip(t, a)).encode())
    p = periods()
    v = 80.0 * p / (0.5 + p)
    with open(folder + "/target.csv", "wb") as f:
        f.write("周期(s),速度Sv(cm/s)\r\n".encode("cp932"))
        f.write("".join("%12.4f,%14.6f\r\n" % r for r in zip(p, v)).encode())


def read_pairs(path):
    rows = open(path, "rb").read().decode("cp932").splitlines()[1:]
    return np.array([[float(x) for x in r.split(",")[:2]] for r in rows])


def step_matrix(w, h, dt):
    root = math.sqrt(1 - h * h)
    wd = w * root
    e = np.exp(-h * w * dt)
    s = np.sin(wd * dt)
    c = np.cos(wd * dt)
    w2 = w * w
    w3 = w2 * w
    ratio = h / root
    a11 = e * (ratio * s + c)
    a12 = e * s / wd
    a21 = -w / root * e * s
    a22 = e * (c - ratio * s)
    p = (2 * h * h - 1) / (w2 * dt)
    q = 2 * h / (w3 * dt)
    cd = c - ratio * s
    sm = wd * s + h * w * c
    b11 = e * ((p + h / w) * s / wd + (q + 1 / w2) * c) - q
    b12 = -e * (p * s / wd + q * c) - 1 / w2 + q
    b21 = e * ((p + h / w) * cd - (q + 1 / w2) * sm) + 1 / (w2 * dt)
    b22 = -e * (p * cd - q * sm) - 1 / (w2 * dt)
    return a11, a12, a21, a22, b11, b12, b21, b22


def pseudo_velocity(acc, per, h=0.05):
    w = 2 * np.pi / per
    a11, a12, a21, a22, b11, b12, b21, b22 = step_matrix(w, h, DT)
    u = np.zeros_like(per)
    v = np.zeros_like(per)
    peak = np.zeros_like(per)
    prev = 0.0
    for a in acc:
        u, v = (a11 * u + a12 * v + b11 * prev + b12 * a,
                a21 * u + a22 * v + b21 * prev + b22 * a)
        np.maximum(peak, np.abs(u), out=peak)
        prev = a
    return w * peak


def gain_curve(per, gains, f):
    out = np.ones_like(f)
    t = np.full_like(f, np.inf)
    t[f > 0] = 1.0 / f[f > 0]
    inside = (t > per[0]) & (t < per[-1])
    out[inside] = np.interp(np.log(t[inside]), np.log(per), gains)
    width = math.log(TAPER)
    with np.errstate(divide="ignore"):
        below, above = np.log(per[0] / t), np.log(t / per[-1])
    for g, d in ((gains[0], below), (gains[-1], above)):
        m = (d >= 0) & (d < width)
        out[m] = 1 + (g - 1) * 0.5 * (1 + np.cos(np.pi * d[m] / width))
    return out


def match(acc, per, target, iterations=20):
    n = len(acc)
    pad = int(math.ceil(PAD_PERIODS * per[-1] / DT))
    nfft = 4
    while nfft < n + pad:
        nfft *= 2
    f = np.fft.rfftfreq(nfft, DT)
    motion = acc.copy()
    best, best_dev, history = motion, np.inf, []
    for i in range(iterations + 1):
        r = pseudo_velocity(motion, per) / target
        dev = float(np.max(np.abs(np.log(r))))
        history.append(dev)
        if dev < best_dev:
            best, best_dev = motion, dev
        if dev < CONVERGED or i >= iterations:
            break
        g = np.clip(1.0 / r, 1 / MAX_STEP, MAX_STEP)
        fourier = np.fft.rfft(motion, nfft) * gain_curve(per, g, f)
        motion = np.fft.irfft(fourier, nfft)[:n]
    return best, history


def main():
    if sys.argv[1] == "write":
        write_inputs(sys.argv[2], int(sys.argv[3]))
        return
    folder = sys.argv[2]
    phase = read_pairs(folder + "/phase.csv")[:, 1]
    tgt = read_pairs(folder + "/target.csv")
    start = time.perf_counter()
    _, history = match(phase, tgt[:, 0], tgt[:, 1])
    seconds = time.perf_counter() - start
    print("numpy: %d iterations, best max|ln ratio| %.4f, %.2f s"
          % (len(history) - 1, min(history), seconds))


if __name__ == "__main__":
    main()
