#include "core/analysis/Builders.h"
#include "core/analysis/Colours.h"
#include "core/analysis/SheetSupport.h"

#include <array>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

using namespace colours;

// 出現頻度分析: a bar chart of how often each digit has been drawn, over all
// three positions: one column per digit, one row per count level, a mark in
// the cell of digit d and level n once d has appeared n times.
class 出現頻度分析 final {
public:
    explicit 出現頻度分析(const AnalysisInput& in) : m_in(in) {}

    void RunAnalysis(Sheet& sheet) {
        m_sheet = &sheet;
        headerRow = 2;
        // The highest bar is the largest total of any digit, 0 included.
        const int m = m_in.stats.maxCount;
        SetupGrid(m);
        WriteHeader(m);
        FillGrid();
    }

private:
    void SetupGrid(int m) {
        Sheet& s = *m_sheet;
        const int last = m + 2;
        sheets::startSheet(s, {11, last}, {11, last}, ScrollBars::Both, {1, 2});

        s.setRowHeight(-1, 10);
        s.setRowHeight(1, 15);
        s.setRowHeight(2, 15);
        s.setColWidth(-1, 3);
        s.setColWidth(1, 5);

        s.setBorder(1, 1, 11, 1, BorderOutline, kBorderBlue);
        s.setBackColor(1, 1, 11, 1, kLightYellow);
        s.setBorder(1, 1, 1, last, BorderRight, kBorderBlue);

        s.setOverflow(true);
        s.setForeColor(5, 1, 5, 1, kRed);
        s.setText(5, 1, u"　　当 選 数 字"_s);
        s.setHAlign(5, 1, 5, 1, HAlign::Left);

        s.setForeColor(1, 1, 1, last, kBlue);
        s.setBackColor(1, 1, 1, last, kPaleCyan);

        s.setBorder(-1, 2, -1, last, BorderAll, kBorderBlue);
        s.setForeColor(2, 2, 11, 2, kRed);
        s.setBackColor(2, 2, 11, 2, kLightYellow);
        if (sheets::rowsExist(3, last))
            s.setForeColor(2, 3, 11, last, kMark);

        s.setActiveCell(0, 0);
    }

    void WriteHeader(int m) {
        Sheet& s = *m_sheet;
        s.setText(1, headerRow, u"出現数"_s);
        for (int d = 0; d <= 9; ++d)
            s.setText(d + 2, headerRow, QString::number(d));
        for (int n = 1; n <= m; ++n)
            s.setText(1, n + 2, QString::number(n));
    }

    void FillGrid() {
        const Sheet::TextId mark = m_sheet->internText(u"●"_s);
        std::array<int, 11> counts{};
        for (const DrawRow& row : m_in.history.rows()) {
            if (!row.valid())
                continue;
            for (int k = 0; k < 3; ++k) {
                const int d = row.digit(k);
                // The c-th earlier appearance puts this one on level c + 1.
                m_sheet->setTextId(d + 2, counts[std::size_t(d)] + 3, mark);
                ++counts[std::size_t(d)];
            }
        }
    }

    const AnalysisInput& m_in;
    Sheet* m_sheet = nullptr;
    int headerRow = 2;
};

} // namespace

void builders::appearanceFrequency(const AnalysisInput& in, Sheet& sheet) {
    出現頻度分析(in).RunAnalysis(sheet);
}

} // namespace peridon
