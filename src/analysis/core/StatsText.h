#pragma once

#include "store/DrawHistory.h"
#include "ui/core/Sheet.h"

#include <QString>

#include <vector>

// Small helpers shared by the digit-statistics windows.
namespace peridon::stats {

// The texts of numbers written into one sheet, each optionally with a fixed
// prefix and suffix ("+3", "12回", "3回前"). A number's text is made and
// interned in the sheet the first time it is written; every later cell with
// the same number reuses it, so a sheet of tens of thousands of rows costs
// one text per distinct number rather than one per cell.
class NumberTexts final {
public:
    explicit NumberTexts(Sheet& sheet, QString prefix = {}, QString suffix = {})
        : m_sheet(sheet), m_prefix(std::move(prefix)), m_suffix(std::move(suffix)) {}

    void write(int col, int row, int n) { m_sheet.setTextId(col, row, id(n)); }
    Sheet::TextId id(int n);

private:
    // Small negative numbers (the falls of a digit) share the table.
    static constexpr int kOffset = 16;
    static constexpr int kMax = 32767;

    Sheet& m_sheet;
    QString m_prefix;
    QString m_suffix;
    std::vector<Sheet::TextId> m_ids; // index n + kOffset; 0: not made yet
};

// A formatting block from row first to row last is applied only when it names
// at least one row: a block such as "rows 3 to m + 2" is empty when m is 0
// and must not fall back onto the header rows.
inline bool rowsExist(int first, int last) {
    return first <= last;
}

// A valid draw whose digits all lie in 0 to 9. The database admits nothing
// else; checking here keeps the counter tables safe from a damaged row.
inline bool isDraw(const DrawRow& row) {
    return row.valid() && row.digits[0] <= 9 && row.digits[1] <= 9 && row.digits[2] <= 9;
}

} // namespace peridon::stats
