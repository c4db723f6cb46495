#include "core/prediction/PredictionEngine.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

constexpr Rgb kHeaderText = rgb(0, 0, 255);
constexpr Rgb kHeaderBack = rgb(255, 200, 200);

// Rows of each grid; every grid has four columns (label + three digits).
constexpr std::array<int, PredictionEngine::kGridCount> kGridRows{5, 4, 3, 2};
constexpr int kGridCols = 4;

// The header text is padded so that, overflowing from column 2, it sits
// centred over the three digit columns.
const QString& headerText() {
    static const QString text = u"        予 想 数 字                   "_s;
    return text;
}

// Column 4 is never filled and reads 0, so the rules that use it give a
// fixed digit whatever the history; that is how the method has always worked.
constexpr std::array<PredictionEngine::EliminationRule, PredictionEngine::kRuleCount> kRules{{
    {0, 1, +1},
    {0, 2, +8},
    {1, 1, 0},
    {1, 4, -7},
    {2, 4, +8},
    {2, 2, -5},
    {3, 1, +3},
    {3, 4, +1},
    {4, 4, +4},
    {4, 1, +7},
    {5, 4, +6},
    {5, 4, -9},
    {6, 1, +4},
    {7, 2, +1},
    {9, 4, +9},
}};

// The cycle lengths of methods 0..3.
int cycleMethod(int gap) {
    switch (gap) {
    case 7:
        return 0;
    case 9:
        return 1;
    case 11:
        return 2;
    case 12:
        return 3;
    default:
        return -1;
    }
}

} // namespace

PredictionEngine::PredictionEngine()
    : m_drawDigits(std::size_t(kMaxDrawNo) + 1, DigitRow{}),
      m_drawPresent(std::size_t(kMaxDrawNo) + 1, 0) {}

void PredictionEngine::InitGridsAndScan(const AnalysisInput& input) {
    m_lastDrawNo = input.stats.lastDrawNo;
    for (int i = 0; i < kGridCount; ++i) {
        SetupGrid(i);
        WriteHeader(i);
    }
    ScanHistory(input.history);
}

void PredictionEngine::SetupGrid(int index) {
    Sheet& s = m_grids[std::size_t(index)];
    s = Sheet(kGridCols, kGridRows[std::size_t(index)]);
    s.setVisibleExtent(s.cols(), s.rows());
    s.setColumnHeadersVisible(false);
    s.setRowHeadersVisible(false);
    s.setScrollBars(ScrollBars::None);
    s.setColWidth(-1, 5);
    s.setColWidth(1, 8);
    s.setRowHeight(-1, 10);
    s.setCellType(CellRange::all(), CellType::StaticText);
    s.setHAlign(CellRange::all(), HAlign::Center);
    if (index == 0) {
        s.setBorder(CellRange::all(), BorderTop | BorderBottom);
        s.setBorder(CellRange::column(1), BorderRight);
    } else {
        s.setBorder(CellRange::all(), BorderAll);
    }
}

void PredictionEngine::WriteHeader(int index) {
    Sheet& s = m_grids[std::size_t(index)];
    switch (index) {
    case 0:
        s.setText(1, 2, u" 7回周期法"_s);
        s.setText(1, 3, u" 9回周期法"_s);
        s.setText(1, 4, u"11回周期法"_s);
        s.setText(1, 5, u"12回周期法"_s);
        break;
    case 1:
        s.setText(1, 3, u"消去法"_s);
        s.setBorder(CellRange::block(1, 2, 1, 4), BorderNone);
        break;
    case 2:
        s.setText(1, 2, u"連発予想"_s);
        s.setBorder(CellRange::block(1, 2, 1, 3), BorderNone);
        break;
    case 3:
        s.setText(1, 2, u"１発予想"_s);
        break;
    default:
        return;
    }
    s.setBorder(CellRange::block(2, 1, 4, 1), BorderNone);
    s.setOverflow(true);
    s.setText(2, 1, headerText());
    s.setHAlign(CellRange::cell(2, 1), HAlign::Left);
    s.setForeColor(CellRange::block(1, 1, 4, 1), kHeaderText);
    s.setBackColor(CellRange::block(1, 1, 4, 1), kHeaderBack);
}

void PredictionEngine::ScanHistory(const DrawHistory& history) {
    for (const DrawRow& row : history.rows())
        ScanRow(row);
    ComputePredictions();
}

void PredictionEngine::ScanRow(const DrawRow& row) {
    if (!row.valid())
        return;
    const int d = row.drawNo;
    // The store keeps draw numbers within 1..32767; anything else has no
    // place in the table.
    if (d < 0 || d > kMaxDrawNo)
        return;
    DigitRow& stored = m_drawDigits[std::size_t(d)];
    for (int p = 1; p <= 3; ++p)
        stored[std::size_t(p)] = std::int16_t(row.digit(p - 1));
    m_drawPresent[std::size_t(d)] = 1;

    for (int p = 1; p <= 3; ++p) {
        const std::int16_t x = stored[std::size_t(p)];
        // Nearest earlier draw number holding x in any position; a draw
        // number without a valid draw holds no digits.
        for (int e = d - 1; e >= 1; --e) {
            if (!m_drawPresent[std::size_t(e)])
                continue;
            const DigitRow& earlier = m_drawDigits[std::size_t(e)];
            if (earlier[1] == x || earlier[2] == x || earlier[3] == x) {
                RecordCycleDigit(d - e, p, digitText(x));
                break;
            }
        }
    }
}

void PredictionEngine::RecordCycleDigit(int gap, int position, const QString& digit) {
    const int method = cycleMethod(gap);
    if (method < 0 || position < 1 || position > 3)
        return;
    m_cycleDigits[std::size_t(method)][std::size_t(position)] = digit;
}

void PredictionEngine::FillCycleGrid() {
    Sheet& s = m_grids[0];
    for (int m = 0; m < 4; ++m) {
        for (int p = 1; p <= 3; ++p)
            s.setText(p + 1, m + 2, m_cycleDigits[std::size_t(m)][std::size_t(p)]);
    }
}

void PredictionEngine::setOption(int index, bool reflect) {
    if (index < 0 || index >= kOptionCount)
        return;
    m_reflectFlags[std::size_t(index)] = reflect;
    ClearPredictionGrids();
    ComputePredictions();
}

void PredictionEngine::ComputePredictions() {
    FillCycleGrid();
    ComputeElimination(CountReflectedOptions());
    ComputeRapidFire();
    ComputeOneShot();
}

int PredictionEngine::CountReflectedOptions() const {
    int n = 0;
    for (bool f : m_reflectFlags)
        n += f ? 1 : 0;
    return n;
}

void PredictionEngine::ClearPredictionGrids() {
    m_grids[1].clearText(CellRange::block(2, 2, 4, 4));
    m_grids[1].setHAlign(CellRange::block(2, 2, 4, 4), HAlign::Center);
    m_grids[2].clearText(CellRange::block(2, 2, 4, 3));
    m_grids[2].setHAlign(CellRange::block(2, 2, 4, 3), HAlign::Center);
    m_grids[3].clearText(CellRange::block(2, 2, 4, 2));
    m_grids[3].setHAlign(CellRange::block(2, 2, 4, 2), HAlign::Center);
}

void PredictionEngine::ComputeElimination(int n) {
    int col = 0;
    int row = 0;
    for (int i = 0; i < kRuleCount; ++i) {
        const EliminationRule& rule = kRules[std::size_t(i)];
        const int k = m_lastDrawNo - rule.back - n;
        // A rule that reaches before the first draw, or names a draw number
        // that has no valid draw, has nothing to read: it yields no digit.
        if (k < 1 || k > kMaxDrawNo || !m_drawPresent[std::size_t(k)]) {
            m_eliminationDigits[std::size_t(i)].clear();
            continue;
        }
        const int v = m_drawDigits[std::size_t(k)][std::size_t(rule.column)] + rule.add;
        AddEliminationDigit(col, row, i, QString::number(v));
    }
}

void PredictionEngine::AddEliminationDigit(int& col, int& row, int rule, const QString& value) {
    const QString s = NormaliseDigit(value);
    m_eliminationDigits[std::size_t(rule)] = s;
    if (!IsNewEliminationDigit(rule))
        return;
    // Four placements per row on a grid with three digit columns: the fourth
    // of each row falls outside the grid and is not shown.
    m_grids[1].setText(col + 2, row + 2, s);
    if (++col == 4) {
        col = 0;
        ++row;
    }
}

QString PredictionEngine::NormaliseDigit(const QString& value) {
    return QString::number(foldDigit(value.trimmed().toInt()));
}

int PredictionEngine::foldDigit(int value) {
    // Folding adds or subtracts 9, not 10: 10 gives 1 and 0 gives 9.
    if (value > 9)
        return value - 9;
    if (value <= 0)
        return value + 9;
    return value;
}

const std::array<PredictionEngine::EliminationRule, PredictionEngine::kRuleCount>&
PredictionEngine::eliminationRules() {
    return kRules;
}

bool PredictionEngine::IsNewEliminationDigit(int rule) const {
    const QString& s = m_eliminationDigits[std::size_t(rule)];
    for (int j = 0; j < rule; ++j) {
        if (m_eliminationDigits[std::size_t(j)] == s)
            return false;
    }
    return true;
}

void PredictionEngine::ComputeRapidFire() {
    // Six placements per row: only the first three of each row land inside
    // the grid.
    PlaceNearCycleDigits({2, 3, 6, std::numeric_limits<int>::max()});
}

void PredictionEngine::ComputeOneShot() {
    // One row, and the walk ends after seven placements.
    PlaceNearCycleDigits({3, 2, 7, 7});
}

void PredictionEngine::PlaceNearCycleDigits(const PlacementWalk& walk) {
    int placed = 0;
    for (int e = 0; e < kRuleCount; ++e) {
        const QString& elim = m_eliminationDigits[std::size_t(e)];
        if (elim.isEmpty())
            continue;
        const int E = elim.toInt();
        for (int m = 0; m < 4; ++m) {
            for (int p = 1; p <= 3; ++p) {
                const QString& c = m_cycleDigits[std::size_t(m)][std::size_t(p)];
                if (c.isEmpty())
                    break;
                const int v = c.toInt();
                if (E > v + walk.tolerance || E < v - walk.tolerance)
                    continue;
                if (!IsDigitNotShown(walk.grid, c))
                    continue;
                m_grids[std::size_t(walk.grid)].setText(placed % walk.perRow + 2,
                                                        placed / walk.perRow + 2, c);
                if (++placed == walk.limit)
                    return;
            }
        }
    }
}

bool PredictionEngine::IsDigitNotShown(int grid, const QString& digit) const {
    if (grid != 2 && grid != 3)
        return true;
    const Sheet& s = m_grids[std::size_t(grid)];
    const int lastRow = grid == 2 ? 3 : 2;
    // Only cells the grid shows count: a digit placed beyond its edge was
    // never stored and may be placed again.
    for (int row = 2; row <= qMin(lastRow, s.visibleRows()); ++row) {
        for (int col = 2; col <= qMin(4, s.visibleCols()); ++col) {
            if (s.text(col, row) == digit)
                return false;
        }
    }
    return true;
}

QString PredictionEngine::cycleDigit(int method, int position) const {
    if (method < 0 || method > 3 || position < 1 || position > 3)
        return {};
    return m_cycleDigits[std::size_t(method)][std::size_t(position)];
}

QString PredictionEngine::eliminationDigit(int rule) const {
    if (rule < 0 || rule >= kRuleCount)
        return {};
    return m_eliminationDigits[std::size_t(rule)];
}

int PredictionEngine::drawDigit(int drawNo, int column) const {
    if (drawNo < 0 || drawNo > kMaxDrawNo || column < 0 || column > 4)
        return 0;
    return m_drawDigits[std::size_t(drawNo)][std::size_t(column)];
}

bool PredictionEngine::hasDraw(int drawNo) const {
    return drawNo >= 0 && drawNo <= kMaxDrawNo && m_drawPresent[std::size_t(drawNo)] != 0;
}

} // namespace peridon
