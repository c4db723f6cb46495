#include "gui/widgets/SheetView.h"

#include "gui/widgets/Fonts.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

// The scroll value nearest to value that puts a row (column) edge right
// below (beside) the frozen part. edges[i] is the offset of the i-th edge.
int snapToEdge(const std::vector<int>& edges, int frozen, int value) {
    const int target = frozen + value;
    const auto it = std::lower_bound(edges.begin(), edges.end(), target);
    if (it == edges.end())
        return value;
    int best = *it;
    if (it != edges.begin() && target - *(it - 1) < *it - target)
        best = *(it - 1);
    return qMax(0, best - frozen);
}

// The smallest scroll value on an edge that still brings the last row
// (column) fully into view.
int alignedMaximum(const std::vector<int>& edges, int frozen, int overflow) {
    if (overflow <= 0)
        return 0;
    const auto it = std::lower_bound(edges.begin(), edges.end(), frozen + overflow);
    return it == edges.end() ? overflow : *it - frozen;
}

} // namespace

SheetView::SheetView(QWidget* parent) : QAbstractScrollArea(parent), m_painter(gridFont()) {
    setObjectName(u"fpSpread1"_s);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    recomputeGeometry();
    // Scrolling moves by whole rows and columns, as in a spreadsheet, so the
    // first row below the frozen header is never shown cut in half.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        verticalScrollBar()->setValue(snapToEdge(m_painter.rowEdges(), frozenHeight(), value));
    });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        horizontalScrollBar()->setValue(snapToEdge(m_painter.columnEdges(), frozenWidth(), value));
    });
}

void SheetView::setSheet(const Sheet* sheet) {
    m_sheet = sheet;
    refresh();
    resize(sizeHint());
}

void SheetView::refresh() {
    recomputeGeometry();
    const ScrollBars bars = m_sheet ? m_sheet->scrollBars() : ScrollBars::None;
    const bool h = bars == ScrollBars::Horizontal || bars == ScrollBars::Both;
    const bool v = bars == ScrollBars::Vertical || bars == ScrollBars::Both;
    setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(v ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    updateScrollBars();
    updateGeometry();
    viewport()->update();
}

void SheetView::recomputeGeometry() {
    m_painter.setSheet(m_sheet);
}

int SheetView::columnWidthPx(int col) const {
    return m_painter.columnWidthPx(col);
}

int SheetView::rowHeightPx(int row) const {
    return m_painter.rowHeightPx(row);
}

int SheetView::columnX(int col) const {
    return m_painter.columnX(col);
}

int SheetView::rowY(int row) const {
    return m_painter.rowY(row);
}

QSize SheetView::rangeSize(int firstCol, int firstRow, int lastCol, int lastRow) const {
    return m_painter.rangeSize(firstCol, firstRow, lastCol, lastRow);
}

int SheetView::frozenWidth() const {
    return m_painter.frozenWidth();
}

int SheetView::frozenHeight() const {
    return m_painter.frozenHeight();
}

int SheetView::colAtX(int x) const {
    return m_painter.colAtX(x);
}

int SheetView::rowAtY(int y) const {
    return m_painter.rowAtY(y);
}

QSize SheetView::sizeHint() const {
    if (!m_sheet)
        return {200, 100};
    const int visCols = m_sheet->visibleCols() > 0 ? m_sheet->visibleCols() : m_sheet->cols();
    const int visRows = m_sheet->visibleRows() > 0 ? m_sheet->visibleRows() : m_sheet->rows();
    int w = columnX(visCols + 1);
    int h = rowY(visRows + 1);
    const ScrollBars bars = m_sheet->scrollBars();
    const bool hAllowed = bars == ScrollBars::Horizontal || bars == ScrollBars::Both;
    const bool vAllowed = bars == ScrollBars::Vertical || bars == ScrollBars::Both;
    const bool needV = vAllowed && m_painter.totalHeight() > h;
    const bool needH = hAllowed && m_painter.totalWidth() > w;
    if (needV)
        w += verticalScrollBar()->sizeHint().width();
    if (needH)
        h += horizontalScrollBar()->sizeHint().height();
    const int frame = 2 * frameWidth();
    return {w + frame, h + frame};
}

QSize SheetView::minimumSizeHint() const {
    return {40, 30};
}

void SheetView::updateScrollBars() {
    const int totalW = m_painter.totalWidth();
    const int totalH = m_painter.totalHeight();
    // When the whole sheet fits the view without scroll bars, none is
    // needed, even if bars shown at a smaller size still narrow the
    // viewport (they would otherwise keep each other visible).
    const QSize maxVp = maximumViewportSize();
    const bool fits = totalW <= maxVp.width() && totalH <= maxVp.height();
    const QSize vp = fits ? maxVp : viewport()->size();
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    h->setRange(0, alignedMaximum(m_painter.columnEdges(), frozenWidth(), totalW - vp.width()));
    h->setPageStep(qMax(1, vp.width() - frozenWidth()));
    h->setSingleStep(qMax(1, columnWidthPx(1)));
    v->setRange(0, alignedMaximum(m_painter.rowEdges(), frozenHeight(), totalH - vp.height()));
    v->setPageStep(qMax(1, vp.height() - frozenHeight()));
    v->setSingleStep(qMax(1, rowHeightPx(m_sheet ? m_sheet->rows() : 1)));
}

void SheetView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void SheetView::scrollContentsBy(int, int) {
    viewport()->update();
}

void SheetView::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (event->key() == Qt::Key_Home && ctrl) {
        verticalScrollBar()->setValue(0);
        horizontalScrollBar()->setValue(0);
    } else if (event->key() == Qt::Key_End && ctrl) {
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    } else if (event->key() == Qt::Key_Home) {
        horizontalScrollBar()->setValue(0);
    } else if (event->key() == Qt::Key_End) {
        horizontalScrollBar()->setValue(horizontalScrollBar()->maximum());
    } else {
        QAbstractScrollArea::keyPressEvent(event);
    }
}

QPoint SheetView::cellAt(const QPoint& pos) const {
    if (!m_sheet || pos.x() < 0 || pos.y() < 0)
        return {0, 0};
    const int x = pos.x() < frozenWidth() ? pos.x() : pos.x() + horizontalScrollBar()->value();
    const int y = pos.y() < frozenHeight() ? pos.y() : pos.y() + verticalScrollBar()->value();
    if (x >= m_painter.totalWidth() || y >= m_painter.totalHeight())
        return {0, 0};
    return {colAtX(x), rowAtY(y)};
}

void SheetView::paintArea(QPainter& p, const QRect& area, int firstCol, int lastCol, int firstRow,
                          int lastRow, int scrollX, int scrollY) const {
    if (area.isEmpty() || firstCol > lastCol || firstRow > lastRow)
        return;
    // Sheet coordinates of the area's edges.
    const int c1 = qMax(firstCol, colAtX(area.left() + scrollX));
    const int c2 = qMin(lastCol, colAtX(area.right() + scrollX));
    const int r1 = qMax(firstRow, rowAtY(area.top() + scrollY));
    const int r2 = qMin(lastRow, rowAtY(area.bottom() + scrollY));
    if (c1 > c2 || r1 > r2)
        return;
    p.save();
    p.setClipRect(area, Qt::IntersectClip);
    p.translate(columnX(c1) - scrollX, rowY(r1) - scrollY);
    paint(&p, c1, r1, c2, r2);
    p.restore();
}

void SheetView::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    p.fillRect(event->rect(), palette().color(QPalette::Window));
    if (!m_sheet || m_sheet->cols() == 0 || m_sheet->rows() == 0)
        return;
    p.setClipRect(event->rect());
    const int cols = m_sheet->cols();
    const int rows = m_sheet->rows();
    const int fc = qMin(m_sheet->frozenCols(), cols);
    const int fr = qMin(m_sheet->frozenRows(), rows);
    const int fw = frozenWidth();
    const int fh = frozenHeight();
    const int sx = horizontalScrollBar()->value();
    const int sy = verticalScrollBar()->value();
    const QRect vp = viewport()->rect();
    const int w = vp.width();
    const int h = vp.height();
    // Frozen corner, frozen rows, frozen columns, then the scrolling body.
    paintArea(p, QRect(0, 0, fw, fh), 1, fc, 1, fr, 0, 0);
    paintArea(p, QRect(fw, 0, w - fw, fh), fc + 1, cols, 1, fr, sx, 0);
    paintArea(p, QRect(0, fh, fw, h - fh), 1, fc, fr + 1, rows, 0, sy);
    paintArea(p, QRect(fw, fh, w - fw, h - fh), fc + 1, cols, fr + 1, rows, sx, sy);
}

void SheetView::paint(QPainter* painter, int firstCol, int firstRow, int lastCol,
                      int lastRow) const {
    m_painter.paint(painter, firstCol, firstRow, lastCol, lastRow);
}

} // namespace peridon
