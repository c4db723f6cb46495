#pragma once

#include "core/history/DrawHistory.h"

#include <QString>

#include <array>
#include <vector>

namespace peridon {

// Digit statistics computed once from the history at start-up.
struct StartupStats {
    int lastDrawNo = 0;                 // draw number of the last valid draw, 0 if none
    std::array<int, 10> digitCount{};   // how often each digit occurs over all positions
    int maxCount = 0;                   // largest entry of digitCount
    std::vector<QString> digitsByCount; // index c: digits with count c, "3,7"; may be empty
    int countRows = 0;                  // 1 + number of non-empty digitsByCount entries

    // An empty history leaves everything at zero with no digitsByCount
    // entries; a history with rows but no valid draw still groups all ten
    // digits under count 0.
    static StartupStats compute(const DrawHistory& history);
};

} // namespace peridon
