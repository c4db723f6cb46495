#pragma once

#include "core/sheet/Sheet.h"
#include "core/sheet/SheetPainter.h"

#include <QAbstractScrollArea>
#include <QFont>

#include <vector>

class QPainter;

namespace peridon {

// The grid widget every window shows its Sheet in. It paints only the cells
// that can be seen, keeps the frozen leading rows and columns in place while
// the rest scrolls, and never edits: every cell is read-only here.
//
// Cells are laid out and drawn by a SheetPainter in the grid font, the same
// one printing uses.
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
    // painter's origin, as the screen shows them.
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
    SheetPainter m_painter;
};

} // namespace peridon
