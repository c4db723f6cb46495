#include "core/analysis/Builders.h"
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

// What sets the even/odd and the low/high pattern windows apart. Each digit
// falls in a first class (even, low) or a second one (odd, high); the two
// counts go into columns 5 and 6 and one of them picks the pattern letter.
struct ComboPatternKind {
    bool (*isFirstClass)(int digit);
    const char16_t* firstLabel;  // header of column 5
    const char16_t* secondLabel; // header of column 6
    bool letterByFirstClass;     // else the letter follows the second-class count
    Rgb firstClassDigitBack;     // background of a digit cell by its class
    Rgb secondClassDigitBack;
};

// Lists every valid draw with its digits, the counts of its two digit
// classes and a pattern letter A to D.
class ComboPatternAnalysis {
public:
    void RunAnalysis();

protected:
    ComboPatternAnalysis(const AnalysisInput& in, Sheet& sheet, const ComboPatternKind& kind)
        : m_in(in), m_sheet(sheet), m_kind(kind) {}
    ~ComboPatternAnalysis() = default;

private:
    void SetupGrid(int lastRow);
    void WriteHeader(int row);
    void FillGrid();
    void ColourDigitCell(int digit, int col, int row);
    void WritePatternCell(int count, int col, int row);

    const AnalysisInput& m_in;
    Sheet& m_sheet;
    const ComboPatternKind& m_kind;
    // The letters' texts in the sheet, interned once (0: not yet).
    std::array<Sheet::TextId, kLetters.size()> m_letterIds{};
};

// Even (0 included) and odd digits; the letter counts the odd ones.
class 偶数奇数の組合せパターン分析 final : public ComboPatternAnalysis {
public:
    偶数奇数の組合せパターン分析(const AnalysisInput& in, Sheet& sheet)
        : ComboPatternAnalysis(in, sheet, kKind) {}

private:
    static constexpr ComboPatternKind kKind{
        [](int digit) { return digit % 2 == 0; }, u"偶数", u"奇数", false, kLightCyan, kWhite};
};

// Low digits 0 to 3 and high digits 4 to 9 (4 counts as high although the
// window's description says ０～４); the letter counts the low ones, and
// every digit cell gets the same colour.
class 低数字高数字の組合せパターン分析 final : public ComboPatternAnalysis {
public:
    低数字高数字の組合せパターン分析(const AnalysisInput& in, Sheet& sheet)
        : ComboPatternAnalysis(in, sheet, kKind) {}

private:
    static constexpr ComboPatternKind kKind{
        [](int digit) { return digit <= 3; }, u"低数字", u"高数字", true, kLightCyan, kLightCyan};
};

} // namespace

void ComboPatternAnalysis::RunAnalysis() {
    const int lastRow = m_in.stats.lastDrawNo + 1;
    SetupGrid(lastRow);
    WriteHeader(1);
    FillGrid();
}

void ComboPatternAnalysis::SetupGrid(int lastRow) {
    sheets::startSheet(m_sheet, {7, lastRow}, {7, 51}, ScrollBars::Vertical, {0, 1});
    m_sheet.setRowHeight(-1, 10);
    m_sheet.setRowHeight(1, 20);
    m_sheet.setColWidth(-1, 5);
    m_sheet.setColWidth(1, 6);
    m_sheet.setColWidth(kPatternCol, 7);
    m_sheet.setForeColor(CellRange::block(1, 2, 1, lastRow), kRed);
    m_sheet.setBackColor(CellRange::block(1, 2, 1, lastRow), kLightYellow);
    m_sheet.setForeColor(CellRange::block(kCountCol, 2, kCountCol, lastRow), kBlue);
    m_sheet.setBackColor(CellRange::block(kCountCol, 2, kCountCol, lastRow), kLightCyan);
    m_sheet.setForeColor(CellRange::block(kCountCol + 1, 2, kCountCol + 1, lastRow), kBlue);
    m_sheet.setBackColor(CellRange::block(kCountCol + 1, 2, kCountCol + 1, lastRow), kWhite);
    m_sheet.setBorder(CellRange::block(1, 1, 7, lastRow), BorderAll);
    m_sheet.setActiveCell(0, 0);
}

void ComboPatternAnalysis::WriteHeader(int row) {
    sheets::titleBox(m_sheet, {2, 4}, row, 2, u"        当 選 数 字 "_s);
    m_sheet.setForeColor(CellRange::block(1, row, 7, row), kBlue);
    m_sheet.setBackColor(CellRange::block(1, row, 7, row), kPink);
    m_sheet.setRowHeight(row, 20);
    m_sheet.setText(1, row, u"回数"_s);
    m_sheet.setText(kCountCol, row, QString::fromUtf16(m_kind.firstLabel));
    m_sheet.setText(kCountCol + 1, row, QString::fromUtf16(m_kind.secondLabel));
    m_sheet.setText(kPatternCol, row, u"パターン"_s);
}

void ComboPatternAnalysis::FillGrid() {
    // Counts 0 to 3 are digit texts too.
    const auto digits = sheets::digitIds(m_sheet);
    // Where both classes share a colour, the digit cells are coloured as
    // one block after the rows are written instead of cell by cell.
    const bool oneColour = m_kind.firstClassDigitBack == m_kind.secondClassDigitBack;
    int row = 2;
    for (const DrawRow& draw : m_in.history.rows()) {
        if (!draw.valid())
            continue;
        m_sheet.setTextId(1, row, m_sheet.numberText(draw.drawNo));
        int first = 0;
        for (int k = 0; k < 3; ++k) {
            const int digit = draw.digit(k);
            m_sheet.setTextId(2 + k, row, digits[std::size_t(digit)]);
            if (!oneColour)
                ColourDigitCell(digit, 2 + k, row);
            if (m_kind.isFirstClass(digit))
                ++first;
        }
        const int second = 3 - first;
        m_sheet.setTextId(kCountCol, row, digits[std::size_t(first)]);
        m_sheet.setTextId(kCountCol + 1, row, digits[std::size_t(second)]);
        WritePatternCell(m_kind.letterByFirstClass ? first : second, kPatternCol, row);
        ++row;
    }
    if (oneColour && row > 2)
        m_sheet.setBackColor(CellRange::block(2, 2, 4, row - 1), m_kind.firstClassDigitBack);
}

void ComboPatternAnalysis::ColourDigitCell(int digit, int col, int row) {
    const Rgb back =
        m_kind.isFirstClass(digit) ? m_kind.firstClassDigitBack : m_kind.secondClassDigitBack;
    m_sheet.setBackColor(CellRange::cell(col, row), back);
}

void ComboPatternAnalysis::WritePatternCell(int count, int col, int row) {
    if (count < 0 || count >= int(kLetters.size()))
        return;
    const PatternLetter& letter = kLetters[std::size_t(count)];
    if (letter.hasBack)
        m_sheet.setBackColor(CellRange::cell(col, row), letter.back);
    Sheet::TextId& id = m_letterIds[std::size_t(count)];
    if (id == 0)
        id = m_sheet.internText(QString::fromUtf16(letter.text));
    m_sheet.setTextId(col, row, id);
}

void builders::evenOddPattern(const AnalysisInput& in, Sheet& sheet) {
    偶数奇数の組合せパターン分析(in, sheet).RunAnalysis();
}

void builders::lowHighPattern(const AnalysisInput& in, Sheet& sheet) {
    低数字高数字の組合せパターン分析(in, sheet).RunAnalysis();
}

} // namespace peridon
