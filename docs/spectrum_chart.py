#!/usr/bin/env python3
"""Draws Sv and pSv at h = 0.05 of a CSV written by lpgm-spectrum as an SVG
chart on log-log axes (standard library only).

  python3 docs/spectrum_chart.py SPECTRA.csv CHART.svg "TITLE"

The CSV needs the columns "Sv h=0.05 (cm/s)" and "pSv h=0.05 (cm/s)"
(lpgm-spectrum's default CSV has them). docs/elcentro-spectra.svg was made
by:

  lpgm-spectrum examples/cases/ELCENTRO1940_NS/加速度波形.acc -o elcentro.csv
  python3 docs/spectrum_chart.py elcentro.csv docs/elcentro-spectra.svg \\
      "El Centro 1940 NS (examples/cases/ELCENTRO1940_NS)"
"""
import csv
import math
import sys

WIDTH, HEIGHT = 640, 420
LEFT, RIGHT, TOP, BOTTOM = 70, 20, 40, 60
SERIES = [("Sv h=0.05 (cm/s)", "Sv, relative velocity", "#1f5fa8", ""),
          ("pSv h=0.05 (cm/s)", "pSv = (2π/T) Sd, pseudo velocity", "#c0392b",
           "6,4")]


def decades(low, high):
    return range(math.floor(math.log10(low)), math.ceil(math.log10(high)) + 1)


def main(source, target, title):
    with open(source, newline="", encoding="utf-8") as f:
        rows = list(csv.DictReader(f))
    periods = [float(r["period (s)"]) for r in rows]
    values = [v for key, *_ in SERIES for v in (float(r[key]) for r in rows)]
    x_lo, x_hi = 10.0 ** math.floor(math.log10(min(periods))), \
        10.0 ** math.ceil(math.log10(max(periods)))
    y_lo = 10.0 ** math.floor(math.log10(min(v for v in values if v > 0)))
    y_hi = 10.0 ** math.ceil(math.log10(max(values)))

    def x(t):
        return LEFT + (WIDTH - LEFT - RIGHT) * \
            math.log10(t / x_lo) / math.log10(x_hi / x_lo)

    def y(v):
        return HEIGHT - BOTTOM - (HEIGHT - TOP - BOTTOM) * \
            math.log10(v / y_lo) / math.log10(y_hi / y_lo)

    out = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{WIDTH}" '
           f'height="{HEIGHT}" font-family="sans-serif" font-size="12">',
           f'<rect width="{WIDTH}" height="{HEIGHT}" fill="white"/>',
           f'<text x="{WIDTH / 2}" y="22" text-anchor="middle" '
           f'font-size="14">{title}, h = 0.05</text>']
    for d in decades(x_lo, x_hi):
        for m in range(1, 10):
            t = m * 10.0 ** d
            if x_lo <= t <= x_hi:
                out.append(f'<line x1="{x(t):.1f}" y1="{TOP}" x2="{x(t):.1f}" '
                           f'y2="{HEIGHT - BOTTOM}" stroke="#ddd"/>')
            if m == 1 and x_lo <= t <= x_hi:
                out.append(f'<text x="{x(t):.1f}" y="{HEIGHT - BOTTOM + 16}" '
                           f'text-anchor="middle">{t:g}</text>')
    for d in decades(y_lo, y_hi):
        for m in range(1, 10):
            v = m * 10.0 ** d
            if y_lo <= v <= y_hi:
                out.append(f'<line x1="{LEFT}" y1="{y(v):.1f}" '
                           f'x2="{WIDTH - RIGHT}" y2="{y(v):.1f}" stroke="#ddd"/>')
            if m == 1 and y_lo <= v <= y_hi:
                out.append(f'<text x="{LEFT - 6}" y="{y(v) + 4:.1f}" '
                           f'text-anchor="end">{v:g}</text>')
    out.append(f'<rect x="{LEFT}" y="{TOP}" width="{WIDTH - LEFT - RIGHT}" '
               f'height="{HEIGHT - TOP - BOTTOM}" fill="none" stroke="#333"/>')
    out.append(f'<text x="{(LEFT + WIDTH - RIGHT) / 2}" y="{HEIGHT - 18}" '
               f'text-anchor="middle">period T (s)</text>')
    out.append(f'<text transform="translate(18 {(TOP + HEIGHT - BOTTOM) / 2}) '
               f'rotate(-90)" text-anchor="middle">velocity (cm/s)</text>')
    lx, ly0 = WIDTH - RIGHT - 250, HEIGHT - BOTTOM - 52
    out.append(f'<rect x="{lx}" y="{ly0}" width="240" height="44" '
               f'fill="white" stroke="#999"/>')
    for i, (key, label, colour, dash) in enumerate(SERIES):
        points = " ".join(f"{x(t):.1f},{y(float(r[key])):.1f}"
                          for t, r in zip(periods, rows) if float(r[key]) > 0)
        dashes = f' stroke-dasharray="{dash}"' if dash else ""
        out.append(f'<polyline points="{points}" fill="none" stroke="{colour}" '
                   f'stroke-width="2"{dashes}/>')
        ly = ly0 + 18 + 18 * i
        out.append(f'<line x1="{lx + 8}" y1="{ly - 4}" x2="{lx + 38}" '
                   f'y2="{ly - 4}" stroke="{colour}" stroke-width="2"{dashes}/>')
        out.append(f'<text x="{lx + 44}" y="{ly}">{label}</text>')
    out.append("</svg>")
    with open(target, "w", encoding="utf-8") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2], sys.argv[3] if len(sys.argv) > 3 else "")
