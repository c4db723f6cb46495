#pragma once

#include "analysis/core/AnalysisRegistry.h"

#include <QString>

#include <array>

// Small helpers shared by the pattern and split analyses.
namespace peridon::patterns {

// The texts "0" to "9", built once so that a million-cell sheet does not
// build a string per digit cell.
inline const QString& digitText(int digit) {
    static const std::array<QString, 10> texts = [] {
        std::array<QString, 10> t;
        for (int d = 0; d < 10; ++d)
            t[std::size_t(d)] = QString::number(d);
        return t;
    }();
    return texts[std::size_t(digit)];
}

// The ids of "0" to "9" in a sheet, for writing digit cells without looking
// the text up per cell.
inline std::array<Sheet::TextId, 10> digitIds(Sheet& sheet) {
    std::array<Sheet::TextId, 10> ids{};
    for (int d = 0; d < 10; ++d)
        ids[std::size_t(d)] = sheet.internText(digitText(d));
    return ids;
}

// A valid draw whose digits all lie in 0 to 9. The database never holds
// anything else, but a digit out of range would index past the digit tables
// and the columns of a block, so such a row is skipped like an incomplete one.
inline bool usableDraw(const DrawRow& draw) {
    return draw.valid() && draw.digits[0] <= 9 && draw.digits[1] <= 9 && draw.digits[2] <= 9;
}

// The sheet of an analysis always starts from nothing, whatever the caller
// passes in.
inline void resetSheet(Sheet& sheet, int cols, int rows) {
    sheet = Sheet();
    sheet.setSize(cols, rows);
}

} // namespace peridon::patterns
