#pragma once

#include "core/history/DrawHistory.h"
#include "core/sheet/Sheet.h"

#include <QString>

#include <array>
#include <vector>

// Small helpers shared by the sheet builders of the analysis windows.
namespace peridon::sheets {

// The ids of "0" to "9" in a sheet, for writing digit cells without looking
// the text up per cell.
std::array<Sheet::TextId, 10> digitIds(Sheet& sheet);

// The texts of numbers written into one sheet, each optionally with a fixed
// prefix and suffix ("+3", "12回", "3回前"). The sheet keeps such a text as
// the number itself, so a sheet of tens of thousands of rows makes no string
// per cell.
class NumberTexts final {
public:
    explicit NumberTexts(Sheet& sheet, QString prefix = {}, QString suffix = {})
        : m_sheet(sheet), m_prefix(std::move(prefix)), m_suffix(std::move(suffix)),
          m_format(sheet.numberFormat(m_prefix, m_suffix)) {}

    void write(int col, int row, int n) { m_sheet.setTextId(col, row, id(n)); }
    Sheet::TextId id(int n);

private:
    Sheet& m_sheet;
    QString m_prefix;
    QString m_suffix;
    int m_format; // -1: the sheet has no room for another format
};

// A formatting block from row first to row last is applied only when it names
// at least one row: a block such as "rows 3 to m + 2" is empty when m is 0
// and must not fall back onto the header rows.
inline bool rowsExist(int first, int last) {
    return first <= last;
}

// A number of columns and rows, in the order Sheet's setters take them.
struct Extent {
    int cols = 0;
    int rows = 0;
};

// A run of columns, first to last.
struct Columns {
    int first = 0;
    int last = 0;
};

// A title over several cells of one header row: the cells lose their own
// borders and share one outline, and the text starts in textCol, aligned
// left and running on over the empty cells beside it.
void titleBox(Sheet& sheet, Columns box, int row, int textCol, const QString& text);

// Starts the sheet of an analysis from nothing, whatever the caller passes
// in: of the given size, showing visible without scrolling, with the given
// scroll bars and frozen columns and rows, without column and row headings,
// every cell static text centred. The window's own sizes and formatting
// follow.
void startSheet(Sheet& sheet, Extent size, Extent visible, ScrollBars scrollBars, Extent frozen);

} // namespace peridon::sheets
