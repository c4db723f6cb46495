#include "core/analysis/IntervalLayout.h"

#include "core/analysis/Colours.h"
#include "core/analysis/SheetSupport.h"

using namespace Qt::StringLiterals;

namespace peridon {

using namespace colours;

void IntervalLayout::RunAnalysis(Sheet& sheet) {
    m_sheet = &sheet;
    const int lastDraw = m_in.stats.lastDrawNo;
    SetupGrid(2);
    WriteHeader(1, false);
    WriteHeader(lastDraw + 3, true);
    FillGrid();
}

void IntervalLayout::SetupGrid(int h) {
    Sheet& s = *m_sheet;
    const int last = m_in.stats.lastDrawNo + h + 2;
    sheets::startSheet(s, {7, last}, {7, 52}, ScrollBars::Vertical, {0, 2});

    s.setRowHeight(-1, 10);
    s.setRowHeight(1, 15);
    s.setRowHeight(2, 12);
    s.setColWidth(-1, 5);

    s.setForeColor(1, -1, 1, -1, kRed);
    s.setBackColor(1, -1, 1, -1, kLightYellow);
    for (int k = 1; k <= 3; ++k)
        s.setBackColor(2 * k, 3, 2 * k, last, kLightCyan);
    s.setBorder(1, 1, 7, last, BorderAll);

    s.setActiveCell(0, 0);
}

void IntervalLayout::WriteHeader(int r, bool bottom) {
    Sheet& s = *m_sheet;
    const int title = bottom ? r + 1 : r;
    const int labels = bottom ? r : r + 1;

    // The title row reads as one box.
    s.setBorder(2, title, 7, title, BorderNone);
    s.setBorder(2, title, 7, title, BorderOutline);

    s.setForeColor(2, r, 7, r + 1, colours::kBlack);
    s.setBackColor(2, r, 7, r + 1, kPink);

    s.setOverflow(true);
    s.setHAlign(4, title, 4, title, HAlign::Left);
    s.setText(4, title, m_title);

    s.setText(1, labels, u"回数"_s);
    s.setText(2, labels, u"第1数字"_s);
    s.setText(4, labels, u"第2数字"_s);
    s.setText(6, labels, u"第3数字"_s);
    for (int c = 3; c <= 7; c += 2)
        s.setText(c, labels, m_resultLabel);
}

} // namespace peridon
