#include "core/analysis/Builders.h"
#include "core/analysis/Colours.h"
#include "core/analysis/SheetSupport.h"

#include <array>

using namespace Qt::StringLiterals;

namespace peridon {

using namespace colours;

namespace {
constexpr int kCols = 32;
constexpr int kHeaderRows = 3;
constexpr int kLastDrawCol = 32;
constexpr Rgb kMagenta = rgb(255, 200, 255);
constexpr Rgb kLavender = rgb(200, 200, 255);

// The column of digit value d (0-9) in block k (0-2, one per digit position).
constexpr int digitCol(int block, int digit) {
    return 10 * block + digit + 2;
}

// One group of neighbouring digit values in a split window.
struct SplitGroup {
    int firstDigit;
    int lastDigit;
    const char16_t* letter; // header text over the group, with its spaces
    Rgb band;               // colour of the group's columns
};

// What sets the 3-, 5- and 10-group windows apart.
struct SplitTable {
    int groupCount;
    std::array<SplitGroup, 10> groups;
    int blueDigitBlocks; // how many blocks show their digit labels in blue
};

// Shows every valid draw as three marks on 0-to-9 scales, one scale per digit
// position, each scale divided into the lettered groups of a table.
class SplitDataAnalysis {
public:
    void RunAnalysis();

protected:
    SplitDataAnalysis(const AnalysisInput& in, Sheet& sheet, const SplitTable& table)
        : m_in(in), m_sheet(sheet), m_table(table) {}
    ~SplitDataAnalysis() = default;

private:
    void SetupGrid(int lastRow);
    void WriteHeader();
    void FillGrid();

    const AnalysisInput& m_in;
    Sheet& m_sheet;
    const SplitTable& m_table;
};

class 分割3データ分析 final : public SplitDataAnalysis {
public:
    分割3データ分析(const AnalysisInput& in, Sheet& sheet) : SplitDataAnalysis(in, sheet, kTable) {}

private:
    static constexpr SplitTable kTable{3,
                                       {{
                                           {0, 2, u"　　 Ａ ", kLightCyan},
                                           {3, 5, u"　　 Ｂ ", kWhite},
                                           {6, 9, u"　　　 Ｃ 　　", kLightGreen},
                                       }},
                                       1};
};

class 分割5データ分析 final : public SplitDataAnalysis {
public:
    分割5データ分析(const AnalysisInput& in, Sheet& sheet) : SplitDataAnalysis(in, sheet, kTable) {}

private:
    static constexpr SplitTable kTable{5,
                                       {{
                                           {0, 1, u"　Ａ ", kLightCyan},
                                           {2, 3, u"　Ｂ ", kWhite},
                                           {4, 5, u"　Ｃ ", kLightGreen},
                                           {6, 7, u"　Ｄ ", kWhite},
                                           {8, 9, u"　Ｅ ", kMagenta},
                                       }},
                                       1};
};

class 分割10データ分析 final : public SplitDataAnalysis {
public:
    分割10データ分析(const AnalysisInput& in, Sheet& sheet)
        : SplitDataAnalysis(in, sheet, kTable) {}

private:
    static constexpr SplitTable kTable{10,
                                       {{
                                           {0, 0, u"Ａ", kLightCyan},
                                           {1, 1, u"Ｂ", kLightGreen},
                                           {2, 2, u"Ｃ", kMagenta},
                                           {3, 3, u"Ｄ", kLavender},
                                           {4, 4, u"Ｅ", kWhite},
                                           {5, 5, u"Ｆ", kLightCyan},
                                           {6, 6, u"Ｇ", kLightGreen},
                                           {7, 7, u"Ｈ", kMagenta},
                                           {8, 8, u"Ｉ", kLavender},
                                           {9, 9, u"Ｊ", kWhite},
                                       }},
                                       3};
};

} // namespace

void SplitDataAnalysis::RunAnalysis() {
    const int lastRow = m_in.stats.lastDrawNo + kHeaderRows;
    SetupGrid(lastRow);
    WriteHeader();
    FillGrid();
}

void SplitDataAnalysis::SetupGrid(int lastRow) {
    sheets::startSheet(m_sheet, {kCols, lastRow}, {kCols, 53}, ScrollBars::Both, {0, kHeaderRows});
    m_sheet.setHAlign(CellRange::block(2, 1, kCols - 1, 2), HAlign::Left);
    m_sheet.setOverflow(true);
    m_sheet.setRowHeight(-1, 9);
    m_sheet.setRowHeight(1, 15);
    m_sheet.setRowHeight(2, 12);
    m_sheet.setColWidth(-1, 2);
    m_sheet.setColWidth(1, 6);
    m_sheet.setColWidth(kLastDrawCol, 6);
    m_sheet.setBorder(CellRange::block(1, 3, kCols, lastRow), BorderAll, kBorderBlue);
    for (int col : {1, kLastDrawCol}) {
        m_sheet.setForeColor(CellRange::block(col, 1, col, lastRow), kRed);
        m_sheet.setBackColor(CellRange::block(col, 1, col, lastRow), kLightYellow);
    }
    for (int block = 0; block < 3; ++block) {
        for (int g = 0; g < m_table.groupCount; ++g) {
            const SplitGroup& group = m_table.groups[std::size_t(g)];
            if (group.band != kWhite)
                m_sheet.setBackColor(CellRange::block(digitCol(block, group.firstDigit), 2,
                                                      digitCol(block, group.lastDigit), lastRow),
                                     group.band);
        }
    }
    m_sheet.setBackColor(CellRange::block(2, 1, kCols - 1, 1), kPink);
    static const QString titles[3] = {
        u"　　　　当選数字(第1数字)　　　　"_s,
        u"　　　　当選数字(第2数字)　　　　"_s,
        u"　　　　当選数字(第3数字)　　　　"_s,
    };
    for (int block = 0; block < 3; ++block) {
        m_sheet.setText(digitCol(block, 0), 1, titles[block]);
        m_sheet.setBorder(CellRange::block(digitCol(block, 0), 1, digitCol(block, 9), 1),
                          BorderOutline, kBorderBlue);
    }
    m_sheet.setActiveCell(0, 0);
}

void SplitDataAnalysis::WriteHeader() {
    for (int block = 0; block < 3; ++block) {
        for (int g = 0; g < m_table.groupCount; ++g) {
            const SplitGroup& group = m_table.groups[std::size_t(g)];
            const int first = digitCol(block, group.firstDigit);
            m_sheet.setText(first, 2, QString::fromUtf16(group.letter));
            m_sheet.setBorder(CellRange::block(first, 2, digitCol(block, group.lastDigit), 2),
                              BorderOutline, kBorderBlue);
        }
        for (int d = 0; d < 10; ++d)
            m_sheet.setText(digitCol(block, d), 3, digitText(d));
    }
    m_sheet.setText(1, 3, u"回数"_s);
    m_sheet.setText(kLastDrawCol, 3, u"回数"_s);
    m_sheet.setForeColor(CellRange::block(2, 3, digitCol(m_table.blueDigitBlocks - 1, 9), 3),
                         kBlue);
}

void SplitDataAnalysis::FillGrid() {
    const Sheet::TextId mark = m_sheet.internText(u"●"_s);
    int row = kHeaderRows + 1;
    for (const DrawRow& draw : m_in.history.rows()) {
        if (!draw.valid())
            continue;
        const Sheet::TextId drawNo = m_sheet.numberText(draw.drawNo);
        m_sheet.setTextId(1, row, drawNo);
        m_sheet.setTextId(kLastDrawCol, row, drawNo);
        for (int k = 0; k < 3; ++k)
            m_sheet.setTextId(digitCol(k, draw.digit(k)), row, mark);
        for (int k = 0; k < 3; ++k) {
            const int col = digitCol(k, draw.digit(k));
            m_sheet.setForeColor(CellRange::cell(col, row), kMark);
        }
        ++row;
    }
}

void builders::split3(const AnalysisInput& in, Sheet& sheet) {
    分割3データ分析(in, sheet).RunAnalysis();
}
void builders::split5(const AnalysisInput& in, Sheet& sheet) {
    分割5データ分析(in, sheet).RunAnalysis();
}
void builders::split10(const AnalysisInput& in, Sheet& sheet) {
    分割10データ分析(in, sheet).RunAnalysis();
}

} // namespace peridon
