#include "gui/widgets/SheetView.h"

#include "core/sheet/SheetExport.h"
#include "gui/widgets/Fonts.h"
#include "gui/widgets/Messages.h"
#include "gui/widgets/RecentFolders.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

// How often a drag held beyond the edge scrolls on. Each step scrolls as far
// as the pointer is beyond the edge (at least one row or column), so the
// farther out it is held, the faster the grid runs.
constexpr int kAutoScrollIntervalMs = 60;

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

SheetView::SaveNameChooser& saveNameChooser() {
    static SheetView::SaveNameChooser chooser;
    return chooser;
}

} // namespace

SheetView::SheetView(QWidget* parent) : QAbstractScrollArea(parent), m_painter(gridFont()) {
    setObjectName(u"fpSpread1"_s);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_autoScroll = new QTimer(this);
    m_autoScroll->setObjectName(u"autoScrollTimer"_s);
    m_autoScroll->setInterval(kAutoScrollIntervalMs);
    connect(m_autoScroll, &QTimer::timeout, this, &SheetView::autoScroll);
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
    m_anchor = m_current = QPoint();
    endDrag();
    m_painter.setSelection(QRect());
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

void SheetView::setGridFont(const QFont& font) {
    if (font == m_painter.font())
        return;
    m_painter.setFont(font);
    refresh();
}

void SheetView::recomputeGeometry() {
    m_painter.setSheet(m_sheet);
    // A sheet that shrank keeps only the part of the selection still in it.
    if (!m_anchor.isNull() && (!m_sheet || !m_sheet->contains(m_anchor.x(), m_anchor.y()) ||
                               !m_sheet->contains(m_current.x(), m_current.y())))
        m_anchor = m_current = QPoint();
    m_painter.setSelection(selection());
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

bool SheetView::event(QEvent* event) {
    // Ctrl+C and Ctrl+A belong to the grid while it has the focus, even when
    // a window around it has shortcuts on the same keys.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::SelectAll)) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void SheetView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    const bool shift = mods & Qt::ShiftModifier;
    int dc = 0;
    int dr = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        dc = -1;
        break;
    case Qt::Key_Right:
        dc = 1;
        break;
    case Qt::Key_Up:
        dr = -1;
        break;
    case Qt::Key_Down:
        dr = 1;
        break;
    default:
        break;
    }
    // Shift with an arrow extends the selection; an arrow alone moves it
    // while there is one and scrolls the grid while there is none.
    if ((dc != 0 || dr != 0) && !ctrl && (shift || !selection().isEmpty())) {
        moveCurrent(dc, dr, shift);
        return;
    }
    if (event->key() == Qt::Key_Escape && !selection().isEmpty()) {
        clearSelection();
        return;
    }
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

QRect SheetView::selection() const {
    if (m_anchor.isNull())
        return {};
    return QRect(QPoint(qMin(m_anchor.x(), m_current.x()), qMin(m_anchor.y(), m_current.y())),
                 QPoint(qMax(m_anchor.x(), m_current.x()), qMax(m_anchor.y(), m_current.y())));
}

void SheetView::select(const QPoint& anchor, const QPoint& current) {
    if (!m_sheet || !m_sheet->contains(anchor.x(), anchor.y()) ||
        !m_sheet->contains(current.x(), current.y())) {
        clearSelection();
        return;
    }
    m_anchor = anchor;
    m_current = current;
    ensureVisible(current);
    updateSelection();
}

void SheetView::selectAll() {
    if (!m_sheet || m_sheet->cols() == 0 || m_sheet->rows() == 0)
        return;
    // The view stays where it is.
    m_anchor = QPoint(1, 1);
    m_current = QPoint(m_sheet->cols(), m_sheet->rows());
    updateSelection();
}

void SheetView::clearSelection() {
    m_anchor = m_current = QPoint();
    updateSelection();
}

void SheetView::updateSelection() {
    m_painter.setSelection(selection());
    viewport()->update();
}

QRect SheetView::copyBlock() const {
    const QRect sel = selection();
    if (!sel.isEmpty() || !m_sheet)
        return sel;
    return QRect(1, 1, m_sheet->cols(), m_sheet->rows());
}

void SheetView::copy() {
    if (!m_sheet || copyBlock().isEmpty())
        return;
    WaitCursor wait;
    auto* mime = new QMimeData;
    mime->setText(sheetTsv(*m_sheet, copyBlock()));
    mime->setHtml(sheetHtml(*m_sheet, copyBlock()));
    QGuiApplication::clipboard()->setMimeData(mime);
}

void SheetView::moveCurrent(int dc, int dr, bool extend) {
    if (!m_sheet || m_sheet->cols() == 0 || m_sheet->rows() == 0)
        return;
    if (m_anchor.isNull()) {
        // Nothing selected yet: start at the first cell shown below and
        // beside the frozen ones.
        QPoint start = cellAt(QPoint(frozenWidth(), frozenHeight()));
        if (start.isNull())
            start = QPoint(1, 1);
        m_anchor = m_current = start;
        if (!extend) {
            ensureVisible(start);
            updateSelection();
            return;
        }
    }
    const auto step = [](int from, int delta, int last, auto size) {
        int to = from + delta;
        while (to >= 1 && to <= last && size(to) == 0)
            to += delta;
        return to >= 1 && to <= last ? to : from;
    };
    QPoint next = m_current;
    if (dc != 0)
        next.setX(step(next.x(), dc, m_sheet->cols(), [this](int c) { return columnWidthPx(c); }));
    if (dr != 0)
        next.setY(step(next.y(), dr, m_sheet->rows(), [this](int r) { return rowHeightPx(r); }));
    m_current = next;
    if (!extend)
        m_anchor = next;
    ensureVisible(next);
    updateSelection();
}

// Scrolls so that the cell is shown whole, when it lies in the scrolling
// part; frozen cells are always shown.
void SheetView::ensureVisible(const QPoint& cell) {
    if (!m_sheet)
        return;
    const QSize vp = viewport()->size();
    const auto fit = [](QScrollBar* bar, const std::vector<int>& edges, int frozen, int start,
                        int end, int room) {
        int value = bar->value();
        if (start < frozen + value)
            value = start - frozen;
        else if (end > value + room) {
            // The first edge far enough down (right) to show the whole cell.
            const auto it = std::lower_bound(edges.begin(), edges.end(), end - room + frozen);
            value = (it == edges.end() ? end - room + frozen : *it) - frozen;
        }
        bar->setValue(qBound(bar->minimum(), value, bar->maximum()));
    };
    if (cell.y() > m_sheet->frozenRows())
        fit(verticalScrollBar(), m_painter.rowEdges(), frozenHeight(), rowY(cell.y()),
            rowY(cell.y() + 1), vp.height());
    if (cell.x() > m_sheet->frozenCols())
        fit(horizontalScrollBar(), m_painter.columnEdges(), frozenWidth(), columnX(cell.x()),
            columnX(cell.x() + 1), vp.width());
}

QPoint SheetView::clampedCellAt(const QPoint& pos) const {
    if (!m_sheet || m_sheet->cols() == 0 || m_sheet->rows() == 0)
        return {};
    const int fw = frozenWidth();
    const int fh = frozenHeight();
    const int sx = horizontalScrollBar()->value();
    const int sy = verticalScrollBar()->value();
    int x = pos.x() < fw ? pos.x() : pos.x() + sx;
    int y = pos.y() < fh ? pos.y() : pos.y() + sy;
    // A drag that started below the frozen rows and goes up over them
    // scrolls the rows back instead of selecting the header (the same for
    // columns): the rows scrolled away lie as far above the first one shown
    // as the pointer is above it.
    if (pos.y() < fh && sy > 0 && m_anchor.y() > m_sheet->frozenRows())
        y = qMax(fh, pos.y() + sy);
    if (pos.x() < fw && sx > 0 && m_anchor.x() > m_sheet->frozenCols())
        x = qMax(fw, pos.x() + sx);
    x = qBound(0, x, m_painter.totalWidth() - 1);
    y = qBound(0, y, m_painter.totalHeight() - 1);
    return {colAtX(x), rowAtY(y)};
}

void SheetView::mousePressEvent(QMouseEvent* event) {
    endDrag();
    if (event->button() == Qt::RightButton)
        selectForContextMenu(event->position().toPoint());
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const QPoint cell = cellAt(event->position().toPoint());
    if (cell.isNull()) {
        clearSelection();
        return;
    }
    if ((event->modifiers() & Qt::ShiftModifier) && !m_anchor.isNull())
        m_current = cell;
    else
        m_anchor = m_current = cell;
    m_dragging = true;
    m_dragPos = event->position().toPoint();
    ensureVisible(cell);
    updateSelection();
}

void SheetView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging || !(event->buttons() & Qt::LeftButton)) {
        // A release that never came here (the button let go elsewhere)
        // ends the drag.
        if (m_dragging)
            endDrag();
        QAbstractScrollArea::mouseMoveEvent(event);
        return;
    }
    m_dragPos = event->position().toPoint();
    dragTo(m_dragPos);
    // Beyond the edge of the scrolling part (or over the frozen rows and
    // columns) the grid goes on scrolling while the mouse is held still;
    // back inside it stops.
    const QSize vp = viewport()->size();
    const bool outside = m_dragPos.x() < frozenWidth() || m_dragPos.y() < frozenHeight() ||
                         m_dragPos.x() >= vp.width() || m_dragPos.y() >= vp.height();
    if (!outside)
        m_autoScroll->stop();
    else if (!m_autoScroll->isActive())
        m_autoScroll->start();
}

bool SheetView::dragTo(const QPoint& pos) {
    const QPoint cell = clampedCellAt(pos);
    if (cell.isNull() || cell == m_current)
        return false;
    m_current = cell;
    ensureVisible(cell);
    updateSelection();
    return true;
}

void SheetView::autoScroll() {
    // The cell under the held pointer lies beyond the rows (columns) shown;
    // selecting it scrolls it into view, which brings the next ones under
    // the pointer. Nothing left to scroll to ends it (the sheet's end, or
    // the pointer beside a part that does not scroll).
    if (!m_dragging || !dragTo(m_dragPos))
        m_autoScroll->stop();
}

void SheetView::endDrag() {
    m_dragging = false;
    if (m_autoScroll)
        m_autoScroll->stop();
}

void SheetView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_dragging) {
        endDrag();
        event->accept();
        return;
    }
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void SheetView::focusOutEvent(QFocusEvent* event) {
    // The release may never reach a grid that lost the focus mid-drag.
    endDrag();
    QAbstractScrollArea::focusOutEvent(event);
}

void SheetView::hideEvent(QHideEvent* event) {
    endDrag();
    QAbstractScrollArea::hideEvent(event);
}

// As in a spreadsheet: the context menu acts on the clicked cell, unless it
// lies in the selection, which is then kept. Nothing is scrolled, so the
// cell stays under the menu. A click beside the sheet keeps the selection.
void SheetView::selectForContextMenu(const QPoint& pos) {
    const QPoint cell = cellAt(pos);
    if (cell.isNull() || selection().contains(cell))
        return;
    m_anchor = m_current = cell;
    updateSelection();
}

QString SheetView::exportName() const {
    QString name = m_exportName;
    for (const QWidget* w = this; name.isEmpty() && w; w = w->parentWidget())
        name = w->windowTitle();
    if (name.isEmpty())
        name = u"表"_s;
    // Characters a file name cannot hold on Windows.
    static const QRegularExpression bad(u"[\\\\/:*?\"<>|]"_s);
    return name.replace(bad, u"_"_s).trimmed();
}

void SheetView::setSaveNameChooser(SaveNameChooser chooser) {
    saveNameChooser() = std::move(chooser);
}

QString SheetView::chooseSaveName(const QString& caption, const QString& suffix,
                                  const QString& filter) {
    const QString folder = recentFolder(FolderKind::Output);
    const QString suggested = QDir(folder).filePath(exportName() + suffix);
    QString path = saveNameChooser()
                       ? saveNameChooser()(this, caption, suggested, filter)
                       : QFileDialog::getSaveFileName(this, caption, suggested, filter);
    if (path.isEmpty())
        return {};
    if (!path.endsWith(suffix, Qt::CaseInsensitive))
        path += suffix;
    rememberFolder(FolderKind::Output, path);
    return path;
}

void SheetView::saveCsv() {
    if (!m_sheet)
        return;
    QPointer<SheetView> self(this);
    const QString path =
        chooseSaveName(u"CSVで保存"_s, u".csv"_s, u"CSVファイル (*.csv);;すべてのファイル (*)"_s);
    if (path.isEmpty() || !self || !m_sheet)
        return;
    QString error;
    bool ok = false;
    {
        WaitCursor wait;
        ok = writeSheetCsv(*m_sheet, path, error);
    }
    if (!ok)
        messages::stop(this, error);
}

void SheetView::saveImage() {
    if (!m_sheet)
        return;
    QPointer<SheetView> self(this);
    const QString path =
        chooseSaveName(u"画像で保存"_s, u".png"_s, u"PNG画像 (*.png);;すべてのファイル (*)"_s);
    if (path.isEmpty() || !self || !m_sheet)
        return;
    const QFont font = m_painter.font();
    const QStringList parts = sheetImagePaths(*m_sheet, font, path);
    if (parts.size() > 1) {
        // A whole long grid as one picture would be too tall to open; it is
        // saved in parts, each with the header rows, after asking.
        QString text =
            u"表が長いため、画像を %1 枚に分けて保存します:\n%2 ～ %3"_s.arg(parts.size())
                .arg(QFileInfo(parts.front()).fileName(), QFileInfo(parts.back()).fileName());
        const bool existing = std::any_of(parts.begin(), parts.end(),
                                          [](const QString& p) { return QFileInfo::exists(p); });
        if (existing)
            text += u"\n同じ名前のファイルは上書きされます。"_s;
        if (!messages::confirm(this, text + u"\nよろしいですか？"_s) || !self)
            return;
    }
    QStringList written;
    QString error;
    bool ok = false;
    {
        WaitCursor wait;
        ok = writeSheetImages(*m_sheet, font, path, written, error);
    }
    if (!ok)
        messages::stop(this, error);
}

QMenu* SheetView::createContextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(u"SheetMenu"_s);
    QAction* copyAction = menu->addAction(u"コピー"_s, this, &SheetView::copy);
    copyAction->setObjectName(u"actionCopy"_s);
    copyAction->setShortcut(QKeySequence::Copy);
    QAction* all = menu->addAction(u"すべて選択"_s, this, &SheetView::selectAll);
    all->setObjectName(u"actionSelectAll"_s);
    all->setShortcut(QKeySequence::SelectAll);
    for (QAction* a : {copyAction, all})
        a->setShortcutContext(Qt::WidgetShortcut);
    menu->addSeparator();
    QAction* csv = menu->addAction(u"CSVで保存..."_s, this, &SheetView::saveCsv);
    csv->setObjectName(u"actionSaveCsv"_s);
    QAction* image = menu->addAction(u"画像で保存..."_s, this, &SheetView::saveImage);
    image->setObjectName(u"actionSaveImage"_s);
    if (m_print) {
        menu->addSeparator();
        // Queued: the preview is modal and should not run inside the menu.
        QAction* print = menu->addAction(u"印刷..."_s, this, [this] {
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (m_print)
                        m_print();
                },
                Qt::QueuedConnection);
        });
        print->setObjectName(u"actionPrint"_s);
    }
    const bool any = m_sheet && m_sheet->cols() > 0 && m_sheet->rows() > 0;
    for (QAction* a : menu->actions())
        a->setEnabled(any);
    return menu;
}

void SheetView::contextMenuEvent(QContextMenuEvent* event) {
    endDrag();
    // Usually the press has selected the cell already; on systems that
    // open the menu on release, or without a press, it happens here.
    if (event->reason() == QContextMenuEvent::Mouse)
        selectForContextMenu(event->pos());
    QMenu* menu = createContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
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
    if (!m_sheet || m_sheet->cols() == 0 || m_sheet->rows() == 0) {
        p.fillRect(event->rect(), palette().color(QPalette::Window));
        return;
    }
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
    // The cells cover the viewport up to the sheet's right and bottom edges,
    // every pixel of them; only what lies beyond takes the window's colour.
    const int coverW = qBound(0, qMax(fw, m_painter.totalWidth() - sx), w);
    const int coverH = qBound(0, qMax(fh, m_painter.totalHeight() - sy), h);
    const QColor blank = palette().color(QPalette::Window);
    for (const QRect& beyond :
         {QRect(coverW, 0, w - coverW, h), QRect(0, coverH, coverW, h - coverH)}) {
        const QRect part = beyond & event->rect();
        if (!part.isEmpty())
            p.fillRect(part, blank);
    }
    p.setClipRect(event->rect());
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
