#include "core/analysis/SplitData.h"

#include "core/analysis/Builders.h"
#include "core/analysis/Colours.h"
#include "core/analysis/SheetSupport.h"

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
} // namespace

const SplitTable 分割3データ分析::kTable{3,
                                         {{
                                             {0, 2, u"　　 Ａ ", kLightCyan},
                                             {3, 5, u"　　 Ｂ ", kWhite},
                                             {6, 9, u"　　　 Ｃ 　　", kLightGreen},
                                         }},
                                         1};

const SplitTable 分割5データ分析::kTable{5,
                                         {{
                                             {0, 1, u"　Ａ ", kLightCyan},
                                             {2, 3, u"　Ｂ ", kWhite},
                                             {4, 5, u"　Ｃ ", kLightGreen},
                                             {6, 7, u"　Ｄ ", kWhite},
                                             {8, 9, u"　Ｅ ", kMagenta},
                                         }},
                                         1};

const SplitTable 分割10データ分析::kTable{10,
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

void SplitDataAnalysis::RunAnalysis(Sheet& sheet) {
    const int lastRow = m_in.stats.lastDrawNo + kHeaderRows;
    SetupGrid(sheet, lastRow);
    WriteHeader(sheet);
    FillGrid(sheet);
}

void SplitDataAnalysis::SetupGrid(Sheet& sheet, int lastRow) {
    sheets::startSheet(sheet, {kCols, lastRow}, {kCols, 53}, ScrollBars::Both, {0, kHeaderRows});
    sheet.setHAlign(2, 1, kCols - 1, 2, HAlign::Left);
    sheet.setOverflow(true);
    sheet.setRowHeight(-1, 9);
    sheet.setRowHeight(1, 15);
    sheet.setRowHeight(2, 12);
    sheet.setColWidth(-1, 2);
    sheet.setColWidth(1, 6);
    sheet.setColWidth(kLastDrawCol, 6);
    sheet.setBorder(1, 3, kCols, lastRow, BorderAll, kBorderBlue);
    for (int col : {1, kLastDrawCol}) {
        sheet.setForeColor(col, 1, col, lastRow, kRed);
        sheet.setBackColor(col, 1, col, lastRow, kLightYellow);
    }
    for (int block = 0; block < 3; ++block) {
        for (int g = 0; g < m_table.groupCount; ++g) {
            const SplitGroup& group = m_table.groups[std::size_t(g)];
            if (group.band != kWhite)
                sheet.setBackColor(digitCol(block, group.firstDigit), 2,
                                   digitCol(block, group.lastDigit), lastRow, group.band);
        }
    }
    sheet.setBackColor(2, 1, kCols - 1, 1, kPink);
    static const QString titles[3] = {
        u"　　　　当選数字(第1数字)　　　　"_s,
        u"　　　　当選数字(第2数字)　　　　"_s,
        u"　　　　当選数字(第3数字)　　　　"_s,
    };
    for (int block = 0; block < 3; ++block) {
        sheet.setText(digitCol(block, 0), 1, titles[block]);
        sheet.setBorder(digitCol(block, 0), 1, digitCol(block, 9), 1, BorderOutline, kBorderBlue);
    }
    sheet.setActiveCell(0, 0);
}

void SplitDataAnalysis::WriteHeader(Sheet& sheet) {
    for (int block = 0; block < 3; ++block) {
        for (int g = 0; g < m_table.groupCount; ++g) {
            const SplitGroup& group = m_table.groups[std::size_t(g)];
            const int first = digitCol(block, group.firstDigit);
            sheet.setText(first, 2, QString::fromUtf16(group.letter));
            sheet.setBorder(first, 2, digitCol(block, group.lastDigit), 2, BorderOutline,
                            kBorderBlue);
        }
        for (int d = 0; d < 10; ++d)
            sheet.setText(digitCol(block, d), 3, sheets::digitText(d));
    }
    sheet.setText(1, 3, u"回数"_s);
    sheet.setText(kLastDrawCol, 3, u"回数"_s);
    sheet.setForeColor(2, 3, digitCol(m_table.blueDigitBlocks - 1, 9), 3, kBlue);
}

void SplitDataAnalysis::FillGrid(Sheet& sheet) {
    const Sheet::TextId mark = sheet.internText(u"●"_s);
    int row = kHeaderRows + 1;
    for (const DrawRow& draw : m_in.history.rows()) {
        if (!draw.valid())
            continue;
        const Sheet::TextId drawNo = sheet.internText(QString::number(draw.drawNo));
        sheet.setTextId(1, row, drawNo);
        sheet.setTextId(kLastDrawCol, row, drawNo);
        for (int k = 0; k < 3; ++k)
            sheet.setTextId(digitCol(k, draw.digit(k)), row, mark);
        for (int k = 0; k < 3; ++k) {
            const int col = digitCol(k, draw.digit(k));
            sheet.setForeColor(col, row, col, row, kMark);
        }
        ++row;
    }
}

void builders::split3(const AnalysisInput& in, Sheet& sheet) {
    分割3データ分析(in).RunAnalysis(sheet);
}
void builders::split5(const AnalysisInput& in, Sheet& sheet) {
    分割5データ分析(in).RunAnalysis(sheet);
}
void builders::split10(const AnalysisInput& in, Sheet& sheet) {
    分割10データ分析(in).RunAnalysis(sheet);
}

} // namespace peridon
