#pragma once

#include "core/analysis/AnalysisRegistry.h"

namespace peridon {

// Shows every valid draw twice: on the left it marks neighbouring positions
// holding consecutive digits, on the right neighbouring positions whose
// digits differ by two. A draw without such a pair is marked in its
// draw-number cell.
class 連番飛び石分析 final {
public:
    enum class PairKind { Consecutive, SteppingStone };

    explicit 連番飛び石分析(const AnalysisInput& input) : m_in(input) {}
    void RunAnalysis(Sheet& sheet);

private:
    void SetupGrid(Sheet& sheet, int lastRow);
    void WriteHeader(Sheet& sheet, int row);
    void FillGrid(Sheet& sheet);
    void MarkPair(Sheet& sheet, PairKind kind, int col, int row);
    void MarkNoPair(Sheet& sheet, int count, int col, int row);

    const AnalysisInput& m_in;
};

} // namespace peridon
