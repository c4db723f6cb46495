#pragma once

#include "core/sheet/Sheet.h"

#include <QAbstractScrollArea>
#include <QFont>

#include <vector>

class QPainter;

namespace peridon {

// The grid widget every window shows its Sheet in. It paints only the cells
// that can be seen, keeps the frozen leading rows and columns in place while
// the rest scrolls, and never edits: every cell is read-only here.
//
// Units: a column of width w is w digit widths of the grid font plus a 4-pixel
// cell margin; a row of height h is h/10 of one text line of the grid font
// (its line height plus 2 pixels). So width 1 = one character, height 10 =
// one comfortable line, and windows keep their proportions at any DPI.
class SheetView final : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit SheetView(QWidget* parent = nullptr);

    // The sheet is not owned and must outlive the view (or be replaced).
    void setSheet(const Sheet* sheet);
    const Sheet* sheet() const { return m_sheet; }
    // Call after the sheet's contents or sizes changed.
    void refresh();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    int columnWidthPx(int col) const;
    int rowHeightPx(int row) const;
    // Left edge of a column / top edge of a row, from the sheet's origin.
    int columnX(int col) const;
    int rowY(int row) const;
    // Size of the cell range in pixels.
    QSize rangeSize(int firstCol, int firstRow, int lastCol, int lastRow) const;

    // Draws the cells of the range with cell (firstCol, firstRow) at the
    // painter's origin: backgrounds, grid lines, texts (with overflow into
    // empty cells to the right), borders. Used for the screen, printing and
    // tests alike.
    void paint(QPainter* painter, int firstCol, int firstRow, int lastCol, int lastRow) const;

    // The cell shown at a viewport position, or (0, 0) outside the sheet.
    QPoint cellAt(const QPoint& viewportPos) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void recomputeGeometry();
    void updateScrollBars();
    int frozenWidth() const;
    int frozenHeight() const;
    // First row (col) whose bottom (right) edge lies below (right of) y (x).
    int rowAtY(int y) const;
    int colAtX(int x) const;
    void paintArea(QPainter& p, const QRect& area, int firstCol, int lastCol, int firstRow,
                   int lastRow, int scrollX, int scrollY) const;

    const Sheet* m_sheet = nullptr;
    QFont m_font;
    double m_charPx = 7;
    int m_linePx = 14;
    // Prefix sums: m_colX[c - 1] is the left edge of column c, m_colX[cols]
    // the sheet's width; the same for rows.
    std::vector<int> m_colX{0};
    std::vector<int> m_rowY{0};
};

} // namespace peridon
