#include "core/analysis/Pull.h"

#include "core/analysis/Builders.h"
#include "core/analysis/Colours.h"
#include "core/analysis/SheetSupport.h"

using namespace Qt::StringLiterals;

namespace peridon {

using namespace colours;

void 引っ張り分析::RunAnalysis(Sheet& sheet) {
    const int lastRow = m_in.stats.lastDrawNo + 1;
    SetupGrid(sheet, lastRow);
    WriteHeader(sheet, 1);
    FillGrid(sheet);
}

void 引っ張り分析::SetupGrid(Sheet& sheet, int lastRow) {
    sheets::startSheet(sheet, {4, lastRow}, {4, 51}, ScrollBars::Vertical, {1, 1});
    sheet.setRowHeight(-1, 10);
    sheet.setRowHeight(1, 15);
    sheet.setColWidth(-1, 6);
    // The blocks reach one row past the sheet; the sheet cuts them off.
    sheet.setForeColor(1, 1, 1, lastRow + 1, kRed);
    sheet.setBackColor(1, 1, 1, lastRow + 1, kLightYellow);
    sheet.setBorder(1, 1, 4, lastRow + 1, BorderAll);
    sheet.setActiveCell(0, 0);
}

void 引っ張り分析::WriteHeader(Sheet& sheet, int row) {
    sheet.setRowHeight(row, 15);
    sheet.setBorder(2, row, 4, row, BorderNone);
    sheet.setBorder(2, row, 4, row, BorderBottom);
    sheet.setForeColor(1, row, 4, row, kBlack);
    sheet.setBackColor(1, row, 4, row, kPink);
    sheet.setText(1, row, u"回数"_s);
    sheet.setOverflow(true);
    sheet.setText(3, row, u"当 選 数 字"_s);
    sheet.setHAlign(3, row, 3, row, HAlign::Left);
}

void 引っ張り分析::FillGrid(Sheet& sheet) {
    int previous[3] = {0, 0, 0};
    const auto digits = sheets::digitIds(sheet);
    int row = 2;
    for (const DrawRow& draw : m_in.history.rows()) {
        if (!draw.valid())
            continue;
        sheet.setText(1, row, QString::number(draw.drawNo));
        for (int k = 0; k < 3; ++k)
            sheet.setTextId(2 + k, row, digits[std::size_t(draw.digit(k))]);
        for (int i = 0; i < 3; ++i) {
            for (int k = 0; k < 3; ++k) {
                if (draw.digit(k) == previous[i])
                    sheet.setBackColor(2 + k, row, 2 + k, row, kLightCyan);
            }
        }
        for (int k = 0; k < 3; ++k)
            previous[k] = draw.digit(k);
        ++row;
    }
}

void builders::pull(const AnalysisInput& in, Sheet& sheet) {
    引っ張り分析(in).RunAnalysis(sheet);
}

} // namespace peridon
