#include "core/analysis/IntervalLayout.h"

#include "core/analysis/Colours.h"
#include "core/analysis/SheetSupport.h"

using namespace Qt::StringLiterals;

namespace peridon {

using namespace colours;

void IntervalLayout::RunAnalysis() {
    const int lastDraw = m_in.stats.lastDrawNo;
    SetupGrid(2);
    WriteHeader(1, false);
    WriteHeader(lastDraw + 3, true);
    FillGrid();
}

void IntervalLayout::SetupGrid(int h) {
    const int last = m_in.stats.lastDrawNo + h + 2;
    sheets::startSheet(m_sheet, {7, last}, {7, 52}, ScrollBars::Vertical, {0, 2});

    m_sheet.setRowHeight(-1, 10);
    m_sheet.setRowHeight(1, 15);
    m_sheet.setRowHeight(2, 12);
    m_sheet.setColWidth(-1, 5);

    m_sheet.setForeColor(CellRange::column(1), kRed);
    m_sheet.setBackColor(CellRange::column(1), kLightYellow);
    for (int k = 1; k <= 3; ++k)
        m_sheet.setBackColor(CellRange::block(2 * k, 3, 2 * k, last), kLightCyan);
    m_sheet.setBorder(CellRange::block(1, 1, 7, last), BorderAll);

    m_sheet.setActiveCell(0, 0);
}

void IntervalLayout::WriteHeader(int r, bool bottom) {
    const int title = bottom ? r + 1 : r;
    const int labels = bottom ? r : r + 1;

    // The title row reads as one box.
    sheets::titleBox(m_sheet, {2, 7}, title, 4, m_title);

    m_sheet.setForeColor(CellRange::block(2, r, 7, r + 1), kBlack);
    m_sheet.setBackColor(CellRange::block(2, r, 7, r + 1), kPink);

    m_sheet.setText(1, labels, u"回数"_s);
    m_sheet.setText(2, labels, u"第1数字"_s);
    m_sheet.setText(4, labels, u"第2数字"_s);
    m_sheet.setText(6, labels, u"第3数字"_s);
    for (int c = 3; c <= 7; c += 2)
        m_sheet.setText(c, labels, m_resultLabel);
}

} // namespace peridon
