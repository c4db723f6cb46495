#include "core/prediction/Backtest.h"

#include "core/prediction/PredictionEngine.h"

#include <algorithm>
#include <cmath>
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
                // Placements past the grid's last digit cell (the fourth
                // one-shot placement, the tenth rapid-fire one) show
                // nothing, so the walk can stop there; the one-shot method
                // itself stops at seven.
                if (placed >= (oneShot ? 3 : 9))
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
        for (const auto& method : cycle) {
            const std::int8_t c = method[std::size_t(p)];
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
        s.boxTickets += boxTickets(digitCount(shown));
        s.boxReturn += boxPrize(d.digits, shown);
        if (straight) {
            const int chance = straightChanceThousandths(d);
            straightThousandths += chance;
            straightChances.push_back(chance / 1000.0);
            const bool hit = straightHit(d);
            s.straightHits += hit ? 1 : 0;
            s.straightTickets += chance; // |C1| |C2| |C3|
            s.straightReturn += hit ? kStraightPrize : 0;
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
    std::vector<ReflectScore> all(static_cast<std::size_t>(kReflectCounts));
    const MethodScore cycle = scoreMethod(run, 0, 0, true); // the same for every reflected count
    for (int r = 0; r < kReflectCounts; ++r) {
        ReflectScore& rs = all[std::size_t(r)];
        rs.reflect = r;
        rs.methods[0] = cycle;
        for (int m = 1; m < kMethodCount; ++m)
            rs.methods[std::size_t(m)] = scoreMethod(run, r, m, false);
    }
    for (const BacktestTest& t : backtestTests(all)) {
        for (ReflectScore& rs : all) {
            if (t.method != 0 && rs.reflect != t.reflect)
                continue;
            MethodScore& ms = rs.methods[std::size_t(t.method)];
            (t.straight ? ms.straightPAdjusted : ms.boxPAdjusted) = t.adjusted;
        }
    }
    std::vector<ReflectScore> scores;
    for (const int r : reflects) {
        if (r >= 0 && r < kReflectCounts)
            scores.push_back(all[std::size_t(r)]);
    }
    return scores;
}

std::vector<BacktestTest> backtestTests(const std::vector<ReflectScore>& all) {
    std::vector<BacktestTest> tests;
    if (all.size() != std::size_t(kReflectCounts))
        return tests;
    tests.reserve(std::size_t(kBacktestTests));
    const MethodScore& cycle = all.front().methods[0];
    tests.push_back({0, 0, false, cycle.boxP, 1});
    tests.push_back({0, 0, true, cycle.straightP, 1});
    for (const ReflectScore& rs : all) {
        for (int m = 1; m < kMethodCount; ++m)
            tests.push_back({m, rs.reflect, false, rs.methods[std::size_t(m)].boxP, 1});
    }
    std::vector<double> p;
    p.reserve(tests.size());
    for (const BacktestTest& t : tests)
        p.push_back(t.p);
    const std::vector<double> adjusted = holmAdjust(p);
    for (std::size_t i = 0; i < tests.size(); ++i)
        tests[i].adjusted = adjusted[i];
    return tests;
}

BacktestTest smallestTest(const std::vector<ReflectScore>& all) {
    const std::vector<BacktestTest> tests = backtestTests(all);
    if (tests.empty())
        return {};
    return *std::min_element(
        tests.begin(), tests.end(),
        [](const BacktestTest& a, const BacktestTest& b) { return a.p < b.p; });
}

std::vector<double> holmAdjust(std::span<const double> p) {
    const std::size_t n = p.size();
    std::vector<std::size_t> order(n);
    for (std::size_t i = 0; i < n; ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return p[a] < p[b]; });
    std::vector<double> adjusted(n, 1.0);
    double running = 0;
    for (std::size_t j = 0; j < n; ++j) {
        const double candidate = std::min(1.0, double(n - j) * p[order[j]]);
        running = std::max(running, candidate);
        adjusted[order[j]] = running;
    }
    return adjusted;
}

QString formatPValue(double p) {
    if (p < 0.001)
        return u"< 0.001"_s;
    return QString::number(p, 'g', 3);
}

QString formatReturnRate(qint64 returned, qint64 tickets) {
    if (tickets <= 0)
        return u"－"_s;
    const double percent = 100.0 * double(returned) / (double(tickets) * kTicketPrice);
    return QString::number(percent, 'f', 1) + u" %"_s;
}

int boxPrize(const std::array<std::int8_t, 3>& digits, DigitSet shown) {
    for (const std::int8_t d : digits) {
        if (!hasDigit(shown, d))
            return 0;
    }
    const bool firstTwo = digits[0] == digits[1];
    const bool lastTwo = digits[1] == digits[2];
    const bool outer = digits[0] == digits[2];
    if (firstTwo && lastTwo)
        return 0; // a triple: no box ticket is bought for it
    return firstTwo || lastTwo || outer ? kBoxPrizeDouble : kBoxPrizeSingle;
}

BoxHitZ boxHitZ(const BacktestRun& run, int reflect, int method) {
    BoxHitZ z;
    if (reflect < 0 || reflect >= kReflectCounts || method < 0 || method >= kMethodCount)
        return z;
    int hits = 0;
    double expected = 0;
    double variance = 0;
    for (const BacktestDraw& d : run.draws) {
        const DigitSet shown = d.shown[std::size_t(reflect)][std::size_t(method)];
        const double q = boxChanceThousandths(shown) / 1000.0;
        hits += positionsHit(d, shown) == 3 ? 1 : 0;
        expected += q;
        variance += q * (1 - q);
        if (variance <= 0)
            continue;
        z.drawNo.push_back(d.drawNo);
        z.z.push_back((hits - expected) / std::sqrt(variance));
    }
    return z;
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

namespace {

// Counts above the bulk whose probability has fallen under this are
// dropped when trimTop is set; each dropped mass can add no more than
// itself to the tail.
constexpr double kTopNegligible = 1e-30;

// The dynamic programme over the count of successes below h = observed,
// with the mass that reaches h gathered as the tail. Only counts in
// [lo, hi] are kept: lo rises past counts negligible against a larger one
// (see poissonBinomialTail), and with trimTop hi falls past counts above
// the mode whose probability is under kTopNegligible, adding their mass to
// *dropped. Without the top trim the window reaches up to h - 1 at every
// step, which costs about the number of trials times the distance from the
// mean to h: quadratic in the number of trials when h is near the mean.
double tailProgramme(std::span<const double> p, int h, bool trimTop, double* dropped) {
    constexpr double kNegligible = 1e-20;
    std::vector<double> buffers[2] = {std::vector<double>(std::size_t(h) + 1, 0.0),
                                      std::vector<double>(std::size_t(h) + 1, 0.0)};
    double* v = buffers[0].data(); // P(count = c) for c < h
    double* next = buffers[1].data();
    v[0] = 1.0;
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
            tail += v[hi] * q;
        const int top = std::min(hi + 1, h - 1);
        // Written into the other buffer, so that the loop has no carried
        // dependency and vectorises.
        next[lo] = v[lo] * r;
        for (int c = lo + 1; c <= hi; ++c)
            next[c] = v[c] * r + v[c - 1] * q;
        if (top > hi)
            next[top] = v[hi] * q;
        std::swap(v, next);
        hi = top;
        // The mode of the count lies within one of its mean.
        while (lo < hi) {
            const int near = std::clamp(int(mean), lo + 1, hi);
            const double ref = std::max(tail, v[near]);
            if (!(v[lo] == 0.0 || v[lo] < kNegligible * ref))
                break;
            v[lo] = 0;
            ++lo;
        }
        if (trimTop) {
            const int mode = std::clamp(int(mean) + 1, lo, hi);
            while (hi > mode && v[hi] < kTopNegligible) {
                *dropped += v[hi];
                v[hi] = 0;
                --hi;
            }
        }
    }
    return std::min(tail, 1.0);
}

} // namespace

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
    //
    // Above the mode, what is dropped is bounded only by its own mass, so
    // the trimmed programme is kept when that mass is negligible against
    // its answer; a tail far out (about 1e-14 and below) is computed again
    // without the top trim.
    double dropped = 0;
    const double trimmed = tailProgramme(p, observed, true, &dropped);
    if (dropped <= 1e-16 * trimmed)
        return trimmed;
    return tailProgramme(p, observed, false, nullptr);
}

} // namespace peridon
