#include "core/analysis/Builders.h"
#include "core/analysis/Colours.h"
#include "core/analysis/SheetSupport.h"

using namespace Qt::StringLiterals;

namespace peridon {

using namespace colours;

namespace {

// バラツキ分析: one row per draw, one column per digit value, a mark in the
// column of each digit the draw contains; read down a column it shows how
// often and how regularly a value comes up.
class バラツキ分析 final {
public:
    バラツキ分析(const AnalysisInput& in, Sheet& sheet) : m_in(in), m_sheet(sheet) {}

    void RunAnalysis();

private:
    void SetupGrid();

    // The label row above the first draw and again below the last one.
    void WriteHeader();
    void FillGrid();

    const AnalysisInput& m_in;
    Sheet& m_sheet;
};

} // namespace

void バラツキ分析::RunAnalysis() {
    SetupGrid();
    WriteHeader();
    FillGrid();
}

void バラツキ分析::SetupGrid() {
    const int last = m_in.stats.lastDrawNo + 3;
    sheets::startSheet(m_sheet, {12, last}, {12, 52}, ScrollBars::Vertical, {0, 2});

    m_sheet.setRowHeight(-1, 10);
    m_sheet.setRowHeight(1, 15);
    m_sheet.setRowHeight(2, 15);
    m_sheet.setColWidth(-1, 2);
    m_sheet.setColWidth(1, 5);
    m_sheet.setColWidth(12, 5);

    m_sheet.setBorder(CellRange::block(2, 1, 11, 1), BorderOutline, kBorderBlue);
    m_sheet.setBorder(CellRange::cell(1, 1), BorderRight, kBorderBlue);

    m_sheet.setOverflow(true);
    m_sheet.setForeColor(CellRange::cell(6, 1), kBlue);
    m_sheet.setText(6, 1, u"    当  選  数　字"_s);
    m_sheet.setHAlign(CellRange::cell(6, 1), HAlign::Center);

    m_sheet.setBackColor(CellRange::block(2, 1, 11, 1), kPaleCyan);
    for (int c : {1, 12}) {
        m_sheet.setForeColor(CellRange::column(c), kRed);
        m_sheet.setBackColor(CellRange::column(c), kLightYellow);
    }
    m_sheet.setBorder(CellRange::rows(2, last), BorderAll, kBorderBlue);

    m_sheet.setActiveCell(0, 0);
}

void バラツキ分析::WriteHeader() {
    for (int row : {2, m_in.stats.lastDrawNo + 3}) {
        m_sheet.setCellType(CellRange::cell(1, row), CellType::StaticText);
        m_sheet.setHAlign(CellRange::cell(1, row), HAlign::Center);
        m_sheet.setText(1, row, u"回"_s);
        for (int v = 0; v <= 9; ++v)
            m_sheet.setText(v + 2, row, digitText(v));
        m_sheet.setText(12, row, u"回"_s);
        m_sheet.setForeColor(CellRange::block(2, row, 11, row), kBlue);
        m_sheet.setCellType(CellRange::block(2, row, 11, row), CellType::StaticText);
        m_sheet.setHAlign(CellRange::block(2, row, 11, row), HAlign::Center);
        m_sheet.setBackColor(CellRange::block(2, row, 11, row), kPaleCyan);
    }
}

void バラツキ分析::FillGrid() {
    const Sheet::TextId mark = m_sheet.internText(u"●"_s);
    sheets::NumberTexts numbers(m_sheet);
    int row = 3;
    for (const DrawRow& draw : m_in.history.rows()) {
        if (!draw.valid())
            continue;
        numbers.write(1, row, draw.drawNo);
        numbers.write(12, row, draw.drawNo);
        for (int k = 0; k < 3; ++k)
            m_sheet.setTextId(draw.digit(k) + 2, row, mark);
        for (int k = 0; k < 3; ++k) {
            const int c = draw.digit(k) + 2;
            m_sheet.setForeColor(CellRange::cell(c, row), kMark);
        }
        ++row;
    }
}

void builders::dispersion(const AnalysisInput& in, Sheet& sheet) {
    バラツキ分析(in, sheet).RunAnalysis();
}

} // namespace peridon
