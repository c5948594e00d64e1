#!/usr/bin/python3
"""Response spectra with numpy, by the same method as lpgm's engine: the
exact step for ground acceleration linear between samples, from rest with
the acceleration 0 one step before the first sample, peaks at the sample
times. Vectorised across records and oscillators; one Python step a sample.

Needs Debian's python3-numpy (apt-get install python3-numpy) under
/usr/bin/python3.

  spectra_numpy.py generate RECORDS.f64 COUNT SAMPLES DT
  spectra_numpy.py compute RECORDS.f64 COUNT DT OUT.f64
  spectra_numpy.py compare A.f64 B.f64

generate writes COUNT synthetic records (enveloped, filtered noise with a
long-period swell, in cm/s2); compute writes Sd, Sv, Sa per record and
period (55 periods 0.1 to 10 s, 4 decimals, h = 0.05) as lpgm_spectra_bench
does; compare prints the largest relative difference of two such files.
"""
import sys
import time

import numpy as np


def periods():
    k = np.arange(55)
    return np.round(10.0 ** (-1.0 + 2.0 * k / 54.0) * 1e4) / 1e4


def generate(path, count, samples, dt):
    rng = np.random.default_rng(20261208)
    t = np.arange(samples) * dt
    envelope = (t / 20.0) ** 2 * np.exp(-t / 40.0)
    envelope /= envelope.max()
    out = np.empty((count, samples))
    for r in range(count):
        noise = rng.normal(0.0, 1.0, samples)
        smooth = np.convolve(noise, np.ones(5) / 5.0, mode="same")
        swell = np.sin(2 * np.pi * t / (3.0 + r * 0.4))
        out[r] = (150.0 + 10.0 * r) * envelope * (smooth + 0.3 * swell)
    out.astype("<f8").tofile(path)


def coefficients(period, h, dt):
    w = 2.0 * np.pi / period
    root = np.sqrt(1.0 - h * h)
    wd = w * root
    e = np.exp(-h * w * dt)
    s = np.sin(wd * dt)
    c = np.cos(wd * dt)
    w2 = w * w
    ratio = h / root
    a11 = e * (ratio * s + c)
    a12 = e * s / wd
    a21 = -w / root * e * s
    a22 = e * (c - ratio * s)
    p = (2.0 * h * h - 1.0) / (w2 * dt)
    q = 2.0 * h / (w2 * w * dt)
    c_damped = c - ratio * s
    s_mixed = wd * s + h * w * c
    b11 = e * ((p + h / w) * s / wd + (q + 1.0 / w2) * c) - q
    b12 = -e * (p * s / wd + q * c) - 1.0 / w2 + q
    b21 = e * ((p + h / w) * c_damped - (q + 1.0 / w2) * s_mixed) + 1.0 / (w2 * dt)
    b22 = -e * (p * c_damped - q * s_mixed) - 1.0 / (w2 * dt)
    return a11, a12, a21, a22, b11, b12, b21, b22, 2.0 * h * w, w2


def spectra(acc, dt, h=0.05):
    """acc: (records, samples). Returns (records, periods, 3): Sd, Sv, Sa."""
    a11, a12, a21, a22, b11, b12, b21, b22, kv, ku = coefficients(periods(), h, dt)
    shape = (acc.shape[0], a11.size)
    u = np.zeros(shape)
    v = np.zeros(shape)
    sd = np.zeros(shape)
    sv = np.zeros(shape)
    sa = np.zeros(shape)
    previous = np.zeros((acc.shape[0], 1))
    columns = np.ascontiguousarray(acc.T)[:, :, None]
    for current in columns:
        u, v = (a11 * u + a12 * v + b11 * previous + b12 * current,
                a21 * u + a22 * v + b21 * previous + b22 * current)
        np.maximum(sd, np.abs(u), out=sd)
        np.maximum(sv, np.abs(v), out=sv)
        np.maximum(sa, np.abs(kv * v + ku * u), out=sa)
        previous = current
    return np.stack([sd, sv, sa], axis=-1)


def main(argv):
    if argv[1] == "generate":
        generate(argv[2], int(argv[3]), int(argv[4]), float(argv[5]))
    elif argv[1] == "compute":
        count = int(argv[3])
        acc = np.fromfile(argv[2], dtype="<f8").reshape(count, -1)
        start = time.perf_counter()
        out = spectra(acc, float(argv[4]))
        took = time.perf_counter() - start
        out.astype("<f8").tofile(argv[5])
        print(f"numpy: {took:.3f} s computing")
    elif argv[1] == "compare":
        a = np.fromfile(argv[2], dtype="<f8")
        b = np.fromfile(argv[3], dtype="<f8")
        if a.shape != b.shape:
            print("different sizes")
            return 1
        rel = np.abs(a - b) / np.maximum(np.abs(b), 1e-300)
        print(f"{rel.max():.3e}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
