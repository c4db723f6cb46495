#!/usr/bin/env python3
"""An independent reckoning of `peridon-cli backtest --json`, written from
the description of the prediction window and of the backtest rather than
from the program's code, with nothing but the standard library.

    backtest_reference.py report CSV [--from N] [--to M] [--reflect LIST]
        prints the reference's JSON (p-values at full precision)
    backtest_reference.py check CLI CSV [FIXTURE]
        imports CSV into a new database with CLI, runs its backtest over a
        few ranges and compares; with FIXTURE, the default range is compared
        with the reference kept there instead of being computed again

Whole numbers must be equal, means and expectations equal as the nearest
double to the exact quotient, and p-values equal to the six significant
digits the command prints.
"""

import csv
import json
import math
import os
import subprocess
import sys
import tempfile
from fractions import Fraction

METHODS = ["周期法", "消去法", "連発ペリドン", "一発ペリドン"]
REFLECTS = 11
TESTS = 35
PRICE = 200

# Elimination rules: (draws back from the latest, digit column, constant).
# Column 4 is never filled and reads 0.
RULES = [(0, 1, 1), (0, 2, 8), (1, 1, 0), (1, 4, -7), (2, 4, 8), (2, 2, -5),
         (3, 1, 3), (3, 4, 1), (4, 4, 4), (4, 1, 7), (5, 4, 6), (5, 4, -9),
         (6, 1, 4), (7, 2, 1), (9, 4, 9)]
CYCLE_GAPS = {7: 0, 9: 1, 11: 2, 12: 3}


def read_history(path):
    rows = []
    with open(path, encoding="utf-8-sig", newline="") as f:
        reader = csv.reader(f)
        next(reader)
        for rec in reader:
            if not rec or not rec[0].strip():
                continue
            fields = [x.strip() for x in rec[1:4]] + [""] * (3 - len(rec[1:4]))
            digits = None
            if all(fields):
                digits = tuple(int(x) for x in fields)
            rows.append((int(rec[0]), digits))
    rows.sort(key=lambda r: r[0])
    return rows


def fold(v):
    if v > 9:
        return v - 9
    if v <= 0:
        return v + 9
    return v


class Window:
    """The prediction window opened over the draws scanned so far."""

    def __init__(self):
        self.digits = {}  # draw number -> (d1, d2, d3), valid draws only
        self.cycle = [[None] * 3 for _ in range(4)]
        self.last = 0

    def scan(self, number, digits):
        self.digits[number] = digits
        self.last = number
        for p, x in enumerate(digits):
            e = number - 1
            while e >= 1:
                d = self.digits.get(e)
                if d is not None and x in d:
                    m = CYCLE_GAPS.get(number - e)
                    if m is not None:
                        self.cycle[m][p] = x
                    break
                e -= 1

    def elimination(self, reflect):
        """The fifteen rule digits (None where the rule reads no draw) and
        the digits inside the grid's cells."""
        out = []
        shown = set()
        seen = []
        for back, column, add in RULES:
            k = self.last - back - reflect
            d = self.digits.get(k) if k >= 1 else None
            if d is None:
                out.append(None)
                continue
            v = fold((d[column - 1] if column <= 3 else 0) + add)
            out.append(v)
            if v in seen:
                continue
            placed = len(seen)
            seen.append(v)
            if placed % 4 < 3 and placed // 4 < 3:
                shown.add(v)
        return out, shown

    def candidates(self):
        out = []
        for m in range(4):
            for c in self.cycle[m]:
                if c is None:
                    break
                out.append(c)
        return out

    @staticmethod
    def combined(cands, elim, one_shot):
        distance = 2 if one_shot else 3
        shown = set()
        placed = 0
        for e in elim:
            if e is None:
                continue
            for c in cands:
                if one_shot and placed >= 7:
                    return shown
                if abs(e - c) > distance or c in shown:
                    continue
                if (placed < 3) if one_shot else (placed % 6 < 3 and placed // 6 < 2):
                    shown.add(c)
                placed += 1
        return shown


def evaluate(rows, first, last):
    """For every evaluated draw: its digits, the cycle columns and the shown
    sets per reflected count and method."""
    window = Window()
    out = []
    i = 0
    valid = [(n, d) for n, d in rows if d is not None]
    for n, d in valid:
        if n > last:
            break
        if n < first:
            continue
        while i < len(valid) and valid[i][0] < n:
            window.scan(*valid[i])
            i += 1
        columns = [set(window.cycle[m][p] for m in range(4)) - {None} for p in range(3)]
        cycle_all = columns[0] | columns[1] | columns[2]
        cands = window.candidates()
        shown = []
        for r in range(REFLECTS):
            elim, elim_shown = window.elimination(r)
            shown.append([cycle_all, elim_shown, Window.combined(cands, elim, False),
                          Window.combined(cands, elim, True)])
        out.append((n, d, columns, shown))
    return out


def tail(chances, hits):
    """P(X >= hits) for X the number of successes of independent trials."""
    if hits <= 0:
        return 1.0
    chances = [q for q in chances if q > 0]
    if hits > len(chances):
        return 0.0
    if len(chances) <= 60:
        dist = [Fraction(1)]
        for q in chances:
            q = Fraction(q)
            dist = [a * (1 - q) + b * q for a, b in zip(dist + [0], [0] + dist)]
        return float(sum(dist[hits:]))
    # Floats over the counts that have not underflowed to zero, which is
    # exact bookkeeping: a zero stays zero.
    dist = [1.0]
    offset = 0
    for q in chances:
        q = float(q)
        r = 1.0 - q
        dist = [a * r + b * q for a, b in zip(dist + [0.0], [0.0] + dist)]
        while dist and dist[-1] == 0.0:
            dist.pop()
        while dist and dist[0] == 0.0:
            dist.pop(0)
            offset += 1
    return min(1.0, math.fsum(dist[max(0, hits - offset):]))


def holm(ps):
    n = len(ps)
    order = sorted(range(n), key=lambda i: ps[i])
    out = [1.0] * n
    running = 0.0
    for j, i in enumerate(order):
        running = max(running, min(1.0, (n - j) * ps[i]))
        out[i] = running
    return out


def box_prize(digits, shown):
    if not all(x in shown for x in digits):
        return 0
    distinct = len(set(digits))
    return {3: 15000, 2: 30000}.get(distinct, 0)


def score(draws, reflect, method):
    n = len(draws)
    s = {}
    total_k = digit_hits = box_hits = box_tickets = box_return = 0
    cubes = 0
    chances = []
    for _, d, columns, shown in draws:
        sset = shown[reflect][method]
        k = len(sset)
        total_k += k
        hits = sum(1 for x in d if x in sset)
        digit_hits += hits
        box_hits += hits == 3
        cubes += k ** 3
        chances.append(Fraction(k ** 3, 1000))
        box_tickets += (k * (k - 1) * (k - 2) // 6 + k * (k - 1)) if k >= 2 else 0
        box_return += box_prize(d, sset)
    s["mean_digits"] = float(Fraction(total_k, n)) if n else 0.0
    s["digit_hits"] = digit_hits
    s["digit_expected"] = float(Fraction(3 * total_k, 10))
    s["box_hits"] = box_hits
    s["box_expected"] = float(Fraction(cubes, 1000))
    s["box_p"] = tail(chances, box_hits)
    if method == 0:
        hits = product_sum = tickets = 0
        chances = []
        for _, d, columns, _ in draws:
            product = len(columns[0]) * len(columns[1]) * len(columns[2])
            product_sum += product
            tickets += product
            chances.append(Fraction(product, 1000))
            hits += all(d[p] in columns[p] for p in range(3))
        s["straight_hits"] = hits
        s["straight_expected"] = float(Fraction(product_sum, 1000))
        s["straight_p"] = tail(chances, hits)
        s["_straight"] = (tickets, hits * 90000)
    s["_box"] = (box_tickets, box_return)
    return s


def report(rows, first=101, last=None, reflects=None):
    if last is None:
        last = max([n for n, d in rows if d is not None], default=0)
    draws = evaluate(rows, first, last) if first <= last else []
    scores = [[None] * 4 for _ in range(REFLECTS)]
    cycle = score(draws, 0, 0)
    for r in range(REFLECTS):
        scores[r][0] = cycle
        for m in range(1, 4):
            scores[r][m] = score(draws, r, m)
    family = [cycle["box_p"], cycle["straight_p"]]
    for r in range(REFLECTS):
        family += [scores[r][m]["box_p"] for m in range(1, 4)]
    adjusted = holm(family)
    assert len(family) == TESTS
    results = []
    for r in (reflects if reflects is not None else range(REFLECTS)):
        methods = []
        for m in range(4):
            s = scores[r][m]
            o = {"method": METHODS[m]}
            for key in ("mean_digits", "digit_hits", "digit_expected", "box_hits",
                        "box_expected", "box_p"):
                o[key] = s[key]
            if m == 0:
                for key in ("straight_hits", "straight_expected", "straight_p"):
                    o[key] = s[key]
                o["box_p_adjusted"] = adjusted[0]
                o["straight_p_adjusted"] = adjusted[1]
            else:
                o["box_p_adjusted"] = adjusted[2 + 3 * r + (m - 1)]
            o["box_tickets"], o["box_return"] = s["_box"]
            if m == 0:
                o["straight_tickets"], o["straight_return"] = s["_straight"]
            methods.append(o)
        results.append({"reflect": r, "methods": methods})
    return {"from": first, "to": last, "draws": len(draws), "tests": TESTS, "results": results}


def six_digits_agree(printed, exact):
    """Whether printed (a p-value the command wrote with six significant
    digits) is exact rounded to six significant digits."""
    if exact == 0.0 or printed == 0.0:
        return printed == exact
    unit = 10.0 ** (math.floor(math.log10(abs(printed))) - 5)
    return abs(printed - exact) <= 0.5 * unit * (1 + 1e-9)


def compare(got, want, path="$"):
    problems = []
    if isinstance(want, dict):
        if not isinstance(got, dict) or list(got.keys()) != list(want.keys()):
            return ["%s: keys %s, expected %s" % (path, list(got.keys()) if isinstance(got, dict)
                                                  else got, list(want.keys()))]
        for k in want:
            problems += compare(got[k], want[k], path + "." + k)
    elif isinstance(want, list):
        if not isinstance(got, list) or len(got) != len(want):
            return ["%s: length differs" % path]
        for i, (g, w) in enumerate(zip(got, want)):
            problems += compare(g, w, "%s[%d]" % (path, i))
    elif path.endswith("_p") or path.endswith("_adjusted"):
        if not six_digits_agree(float(got), float(want)):
            problems.append("%s: %r, expected %r" % (path, got, want))
    elif isinstance(want, int) and not isinstance(want, bool):
        if not isinstance(got, int) or got != want:
            problems.append("%s: %r, expected %r" % (path, got, want))
    elif got != want:
        problems.append("%s: %r, expected %r" % (path, got, want))
    return problems


def run_cli(cli, args):
    done = subprocess.run([cli] + args, capture_output=True)
    if done.returncode != 0:
        sys.exit("%s %s failed: %s" % (cli, " ".join(args), done.stderr.decode("utf-8", "replace")))
    return done.stdout


def check(cli, csv_path, fixture=None):
    rows = read_history(csv_path)
    last = max([n for n, d in rows if d is not None], default=0)
    with tempfile.TemporaryDirectory() as tmp:
        db = os.path.join(tmp, "history.mdb")
        run_cli(cli, ["import", csv_path, "--db", db])
        cases = [([], None), (["--from", "1"], (1, None, None)),
                 (["--from", "1", "--to", str(max(1, last // 3)), "--reflect", "0,3,10"],
                  (1, max(1, last // 3), [0, 3, 10]))]
        problems = []
        for args, spec in cases:
            out = run_cli(cli, ["backtest", "--json", "--db", db] + args)
            got = json.loads(out.decode("utf-8"))
            if spec is None and fixture:
                with open(fixture, encoding="utf-8") as f:
                    want = json.load(f)
            elif spec is None:
                want = report(rows)
            elif fixture:
                continue  # the fixture stands for the long history
            else:
                want = report(rows, spec[0], spec[1] if spec[1] is not None else last, spec[2])
            found = compare(got, want)
            problems += ["backtest %s: %s" % (" ".join(args), p) for p in found]
    for p in problems[:40]:
        print(p)
    print("%s: %s" % (csv_path, "agrees" if not problems else "%d differences" % len(problems)))
    return 0 if not problems else 1


def main(argv):
    if len(argv) >= 2 and argv[0] == "report":
        opts = {"--from": 101, "--to": None, "--reflect": None}
        rest = argv[2:]
        for i in range(0, len(rest), 2):
            opts[rest[i]] = rest[i + 1]
        reflects = None
        if opts["--reflect"] is not None:
            reflects = sorted(set(int(x) for x in opts["--reflect"].split(",")))
        rows = read_history(argv[1])
        to = int(opts["--to"]) if opts["--to"] is not None else None
        json.dump(report(rows, int(opts["--from"]), to, reflects), sys.stdout,
                  ensure_ascii=False, indent=1)
        sys.stdout.write("\n")
        return 0
    if len(argv) in (3, 4) and argv[0] == "check":
        return check(argv[1], argv[2], argv[3] if len(argv) == 4 else None)
    sys.stderr.write(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
