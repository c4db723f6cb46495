#pragma once

#include "core/history/AnalysisInput.h"
#include "core/prediction/PredictionSettings.h"
#include "core/sheet/Sheet.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace peridon {

// Everything the prediction window computes, without any widget: the option
// flags, the tables that outlive a close of the window (digits by draw
// number, cycle digits, elimination digits) and the four grids
// (0 cycle, 1 elimination, 2 rapid-fire, 3 one-shot).
class PredictionEngine final {
public:
    static constexpr int kGridCount = 4;
    static constexpr int kRuleCount = 15;

    // One elimination rule: a digit of the draw `back` draws before the
    // latest, taken from `column`, plus `add`, folded into 0..9.
    struct EliminationRule {
        int back;
        int column;
        int add;
    };
    static const std::array<EliminationRule, kRuleCount>& eliminationRules();

    PredictionEngine();

    ReflectFlags& reflectFlags() { return m_reflectFlags; }
    const ReflectFlags& reflectFlags() const { return m_reflectFlags; }

    // Load of the window: fresh grids, then the history scan, which ends by
    // computing all predictions.
    void InitGridsAndScan(const AnalysisInput& input);
    void SetupGrid(int index);
    void WriteHeader(int index);

    // One pass over the history: stores every valid draw's digits and
    // records the cycle digits, then calls ComputePredictions.
    void ScanHistory(const DrawHistory& history);
    // One row of that pass, without computing the predictions: feeding the
    // rows one by one leaves the tables as a scan of the rows so far would,
    // which lets the backtest follow the history draw by draw.
    void ScanRow(const DrawRow& row);
    void RecordCycleDigit(int gap, int position, const QString& digit);
    void FillCycleGrid();

    // Click of an option: set its flag, empty the three grids that depend
    // on the flags and compute again.
    void setOption(int index, bool reflect);

    void ComputePredictions();
    int CountReflectedOptions() const;
    void ClearPredictionGrids();

    void ComputeElimination(int n);
    void AddEliminationDigit(int& col, int& row, int rule, const QString& value);
    static QString NormaliseDigit(const QString& value);
    // The folding of NormaliseDigit on a number: -9..18 into 0..9.
    static int foldDigit(int value);
    bool IsNewEliminationDigit(int rule) const;

    void ComputeRapidFire();
    void ComputeOneShot();
    // The walk both methods share: each cycle digit within `tolerance` of an
    // elimination digit, in rule, method and position order, that `grid`
    // does not show yet is placed at the next place, `perRow` places to a
    // row starting at column 2, row 2, until `limit` digits are placed.
    struct PlacementWalk {
        int grid;
        int tolerance;
        int perRow;
        int limit;
    };
    void PlaceNearCycleDigits(const PlacementWalk& walk);
    bool IsDigitNotShown(int grid, const QString& digit) const;

    const Sheet& grid(int index) const { return m_grids[std::size_t(index)]; }
    // Method 0..3 (7, 9, 11, 12 draws), position 1..3; empty when unset.
    QString cycleDigit(int method, int position) const;
    // Rule 0..14; empty when the rule was skipped or never ran.
    QString eliminationDigit(int rule) const;
    // Column 1..3 of a stored draw; 0 for a draw number never stored.
    int drawDigit(int drawNo, int column) const;
    bool hasDraw(int drawNo) const;
    int lastDrawNo() const { return m_lastDrawNo; }

private:
    // Columns 0 and 4 are never written and read 0; the elimination rules
    // read column 4 on purpose.
    using DigitRow = std::array<std::int16_t, 5>;

    std::vector<DigitRow> m_drawDigits;                  // index: draw number 0..32767
    std::vector<std::uint8_t> m_drawPresent;             // 1 where a valid draw was stored
    std::array<std::array<QString, 4>, 4> m_cycleDigits; // [method][position]
    std::array<QString, 16> m_eliminationDigits;         // entry 15 unused
    std::array<Sheet, kGridCount> m_grids;
    ReflectFlags m_reflectFlags{};
    int m_lastDrawNo = 0;
};

} // namespace peridon
