#pragma once

#include "core/analysis/AnalysisRegistry.h"

namespace peridon {

// Lists every valid draw and marks each digit that also occurred, in any
// position, in the valid draw before it (0,0,0 before the first one).
class 引っ張り分析 final {
public:
    explicit 引っ張り分析(const AnalysisInput& input) : m_in(input) {}
    void RunAnalysis(Sheet& sheet);

private:
    void SetupGrid(Sheet& sheet, int lastRow);
    void WriteHeader(Sheet& sheet, int row);
    void FillGrid(Sheet& sheet);

    const AnalysisInput& m_in;
};

} // namespace peridon
