"""Times processes from their spawn to their exit, rows of them in turn.

    python3 bench/timing.py --rows FILE --dir DIR --runs N [--ref DIR]
        [--var NAME=VALUE]... [--list NAME=FILE]... [--reuse]
        [--scaling-line LABEL]

Each timed run is one os.posix_spawn of the program (its standard input,
output and error handed over as open descriptors) followed by os.wait4 for
it: the wall time is taken right before the spawn and right after the wait
returns, and wait4's resource usage gives the CPU time (user + system) and
the peak resident set of that process alone. Nothing else runs between the
two readings: no shell, no subshell, no second program. The spawn of
/bin/true, timed the same way, is printed as the harness's own overhead.

A rows file holds one row a line (blank lines and lines starting with #
are skipped), five fields separated by '|':

    label | reference | stdin | check | command

- label: the row's name in the table.
- reference: the label of the row its ratio is taken against, or '-'.
- stdin: a file given as standard input, or '-' for /dev/null.
- check: 'lpgm' (the six output files are removed before each run, unless
  --reuse, and compared byte for byte with --ref after it: a difference, a
  failed run or anything on standard error ends the whole benchmark with
  status 1), 'floor' (floor_*.out removed
  before each run), 'outputs=DIR' (DIR emptied before each run and its six
  files compared with --ref after it; the table says whether they were
  identical, without failing), 'exit<=1' (exit status 1 counts as a run
  that worked too), or '-'.
- command: words separated by blanks. {NAME} in a word is replaced by the
  --var of that name; a word that is just {NAME} of a --list becomes that
  list's lines, one word each.

Every command runs in --dir. A row whose program (its first word), or a
script it runs (a word ending in .sh or .py), is not there is printed as
"not built"; a row whose run fails is printed as "failed" with its exit
status and first line of standard error, and the others go on.

Rows run in the file's order: one untimed warm-up run each, then --runs
rounds of one run of every row, so that a change of load hits all rows
alike.
"""

import argparse
import gc
import os
import shutil
import statistics
import sys
import time

OUTPUTS = (
    "入力用･目標速度スペクトル.csv",
    "入力用･位相用加速度波形.csv",
    "参考･各震源断層の速度スペクトル.csv",
    "参考･各ケースの加速度波形.csv",
    "参考･各ケースの速度波形.csv",
    "参考･各ケースの最大速度.csv",
)
TRUE_LABEL = "spawn of /bin/true"


class Row:
    def __init__(self, label, reference, stdin, check, argv):
        self.label = label
        self.reference = reference
        self.stdin = stdin
        self.check = check
        self.argv = argv
        self.missing = None
        self.failure = None
        self.identical = None
        self.wall = []
        self.cpu = []
        self.rss = []


def expand(word, variables, lists):
    if word.startswith("{") and word.endswith("}") and word[1:-1] in lists:
        return list(lists[word[1:-1]])
    for name, value in variables.items():
        word = word.replace("{" + name + "}", value)
    return [word]


def read_rows(path, variables, lists):
    rows = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            fields = [x.strip() for x in line.split("|")]
            if len(fields) != 5:
                sys.exit("timing.py: %s: a row needs five fields: %s" % (path, line))
            label, reference, stdin, check, command = fields
            argv = []
            for word in command.split():
                argv += expand(word, variables, lists)
            stdin = "-" if stdin == "-" else expand(stdin, variables, {})[0]
            check = expand(check, variables, {})[0]
            rows.append(Row(label, reference, stdin, check, argv))
    return rows


def find_missing(row):
    program = shutil.which(row.argv[0]) if row.argv else None
    if program is None:
        return row.argv[0] if row.argv else "(no command)"
    row.argv[0] = os.path.abspath(program)
    for word in row.argv[1:]:
        if word.endswith((".sh", ".py")) and not os.path.exists(word):
            return word
    return None


def spawn_timed(argv, stdin_fd, null_fd, err_fd):
    """One run: (wall s, cpu s, peak RSS KiB, exit status)."""
    actions = [(os.POSIX_SPAWN_DUP2, stdin_fd, 0),
               (os.POSIX_SPAWN_DUP2, null_fd, 1),
               (os.POSIX_SPAWN_DUP2, err_fd, 2)]
    t0 = time.perf_counter()
    pid = os.posix_spawn(argv[0], argv, os.environ, file_actions=actions)
    _, status, usage = os.wait4(pid, 0)
    t1 = time.perf_counter()
    return (t1 - t0, usage.ru_utime + usage.ru_stime, usage.ru_maxrss,
            os.waitstatus_to_exitcode(status))


def remove(paths):
    for p in paths:
        try:
            os.unlink(p)
        except FileNotFoundError:
            pass


def first_difference(a, b):
    """None when the files are equal, otherwise where they part.

    Read in blocks, so that this process stays small: a spawned child's peak
    resident set counts its parent's at the spawn (see bench/README.md).
    """
    block = 1 << 18
    offset = 0
    lines = 1
    with open(a, "rb") as fa, open(b, "rb") as fb:
        while True:
            x, y = fa.read(block), fb.read(block)
            if x != y:
                k = next((i for i in range(min(len(x), len(y))) if x[i] != y[i]),
                         min(len(x), len(y)))
                return "byte %d, line %d" % (offset + k + 1, lines + x.count(b"\n", 0, k))
            if not x:
                return None
            offset += len(x)
            lines += x.count(b"\n")


class Bench:
    def __init__(self, args):
        self.args = args
        self.null_fd = os.open(os.devnull, os.O_RDWR)
        self.err_path = os.path.join(args.dir, ".timing-stderr")
        self.err_fd = os.open(self.err_path, os.O_RDWR | os.O_CREAT | os.O_TRUNC, 0o644)

    def before(self, row):
        check = row.check
        if self.args.reuse and check in ("lpgm", "floor"):
            return
        if check == "lpgm":
            remove(os.path.join(self.args.dir, f) for f in OUTPUTS)
        elif check == "floor":
            remove(os.path.join(self.args.dir, "floor_%d.out" % k) for k in range(1, 10))
        elif check.startswith("outputs="):
            out = check[len("outputs="):]
            os.makedirs(out, exist_ok=True)
            remove(os.path.join(out, f) for f in OUTPUTS)

    def after(self, row, what):
        check = row.check
        if check == "lpgm":
            for f in OUTPUTS:
                got = os.path.join(self.args.dir, f)
                if not os.path.exists(got):
                    sys.exit("timing.py: FAIL: %s did not write %s (%s)" % (row.label, f, what))
                diff = first_difference(os.path.join(self.args.ref, f), got)
                if diff:
                    sys.exit("timing.py: MISMATCH in %s of %s: %s differs from the "
                             "plain build's at %s" % (what, row.label, f, diff))
        elif check.startswith("outputs="):
            out = check[len("outputs="):]
            same = all(os.path.exists(os.path.join(out, f)) and
                       first_difference(os.path.join(self.args.ref, f),
                                        os.path.join(out, f)) is None
                       for f in OUTPUTS)
            row.identical = same if row.identical is None else (row.identical and same)

    def run(self, row, what):
        """One run of the row; False when it failed (the row is then dropped)."""
        self.before(row)
        stdin_fd = os.open(row.stdin if row.stdin != "-" else os.devnull, os.O_RDONLY)
        os.ftruncate(self.err_fd, 0)
        os.lseek(self.err_fd, 0, os.SEEK_SET)
        try:
            wall, cpu, rss, status = spawn_timed(row.argv, stdin_fd, self.null_fd, self.err_fd)
        finally:
            os.close(stdin_fd)
        # lpgm is silent on success: anything on its standard error fails it.
        worked = status == 0 or (row.check == "exit<=1" and status == 1)
        if not worked or (row.check == "lpgm" and os.fstat(self.err_fd).st_size):
            with open(self.err_path, "rb") as f:
                first = f.readline().decode("utf-8", "replace").strip()
            row.failure = "exit %d%s" % (status, ": " + first if first else "")
            if row.check == "lpgm":
                sys.exit("timing.py: FAIL: %s %s (%s)" % (row.label, row.failure, what))
            return False
        self.after(row, what)
        return wall, cpu, rss


def median_range(values):
    return statistics.median(values), min(values), max(values)


def load():
    return "%.2f %.2f %.2f" % os.getloadavg()


def print_table(rows, runs):
    by_label = {r.label: r for r in rows}
    print("%-26s %9s %17s %8s %9s  %-18s %6s" % (
        "", "wall (s)", "min-max", "cpu (s)", "RSS (MiB)", "against", "ratio"))
    for r in rows:
        if r.missing:
            print("%-26s not built (%s)" % (r.label, r.missing))
            continue
        if r.failure:
            print("%-26s failed (%s)" % (r.label, r.failure))
            continue
        med, lo, hi = median_range(r.wall)
        ratio, against = "", ""
        ref = by_label.get(r.reference)
        if ref is not None and ref.wall and not ref.failure and not ref.missing:
            ratio = "%6.2f" % (med / statistics.median(ref.wall))
            against = ref.label
        elif r.reference != "-":
            against = r.reference
            ratio = "   n/a"
        note = ""
        if r.identical is not None:
            note = "  outputs %s" % ("identical" if r.identical else "DIFFER")
        print("%-26s %9.4f %8.4f-%-8.4f %8.3f %9.1f  %-18s %6s%s" % (
            r.label, med, lo, hi, statistics.median(r.cpu),
            statistics.median(r.rss) / 1024, against, ratio, note))
    print("(medians and ranges of %d runs; ratio: the row's median wall time over "
          "its reference's)" % runs)
    for r in rows:
        if r.wall:
            print("%-26s %s" % (r.label + ":", " ".join("%.4f" % w for w in r.wall)))


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    p.add_argument("--rows", required=True)
    p.add_argument("--dir", required=True)
    p.add_argument("--runs", type=int, default=5)
    p.add_argument("--ref")
    p.add_argument("--var", action="append", default=[])
    p.add_argument("--list", action="append", default=[])
    p.add_argument("--reuse", action="store_true")
    p.add_argument("--scaling-line", metavar="LABEL",
                   help="print only 'median min max floor_median cpu_median' of LABEL "
                        "and of the row it is against")
    args = p.parse_args()
    args.dir = os.path.abspath(args.dir)
    if args.ref:
        args.ref = os.path.abspath(args.ref)
    variables = dict(v.split("=", 1) for v in args.var)
    lists = {}
    for item in args.list:
        name, path = item.split("=", 1)
        with open(path, encoding="utf-8", errors="surrogateescape") as f:
            lists[name] = [ln.rstrip("\n") for ln in f if ln.rstrip("\n")]
    rows = [Row(TRUE_LABEL, "-", "-", "-", ["/bin/true"])]
    rows += read_rows(args.rows, variables, lists)
    for r in rows:
        r.missing = find_missing(r)

    os.chdir(args.dir)
    bench = Bench(args)
    gc.disable()
    load_before = load()
    live = [r for r in rows if not r.missing]
    for r in live:
        bench.run(r, "the warm-up run")
    live = [r for r in live if not r.failure]
    for k in range(1, args.runs + 1):
        for r in live:
            if r.failure:
                continue
            result = bench.run(r, "timed run %d" % k)
            if result:
                r.wall.append(result[0])
                r.cpu.append(result[1])
                r.rss.append(result[2])
    load_after = load()
    os.unlink(bench.err_path)

    if args.scaling_line:
        row = next(r for r in rows if r.label == args.scaling_line)
        ref = next(r for r in rows if r.label == row.reference)
        med, lo, hi = median_range(row.wall)
        print("%.4f %.4f %.4f %.4f %.3f" % (med, lo, hi, statistics.median(ref.wall),
                                            statistics.median(row.cpu)))
        return
    print("load average before: %s, after: %s (1, 5, 15 min)" % (load_before, load_after))
    print_table(rows, args.runs)
    if any(r.check == "lpgm" and r.wall for r in rows):
        print("every timed run of lpgm wrote its six files byte-identical to the plain build's")


if __name__ == "__main__":
    main()
