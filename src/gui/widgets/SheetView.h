#pragma once

#include "core/sheet/Sheet.h"
#include "core/sheet/SheetPainter.h"

#include <QAbstractScrollArea>
#include <QFont>

#include <functional>
#include <vector>

class QMenu;
class QPainter;
class QTimer;

namespace peridon {

// The grid widget every window shows its Sheet in. It paints only the cells
// that can be seen, keeps the frozen leading rows and columns in place while
// the rest scrolls, and never edits: every cell is read-only here.
//
// Cells are laid out and drawn by a SheetPainter in the grid font, the same
// one printing uses.
//
// Cells can be selected (a click, a mouse drag, Shift with the arrow keys,
// Ctrl+A) and copied (Ctrl+C: the selection, or the whole grid when nothing
// is selected) as tab-separated text and an HTML table for spreadsheets. The
// context menu also saves the whole grid as CSV or as a PNG image. A
// right-click on a cell outside the selection selects that cell first, so the
// menu's コピー takes what was clicked; inside the selection it is kept. A drag
// held beyond the edge of the scrolling part keeps scrolling on a timer.
class SheetView final : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit SheetView(QWidget* parent = nullptr);

    // The sheet is not owned and must outlive the view (or be replaced).
    void setSheet(const Sheet* sheet);
    const Sheet* sheet() const { return m_sheet; }
    // Call after the sheet's contents or sizes changed.
    void refresh();
    // Draws the cells in another font than the grid font (a window shown
    // smaller to fit its area); the view keeps its size until resized.
    void setGridFont(const QFont& font);
    const QFont& gridFontInUse() const { return m_painter.font(); }

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

    // The selected cells (columns x, rows y), empty when none is.
    QRect selection() const;
    // Selects the block from anchor to current (both cells), which then
    // scrolls into view; selectAll() the whole sheet, clearSelection() none.
    void select(const QPoint& anchor, const QPoint& current);
    void selectAll();
    void clearSelection();
    // The block "コピー" takes: the selection, or the whole sheet.
    QRect copyBlock() const;
    // Puts the copy block on the clipboard as text and HTML.
    void copy();
    // Ask for a file name and save the whole grid; a failure is told in a
    // message box.
    void saveCsv();
    void saveImage();
    // The context menu: コピー, すべて選択, CSVで保存..., 画像で保存...,
    // and 印刷... when the window the grid is in gave a print command.
    QMenu* createContextMenu(QWidget* parent);
    // The window's print command, offered as 印刷... in the context menu
    // (also in windows without a 印刷 button).
    void setPrintCommand(std::function<void()> print) { m_print = std::move(print); }

    // The name offered for saved files; by default the title of the window
    // the grid is in.
    void setExportName(const QString& name) { m_exportName = name; }
    QString exportName() const;

    // Tests replace the file dialog of the save commands with a function
    // returning the chosen path (empty: cancelled). nullptr restores it.
    using SaveNameChooser = std::function<QString(QWidget* parent, const QString& caption,
                                                  const QString& suggested, const QString& filter)>;
    static void setSaveNameChooser(SaveNameChooser chooser);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;

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

    // The cell under a viewport position, clamped to the sheet (for drags
    // that leave it).
    QPoint clampedCellAt(const QPoint& viewportPos) const;
    // Moves the selection's moving end by (dc, dr), skipping hidden rows
    // and columns; extend keeps the anchor.
    void moveCurrent(int dc, int dr, bool extend);
    // Extends a mouse drag to the cell under a viewport position; false when
    // the selection stayed as it was.
    bool dragTo(const QPoint& viewportPos);
    // One step of scrolling while a drag is held beyond the scrolling part.
    void autoScroll();
    void endDrag();
    // A right-click outside the selection selects the clicked cell.
    void selectForContextMenu(const QPoint& viewportPos);
    void ensureVisible(const QPoint& cell);
    void updateSelection();
    QString chooseSaveName(const QString& caption, const QString& suffix, const QString& filter);

    const Sheet* m_sheet = nullptr;
    std::function<void()> m_print;
    SheetPainter m_painter;
    // The selection runs from the anchor cell to the current one; (0, 0)
    // for none.
    QPoint m_anchor;
    QPoint m_current;
    bool m_dragging = false;
    // Where the dragging mouse was last seen, and the timer that keeps
    // scrolling while it is held beyond the edge.
    QPoint m_dragPos;
    QTimer* m_autoScroll = nullptr;
    QString m_exportName;
};

} // namespace peridon
