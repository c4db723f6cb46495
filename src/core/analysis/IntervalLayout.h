#pragma once

#include "core/analysis/AnalysisRegistry.h"

#include <QString>

namespace peridon {

// What the appearance-interval and number-interval windows share: a sheet of
// 7 columns with one row reserved per draw number between a two-row header
// block at the top and its mirror at the bottom, the driver that builds it,
// and the grid formatting. Each window supplies its title, the label of its
// result columns and its own FillGrid.
class IntervalLayout {
public:
    void RunAnalysis();

protected:
    IntervalLayout(const AnalysisInput& in, Sheet& sheet, QString title, QString resultLabel)
        : m_in(in), m_sheet(sheet), m_title(std::move(title)),
          m_resultLabel(std::move(resultLabel)) {}
    ~IntervalLayout() = default;

    virtual void FillGrid() = 0;

    const AnalysisInput& m_in;
    Sheet& m_sheet;

private:
    // h: the height of one header block.
    void SetupGrid(int h);
    // r: the first row of the block; bottom: true for the mirrored block,
    // whose label row comes first.
    void WriteHeader(int r, bool bottom);

    QString m_title;
    QString m_resultLabel;
};

} // namespace peridon
