#pragma once

#include "core/history/DrawHistory.h"
#include "core/prediction/PredictionSettings.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace peridon {

// How each prediction method would have scored on the past draws. For every
// valid draw t in [from, to] the four grids are those a freshly opened
// prediction window would show over the rows numbered below t, for each
// reflected count 0..10; the draw is then compared with the digits shown.

inline constexpr int kMethodCount = 4;                  // cycle, elimination, rapid-fire, one-shot
inline constexpr int kReflectCounts = kOptionCount + 1; // reflected count 0..10
inline constexpr int kDefaultBacktestFrom = 101;

// The methods in the order they are reported; index = grid index.
const std::array<QString, kMethodCount>& backtestMethodNames();

// A set of digits, bit d for digit d.
using DigitSet = std::uint16_t;
inline int digitCount(DigitSet s) {
    int n = 0;
    for (; s != 0; s &= DigitSet(s - 1))
        ++n;
    return n;
}
inline bool hasDigit(DigitSet s, int digit) {
    return (s >> digit) & 1u;
}

// One evaluated draw and what the window showed just before it.
struct BacktestDraw {
    int drawNo = 0;
    std::array<std::int8_t, 3> digits{};
    // Digits shown in each column of the cycle grid (positions 1..3); the
    // cycle grid does not depend on the reflected count.
    std::array<DigitSet, 3> cycleColumns{};
    // [reflect][method]: the distinct digits in the method's digit cells.
    std::array<std::array<DigitSet, kMethodCount>, kReflectCounts> shown{};
};

struct BacktestRun {
    int from = kDefaultBacktestFrom;
    int to = 0;
    std::vector<BacktestDraw> draws; // ascending draw number
};

// One pass over history (rows in ascending draw-number order, as the store
// reads them). to defaults to the last valid draw (0 when there is none);
// from > to evaluates nothing.
BacktestRun runBacktest(const DrawHistory& history, int from = kDefaultBacktestFrom,
                        std::optional<int> to = std::nullopt);

// The scores of one method. Expected values and p-values assume the three
// digits of a draw uniform and independent. Straight fields are filled for
// the cycle method only.
//
// The adjusted p-values are Holm's over the fixed family of
// kBacktestTests tests (see backtestTests), which does not shrink when
// fewer reflected counts are reported. Tickets and returns are those of
// buying, on every evaluated draw, every box ticket the shown digits allow
// (and for the cycle method every straight ticket its three columns allow)
// at the theoretical prizes.
struct MethodScore {
    double meanDigits = 0; // mean number of distinct digits shown; 0 without draws
    int digitHits = 0;
    double digitExpected = 0;
    int boxHits = 0;
    double boxExpected = 0;
    double boxP = 1; // P(X >= boxHits) under chance
    int straightHits = 0;
    double straightExpected = 0;
    double straightP = 1;
    double boxPAdjusted = 1;
    double straightPAdjusted = 1;
    qint64 boxTickets = 0;
    qint64 boxReturn = 0; // yen
    qint64 straightTickets = 0;
    qint64 straightReturn = 0; // yen
};

// Ticket price and the theoretical prizes, in yen. Under a fair draw every
// ticket returns 90 yen on average, 45 % of its price.
inline constexpr int kTicketPrice = 200;
inline constexpr int kBoxPrizeSingle = 15000; // three different digits
inline constexpr int kBoxPrizeDouble = 30000; // two equal digits
inline constexpr int kStraightPrize = 90000;
inline constexpr int kExpectedReturnPercent = 45;

// Box tickets for k shown digits: every multiset of three of them that is
// not a triple, C(k,3) + k(k-1).
inline int boxTickets(int k) {
    return k < 2 ? 0 : k * (k - 1) * (k - 2) / 6 + k * (k - 1);
}
// What the box tickets of a shown set win on a draw: nothing unless all
// three digits are shown and not all equal.
int boxPrize(const std::array<std::int8_t, 3>& digits, DigitSet shown);

struct ReflectScore {
    int reflect = 0;
    std::array<MethodScore, kMethodCount> methods;
};

// Scores for each requested reflected count (0..10), in the given order.
// All eleven are scored whatever is requested, since each adjusted p-value
// depends on the whole family.
std::vector<ReflectScore> scoreBacktest(const BacktestRun& run, const std::vector<int>& reflects);

// The family of tests the adjustment is made over, in a fixed order: the
// cycle method's box and straight tests (the same for every reflected
// count), then the box test of the elimination, rapid-fire and one-shot
// methods for reflected counts 0..10.
inline constexpr int kBacktestTests = 2 + (kMethodCount - 1) * kReflectCounts;
struct BacktestTest {
    int method = 0;
    int reflect = 0; // 0 for the cycle method, which does not depend on it
    bool straight = false;
    double p = 1;
    double adjusted = 1;
};
// The family from scores of all eleven reflected counts in order 0..10.
std::vector<BacktestTest> backtestTests(const std::vector<ReflectScore>& all);
// The test with the smallest p-value, the first in family order on ties.
BacktestTest smallestTest(const std::vector<ReflectScore>& all);

// Holm's step-down adjustment, in the order of p: with p sorted ascending,
// the adjusted p(i) is the largest of min(1, (n - j + 1) p(j)) over j <= i.
// Equal p-values get equal adjusted values.
std::vector<double> holmAdjust(std::span<const double> p);

// A p-value as the window and the text report show it: three significant
// digits, or "< 0.001".
QString formatPValue(double p);
// Return over cost in per cent with one decimal ("43.2 %"), "－" without
// tickets.
QString formatReturnRate(qint64 returned, qint64 tickets);

// Chance of a box hit for a method showing k distinct digits: (k/10)^3, and
// its numerator k^3 out of 1000.
inline int boxChanceThousandths(DigitSet shown) {
    const int k = digitCount(shown);
    return k * k * k;
}

// Box hits and their expectation, cumulated draw by draw (index i: after
// the first i+1 evaluated draws), for the chart.
struct CumulativeBoxHits {
    std::vector<int> hits;
    std::vector<double> expected;
};
CumulativeBoxHits cumulativeBoxHits(const BacktestRun& run, int reflect, int method);

// How far the box hits so far are from chance, draw by draw: (hits -
// expected) / sd with sd the standard deviation of the Poisson-binomial
// count so far. Draws before the first with a chance above 0 (sd 0) are
// left out.
struct BoxHitZ {
    std::vector<int> drawNo;
    std::vector<double> z;
};
BoxHitZ boxHitZ(const BacktestRun& run, int reflect, int method);

// P(X >= observed) where X is the number of successes of independent trials
// with the given probabilities (a Poisson-binomial distribution), computed
// by dynamic programming over the count of successes. Only counts below the
// bulk whose probability is under 1e-20 of a larger count's are dropped,
// which changes the result by a relative 1e-20 per dropped count at most.
double poissonBinomialTail(std::span<const double> p, int observed);

} // namespace peridon
