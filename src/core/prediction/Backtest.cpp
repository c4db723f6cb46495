#include "core/prediction/Backtest.h"

#include "core/prediction/PredictionEngine.h"

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

constexpr DigitSet bit(int digit) {
    return DigitSet(1u << digit);
}

// The cycle table after a scan: [method][position 0..2], -1 for empty.
using CycleTable = std::array<std::array<std::int8_t, 3>, 4>;

CycleTable readCycleTable(const PredictionEngine& engine) {
    CycleTable t{};
    for (int m = 0; m < 4; ++m) {
        for (int p = 0; p < 3; ++p) {
            const QString c = engine.cycleDigit(m, p + 1);
            t[std::size_t(m)][std::size_t(p)] =
                c.isEmpty() ? std::int8_t(-1) : std::int8_t(c.toInt());
        }
    }
    return t;
}

// The rest of this file replays, on small integer tables, what
// PredictionEngine::ComputePredictions writes into the grids, and keeps only
// the digits that end up inside each grid's digit cells. Doing it through
// the grids themselves would cost some hundred string operations per draw
// and reflected count; the backtest tests compare the two draw by draw.

// Elimination digits of rules 0..14 (-1 where a rule has nothing to read)
// and the distinct digits the elimination grid shows.
DigitSet elimination(const PredictionEngine& engine, int lastDrawNo, int reflect,
                     std::array<std::int8_t, PredictionEngine::kRuleCount>& digits) {
    DigitSet shown = 0;
    DigitSet seen = 0;
    int placed = 0;
    const auto& rules = PredictionEngine::eliminationRules();
    for (int i = 0; i < PredictionEngine::kRuleCount; ++i) {
        const auto& rule = rules[std::size_t(i)];
        const int k = lastDrawNo - rule.back - reflect;
        if (!engine.hasDraw(k) || k < 1) {
            digits[std::size_t(i)] = -1;
            continue;
        }
        const int v = PredictionEngine::foldDigit(engine.drawDigit(k, rule.column) + rule.add);
        digits[std::size_t(i)] = std::int8_t(v);
        if (hasDigit(seen, v))
            continue;
        seen |= bit(v);
        // Four placements per row of a grid with three digit columns and
        // three digit rows.
        if (placed % 4 < 3 && placed / 4 < 3)
            shown |= bit(v);
        ++placed;
    }
    return shown;
}

// Rapid-fire (distance 3, six placements per row, two digit rows) and
// one-shot (distance 2, one row, at most seven placements): cycle digits
// near an elimination digit, each shown once while it is inside the grid.
DigitSet combined(const CycleTable& cycle,
                  const std::array<std::int8_t, PredictionEngine::kRuleCount>& elim, bool oneShot) {
    const int distance = oneShot ? 2 : 3;
    DigitSet shown = 0;
    int placed = 0;
    for (const std::int8_t e : elim) {
        if (e < 0)
            continue;
        for (const auto& method : cycle) {
            for (const std::int8_t c : method) {
                if (oneShot && placed >= 7)
                    return shown;
                if (c < 0)
                    break;
                if (e > c + distance || e < c - distance || hasDigit(shown, c))
                    continue;
                const bool inside = oneShot ? placed < 3 : placed % 6 < 3 && placed / 6 < 2;
                if (inside)
                    shown |= bit(c);
                ++placed;
            }
        }
    }
    return shown;
}

void recordShown(const PredictionEngine& engine, int lastDrawNo, BacktestDraw& draw) {
    const CycleTable cycle = readCycleTable(engine);
    DigitSet all = 0;
    for (int p = 0; p < 3; ++p) {
        DigitSet column = 0;
        for (int m = 0; m < 4; ++m) {
            const int c = cycle[std::size_t(m)][std::size_t(p)];
            if (c >= 0)
                column |= bit(c);
        }
        draw.cycleColumns[std::size_t(p)] = column;
        all |= column;
    }
    std::array<std::int8_t, PredictionEngine::kRuleCount> elim{};
    for (int r = 0; r < kReflectCounts; ++r) {
        auto& shown = draw.shown[std::size_t(r)];
        shown[0] = all;
        shown[1] = elimination(engine, lastDrawNo, r, elim);
        shown[2] = combined(cycle, elim, false);
        shown[3] = combined(cycle, elim, true);
    }
}

int positionsHit(const BacktestDraw& d, DigitSet shown) {
    int hits = 0;
    for (const std::int8_t digit : d.digits)
        hits += hasDigit(shown, digit) ? 1 : 0;
    return hits;
}

bool straightHit(const BacktestDraw& d) {
    for (int p = 0; p < 3; ++p) {
        if (!hasDigit(d.cycleColumns[std::size_t(p)], d.digits[std::size_t(p)]))
            return false;
    }
    return true;
}

int straightChanceThousandths(const BacktestDraw& d) {
    int product = 1;
    for (const DigitSet c : d.cycleColumns)
        product *= digitCount(c);
    return product;
}

// Sums are kept as whole numbers (digits shown, k^3, column-size products)
// and divided once, so every expected value is the exact quotient rounded
// once, the same on every platform.
MethodScore scoreMethod(const BacktestRun& run, int reflect, int method, bool straight) {
    MethodScore s;
    const std::size_t n = run.draws.size();
    std::vector<double> boxChances;
    std::vector<double> straightChances;
    boxChances.reserve(n);
    qint64 shownTotal = 0;
    qint64 boxThousandths = 0;
    qint64 straightThousandths = 0;
    for (const BacktestDraw& d : run.draws) {
        const DigitSet shown = d.shown[std::size_t(reflect)][std::size_t(method)];
        shownTotal += digitCount(shown);
        const int box = boxChanceThousandths(shown);
        boxThousandths += box;
        boxChances.push_back(box / 1000.0);
        const int hits = positionsHit(d, shown);
        s.digitHits += hits;
        s.boxHits += hits == 3 ? 1 : 0;
        if (straight) {
            const int chance = straightChanceThousandths(d);
            straightThousandths += chance;
            straightChances.push_back(chance / 1000.0);
            s.straightHits += straightHit(d) ? 1 : 0;
        }
    }
    s.meanDigits = n == 0 ? 0.0 : double(shownTotal) / double(n);
    s.digitExpected = double(3 * shownTotal) / 10.0;
    s.boxExpected = double(boxThousandths) / 1000.0;
    s.boxP = poissonBinomialTail(boxChances, s.boxHits);
    if (straight) {
        s.straightExpected = double(straightThousandths) / 1000.0;
        s.straightP = poissonBinomialTail(straightChances, s.straightHits);
    }
    return s;
}

} // namespace

const std::array<QString, kMethodCount>& backtestMethodNames() {
    static const std::array<QString, kMethodCount> names{u"周期法"_s, u"消去法"_s,
                                                         u"連発ペリドン"_s, u"一発ペリドン"_s};
    return names;
}

BacktestRun runBacktest(const DrawHistory& history, int from, std::optional<int> to) {
    BacktestRun run;
    run.from = from;
    if (to) {
        run.to = *to;
    } else {
        for (const DrawRow& row : history.rows()) {
            if (row.valid())
                run.to = row.drawNo;
        }
    }
    if (run.from > run.to)
        return run;

    // The scan of the rows below t is the scan of the rows below the
    // previous evaluated draw plus the rows in between, so one engine
    // follows the history once.
    auto engine = std::make_unique<PredictionEngine>();
    const std::vector<DrawRow>& rows = history.rows();
    std::size_t scanned = 0;
    int lastDrawNo = 0; // the last valid draw scanned, as the start-up statistics give it
    for (const DrawRow& row : rows) {
        if (row.drawNo > run.to)
            break;
        if (!row.valid() || row.drawNo < run.from)
            continue;
        for (; scanned < rows.size() && rows[scanned].drawNo < row.drawNo; ++scanned) {
            engine->ScanRow(rows[scanned]);
            if (rows[scanned].valid())
                lastDrawNo = rows[scanned].drawNo;
        }
        BacktestDraw d;
        d.drawNo = row.drawNo;
        d.digits = row.digits;
        recordShown(*engine, lastDrawNo, d);
        run.draws.push_back(d);
    }
    return run;
}

std::vector<ReflectScore> scoreBacktest(const BacktestRun& run, const std::vector<int>& reflects) {
    std::vector<ReflectScore> scores;
    std::optional<MethodScore> cycle; // the same for every reflected count
    for (const int r : reflects) {
        if (r < 0 || r >= kReflectCounts)
            continue;
        ReflectScore rs;
        rs.reflect = r;
        if (!cycle)
            cycle = scoreMethod(run, r, 0, true);
        rs.methods[0] = *cycle;
        for (int m = 1; m < kMethodCount; ++m)
            rs.methods[std::size_t(m)] = scoreMethod(run, r, m, false);
        scores.push_back(rs);
    }
    return scores;
}

CumulativeBoxHits cumulativeBoxHits(const BacktestRun& run, int reflect, int method) {
    CumulativeBoxHits c;
    if (reflect < 0 || reflect >= kReflectCounts || method < 0 || method >= kMethodCount)
        return c;
    c.hits.reserve(run.draws.size());
    c.expected.reserve(run.draws.size());
    int hits = 0;
    qint64 thousandths = 0;
    for (const BacktestDraw& d : run.draws) {
        const DigitSet shown = d.shown[std::size_t(reflect)][std::size_t(method)];
        hits += positionsHit(d, shown) == 3 ? 1 : 0;
        thousandths += boxChanceThousandths(shown);
        c.hits.push_back(hits);
        c.expected.push_back(double(thousandths) / 1000.0);
    }
    return c;
}

double boxHitRatio(const BacktestRun& run, int reflect, int method) {
    const CumulativeBoxHits c = cumulativeBoxHits(run, reflect, method);
    if (c.expected.empty() || c.expected.back() <= 0)
        return 0;
    return c.hits.back() / c.expected.back();
}

double poissonBinomialTail(std::span<const double> p, int observed) {
    if (observed <= 0)
        return 1.0;
    if (std::size_t(observed) > p.size())
        return 0.0;
    // A dropped count c at step j adds at most m * P(rest >= h - c) to the
    // answer, and the answer is at least ref * P(rest >= h - c_ref) for any
    // larger count c_ref with probability ref (or at least the tail mass
    // itself); dropping only m < 1e-20 * ref below such a count keeps the
    // relative error of each drop under 1e-20.
    constexpr double kNegligible = 1e-20;
    const int h = observed;
    std::vector<double> prob(std::size_t(h), 0.0); // P(count = c) for c < h
    prob[0] = 1.0;
    int lo = 0;
    int hi = 0;
    double tail = 0; // P(count >= h)
    double mean = 0;
    for (const double q : p) {
        if (q <= 0)
            continue;
        const double r = 1.0 - q;
        mean += q;
        if (hi == h - 1)
            tail += prob[std::size_t(hi)] * q;
        hi = std::min(hi + 1, h - 1);
        double* v = prob.data();
        for (int c = hi; c > lo; --c)
            v[c] = v[c] * r + v[c - 1] * q;
        v[lo] *= r;
        while (lo < hi) {
            // The mode of the count lies within one of its mean.
            const int near = std::clamp(int(mean), lo + 1, hi);
            const double ref = std::max(tail, v[near]);
            if (!(v[lo] == 0.0 || v[lo] < kNegligible * ref))
                break;
            v[lo] = 0;
            ++lo;
        }
    }
    return std::min(tail, 1.0);
}

} // namespace peridon
