#include "core/analysis/Builders.h"
#include "core/analysis/Colours.h"
#include "core/analysis/SheetSupport.h"

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

using namespace colours;

// 回数別出現分析: the ten digits grouped by how often each has been drawn, one
// row per distinct total in ascending order. It reads only the start-up
// statistics, never the history.
class 回数別出現分析 final {
public:
    explicit 回数別出現分析(const AnalysisInput& in) : m_in(in) {}

    void RunAnalysis(Sheet& sheet) {
        m_sheet = &sheet;
        SetupGrid();
        WriteHeader();
        FillGrid();
    }

private:
    void SetupGrid() {
        Sheet& s = *m_sheet;
        // An empty history has no count rows at all; the header row still
        // shows, so the window never opens on a sheet without rows.
        const int rows = qMax(1, m_in.stats.countRows);
        sheets::startSheet(s, {2, rows}, {2, rows}, ScrollBars::Horizontal, {0, 0});

        s.setRowHeight(-1, 10);
        s.setColWidth(1, 5);
        s.setColWidth(2, 20);

        s.setBorder(-1, -1, -1, -1, BorderAll);

        if (sheets::rowsExist(2, rows))
            s.setBackColor(1, 2, 1, rows, kLightYellow);

        s.setActiveCell(0, 0);
    }

    void WriteHeader() {
        Sheet& s = *m_sheet;
        s.setText(1, 1, u"出 現"_s);
        s.setBackColor(1, 1, 1, 1, kPink);
        s.setText(2, 1, u"数 字"_s);
        s.setBackColor(2, 1, 2, 1, kPink);

        s.setOverflow(true);
        const int last = s.rows();
        if (sheets::rowsExist(2, last)) {
            s.setForeColor(2, 2, 2, last, kBlue);
            s.setHAlign(2, 2, 2, last, HAlign::Left);
        }
    }

    void FillGrid() {
        const std::vector<QString>& byCount = m_in.stats.digitsByCount;
        int row = 1;
        for (int c = 0; c <= m_in.stats.maxCount && c < int(byCount.size()); ++c) {
            const QString& digits = byCount[std::size_t(c)];
            if (digits.isEmpty())
                continue;
            ++row;
            m_sheet->setText(1, row, QString::number(c) + u'回');
            m_sheet->setText(2, row, digits);
        }
    }

    const AnalysisInput& m_in;
    Sheet* m_sheet = nullptr;
};

} // namespace

void builders::appearanceByCount(const AnalysisInput& in, Sheet& sheet) {
    回数別出現分析(in).RunAnalysis(sheet);
}

} // namespace peridon
