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

constexpr int kCellMarginPx = 4; // added to every column: 2 pixels each side of the text
constexpr int kTextPadPx = 2;
constexpr QRgb kGridLine = qRgb(0xd4, 0xd4, 0xd4);

QColor toColor(Rgb c) {
    return QColor(red(c), green(c), blue(c));
}

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

SheetView::SheetView(QWidget* parent) : QAbstractScrollArea(parent), m_font(gridFont()) {
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
        verticalScrollBar()->setValue(snapToEdge(m_rowY, frozenHeight(), value));
    });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        horizontalScrollBar()->setValue(snapToEdge(m_colX, frozenWidth(), value));
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
    m_charPx = QFontMetricsF(m_font).horizontalAdvance(QLatin1Char('0'));
    m_linePx = QFontMetrics(m_font).height() + 2;
    const int cols = m_sheet ? m_sheet->cols() : 0;
    const int rows = m_sheet ? m_sheet->rows() : 0;
    m_colX.assign(std::size_t(cols) + 1, 0);
    for (int c = 1; c <= cols; ++c)
        m_colX[std::size_t(c)] = m_colX[std::size_t(c - 1)] + columnWidthPx(c);
    m_rowY.assign(std::size_t(rows) + 1, 0);
    for (int r = 1; r <= rows; ++r)
        m_rowY[std::size_t(r)] = m_rowY[std::size_t(r - 1)] + rowHeightPx(r);
}

int SheetView::columnWidthPx(int col) const {
    const double w = m_sheet ? m_sheet->colWidth(col) : 8;
    return w <= 0 ? 0 : qRound(w * m_charPx) + kCellMarginPx;
}

int SheetView::rowHeightPx(int row) const {
    const double h = m_sheet ? m_sheet->rowHeight(row) : 10;
    return h <= 0 ? 0 : qMax(1, qRound(h * m_linePx / 10.0));
}

int SheetView::columnX(int col) const {
    const int cols = int(m_colX.size()) - 1;
    if (col <= 1)
        return 0;
    if (col <= cols + 1)
        return m_colX[std::size_t(col - 1)];
    return m_colX.back() + (col - 1 - cols) * columnWidthPx(cols + 1);
}

int SheetView::rowY(int row) const {
    const int rows = int(m_rowY.size()) - 1;
    if (row <= 1)
        return 0;
    if (row <= rows + 1)
        return m_rowY[std::size_t(row - 1)];
    return m_rowY.back() + (row - 1 - rows) * rowHeightPx(rows + 1);
}

QSize SheetView::rangeSize(int firstCol, int firstRow, int lastCol, int lastRow) const {
    return {columnX(lastCol + 1) - columnX(firstCol), rowY(lastRow + 1) - rowY(firstRow)};
}

int SheetView::frozenWidth() const {
    return m_sheet ? columnX(qMin(m_sheet->frozenCols(), m_sheet->cols()) + 1) : 0;
}

int SheetView::frozenHeight() const {
    return m_sheet ? rowY(qMin(m_sheet->frozenRows(), m_sheet->rows()) + 1) : 0;
}

int SheetView::colAtX(int x) const {
    const auto it = std::upper_bound(m_colX.begin(), m_colX.end(), x);
    const int last = qMax(1, int(m_colX.size()) - 1);
    return qBound(1, int(it - m_colX.begin()), last);
}

int SheetView::rowAtY(int y) const {
    const auto it = std::upper_bound(m_rowY.begin(), m_rowY.end(), y);
    const int last = qMax(1, int(m_rowY.size()) - 1);
    return qBound(1, int(it - m_rowY.begin()), last);
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
    const bool needV = vAllowed && m_rowY.back() > h;
    const bool needH = hAllowed && m_colX.back() > w;
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
    const int totalW = m_colX.back();
    const int totalH = m_rowY.back();
    // When the whole sheet fits the view without scroll bars, none is
    // needed, even if bars shown at a smaller size still narrow the
    // viewport (they would otherwise keep each other visible).
    const QSize maxVp = maximumViewportSize();
    const bool fits = totalW <= maxVp.width() && totalH <= maxVp.height();
    const QSize vp = fits ? maxVp : viewport()->size();
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    h->setRange(0, alignedMaximum(m_colX, frozenWidth(), totalW - vp.width()));
    h->setPageStep(qMax(1, vp.width() - frozenWidth()));
    h->setSingleStep(qMax(1, columnWidthPx(1)));
    v->setRange(0, alignedMaximum(m_rowY, frozenHeight(), totalH - vp.height()));
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
    if (x >= m_colX.back() || y >= m_rowY.back())
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
    if (!m_sheet || !painter)
        return;
    const Sheet& s = *m_sheet;
    const int c1 = qMax(1, firstCol);
    const int r1 = qMax(1, firstRow);
    const int c2 = qMin(s.cols(), lastCol);
    const int r2 = qMin(s.rows(), lastRow);
    if (c1 > c2 || r1 > r2)
        return;
    const int ox = columnX(firstCol);
    const int oy = rowY(firstRow);
    painter->save();
    painter->setFont(m_font);
    const QFontMetrics fm(m_font);
    const bool overflow = s.overflow();
    // Per column of a row: true when a spilled text covers the line on its right.
    std::vector<char> joined(std::size_t(s.cols()) + 2, 0);

    for (int r = r1; r <= r2; ++r) {
        const int y = rowY(r) - oy;
        const int h = rowHeightPx(r);
        if (h == 0)
            continue;
        for (int c = c1; c <= c2; ++c)
            painter->fillRect(columnX(c) - ox, y, columnWidthPx(c), h, toColor(s.backColor(c, r)));

        // Texts. A spilling text may start left of the range, so the whole
        // row is scanned; a row has few columns.
        std::fill(joined.begin(), joined.end(), 0);
        int coveredTo = 0; // last column a text of this row has spread over
        const int scanTo = overflow ? s.cols() : c2;
        for (int c = overflow ? 1 : c1; c <= scanTo; ++c) {
            if (!s.hasText(c, r))
                continue;
            const QString text = s.text(c, r);
            const bool centred = s.hAlign(c, r) == HAlign::Center;
            int start = c;
            int end = c;
            int need = 0;
            if (overflow) {
                need = fm.horizontalAdvance(text) + 2 * kTextPadPx;
                if (centred) {
                    // A centred text spreads evenly over the empty cells on
                    // both sides of its own.
                    const int half = (need - columnWidthPx(c) + 1) / 2;
                    while (columnX(end + 1) - columnX(c + 1) < half && end < s.cols() &&
                           !s.hasText(end + 1, r)) {
                        joined[std::size_t(end)] = 1;
                        ++end;
                    }
                    while (columnX(c) - columnX(start) < half && start - 1 > coveredTo &&
                           !s.hasText(start - 1, r)) {
                        --start;
                        joined[std::size_t(start)] = 1;
                    }
                } else {
                    while (end < s.cols() && columnX(end + 1) - columnX(c) < need &&
                           !s.hasText(end + 1, r)) {
                        joined[std::size_t(end)] = 1;
                        ++end;
                    }
                }
            }
            coveredTo = end;
            if (end < c1 || start > c2)
                continue;
            int x = columnX(start) - ox;
            int width = columnX(end + 1) - columnX(start);
            int align = Qt::AlignVCenter;
            if (centred && (start < c || end > c)) {
                // Centred on its own cell, kept inside the cells it covers.
                const int span = width;
                width = qMin(need, span);
                x += qBound(0, (columnX(c) + columnX(c + 1)) / 2 - columnX(start) - width / 2,
                            span - width);
                align |= Qt::AlignHCenter;
            } else if (end > c || s.hAlign(c, r) == HAlign::Left) {
                align |= Qt::AlignLeft;
            } else if (s.hAlign(c, r) == HAlign::Right) {
                align |= Qt::AlignRight;
            } else {
                align |= Qt::AlignHCenter;
            }
            painter->setPen(toColor(s.foreColor(c, r)));
            painter->drawText(QRect(x + kTextPadPx, y, width - 2 * kTextPadPx, h), align, text);
        }

        // Grid lines, then borders over them.
        for (int c = c1; c <= c2; ++c) {
            const int x = columnX(c) - ox;
            const int w = columnWidthPx(c);
            if (w == 0)
                continue;
            if (!joined[std::size_t(c)])
                painter->fillRect(x + w - 1, y, 1, h, QColor(kGridLine));
            painter->fillRect(x, y + h - 1, w, 1, QColor(kGridLine));
            const int mask = s.borderMask(c, r);
            if (mask == 0)
                continue;
            if (mask & BorderLeft)
                painter->fillRect(x, y, 1, h, toColor(s.borderColor(c, r, BorderLeft)));
            if (mask & BorderRight)
                painter->fillRect(x + w - 1, y, 1, h, toColor(s.borderColor(c, r, BorderRight)));
            if (mask & BorderTop)
                painter->fillRect(x, y, w, 1, toColor(s.borderColor(c, r, BorderTop)));
            if (mask & BorderBottom)
                painter->fillRect(x, y + h - 1, w, 1, toColor(s.borderColor(c, r, BorderBottom)));
        }
    }

    const int ac = s.activeCol();
    const int ar = s.activeRow();
    if (ac >= c1 && ac <= c2 && ar >= r1 && ar <= r2) {
        QPen pen(Qt::black, 2);
        pen.setJoinStyle(Qt::MiterJoin);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRect(columnX(ac) - ox + 1, rowY(ar) - oy + 1, columnWidthPx(ac) - 2,
                                rowHeightPx(ar) - 2));
    }
    painter->restore();
}

} // namespace peridon
