#pragma once

#include "store/DrawHistory.h"

#include <QString>

// Small helpers shared by the digit-statistics windows.
namespace peridon::stats {

// The decimal text of a number. Texts of 0 to 32767 (every digit, count and
// draw number a sheet shows) are made once and shared, so filling a sheet of
// tens of thousands of rows does not allocate one string per cell.
QString number(int n);

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
