#include "core/analysis/Builders.h"
#include "core/analysis/Colours.h"
#include "core/analysis/SheetSupport.h"

using namespace Qt::StringLiterals;

namespace peridon {

using namespace colours;

namespace {

// Lists every valid draw and marks each digit that also occurred, in any
// position, in the valid draw before it (0,0,0 before the first one).
class 引っ張り分析 final {
public:
    引っ張り分析(const AnalysisInput& in, Sheet& sheet) : m_in(in), m_sheet(sheet) {}
    void RunAnalysis();

private:
    void SetupGrid(int lastRow);
    void WriteHeader(int row);
    void FillGrid();

    const AnalysisInput& m_in;
    Sheet& m_sheet;
};

} // namespace

void 引っ張り分析::RunAnalysis() {
    const int lastRow = m_in.stats.lastDrawNo + 1;
    SetupGrid(lastRow);
    WriteHeader(1);
    FillGrid();
}

void 引っ張り分析::SetupGrid(int lastRow) {
    sheets::startSheet(m_sheet, {4, lastRow}, {4, 51}, ScrollBars::Vertical, {1, 1});
    m_sheet.setRowHeight(-1, 10);
    m_sheet.setRowHeight(1, 15);
    m_sheet.setColWidth(-1, 6);
    // The blocks reach one row past the sheet; the sheet cuts them off.
    m_sheet.setForeColor(CellRange::block(1, 1, 1, lastRow + 1), kRed);
    m_sheet.setBackColor(CellRange::block(1, 1, 1, lastRow + 1), kLightYellow);
    m_sheet.setBorder(CellRange::block(1, 1, 4, lastRow + 1), BorderAll);
    m_sheet.setActiveCell(0, 0);
}

void 引っ張り分析::WriteHeader(int row) {
    m_sheet.setRowHeight(row, 15);
    m_sheet.setBorder(CellRange::block(2, row, 4, row), BorderNone);
    m_sheet.setBorder(CellRange::block(2, row, 4, row), BorderBottom);
    m_sheet.setForeColor(CellRange::block(1, row, 4, row), kBlack);
    m_sheet.setBackColor(CellRange::block(1, row, 4, row), kPink);
    m_sheet.setText(1, row, u"回数"_s);
    m_sheet.setOverflow(true);
    m_sheet.setText(3, row, u"当 選 数 字"_s);
    m_sheet.setHAlign(CellRange::cell(3, row), HAlign::Left);
}

void 引っ張り分析::FillGrid() {
    int previous[3] = {0, 0, 0};
    const auto digits = sheets::digitIds(m_sheet);
    int row = 2;
    for (const DrawRow& draw : m_in.history.rows()) {
        if (!draw.valid())
            continue;
        m_sheet.setTextId(1, row, m_sheet.numberText(draw.drawNo));
        for (int k = 0; k < 3; ++k)
            m_sheet.setTextId(2 + k, row, digits[std::size_t(draw.digit(k))]);
        for (int i = 0; i < 3; ++i) {
            for (int k = 0; k < 3; ++k) {
                if (draw.digit(k) == previous[i])
                    m_sheet.setBackColor(CellRange::cell(2 + k, row), kLightCyan);
            }
        }
        for (int k = 0; k < 3; ++k)
            previous[k] = draw.digit(k);
        ++row;
    }
}

void builders::pull(const AnalysisInput& in, Sheet& sheet) {
    引っ張り分析(in, sheet).RunAnalysis();
}

} // namespace peridon
