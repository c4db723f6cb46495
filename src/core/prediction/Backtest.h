#pragma once

#include "core/prediction/PredictionSettings.h"
#include "core/store/DrawHistory.h"

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
};

struct ReflectScore {
    int reflect = 0;
    std::array<MethodScore, kMethodCount> methods;
};

// Scores for each requested reflected count (0..10), in the given order.
std::vector<ReflectScore> scoreBacktest(const BacktestRun& run, const std::vector<int>& reflects);

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

// Observed over expected box hits for a method and reflected count; 0 when
// nothing was expected.
double boxHitRatio(const BacktestRun& run, int reflect, int method);

// P(X >= observed) where X is the number of successes of independent trials
// with the given probabilities (a Poisson-binomial distribution), computed
// by dynamic programming over the count of successes. Only counts below the
// bulk whose probability is under 1e-20 of a larger count's are dropped,
// which changes the result by a relative 1e-20 per dropped count at most.
double poissonBinomialTail(std::span<const double> p, int observed);

} // namespace peridon
