#include "core/analysis/Builders.h"
#include "core/analysis/Colours.h"
#include "core/analysis/SheetSupport.h"

using namespace Qt::StringLiterals;

namespace peridon {

using namespace colours;

namespace {

// 回数別出現分析: the ten digits grouped by how often each has been drawn, one
// row per distinct total in ascending order. It reads only the start-up
// statistics, never the history.
class 回数別出現分析 final {
public:
    回数別出現分析(const AnalysisInput& in, Sheet& sheet) : m_in(in), m_sheet(sheet) {}

    void RunAnalysis();

private:
    void SetupGrid();
    void WriteHeader();
    void FillGrid();

    const AnalysisInput& m_in;
    Sheet& m_sheet;
};

} // namespace

void 回数別出現分析::RunAnalysis() {
    SetupGrid();
    WriteHeader();
    FillGrid();
}

void 回数別出現分析::SetupGrid() {
    // An empty history has no count rows at all; the header row still
    // shows, so the window never opens on a sheet without rows.
    const int rows = qMax(1, m_in.stats.countRows);
    sheets::startSheet(m_sheet, {2, rows}, {2, rows}, ScrollBars::Horizontal, {0, 0});

    m_sheet.setRowHeight(-1, 10);
    m_sheet.setColWidth(1, 5);
    m_sheet.setColWidth(2, 20);

    m_sheet.setBorder(CellRange::all(), BorderAll);

    if (sheets::rowsExist(2, rows))
        m_sheet.setBackColor(CellRange::block(1, 2, 1, rows), kLightYellow);

    m_sheet.setActiveCell(0, 0);
}

void 回数別出現分析::WriteHeader() {
    m_sheet.setText(1, 1, u"出 現"_s);
    m_sheet.setBackColor(CellRange::cell(1, 1), kPink);
    m_sheet.setText(2, 1, u"数 字"_s);
    m_sheet.setBackColor(CellRange::cell(2, 1), kPink);

    m_sheet.setOverflow(true);
    const int last = m_sheet.rows();
    if (sheets::rowsExist(2, last)) {
        m_sheet.setForeColor(CellRange::block(2, 2, 2, last), kBlue);
        m_sheet.setHAlign(CellRange::block(2, 2, 2, last), HAlign::Left);
    }
}

void 回数別出現分析::FillGrid() {
    const std::vector<QString>& byCount = m_in.stats.digitsByCount;
    int row = 1;
    for (int c = 0; c <= m_in.stats.maxCount && c < int(byCount.size()); ++c) {
        const QString& digits = byCount[std::size_t(c)];
        if (digits.isEmpty())
            continue;
        ++row;
        m_sheet.setText(1, row, QString::number(c) + u'回');
        m_sheet.setText(2, row, digits);
    }
}

void builders::appearanceByCount(const AnalysisInput& in, Sheet& sheet) {
    回数別出現分析(in, sheet).RunAnalysis();
}

} // namespace peridon
