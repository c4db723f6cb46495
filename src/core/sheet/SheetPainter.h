#pragma once

#include "core/sheet/Sheet.h"

#include <QFont>
#include <QRect>
#include <QSize>

#include <unordered_map>
#include <vector>

class QPainter;

namespace peridon {

// Lays out a Sheet in pixels and paints any rectangle of it onto any
// QPainter: the screen, a printer, a PDF or an image all get the same cells.
//
// Units: a column of width w is w digit widths of the font plus a 4-pixel
// cell margin; a row of height h is h/10 of one text line of the font (its
// line height plus 2 pixels). So width 1 = one character, height 10 = one
// comfortable line, and windows keep their proportions at any DPI. A column
// whose text cannot spill into a neighbour and does not fit with 2 pixels on
// each side is widened by whole characters until it does.
class SheetPainter final {
public:
    explicit SheetPainter(const QFont& font);

    // The sheet is not owned and must outlive the painter (or be replaced).
    void setSheet(const Sheet* sheet);
    const Sheet* sheet() const { return m_sheet; }
    const QFont& font() const { return m_font; }
    // Lays the sheet out again in another font (a grid drawn smaller or
    // larger than the grid font).
    void setFont(const QFont& font);
    // Measures the sheet again; call after its contents or sizes changed.
    void relayout();

    int columnWidthPx(int col) const;
    int rowHeightPx(int row) const;
    // Left edge of a column / top edge of a row, from the sheet's origin.
    int columnX(int col) const;
    int rowY(int row) const;
    // Size of the cell range in pixels.
    QSize rangeSize(int firstCol, int firstRow, int lastCol, int lastRow) const;
    int totalWidth() const { return m_colX.back(); }
    // Left edges of the columns 1..cols and then the sheet's right edge; the
    // same for rows.
    const std::vector<int>& columnEdges() const { return m_colX; }
    const std::vector<int>& rowEdges() const { return m_rowY; }
    int totalHeight() const { return m_rowY.back(); }
    // Size of the frozen leading columns and rows.
    int frozenWidth() const;
    int frozenHeight() const;
    // The column (row) under x (y), clamped to the sheet; 1 for an empty one.
    int colAtX(int x) const;
    int rowAtY(int y) const;

    // Cells drawn as selected (columns x, rows y), or an empty rect for none.
    void setSelection(const QRect& cells) { m_selection = cells; }
    QRect selection() const { return m_selection; }
    // Whether the sheet's active cell gets its frame (the screen does,
    // printouts do not).
    void setShowActiveCell(bool on) { m_showActive = on; }

    // Draws the cells of the range with cell (firstCol, firstRow) at the
    // painter's origin: backgrounds, grid lines, texts (with overflow into
    // empty cells on either side), borders.
    void paint(QPainter* painter, int firstCol, int firstRow, int lastCol, int lastRow) const;

private:
    struct PaintRange;
    struct TextSpan;
    struct TextItem;
    // The steps of paint: what each row adds to the layers, then the layers,
    // the selection and the active cell's frame.
    void collectBackgrounds(PaintRange& range, const Sheet::RowCursor& cells,
                            const QRect& band) const;
    void collectTexts(PaintRange& range, const Sheet::RowCursor& cells, const QRect& band) const;
    TextSpan spreadText(PaintRange& range, const Sheet::RowCursor& cells, int c, int coveredTo,
                        Sheet::TextId id) const;
    TextItem placeText(const PaintRange& range, HAlign hAlign, int c, const TextSpan& span,
                       const QRect& band, Sheet::TextId id, Rgb colour) const;
    void collectLines(PaintRange& range, const Sheet::RowCursor& cells, const QRect& band) const;
    void paintLayers(QPainter& painter, PaintRange& range) const;
    void paintSelection(QPainter& painter, const PaintRange& range) const;
    void paintActiveCell(QPainter& painter, const PaintRange& range) const;

    int nominalColumnPx(int col) const;
    // Widens the columns whose texts do not fit and cannot spill over.
    class TextBounds;
    void widenForTexts();
    int neededWidth(int c, int have, TextBounds& bounds) const;
    // Whether the text of cell (c, r) spreads into empty neighbours.
    bool spillsOver(int c, int r) const;
    // The width of a text of the sheet in the grid font, measured once per
    // text: shaping a text is the dearest part of painting a cell.
    int textWidth(Sheet::TextId id, const QString& text) const;

    const Sheet* m_sheet = nullptr;
    QFont m_font;
    double m_charPx = 7;
    int m_linePx = 14;
    QRect m_selection;
    bool m_showActive = true;
    // Prefix sums: m_colX[c - 1] is the left edge of column c, m_colX[cols]
    // the sheet's width; the same for rows.
    std::vector<int> m_colX{0};
    std::vector<int> m_rowY{0};
    // Widths by text id, for the sheet and font of the last layout.
    mutable std::unordered_map<Sheet::TextId, int> m_textWidths;
};

} // namespace peridon
