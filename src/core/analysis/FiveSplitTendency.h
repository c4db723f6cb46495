#pragma once

#include "core/analysis/AnalysisRegistry.h"

#include <array>
#include <cstdint>

namespace peridon {

// Lists every valid draw with its digits and how many of them fall in each
// of five groups of two digit values; digit cells and group columns share
// one colour per group. The header row is repeated below the last draw row.
class 分割5傾向分析 final {
public:
    explicit 分割5傾向分析(const AnalysisInput& input) : m_in(input) {}
    void RunAnalysis(Sheet& sheet);

    // Group 0 to 4 of a digit value: 0-1, 2-3, 4-5, 6-7 and everything else.
    static int groupOf(int digit);

private:
    void SetupGrid(Sheet& sheet, int lastRow);
    void WriteHeader(Sheet& sheet, int row);
    void FillGrid(Sheet& sheet);
    void ColourDigitCell(Sheet& sheet, int digit, int col, int row);
    void CountDigit(int digit);

    const AnalysisInput& m_in;
    std::array<std::int16_t, 5> m_counts{};
};

} // namespace peridon
