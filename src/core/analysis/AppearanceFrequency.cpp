#include "core/analysis/Builders.h"
#include "core/analysis/Colours.h"
#include "core/analysis/SheetSupport.h"

#include <array>

using namespace Qt::StringLiterals;

namespace peridon {

using namespace colours;

namespace {

// 出現頻度分析: a bar chart of how often each digit has been drawn, over all
// three positions: one column per digit, one row per count level, a mark in
// the cell of digit d and level n once d has appeared n times.
class 出現頻度分析 final {
public:
    出現頻度分析(const AnalysisInput& in, Sheet& sheet) : m_in(in), m_sheet(sheet) {}

    void RunAnalysis();

private:
    void SetupGrid(int m);

    // The digits over the bars in row 2, the count levels down column 1.
    void WriteHeader(int m);
    void FillGrid();

    const AnalysisInput& m_in;
    Sheet& m_sheet;
};

} // namespace

void 出現頻度分析::RunAnalysis() {
    // The highest bar is the largest total of any digit, 0 included.
    const int m = m_in.stats.maxCount;
    SetupGrid(m);
    WriteHeader(m);
    FillGrid();
}

void 出現頻度分析::SetupGrid(int m) {
    const int last = m + 2;
    sheets::startSheet(m_sheet, {11, last}, {11, last}, ScrollBars::Both, {1, 2});

    m_sheet.setRowHeight(-1, 10);
    m_sheet.setRowHeight(1, 15);
    m_sheet.setRowHeight(2, 15);
    m_sheet.setColWidth(-1, 3);
    m_sheet.setColWidth(1, 5);

    m_sheet.setBorder(CellRange::block(1, 1, 11, 1), BorderOutline, kBorderBlue);
    m_sheet.setBackColor(CellRange::block(1, 1, 11, 1), kLightYellow);
    m_sheet.setBorder(CellRange::block(1, 1, 1, last), BorderRight, kBorderBlue);

    m_sheet.setOverflow(true);
    m_sheet.setForeColor(CellRange::cell(5, 1), kRed);
    m_sheet.setText(5, 1, u"　　当 選 数 字"_s);
    m_sheet.setHAlign(CellRange::cell(5, 1), HAlign::Left);

    m_sheet.setForeColor(CellRange::block(1, 1, 1, last), kBlue);
    m_sheet.setBackColor(CellRange::block(1, 1, 1, last), kPaleCyan);

    m_sheet.setBorder(CellRange::rows(2, last), BorderAll, kBorderBlue);
    m_sheet.setForeColor(CellRange::block(2, 2, 11, 2), kRed);
    m_sheet.setBackColor(CellRange::block(2, 2, 11, 2), kLightYellow);
    if (sheets::rowsExist(3, last))
        m_sheet.setForeColor(CellRange::block(2, 3, 11, last), kMark);

    m_sheet.setActiveCell(0, 0);
}

void 出現頻度分析::WriteHeader(int m) {
    m_sheet.setText(1, 2, u"出現数"_s);
    for (int d = 0; d <= 9; ++d)
        m_sheet.setText(d + 2, 2, digitText(d));
    for (int n = 1; n <= m; ++n)
        m_sheet.setText(1, n + 2, QString::number(n));
}

void 出現頻度分析::FillGrid() {
    const Sheet::TextId mark = m_sheet.internText(u"●"_s);
    std::array<int, 11> counts{};
    for (const DrawRow& row : m_in.history.rows()) {
        if (!row.valid())
            continue;
        for (int k = 0; k < 3; ++k) {
            const int d = row.digit(k);
            // The c-th earlier appearance puts this one on level c + 1.
            m_sheet.setTextId(d + 2, counts[std::size_t(d)] + 3, mark);
            ++counts[std::size_t(d)];
        }
    }
}

void builders::appearanceFrequency(const AnalysisInput& in, Sheet& sheet) {
    出現頻度分析(in, sheet).RunAnalysis();
}

} // namespace peridon
