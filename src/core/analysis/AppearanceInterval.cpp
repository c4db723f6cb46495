#include "core/analysis/Builders.h"
#include "core/analysis/IntervalLayout.h"
#include "core/analysis/SheetSupport.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

// 出現間隔分析: every draw with its three digits and, beside each digit, how
// many draws earlier that digit was last drawn in any position.
class 出現間隔分析 final : public IntervalLayout {
public:
    出現間隔分析(const AnalysisInput& in, Sheet& sheet)
        : IntervalLayout(in, sheet, u"　当 選 数 字     "_s, u"出現"_s) {}

private:
    void FillGrid() override;

    // N draws ago; 0 for a digit never drawn before.
    void WriteInterval(int N, int c, int r);

    Sheet::TextId m_first = 0;
    std::unique_ptr<sheets::NumberTexts> m_ago;
};

} // namespace

void 出現間隔分析::FillGrid() {
    m_first = m_sheet.internText(u"初回"_s);
    m_ago = std::make_unique<sheets::NumberTexts>(m_sheet, QString(), u"回前"_s);
    // The digits of each draw number read so far; -1 marks a number that
    // holds no draw (not read yet, skipped in the numbering, or not a
    // valid draw), which the backward search must never take for a 0.
    using Digits = std::array<std::int8_t, 3>;
    std::vector<Digits> store(std::size_t(kMaxDrawNo) + 1, Digits{-1, -1, -1});

    sheets::NumberTexts numbers(m_sheet);
    // The running row follows the history rows, valid or not.
    int row = 3;
    for (const DrawRow& draw : m_in.history.rows()) {
        if (draw.valid()) {
            const int n = draw.drawNo;
            numbers.write(1, row, n);
            for (int k = 0; k < 3; ++k)
                numbers.write(2 * k + 2, row, draw.digit(k));
            if (n >= 1 && n <= kMaxDrawNo)
                store[std::size_t(n)] = draw.digits;
            for (int k = 0; k < 3; ++k) {
                const int d = draw.digit(k);
                int found = 0;
                for (int i = qMin(n - 1, kMaxDrawNo); i >= 1; --i) {
                    const Digits& held = store[std::size_t(i)];
                    if (held[0] == d || held[1] == d || held[2] == d) {
                        found = i;
                        break;
                    }
                }
                WriteInterval(found > 0 ? n - found : 0, 2 * k + 3, row);
            }
        }
        ++row;
    }
}

void 出現間隔分析::WriteInterval(int N, int c, int r) {
    if (N == 0)
        m_sheet.setTextId(c, r, m_first);
    else if (N > 0)
        m_ago->write(c, r, N);
}

void builders::appearanceInterval(const AnalysisInput& in, Sheet& sheet) {
    出現間隔分析(in, sheet).RunAnalysis();
}

} // namespace peridon
