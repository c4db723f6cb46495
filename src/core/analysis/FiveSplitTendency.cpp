#include "core/analysis/Builders.h"
#include "core/analysis/Colours.h"
#include "core/analysis/SheetSupport.h"

#include <array>
#include <cstdint>

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

// Group 0 to 4 of a digit value: 0-1, 2-3, 4-5, 6-7 and everything else.
int groupOf(int digit) {
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

// Lists every valid draw with its digits and how many of them fall in each
// of five groups of two digit values; digit cells and group columns share
// one colour per group. The header row is repeated below the last draw row.
class 分割5傾向分析 final {
public:
    分割5傾向分析(const AnalysisInput& in, Sheet& sheet) : m_in(in), m_sheet(sheet) {}
    void RunAnalysis();

private:
    void SetupGrid(int lastRow);
    void WriteHeader(int row);
    void FillGrid();
    void ColourDigitCell(int digit, int col, int row);
    void CountDigit(int digit);

    const AnalysisInput& m_in;
    Sheet& m_sheet;
    std::array<std::int16_t, 5> m_counts{};
};

} // namespace

void 分割5傾向分析::RunAnalysis() {
    const int lastRow = m_in.stats.lastDrawNo + 2;
    SetupGrid(lastRow);
    WriteHeader(1);
    WriteHeader(lastRow);
    FillGrid();
}

void 分割5傾向分析::SetupGrid(int lastRow) {
    sheets::startSheet(m_sheet, {kCols, lastRow}, {kCols, 51}, ScrollBars::Vertical, {0, 1});
    m_sheet.setRowHeight(-1, 10);
    m_sheet.setRowHeight(1, 20);
    m_sheet.setRowHeight(lastRow, 20);
    m_sheet.setColWidth(-1, 5);
    m_sheet.setColWidth(1, 6);
    m_sheet.setForeColor(CellRange::block(1, 2, 1, lastRow), kRed);
    m_sheet.setBackColor(CellRange::block(1, 2, 1, lastRow), kLightYellow);
    for (int g = 0; g < 5; ++g) {
        const int col = kFirstGroupCol + g;
        m_sheet.setBackColor(CellRange::block(col, 2, col, lastRow), kGroupColours[std::size_t(g)]);
    }
    m_sheet.setBorder(CellRange::block(1, 1, kCols, lastRow), BorderAll);
    // A red line between the digits and the group counts.
    m_sheet.setBorder(CellRange::block(kFirstGroupCol, 1, kFirstGroupCol, lastRow), BorderLeft,
                      kRed);
    m_sheet.setActiveCell(0, 0);
}

void 分割5傾向分析::WriteHeader(int row) {
    m_sheet.setBorder(CellRange::block(2, row, 4, row), BorderNone);
    m_sheet.setBorder(CellRange::block(2, row, 6, row), BorderBottom, kBlack);
    m_sheet.setForeColor(CellRange::block(1, row, kCols, row), kBlack);
    m_sheet.setBackColor(CellRange::block(1, row, kCols, row), kPink);
    m_sheet.setForeColor(CellRange::block(kFirstGroupCol, row, kCols, row), kBlue);
    m_sheet.setBackColor(CellRange::block(kFirstGroupCol, row, kCols, row), kGroupHeaderBack);
    m_sheet.setOverflow(true);
    m_sheet.setText(2, row, u"         当 選 数 字"_s);
    m_sheet.setHAlign(CellRange::cell(2, row), HAlign::Left);
    m_sheet.setText(1, row, u"回数"_s);
    for (int g = 0; g < 5; ++g)
        m_sheet.setText(kFirstGroupCol + g, row, QString::fromUtf16(kGroupTexts[std::size_t(g)]));
    m_sheet.setRowHeight(row, 20);
}

void 分割5傾向分析::FillGrid() {
    // Counts 0 to 3 are digit texts too.
    const auto digits = sheets::digitIds(m_sheet);
    int row = 2;
    for (const DrawRow& draw : m_in.history.rows()) {
        m_counts.fill(0);
        if (!draw.valid())
            continue;
        m_sheet.setTextId(1, row, m_sheet.numberText(draw.drawNo));
        for (int k = 0; k < 3; ++k) {
            m_sheet.setTextId(2 + k, row, digits[std::size_t(draw.digit(k))]);
            ColourDigitCell(draw.digit(k), 2 + k, row);
        }
        for (int k = 0; k < 3; ++k)
            CountDigit(draw.digit(k));
        for (int g = 0; g < 5; ++g)
            m_sheet.setTextId(kFirstGroupCol + g, row,
                              digits[std::size_t(m_counts[std::size_t(g)])]);
        ++row;
    }
}

void 分割5傾向分析::ColourDigitCell(int digit, int col, int row) {
    m_sheet.setBackColor(CellRange::cell(col, row), kGroupColours[std::size_t(groupOf(digit))]);
}

void 分割5傾向分析::CountDigit(int digit) {
    ++m_counts[std::size_t(groupOf(digit))];
}

void builders::fiveSplitTendency(const AnalysisInput& in, Sheet& sheet) {
    分割5傾向分析(in, sheet).RunAnalysis();
}

} // namespace peridon
