#include "core/analysis/Builders.h"
#include "core/analysis/Colours.h"
#include "core/analysis/SheetSupport.h"

using namespace Qt::StringLiterals;

namespace peridon {

using namespace colours;

namespace {
constexpr int kSteppingStoneOffset = 4; // the right block starts at column 5
constexpr Rgb kConsecutiveTitle = rgb(255, 200, 255);
constexpr Rgb kNoPair = rgb(225, 225, 225);

// Only plain differences count: 9 and 0 are not neighbours.
bool differBy(int a, int b, int step) {
    return a == b + step || a + step == b;
}

// Shows every valid draw twice: on the left it marks neighbouring positions
// holding consecutive digits, on the right neighbouring positions whose
// digits differ by two. A draw without such a pair is marked in its
// draw-number cell.
class 連番飛び石分析 final {
public:
    enum class PairKind { Consecutive, SteppingStone };

    連番飛び石分析(const AnalysisInput& in, Sheet& sheet) : m_in(in), m_sheet(sheet) {}
    void RunAnalysis();

private:
    void SetupGrid(int lastRow);
    void WriteHeader(int row);
    void FillGrid();
    void MarkPair(PairKind kind, int col, int row);
    void MarkNoPair(int count, int col, int row);

    const AnalysisInput& m_in;
    Sheet& m_sheet;
};

} // namespace

void 連番飛び石分析::RunAnalysis() {
    const int lastRow = m_in.stats.lastDrawNo + 1;
    SetupGrid(lastRow);
    WriteHeader(1);
    FillGrid();
}

void 連番飛び石分析::SetupGrid(int lastRow) {
    sheets::startSheet(m_sheet, {8, lastRow}, {8, 51}, ScrollBars::Vertical, {0, 1});
    m_sheet.setRowHeight(-1, 10);
    m_sheet.setColWidth(-1, 5);
    m_sheet.setColWidth(1, 6);
    m_sheet.setColWidth(5, 6);
    // The blocks reach one row past the sheet; the sheet cuts them off.
    for (int col : {1, 1 + kSteppingStoneOffset}) {
        m_sheet.setForeColor(CellRange::block(col, 1, col, lastRow + 1), kRed);
        m_sheet.setBackColor(CellRange::block(col, 1, col, lastRow + 1), kLightYellow);
    }
    m_sheet.setBorder(CellRange::block(1, 1, 8, lastRow + 1), BorderAll);
    m_sheet.setActiveCell(0, 0);
}

void 連番飛び石分析::WriteHeader(int row) {
    sheets::titleBox(m_sheet, {2, 4}, row, 2, u"     連番(当選数字)"_s);
    sheets::titleBox(m_sheet, {6, 8}, row, 6, u"    飛び石(当選数字)"_s);
    m_sheet.setBackColor(CellRange::block(2, row, 4, row), kConsecutiveTitle);
    m_sheet.setBackColor(CellRange::block(6, row, 8, row), kPink);
    m_sheet.setText(1, row, u"回数"_s);
    m_sheet.setText(5, row, u"回数"_s);
}

void 連番飛び石分析::FillGrid() {
    const auto digits = sheets::digitIds(m_sheet);
    int row = 2;
    for (const DrawRow& draw : m_in.history.rows()) {
        if (!draw.valid())
            continue;
        const int d1 = draw.digit(0);
        const int d2 = draw.digit(1);
        const int d3 = draw.digit(2);
        const Sheet::TextId drawNo = m_sheet.numberText(draw.drawNo);
        const struct {
            PairKind kind;
            int col;
            int step;
        } blocks[] = {{PairKind::Consecutive, 1, 1},
                      {PairKind::SteppingStone, 1 + kSteppingStoneOffset, 2}};
        for (const auto& block : blocks) {
            m_sheet.setTextId(block.col, row, drawNo);
            m_sheet.setTextId(block.col + 1, row, digits[std::size_t(d1)]);
            m_sheet.setTextId(block.col + 2, row, digits[std::size_t(d2)]);
            m_sheet.setTextId(block.col + 3, row, digits[std::size_t(d3)]);
            int pairs = 0;
            if (differBy(d1, d2, block.step)) {
                ++pairs;
                MarkPair(block.kind, block.col + 1, row);
            }
            if (differBy(d2, d3, block.step)) {
                ++pairs;
                MarkPair(block.kind, block.col + 2, row);
            }
            MarkNoPair(pairs, block.col, row);
        }
        ++row;
    }
}

void 連番飛び石分析::MarkPair(PairKind kind, int col, int row) {
    m_sheet.setBackColor(CellRange::block(col, row, col + 1, row),
                         kind == PairKind::Consecutive ? kLightCyan : kLightGreen);
}

void 連番飛び石分析::MarkNoPair(int count, int col, int row) {
    if (count == 0)
        m_sheet.setBackColor(CellRange::cell(col, row), kNoPair);
}

void builders::consecutive(const AnalysisInput& in, Sheet& sheet) {
    連番飛び石分析(in, sheet).RunAnalysis();
}

} // namespace peridon
