#include "core/analysis/ComboPattern.h"

#include "core/analysis/Colours.h"
#include "core/analysis/SheetSupport.h"

#include <array>

using namespace Qt::StringLiterals;

namespace peridon {

using namespace colours;

namespace {
constexpr int kCountCol = 5;
constexpr int kPatternCol = 7;

struct PatternLetter {
    const char16_t* text;
    bool hasBack; // "A" keeps the grid's default background
    Rgb back;
};
constexpr std::array<PatternLetter, 4> kLetters{{
    {u"A", false, kWhite},
    {u"B", true, kLightCyan},
    {u"C", true, kLightGreen},
    {u"D", true, kLightYellow},
}};
} // namespace

void ComboPatternAnalysis::RunAnalysis(Sheet& sheet) {
    const int lastRow = m_in.stats.lastDrawNo + 1;
    SetupGrid(sheet, lastRow);
    WriteHeader(sheet, 1);
    FillGrid(sheet);
}

void ComboPatternAnalysis::SetupGrid(Sheet& sheet, int lastRow) {
    sheets::startSheet(sheet, {7, lastRow}, {7, 51}, ScrollBars::Vertical, {0, 1});
    sheet.setRowHeight(-1, 10);
    sheet.setRowHeight(1, 20);
    sheet.setColWidth(-1, 5);
    sheet.setColWidth(1, 6);
    sheet.setColWidth(kPatternCol, 7);
    sheet.setForeColor(1, 2, 1, lastRow, kRed);
    sheet.setBackColor(1, 2, 1, lastRow, kLightYellow);
    sheet.setForeColor(kCountCol, 2, kCountCol, lastRow, kBlue);
    sheet.setBackColor(kCountCol, 2, kCountCol, lastRow, kLightCyan);
    sheet.setForeColor(kCountCol + 1, 2, kCountCol + 1, lastRow, kBlue);
    sheet.setBackColor(kCountCol + 1, 2, kCountCol + 1, lastRow, kWhite);
    sheet.setBorder(1, 1, 7, lastRow, BorderAll);
    sheet.setActiveCell(0, 0);
}

void ComboPatternAnalysis::WriteHeader(Sheet& sheet, int row) {
    sheet.setBorder(2, row, 4, row, BorderNone);
    sheet.setBorder(2, row, 4, row, BorderOutline);
    sheet.setForeColor(1, row, 7, row, kBlue);
    sheet.setBackColor(1, row, 7, row, kPink);
    sheet.setOverflow(true);
    sheet.setText(2, row, u"        当 選 数 字 "_s);
    sheet.setHAlign(2, row, 2, row, HAlign::Left);
    sheet.setRowHeight(row, 20);
    sheet.setText(1, row, u"回数"_s);
    sheet.setText(kCountCol, row, QString::fromUtf16(m_kind.firstLabel));
    sheet.setText(kCountCol + 1, row, QString::fromUtf16(m_kind.secondLabel));
    sheet.setText(kPatternCol, row, u"パターン"_s);
}

void ComboPatternAnalysis::FillGrid(Sheet& sheet) {
    // Counts 0 to 3 are digit texts too.
    const auto digits = sheets::digitIds(sheet);
    int row = 2;
    for (const DrawRow& draw : m_in.history.rows()) {
        if (!draw.valid())
            continue;
        sheet.setText(1, row, QString::number(draw.drawNo));
        int first = 0;
        for (int k = 0; k < 3; ++k) {
            const int digit = draw.digit(k);
            sheet.setTextId(2 + k, row, digits[std::size_t(digit)]);
            ColourDigitCell(sheet, digit, 2 + k, row);
            if (m_kind.isFirstClass(digit))
                ++first;
        }
        const int second = 3 - first;
        sheet.setTextId(kCountCol, row, digits[std::size_t(first)]);
        sheet.setTextId(kCountCol + 1, row, digits[std::size_t(second)]);
        WritePatternCell(sheet, m_kind.letterByFirstClass ? first : second, kPatternCol, row);
        ++row;
    }
}

void ComboPatternAnalysis::ColourDigitCell(Sheet& sheet, int digit, int col, int row) {
    const Rgb back =
        m_kind.isFirstClass(digit) ? m_kind.firstClassDigitBack : m_kind.secondClassDigitBack;
    sheet.setBackColor(col, row, col, row, back);
}

void ComboPatternAnalysis::WritePatternCell(Sheet& sheet, int count, int col, int row) {
    if (count < 0 || count >= int(kLetters.size()))
        return;
    const PatternLetter& letter = kLetters[std::size_t(count)];
    if (letter.hasBack)
        sheet.setBackColor(col, row, col, row, letter.back);
    sheet.setText(col, row, QString::fromUtf16(letter.text));
}

const ComboPatternKind 偶数奇数の組合せパターン分析::kKind{
    [](int digit) { return digit % 2 == 0; }, u"偶数", u"奇数", false, kLightCyan, kWhite};

const ComboPatternKind 低数字高数字の組合せパターン分析::kKind{
    [](int digit) { return digit <= 3; }, u"低数字", u"高数字", true, kLightCyan, kLightCyan};

} // namespace peridon
