#include "core/analysis/Builders.h"
#include "core/analysis/Colours.h"
#include "core/analysis/SheetSupport.h"

using namespace Qt::StringLiterals;

namespace peridon {

using namespace colours;

namespace {

// 数字合計分析: every draw with its three digits and their sum (0 to 27).
class 数字合計分析 final {
public:
    数字合計分析(const AnalysisInput& in, Sheet& sheet) : m_in(in), m_sheet(sheet) {}

    void RunAnalysis();

private:
    void SetupGrid();
    void WriteHeader(int r);
    void FillGrid();

    const AnalysisInput& m_in;
    Sheet& m_sheet;
};

} // namespace

void 数字合計分析::RunAnalysis() {
    SetupGrid();
    WriteHeader(1);
    FillGrid();
}

void 数字合計分析::SetupGrid() {
    const int last = m_in.stats.lastDrawNo + 1;
    sheets::startSheet(m_sheet, {5, last}, {9, 51}, ScrollBars::Vertical, {0, 1});

    m_sheet.setRowHeight(-1, 10);
    m_sheet.setRowHeight(1, 20);
    m_sheet.setColWidth(-1, 5);
    m_sheet.setColWidth(1, 7);
    m_sheet.setColWidth(5, 7);

    if (sheets::rowsExist(2, last)) {
        m_sheet.setForeColor(CellRange::block(1, 2, 1, last), kRed);
        m_sheet.setBackColor(CellRange::block(1, 2, 1, last), kLightYellow);
        m_sheet.setForeColor(CellRange::block(5, 2, 5, last), kBlue);
        m_sheet.setBackColor(CellRange::block(5, 2, 5, last), kLightCyan);
    }
    m_sheet.setBorder(CellRange::columns(1, 5), BorderAll);
}

void 数字合計分析::WriteHeader(int r) {
    m_sheet.setBorder(CellRange::block(2, r, 4, r), BorderNone);
    m_sheet.setBorder(CellRange::block(2, r, 5, r), BorderOutline);
    m_sheet.setForeColor(CellRange::block(1, r, 5, r), colours::kBlack);
    m_sheet.setBackColor(CellRange::block(1, r, 5, r), kPink);

    m_sheet.setOverflow(true);
    m_sheet.setHAlign(CellRange::cell(2, r), HAlign::Left);
    m_sheet.setText(2, r, u"　      当 選 数 字"_s);

    m_sheet.setRowHeight(r, 20);
    m_sheet.setText(1, r, u"回数"_s);
    m_sheet.setText(5, r, u"合計"_s);
}

void 数字合計分析::FillGrid() {
    sheets::NumberTexts numbers(m_sheet);
    int row = 2;
    for (const DrawRow& draw : m_in.history.rows()) {
        if (!draw.valid())
            continue;
        numbers.write(1, row, draw.drawNo);
        int sum = 0;
        for (int k = 0; k < 3; ++k) {
            numbers.write(2 + k, row, draw.digit(k));
            sum += draw.digit(k);
        }
        numbers.write(5, row, sum);
        ++row;
    }
}

void builders::digitSum(const AnalysisInput& in, Sheet& sheet) {
    数字合計分析(in, sheet).RunAnalysis();
}

} // namespace peridon
