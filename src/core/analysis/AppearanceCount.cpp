#include "core/analysis/Builders.h"
#include "core/analysis/Colours.h"
#include "core/analysis/SheetSupport.h"

#include <array>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

using namespace colours;

// 出現回数分析: every draw with its three digits and, for each digit, how many
// times it had been drawn (in any position) in all earlier draws.
class 出現回数分析 final {
public:
    explicit 出現回数分析(const AnalysisInput& in) : m_in(in) {}

    void RunAnalysis(Sheet& sheet) {
        m_sheet = &sheet;
        SetupGrid();
        WriteHeader(1);
        FillGrid();
    }

private:
    void SetupGrid() {
        Sheet& s = *m_sheet;
        const int last = m_in.stats.lastDrawNo + 2;
        sheets::startSheet(s, {7, last}, {7, 52}, ScrollBars::Vertical, {0, 2});

        s.setRowHeight(-1, 10);
        s.setRowHeight(1, 15);
        s.setRowHeight(2, 12);
        s.setColWidth(-1, 6);

        s.setForeColor(1, -1, 1, -1, kRed);
        s.setBackColor(1, -1, 1, -1, kLightYellow);
        s.setBorder(1, -1, 7, -1, BorderAll);

        s.setActiveCell(0, 0);
    }

    // Title row r and label row r + 1.
    void WriteHeader(int r) {
        Sheet& s = *m_sheet;
        s.setForeColor(2, r, 4, r + 1, kBlue);
        s.setBackColor(2, r, 4, r + 1, kLightCyan);
        s.setForeColor(5, r, 7, r + 1, kRed);
        s.setBackColor(5, r, 7, r + 1, kLightGreen);
        s.setRowHeight(r, 20);

        // The title row reads as two boxes.
        s.setBorder(2, r, 4, r, BorderNone);
        s.setBorder(4, r, 4, r, BorderRight);
        s.setBorder(5, r, 7, r, BorderNone);
        s.setBorder(7, r, 7, r, BorderRight);

        s.setOverflow(true);
        s.setHAlign(2, r, 2, r, HAlign::Left);
        s.setText(2, r, u"           当 選 数 字"_s);
        s.setText(6, r, u"　　出現回数合計(回)"_s);
        s.setHAlign(6, r, 6, r, HAlign::Center);

        const int l = r + 1;
        s.setText(1, l, u"回数"_s);
        const QString labels[3] = {u"第1数字"_s, u"第2数字"_s, u"第3数字"_s};
        for (int k = 0; k < 3; ++k) {
            s.setText(2 + k, l, labels[k]);
            s.setText(5 + k, l, labels[k]);
        }
    }

    void FillGrid() {
        Sheet& s = *m_sheet;
        sheets::NumberTexts numbers(s);
        std::array<int, 51> counts{};
        int row = 3;
        for (const DrawRow& draw : m_in.history.rows()) {
            if (!draw.valid())
                continue;
            numbers.write(1, row, draw.drawNo);
            for (int k = 0; k < 3; ++k) {
                const int d = draw.digit(k);
                numbers.write(2 + k, row, d);
                numbers.write(5 + k, row, counts[std::size_t(d)]);
            }
            for (int k = 0; k < 3; ++k)
                ++counts[std::size_t(draw.digit(k))];
            ++row;
        }
    }

    const AnalysisInput& m_in;
    Sheet* m_sheet = nullptr;
};

} // namespace

void builders::appearanceCount(const AnalysisInput& in, Sheet& sheet) {
    出現回数分析(in).RunAnalysis(sheet);
}

} // namespace peridon
