#include "core/analysis/Builders.h"
#include "core/analysis/Colours.h"
#include "core/analysis/IntervalLayout.h"
#include "core/analysis/SheetSupport.h"

#include <array>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

// Background of a difference where the digit went down.
constexpr Rgb kFallPink = rgb(255, 200, 255);

// 数字間隔分析: every draw with its three digits and, beside each, the signed
// difference from the digit in the same position of the previous valid draw.
class 数字間隔分析 final : public IntervalLayout {
public:
    数字間隔分析(const AnalysisInput& in, Sheet& sheet)
        : IntervalLayout(in, sheet, u"　当 選 数 字"_s, u"差分"_s) {}

private:
    void FillGrid() override;
};

} // namespace

void 数字間隔分析::FillGrid() {
    std::array<int, 8> previous{}; // entries 1 to 3 used
    sheets::NumberTexts numbers(m_sheet);
    sheets::NumberTexts rises(m_sheet, u"+"_s);
    // The running row follows the history rows, valid or not.
    int row = 3;
    for (const DrawRow& draw : m_in.history.rows()) {
        if (draw.valid()) {
            numbers.write(1, row, draw.drawNo);
            for (int k = 1; k <= 3; ++k)
                numbers.write(2 * k, row, draw.digit(k - 1));
            // The first history row has nothing to compare with; from the
            // second on, a draw is compared with the last valid one (or
            // with zeros when none came before).
            if (row >= 4) {
                for (int k = 1; k <= 3; ++k) {
                    const int c = 2 * k + 1;
                    const int D = draw.digit(k - 1) - previous[std::size_t(k)];
                    if (D > 0) {
                        rises.write(c, row, D);
                    } else if (D < 0) {
                        m_sheet.setBackColor(CellRange::cell(c, row), kFallPink);
                        numbers.write(c, row, D);
                    } else {
                        numbers.write(c, row, 0);
                    }
                }
            }
            for (int k = 1; k <= 3; ++k)
                previous[std::size_t(k)] = draw.digit(k - 1);
        }
        ++row;
    }
}

void builders::numberInterval(const AnalysisInput& in, Sheet& sheet) {
    数字間隔分析(in, sheet).RunAnalysis();
}

} // namespace peridon
