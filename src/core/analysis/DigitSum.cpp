#include "core/analysis/Builders.h"
#include "core/analysis/Colours.h"
#include "core/analysis/SheetSupport.h"

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

using namespace colours;

// 数字合計分析: every draw with its three digits and their sum (0 to 27).
class 数字合計分析 final {
public:
    explicit 数字合計分析(const AnalysisInput& in) : m_in(in) {}

    void RunAnalysis(Sheet& sheet) {
        m_sheet = &sheet;
        SetupGrid(0);
        WriteHeader(1);
        FillGrid();
    }

private:
    // headerRow: unused by this window; the driver it shares with the
    // pattern windows passes 0.
    void SetupGrid(int headerRow) {
        Q_UNUSED(headerRow);
        Sheet& s = *m_sheet;
        const int last = m_in.stats.lastDrawNo + 1;
        sheets::startSheet(s, {5, last}, {9, 51}, ScrollBars::Vertical, {0, 1});

        s.setRowHeight(-1, 10);
        s.setRowHeight(1, 20);
        s.setColWidth(-1, 5);
        s.setColWidth(1, 7);
        s.setColWidth(5, 7);

        if (sheets::rowsExist(2, last)) {
            s.setForeColor(1, 2, 1, last, kRed);
            s.setBackColor(1, 2, 1, last, kLightYellow);
            s.setForeColor(5, 2, 5, last, kBlue);
            s.setBackColor(5, 2, 5, last, kLightCyan);
        }
        s.setBorder(1, -1, 5, -1, BorderAll);
    }

    void WriteHeader(int r) {
        Sheet& s = *m_sheet;
        s.setBorder(2, r, 4, r, BorderNone);
        s.setBorder(2, r, 5, r, BorderOutline);
        s.setForeColor(1, r, 5, r, colours::kBlack);
        s.setBackColor(1, r, 5, r, kPink);

        s.setOverflow(true);
        s.setHAlign(2, r, 2, r, HAlign::Left);
        s.setText(2, r, u"　      当 選 数 字"_s);

        s.setRowHeight(r, 20);
        s.setText(1, r, u"回数"_s);
        s.setText(5, r, u"合計"_s);
    }

    void FillGrid() {
        Sheet& s = *m_sheet;
        sheets::NumberTexts numbers(s);
        int row = 2;
        for (const DrawRow& draw : m_in.history.rows()) {
            if (!draw.valid())
                continue;
            numbers.write(1, row, draw.drawNo);
            int sum = 0;
            for (int k = 0; k < 3; ++k) {
                numbers.write(2 + k, row, draw.digit(k));
                sum += draw.digit(k);
            }
            numbers.write(5, row, sum);
            ++row;
        }
    }

    const AnalysisInput& m_in;
    Sheet* m_sheet = nullptr;
};

} // namespace

void builders::digitSum(const AnalysisInput& in, Sheet& sheet) {
    数字合計分析(in).RunAnalysis(sheet);
}

} // namespace peridon
