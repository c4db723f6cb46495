#include "core/analysis/FiveSplitTendency.h"

#include "core/analysis/Builders.h"
#include "core/analysis/Colours.h"
#include "core/analysis/SheetSupport.h"

using namespace Qt::StringLiterals;

namespace peridon {

using namespace colours;

namespace {
constexpr int kCols = 9;
constexpr int kFirstGroupCol = 5;
constexpr std::array<Rgb, 5> kGroupColours{kWhite, kLightCyan, kLightGreen, kLightYellow,
                                           rgb(255, 200, 255)};
constexpr std::array<const char16_t*, 5> kGroupTexts{u"0～1", u"2～3", u"4～5", u"6～7", u"8～9"};
constexpr Rgb kGroupHeaderBack = rgb(200, 200, 255);
} // namespace

int 分割5傾向分析::groupOf(int digit) {
    if (digit >= 0 && digit <= 1)
        return 0;
    if (digit >= 2 && digit <= 3)
        return 1;
    if (digit >= 4 && digit <= 5)
        return 2;
    if (digit >= 6 && digit <= 7)
        return 3;
    return 4;
}

void 分割5傾向分析::RunAnalysis(Sheet& sheet) {
    const int lastRow = m_in.stats.lastDrawNo + 2;
    SetupGrid(sheet, lastRow);
    WriteHeader(sheet, 1);
    WriteHeader(sheet, lastRow);
    FillGrid(sheet);
}

void 分割5傾向分析::SetupGrid(Sheet& sheet, int lastRow) {
    sheets::startSheet(sheet, {kCols, lastRow}, {kCols, 51}, ScrollBars::Vertical, {0, 1});
    sheet.setRowHeight(-1, 10);
    sheet.setRowHeight(1, 20);
    sheet.setRowHeight(lastRow, 20);
    sheet.setColWidth(-1, 5);
    sheet.setColWidth(1, 6);
    sheet.setForeColor(1, 2, 1, lastRow, kRed);
    sheet.setBackColor(1, 2, 1, lastRow, kLightYellow);
    for (int g = 0; g < 5; ++g) {
        const int col = kFirstGroupCol + g;
        sheet.setBackColor(col, 2, col, lastRow, kGroupColours[std::size_t(g)]);
    }
    sheet.setBorder(1, 1, kCols, lastRow, BorderAll);
    // A red line between the digits and the group counts.
    sheet.setBorder(kFirstGroupCol, 1, kFirstGroupCol, lastRow, BorderLeft, kRed);
    sheet.setActiveCell(0, 0);
}

void 分割5傾向分析::WriteHeader(Sheet& sheet, int row) {
    sheet.setBorder(2, row, 4, row, BorderNone);
    sheet.setBorder(2, row, 6, row, BorderBottom, kBlack);
    sheet.setForeColor(1, row, kCols, row, kBlack);
    sheet.setBackColor(1, row, kCols, row, kPink);
    sheet.setForeColor(kFirstGroupCol, row, kCols, row, kBlue);
    sheet.setBackColor(kFirstGroupCol, row, kCols, row, kGroupHeaderBack);
    sheet.setOverflow(true);
    sheet.setText(2, row, u"         当 選 数 字"_s);
    sheet.setHAlign(2, row, 2, row, HAlign::Left);
    sheet.setText(1, row, u"回数"_s);
    for (int g = 0; g < 5; ++g)
        sheet.setText(kFirstGroupCol + g, row, QString::fromUtf16(kGroupTexts[std::size_t(g)]));
    sheet.setRowHeight(row, 20);
}

void 分割5傾向分析::FillGrid(Sheet& sheet) {
    // Counts 0 to 3 are digit texts too.
    const auto digits = sheets::digitIds(sheet);
    int row = 2;
    for (const DrawRow& draw : m_in.history.rows()) {
        m_counts.fill(0);
        if (!draw.valid())
            continue;
        sheet.setText(1, row, QString::number(draw.drawNo));
        for (int k = 0; k < 3; ++k) {
            sheet.setTextId(2 + k, row, digits[std::size_t(draw.digit(k))]);
            ColourDigitCell(sheet, draw.digit(k), 2 + k, row);
        }
        for (int k = 0; k < 3; ++k)
            CountDigit(draw.digit(k));
        for (int g = 0; g < 5; ++g)
            sheet.setTextId(kFirstGroupCol + g, row, digits[std::size_t(m_counts[std::size_t(g)])]);
        ++row;
    }
}

void 分割5傾向分析::ColourDigitCell(Sheet& sheet, int digit, int col, int row) {
    sheet.setBackColor(col, row, col, row, kGroupColours[std::size_t(groupOf(digit))]);
}

void 分割5傾向分析::CountDigit(int digit) {
    ++m_counts[std::size_t(groupOf(digit))];
}

void builders::fiveSplitTendency(const AnalysisInput& in, Sheet& sheet) {
    分割5傾向分析(in).RunAnalysis(sheet);
}

} // namespace peridon
