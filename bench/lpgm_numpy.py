"""lpgm's run in numpy, as the reference run.sh times the program against.

    /usr/bin/python3 bench/lpgm_numpy.py DEFINITION OUTDIR

Reads the definition file, the fault spectrum files and the case files the
way bench/generate_input.py writes them (names composed as lpgm composes
them: the folder, a backslash, the file name; the backslash read as '/'),
computes the target spectrum, the velocities, their peaks and the ranking,
and writes lpgm's six files into OUTDIR. Every array step is a numpy
operation; the fields Fw.d are formatted column-wise on integer digits,
correctly rounded (the few values near a tie go through Python's exact
'%.*f', ties to even), so that the files come out byte for byte as lpgm's.

Needs numpy (Debian: apt-get install python3-numpy). It is not a checker
of arbitrary input: it expects well-formed files.
"""

import os
import sys

import numpy as np

DT = 0.02
NPER = 55
SPECTRUM_NAME = "Korvel長周期.csv"
ACCELERATION_NAME = "加速度波形.acc"
OUTPUTS = (
    "入力用･目標速度スペクトル.csv",
    "入力用･位相用加速度波形.csv",
    "参考･各震源断層の速度スペクトル.csv",
    "参考･各ケースの加速度波形.csv",
    "参考･各ケースの速度波形.csv",
    "参考･各ケースの最大速度.csv",
)


def host_path(folder, name):
    return (folder + "\\" + name).replace("\\", "/")


def read_definition(path):
    with open(path, "rb") as f:
        lines = f.read().decode("cp932").splitlines()
    nfault, ncase = (int(x) for x in lines[1].split(",")[:2])
    faults = [ln.split(",", 1)[1].strip() for ln in lines[3:3 + nfault]]
    first = 4 + nfault
    cases = [ln.split(",", 1)[1].strip() for ln in lines[first:first + ncase]]
    return faults, cases


def read_spectrum(path):
    """Field 1 (period) and field 28 (Sv) of the 55 data rows."""
    with open(path, "rb") as f:
        rows = f.read().decode("cp932").splitlines()[9:9 + NPER]
    table = np.array([r.split(",")[:28] for r in rows], dtype=np.float64)
    return table[:, 0], table[:, 27]


def read_case(path):
    with open(path, "rb") as f:
        header, _, body = f.read().partition(b"\n")
    npts = int(header.split(b",")[0])
    samples = np.fromstring(body.decode("ascii"), dtype=np.float64, sep=" ")
    return samples[:npts]


def digits_of(values, decimals):
    """Correctly rounded integers of values * 10**decimals (ties to even)."""
    scaled = values * float(10 ** decimals)
    rounded = np.rint(scaled)
    near = np.abs(np.abs(scaled - np.floor(scaled)) - 0.5) < 1e-6
    near &= np.isfinite(values)
    for k in np.flatnonzero(near):
        text = "%.*f" % (decimals, float(values[k]))
        rounded[k] = float(text.replace(".", ""))
    return rounded


def format_fixed(values, width, decimals):
    """Fw.d of each value, as an (n, width) array of ASCII bytes."""
    values = np.asarray(values, dtype=np.float64)
    n = values.shape[0]
    out = np.full((n, width), ord(" "), dtype=np.uint8)
    rounded = digits_of(values, decimals)
    negative = rounded < 0
    magnitude = np.abs(rounded).astype(np.int64)
    unit = 10 ** decimals
    whole = magnitude // unit
    frac = magnitude % unit
    for k in range(decimals):
        out[:, width - 1 - k] = ord("0") + frac % 10
        frac //= 10
    out[:, width - 1 - decimals] = ord(".")
    ndig = np.ones(n, dtype=np.int64)
    rest = whole // 10
    while rest.any():
        ndig += rest > 0
        rest //= 10
    pos = width - 2 - decimals
    rest = whole.copy()
    for k in range(int(ndig.max(initial=1))):
        live = k < ndig
        col = pos - k
        if col < 0:
            break
        out[live, col] = ord("0") + rest[live] % 10
        rest //= 10
    sign_col = pos - ndig
    has_room = sign_col >= 0
    rows = np.flatnonzero(negative & has_room)
    out[rows, sign_col[rows]] = ord("-")
    needed = ndig + decimals + 1 + negative
    bad = (needed > width) | ~np.isfinite(values)
    out[bad, :] = ord("*")
    return out


def lines_of(columns):
    """Joins (n, w) byte columns, each after a comma but the first, into CR LF lines."""
    n = columns[0].shape[0]
    pieces = [columns[0]]
    comma = np.full((n, 1), ord(","), dtype=np.uint8)
    for col in columns[1:]:
        pieces += [comma, col]
    pieces.append(np.tile(np.frombuffer(b"\r\n", dtype=np.uint8), (n, 1)))
    return np.ascontiguousarray(np.hstack(pieces))


def numbered_header(first, count, unit):
    text = first + "".join("      ,No.%2d" % j for j in range(1, count + 1))
    if unit is not None:
        text += "%10s" % unit
    return (text + "\r\n").encode("cp932")


def write(path, header, body):
    with open(path, "wb") as f:
        f.write(header)
        if body is not None:
            body.tofile(f)


def rank(vmax):
    ncase = len(vmax)
    irank = [0] * ncase
    imed = 0
    k = 0
    while k < ncase:
        top = 0.0
        for i in range(ncase):
            if irank[i] == 0 and vmax[i] >= top:
                top = vmax[i]
        for i in range(ncase):
            if irank[i] == 0 and vmax[i] == top:
                k += 1
                irank[i] = k
                if k == (ncase + 1) // 2:
                    imed = i
    return irank, imed


def main(definition, outdir):
    faults, cases = read_definition(definition)
    spectra = [read_spectrum(host_path(f, SPECTRUM_NAME)) for f in faults]
    period = spectra[0][0]
    svf = np.stack([sv for _, sv in spectra])
    accs = [read_case(host_path(c, ACCELERATION_NAME)) for c in cases]

    total = np.zeros(NPER)
    for sv in svf:
        total = sv * sv + total
    svtgt = np.sqrt(total) / 1.1

    half = DT * 0.5
    vels = []
    for acc in accs:
        steps = np.empty_like(acc)
        if acc.size:
            steps[0] = half * acc[0]
            steps[1:] = (acc[1:] + acc[:-1]) * half
        vels.append(np.cumsum(steps))
    vmax = [float(np.max(np.abs(v), initial=0.0)) for v in vels]
    irank, imed = rank(vmax)

    npmax = max([a.size for a in accs] + [0])
    times = np.arange(npmax, dtype=np.float64) * DT
    time_col = format_fixed(times, 12, 4)

    def table(series):
        full = np.zeros((len(series), npmax))
        for j, s in enumerate(series):
            full[j, :s.size] = s
        return [format_fixed(row, 14, 6) for row in full]

    out = [os.path.join(outdir, name) for name in OUTPUTS]
    write(out[0], "周期(s),速度Sv(cm/s)\r\n".encode("cp932"),
          lines_of([format_fixed(period, 12, 4), format_fixed(svtgt, 14, 6)]))
    phase = accs[imed]
    write(out[1], "時刻(s),加速度(cm/s2)\r\n".encode("cp932"),
          lines_of([time_col[:phase.size], format_fixed(phase, 14, 6)]))
    write(out[2], numbered_header("周期(s)", len(faults), ",(cm/s)"),
          lines_of([format_fixed(period, 12, 4)] +
                   [format_fixed(sv, 14, 6) for sv in svf]))
    write(out[3], numbered_header("時刻(s)", len(cases), ",(cm/s2)"),
          lines_of([time_col] + table(accs)) if npmax else None)
    write(out[4], numbered_header("時刻(s)", len(cases), ",(cm/s)"),
          lines_of([time_col] + table(vels)) if npmax else None)
    with open(out[5], "wb") as f:
        f.write(numbered_header("ケース番号", len(cases), None))
        peaks = format_fixed(np.array(vmax), 14, 6)
        f.write("最大速度(cm/s)".encode("cp932") +
                b"".join(b"," + p.tobytes() for p in peaks) + b"\r\n")
        f.write("最大速度順位".encode("cp932") +
                "".join(",%3d" % r for r in irank).encode("ascii") + b"\r\n")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
