#include "core/analysis/Builders.h"
#include "core/analysis/Colours.h"
#include "core/analysis/SheetSupport.h"

#include <array>

using namespace Qt::StringLiterals;

namespace peridon {

using namespace colours;

namespace {

// 出現回数分析: every draw with its three digits and, for each digit, how many
// times it had been drawn (in any position) in all earlier draws.
class 出現回数分析 final {
public:
    出現回数分析(const AnalysisInput& in, Sheet& sheet) : m_in(in), m_sheet(sheet) {}

    void RunAnalysis();

private:
    void SetupGrid();

    // Title row r and label row r + 1.
    void WriteHeader(int r);
    void FillGrid();

    const AnalysisInput& m_in;
    Sheet& m_sheet;
};

} // namespace

void 出現回数分析::RunAnalysis() {
    SetupGrid();
    WriteHeader(1);
    FillGrid();
}

void 出現回数分析::SetupGrid() {
    const int last = m_in.stats.lastDrawNo + 2;
    sheets::startSheet(m_sheet, {7, last}, {7, 52}, ScrollBars::Vertical, {0, 2});

    m_sheet.setRowHeight(-1, 10);
    m_sheet.setRowHeight(1, 15);
    m_sheet.setRowHeight(2, 12);
    m_sheet.setColWidth(-1, 6);

    m_sheet.setForeColor(CellRange::column(1), kRed);
    m_sheet.setBackColor(CellRange::column(1), kLightYellow);
    m_sheet.setBorder(CellRange::columns(1, 7), BorderAll);

    m_sheet.setActiveCell(0, 0);
}

void 出現回数分析::WriteHeader(int r) {
    m_sheet.setForeColor(CellRange::block(2, r, 4, r + 1), kBlue);
    m_sheet.setBackColor(CellRange::block(2, r, 4, r + 1), kLightCyan);
    m_sheet.setForeColor(CellRange::block(5, r, 7, r + 1), kRed);
    m_sheet.setBackColor(CellRange::block(5, r, 7, r + 1), kLightGreen);
    m_sheet.setRowHeight(r, 20);

    // The title row reads as two boxes.
    m_sheet.setBorder(CellRange::block(2, r, 4, r), BorderNone);
    m_sheet.setBorder(CellRange::cell(4, r), BorderRight);
    m_sheet.setBorder(CellRange::block(5, r, 7, r), BorderNone);
    m_sheet.setBorder(CellRange::cell(7, r), BorderRight);

    m_sheet.setOverflow(true);
    m_sheet.setHAlign(CellRange::cell(2, r), HAlign::Left);
    m_sheet.setText(2, r, u"           当 選 数 字"_s);
    m_sheet.setText(6, r, u"　　出現回数合計(回)"_s);
    m_sheet.setHAlign(CellRange::cell(6, r), HAlign::Center);
    // Each box is one cell, its title centred over the box's columns: the
    // padding spaces alone would leave it off centre in this font, and the
    // grid line where the text ends would cut the box.
    m_sheet.joinCells(2, 4, r);
    m_sheet.joinCells(5, 7, r);

    const int l = r + 1;
    m_sheet.setText(1, l, u"回数"_s);
    const QString labels[3] = {u"第1数字"_s, u"第2数字"_s, u"第3数字"_s};
    for (int k = 0; k < 3; ++k) {
        m_sheet.setText(2 + k, l, labels[k]);
        m_sheet.setText(5 + k, l, labels[k]);
    }
}

void 出現回数分析::FillGrid() {
    sheets::NumberTexts numbers(m_sheet);
    std::array<int, 51> counts{};
    int row = 3;
    for (const DrawRow& draw : m_in.history.rows()) {
        if (!draw.valid())
            continue;
        numbers.write(1, row, draw.drawNo);
        for (int k = 0; k < 3; ++k) {
            const int d = draw.digit(k);
            numbers.write(2 + k, row, d);
            numbers.write(5 + k, row, counts[std::size_t(d)]);
        }
        for (int k = 0; k < 3; ++k)
            ++counts[std::size_t(draw.digit(k))];
        ++row;
    }
}

void builders::appearanceCount(const AnalysisInput& in, Sheet& sheet) {
    出現回数分析(in, sheet).RunAnalysis();
}

} // namespace peridon
