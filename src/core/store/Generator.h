#pragma once

#include "core/history/DrawHistory.h"

#include <QDate>

#include <cstdint>
#include <vector>

namespace peridon {

// A synthetic history made from a seed: the same options always give the
// same draws, on every platform. Used for the sample database, the tests
// and the benchmarks.
struct GeneratorOptions {
    int draws = 7000; // number of rows
    std::uint64_t seed = 1;
    int invalidEvery = 0; // every n-th row has an empty digit (0: none)
    int gapEvery = 0;     // every n-th draw number is skipped (0: none)
};

struct GeneratedDraw {
    DrawRow row;
    QDate date; // weekdays only, one draw a weekday from 1994-10-07
};

std::vector<GeneratedDraw> generateDraws(const GeneratorOptions& options);
DrawHistory generateHistory(const GeneratorOptions& options);

} // namespace peridon
