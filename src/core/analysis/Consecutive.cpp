#include "core/analysis/Consecutive.h"

#include "core/analysis/Builders.h"
#include "core/analysis/Colours.h"
#include "core/analysis/SheetSupport.h"

using namespace Qt::StringLiterals;

namespace peridon {

using namespace colours;

namespace {
constexpr int kSteppingStoneOffset = 4; // the right block starts at column 5
constexpr Rgb kConsecutiveTitle = rgb(255, 200, 255);
constexpr Rgb kNoPair = rgb(225, 225, 225);

// Only plain differences count: 9 and 0 are not neighbours.
bool differBy(int a, int b, int step) {
    return a == b + step || a + step == b;
}
} // namespace

void 連番飛び石分析::RunAnalysis(Sheet& sheet) {
    const int lastRow = m_in.stats.lastDrawNo + 1;
    SetupGrid(sheet, lastRow);
    WriteHeader(sheet, 1);
    FillGrid(sheet);
}

void 連番飛び石分析::SetupGrid(Sheet& sheet, int lastRow) {
    sheets::startSheet(sheet, {8, lastRow}, {8, 51}, ScrollBars::Vertical, {0, 1});
    sheet.setRowHeight(-1, 10);
    sheet.setColWidth(-1, 5);
    sheet.setColWidth(1, 6);
    sheet.setColWidth(5, 6);
    // The blocks reach one row past the sheet; the sheet cuts them off.
    for (int col : {1, 1 + kSteppingStoneOffset}) {
        sheet.setForeColor(col, 1, col, lastRow + 1, kRed);
        sheet.setBackColor(col, 1, col, lastRow + 1, kLightYellow);
    }
    sheet.setBorder(1, 1, 8, lastRow + 1, BorderAll);
    sheet.setActiveCell(0, 0);
}

void 連番飛び石分析::WriteHeader(Sheet& sheet, int row) {
    sheet.setBorder(2, row, 4, row, BorderNone);
    sheet.setBorder(2, row, 4, row, BorderOutline);
    sheet.setBorder(6, row, 8, row, BorderNone);
    sheet.setBorder(6, row, 8, row, BorderOutline);
    sheet.setBackColor(2, row, 4, row, kConsecutiveTitle);
    sheet.setBackColor(6, row, 8, row, kPink);
    sheet.setText(1, row, u"回数"_s);
    sheet.setOverflow(true);
    sheet.setText(2, row, u"     連番(当選数字)"_s);
    sheet.setHAlign(2, row, 2, row, HAlign::Left);
    sheet.setText(5, row, u"回数"_s);
    sheet.setText(6, row, u"    飛び石(当選数字)"_s);
    sheet.setHAlign(6, row, 6, row, HAlign::Left);
}

void 連番飛び石分析::FillGrid(Sheet& sheet) {
    const auto digits = sheets::digitIds(sheet);
    int row = 2;
    for (const DrawRow& draw : m_in.history.rows()) {
        if (!draw.valid())
            continue;
        const int d1 = draw.digit(0);
        const int d2 = draw.digit(1);
        const int d3 = draw.digit(2);
        const Sheet::TextId drawNo = sheet.internText(QString::number(draw.drawNo));
        const struct {
            PairKind kind;
            int col;
            int step;
        } blocks[] = {{PairKind::Consecutive, 1, 1},
                      {PairKind::SteppingStone, 1 + kSteppingStoneOffset, 2}};
        for (const auto& block : blocks) {
            sheet.setTextId(block.col, row, drawNo);
            sheet.setTextId(block.col + 1, row, digits[std::size_t(d1)]);
            sheet.setTextId(block.col + 2, row, digits[std::size_t(d2)]);
            sheet.setTextId(block.col + 3, row, digits[std::size_t(d3)]);
            int pairs = 0;
            if (differBy(d1, d2, block.step)) {
                ++pairs;
                MarkPair(sheet, block.kind, block.col + 1, row);
            }
            if (differBy(d2, d3, block.step)) {
                ++pairs;
                MarkPair(sheet, block.kind, block.col + 2, row);
            }
            MarkNoPair(sheet, pairs, block.col, row);
        }
        ++row;
    }
}

void 連番飛び石分析::MarkPair(Sheet& sheet, PairKind kind, int col, int row) {
    sheet.setBackColor(col, row, col + 1, row,
                       kind == PairKind::Consecutive ? kLightCyan : kLightGreen);
}

void 連番飛び石分析::MarkNoPair(Sheet& sheet, int count, int col, int row) {
    if (count == 0)
        sheet.setBackColor(col, row, col, row, kNoPair);
}

void builders::consecutive(const AnalysisInput& in, Sheet& sheet) {
    連番飛び石分析(in).RunAnalysis(sheet);
}

} // namespace peridon
