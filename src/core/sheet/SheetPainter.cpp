#include "core/sheet/SheetPainter.h"

#include "core/sheet/CellText.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>

namespace peridon {

namespace {

constexpr int kCellMarginPx = 4; // added to every column: 2 pixels each side of the text
constexpr int kTextPadPx = 2;
constexpr Rgb kGridLine = rgb(0xd4, 0xd4, 0xd4);
const QColor kSelectionFill(51, 153, 255, 64);
const QColor kSelectionEdge(31, 111, 214);

QColor toColor(Rgb c) {
    return QColor(red(c), green(c), blue(c));
}

// Rectangles of one layer of a painting (backgrounds, grid lines, one side
// of the borders), joined where they continue each other and painted in one
// call per colour. Rectangles of a layer never overlap, so the order they are
// painted in does not matter; the layers are painted in turn. A screen gets
// the same pixels as from filling every cell's rectangle by itself, at a
// fraction of the cost; a PDF or a printer gets a few large fills instead of
// one per cell (a page of a large grid once took megabytes).
//
// On a scaled raster picture (the print preview) every line should have one
// width, as on paper: a line one layout pixel wide scaled by 1.3 covers one
// device pixel or two depending on where it falls. There the rectangles are
// snapped: each cell edge is put on the device pixel nearest to it, fills
// run from edge to edge, and a line keeps one width (the scale, rounded, at
// least one pixel) on the side of the edge it belongs to. Two borders that
// neighbouring cells draw side by side then always touch, as they do unscaled.
class RectLayer {
public:
    // Which cell edges the rectangles of a layer follow when snapped: a fill
    // spans from edge to edge, a line lies inside its cell along one edge.
    enum class Edge { Fill, Left, Right, Top, Bottom };

    RectLayer(int cols, Edge edge) : m_below(std::size_t(cols) + 2, -1), m_edge(edge) {}

    // A rectangle that belongs to column col, joined to the one of the same
    // column just above it when it has the same left edge, width and colour.
    void addDown(int col, int x, int y, int w, int h, Rgb colour) {
        if (w <= 0 || h <= 0)
            return;
        int& last = m_below[std::size_t(col)];
        if (last >= 0) {
            Item& above = m_items[std::size_t(last)];
            if (above.colour == colour && above.rect.x() == x && above.rect.width() == w &&
                above.rect.y() + above.rect.height() == y) {
                above.rect.setHeight(above.rect.height() + h);
                return;
            }
        }
        last = int(m_items.size());
        m_items.push_back({QRect(x, y, w, h), colour});
    }

    // A rectangle joined to the one added just before it when it continues
    // that one to the right at the same height and colour.
    void addRight(int x, int y, int w, int h, Rgb colour) {
        if (w <= 0 || h <= 0)
            return;
        if (!m_items.empty()) {
            Item& left = m_items.back();
            if (left.colour == colour && left.rect.y() == y && left.rect.height() == h &&
                left.rect.x() + left.rect.width() == x) {
                left.rect.setWidth(left.rect.width() + w);
                return;
            }
        }
        m_items.push_back({QRect(x, y, w, h), colour});
    }

    void paint(QPainter& painter, bool snap) {
        if (m_items.empty())
            return;
        std::stable_sort(m_items.begin(), m_items.end(),
                         [](const Item& a, const Item& b) { return a.colour < b.colour; });
        painter.setPen(Qt::NoPen);
        if (snap) {
            paintSnapped(painter);
            return;
        }
        std::vector<QRect> rects;
        rects.reserve(m_items.size());
        for (std::size_t i = 0; i < m_items.size();) {
            const Rgb colour = m_items[i].colour;
            rects.clear();
            for (; i < m_items.size() && m_items[i].colour == colour; ++i)
                rects.push_back(m_items[i].rect);
            painter.setBrush(toColor(colour));
            painter.drawRects(rects.data(), int(rects.size()));
        }
    }

private:
    struct Item {
        QRect rect;
        Rgb colour;
    };

    // The rectangles placed on whole device pixels and mapped back to the
    // painter's coordinates. The device transform also holds the offset of a
    // widget inside its window's backing store and the screen's pixel ratio,
    // which the painter applies again to whatever it draws.
    void paintSnapped(QPainter& painter) {
        const QTransform device = painter.deviceTransform();
        const QTransform back = device.inverted();
        std::vector<QRectF> rects;
        rects.reserve(m_items.size());
        for (std::size_t i = 0; i < m_items.size();) {
            const Rgb colour = m_items[i].colour;
            rects.clear();
            for (; i < m_items.size() && m_items[i].colour == colour; ++i)
                rects.push_back(back.mapRect(QRectF(snapped(m_items[i].rect, device))));
            painter.setBrush(toColor(colour));
            painter.drawRects(rects.data(), int(rects.size()));
        }
    }

    // The rectangle in device pixels, from its snapped cell edges.
    QRect snapped(const QRect& r, const QTransform& t) const {
        const auto edgeX = [&](int x) { return int(std::lround(x * t.m11() + t.dx())); };
        const auto edgeY = [&](int y) { return int(std::lround(y * t.m22() + t.dy())); };
        int left = edgeX(r.x());
        int right = edgeX(r.x() + r.width());
        int top = edgeY(r.y());
        int bottom = edgeY(r.y() + r.height());
        const int lineW = qMax(1, int(std::lround(t.m11())));
        const int lineH = qMax(1, int(std::lround(t.m22())));
        switch (m_edge) {
        case Edge::Fill:
            break;
        case Edge::Left:
            right = left + lineW;
            break;
        case Edge::Right:
            left = right - lineW;
            break;
        case Edge::Top:
            bottom = top + lineH;
            break;
        case Edge::Bottom:
            top = bottom - lineH;
            break;
        }
        return {left, top, right - left, bottom - top};
    }

    std::vector<Item> m_items;
    // By column: the index of its rectangle in the row painted last.
    std::vector<int> m_below;
    Edge m_edge;
};

} // namespace

SheetPainter::SheetPainter(const QFont& font) : m_font(font) {
    relayout();
}

void SheetPainter::setSheet(const Sheet* sheet) {
    m_sheet = sheet;
    relayout();
}

void SheetPainter::setFont(const QFont& font) {
    m_font = font;
    relayout();
}

int SheetPainter::nominalColumnPx(int col) const {
    const double w = m_sheet ? m_sheet->colWidth(col) : 8;
    return w <= 0 ? 0 : qRound(w * m_charPx) + kCellMarginPx;
}

int SheetPainter::textWidth(Sheet::TextId id, const QString& text) const {
    const auto found = m_textWidths.find(id);
    if (found != m_textWidths.end())
        return found->second;
    const int width = QFontMetrics(m_font).horizontalAdvance(text);
    m_textWidths.emplace(id, width);
    return width;
}

void SheetPainter::relayout() {
    m_textWidths.clear();
    m_charPx = QFontMetricsF(m_font).horizontalAdvance(QLatin1Char('0'));
    m_linePx = QFontMetrics(m_font).height() + 2;
    const int cols = m_sheet ? m_sheet->cols() : 0;
    const int rows = m_sheet ? m_sheet->rows() : 0;
    m_colX.assign(std::size_t(cols) + 1, 0);
    for (int c = 1; c <= cols; ++c)
        m_colX[std::size_t(c)] = m_colX[std::size_t(c - 1)] + nominalColumnPx(c);
    m_rowY.assign(std::size_t(rows) + 1, 0);
    for (int r = 1; r <= rows; ++r)
        m_rowY[std::size_t(r)] = m_rowY[std::size_t(r - 1)] + rowHeightPx(r);
    widenForTexts();
}

// A result text that has to stay inside its own cell (overflow off, or
// neighbours with texts of their own) must not touch the cell's edges: its
// column grows by whole characters until the text has kTextPadPx on each
// side. Texts are first judged by a cheap upper bound of their width, so
// that only the few that may not fit are measured; and a text that is
// narrower than its room when measured needs nothing, whatever its
// neighbours hold.
// Widths of the sheet's texts in the grid font, bounded cheaply from their
// characters so that most texts are ruled out without being measured; the
// others are measured once each.
class SheetPainter::TextBounds {
public:
    TextBounds(const Sheet& sheet, const QFont& font) : m_sheet(sheet), m_fm(font) {
        const QFontMetricsF fmf(font);
        for (int i = 32; i < 128; ++i)
            m_ascii[std::size_t(i)] = fmf.horizontalAdvance(QChar(i));
        m_wide = qMax(fmf.horizontalAdvance(QChar(0x56DE)), fmf.height());
        // A number's text is bounded by its format's prefix and suffix and
        // the widest of the characters a number is written with, per
        // character.
        m_numberChar = m_ascii[std::size_t('-')];
        for (int d = '0'; d <= '9'; ++d)
            m_numberChar = qMax(m_numberChar, m_ascii[std::size_t(d)]);
    }

    double of(QStringView text) const {
        double bound = 0;
        for (const QChar ch : text)
            bound += ch.unicode() < 128 ? m_ascii[ch.unicode()] : m_wide;
        return bound;
    }

    double ofNumber(int n, int format) {
        if (std::size_t(format) >= m_affixBound.size())
            m_affixBound.resize(std::size_t(format) + 1, -1);
        double& affixes = m_affixBound[std::size_t(format)];
        if (affixes < 0)
            affixes = of(m_sheet.formatPrefix(format)) + of(m_sheet.formatSuffix(format));
        int chars = n < 0 ? 2 : 1;
        for (unsigned v = n < 0 ? 0u - unsigned(n) : unsigned(n); v >= 10; v /= 10)
            ++chars;
        return affixes + chars * m_numberChar;
    }

    // The width of a text that is not a number, or -1 when it fits in room.
    int textBeyond(Sheet::TextId id, int room) {
        if (id >= m_known.size())
            m_known.resize(std::size_t(id) + 1);
        Known& k = m_known[id];
        if (k.bound < 0)
            k.bound = of(m_sheet.textOf(id));
        if (k.bound <= room)
            return -1;
        if (k.width < 0)
            k.width = m_fm.horizontalAdvance(m_sheet.textOf(id));
        return k.width <= room ? -1 : k.width;
    }

    // The width of a number's text, or -1 when its bound fits in room.
    int numberBeyond(Sheet::TextId id, int room) {
        const QString text = m_sheet.textOf(id);
        if (of(text) <= room)
            return -1;
        auto it = m_measured.constFind(text);
        if (it == m_measured.constEnd())
            it = m_measured.insert(text, m_fm.horizontalAdvance(text));
        return *it;
    }

private:
    struct Known {
        double bound = -1;
        int width = -1;
    };
    const Sheet& m_sheet;
    const QFontMetrics m_fm;
    std::array<double, 128> m_ascii{};
    double m_wide = 0;
    double m_numberChar = 0;
    std::vector<double> m_affixBound;
    std::vector<Known> m_known;
    QHash<QString, int> m_measured;
};

void SheetPainter::widenForTexts() {
    if (!m_sheet)
        return;
    const int cols = m_sheet->cols();
    TextBounds bounds(*m_sheet, m_font);
    std::vector<int> need(std::size_t(cols) + 1, 0);
    for (int c = 1; c <= cols; ++c) {
        const int have = m_colX[std::size_t(c)] - m_colX[std::size_t(c - 1)];
        if (have > 0)
            need[std::size_t(c)] = neededWidth(c, have, bounds);
    }
    int shift = 0;
    for (int c = 1; c <= cols; ++c) {
        const int have = m_colX[std::size_t(c)] - m_colX[std::size_t(c - 1)] + shift;
        m_colX[std::size_t(c - 1)] += shift;
        const int nominal = have - shift;
        if (need[std::size_t(c)] > nominal) {
            const int chars = int(std::ceil((need[std::size_t(c)] - nominal) / m_charPx));
            shift += qRound(chars * m_charPx);
        }
    }
    m_colX[std::size_t(cols)] += shift;
}

int SheetPainter::neededWidth(int c, int have, TextBounds& bounds) const {
    const Sheet& s = *m_sheet;
    int needed = 0;
    // Once a number of some digits fits, every number of the same format
    // with no more digits and no sign fits: 0..fitMax of fitFormat.
    int fitFormat = -1;
    int fitMax = -1;
    // The frozen header rows hold the windows' fixed titles, which the
    // windows are sized around; only the results below them can grow. A
    // column is read down its rows, visiting only the cells with a text.
    s.forEachText(c, s.frozenRows() + 1, [&](int r, Sheet::TextId id) {
        const int room = qMax(have, needed) - 2 * kTextPadPx;
        int n = 0;
        int format = 0;
        const bool number = s.numberOf(id, n, format);
        int width = -1; // measured, for a text that is not a number
        if (number) {
            if (n >= 0 && n <= fitMax && format == fitFormat)
                return;
            if (bounds.ofNumber(n, format) <= room) {
                if (n >= 0) {
                    fitFormat = format;
                    fitMax = 9;
                    while (fitMax < n)
                        fitMax = fitMax * 10 + 9;
                }
                return;
            }
        } else if ((width = bounds.textBeyond(id, room)) < 0) {
            return;
        }
        if (m_rowY[std::size_t(r)] == m_rowY[std::size_t(r - 1)] || spillsOver(c, r))
            return;
        if (number && (width = bounds.numberBeyond(id, room)) < 0)
            return;
        if (width > room)
            needed = width + 2 * kTextPadPx;
    });
    return needed;
}

bool SheetPainter::spillsOver(int c, int r) const {
    const Sheet& s = *m_sheet;
    if (!s.overflow())
        return false;
    const bool rightFree = c < s.cols() && !s.hasText(c + 1, r);
    const bool leftFree = c > 1 && !s.hasText(c - 1, r);
    return s.hAlign(c, r) == HAlign::Center ? rightFree && leftFree : rightFree;
}

int SheetPainter::columnWidthPx(int col) const {
    const int cols = int(m_colX.size()) - 1;
    if (col >= 1 && col <= cols)
        return m_colX[std::size_t(col)] - m_colX[std::size_t(col - 1)];
    return nominalColumnPx(col);
}

int SheetPainter::rowHeightPx(int row) const {
    const double h = m_sheet ? m_sheet->rowHeight(row) : 10;
    return h <= 0 ? 0 : qMax(1, qRound(h * m_linePx / 10.0));
}

int SheetPainter::columnX(int col) const {
    const int cols = int(m_colX.size()) - 1;
    if (col <= 1)
        return 0;
    if (col <= cols + 1)
        return m_colX[std::size_t(col - 1)];
    return m_colX.back() + (col - 1 - cols) * nominalColumnPx(cols + 1);
}

int SheetPainter::rowY(int row) const {
    const int rows = int(m_rowY.size()) - 1;
    if (row <= 1)
        return 0;
    if (row <= rows + 1)
        return m_rowY[std::size_t(row - 1)];
    return m_rowY.back() + (row - 1 - rows) * rowHeightPx(rows + 1);
}

QSize SheetPainter::rangeSize(int firstCol, int firstRow, int lastCol, int lastRow) const {
    return {columnX(lastCol + 1) - columnX(firstCol), rowY(lastRow + 1) - rowY(firstRow)};
}

int SheetPainter::frozenWidth() const {
    return m_sheet ? columnX(qMin(m_sheet->frozenCols(), m_sheet->cols()) + 1) : 0;
}

int SheetPainter::frozenHeight() const {
    return m_sheet ? rowY(qMin(m_sheet->frozenRows(), m_sheet->rows()) + 1) : 0;
}

int SheetPainter::colAtX(int x) const {
    const auto it = std::upper_bound(m_colX.begin(), m_colX.end(), x);
    const int last = qMax(1, int(m_colX.size()) - 1);
    return qBound(1, int(it - m_colX.begin()), last);
}

int SheetPainter::rowAtY(int y) const {
    const auto it = std::upper_bound(m_rowY.begin(), m_rowY.end(), y);
    const int last = qMax(1, int(m_rowY.size()) - 1);
    return qBound(1, int(it - m_rowY.begin()), last);
}

// One call of paint: the range, its offset, and the layers collected row by
// row. Every row paints only inside its own band, and in each band the
// backgrounds go first, then the texts, the grid lines and the borders (left,
// right, top and bottom sides in turn, as one cell draws them). So each of
// these can be painted for all rows at once, joined into long rectangles,
// with the same pixels as row by row.
// A text to draw, where and how.
struct SheetPainter::TextItem {
    QRect rect;
    int align;
    Sheet::TextId id;
    Rgb colour;
    bool trimmed = false; // drawn without the spaces around it
};

struct SheetPainter::PaintRange {
    // cellRange: columns x, rows y; origin: the range's top left in sheet
    // pixels.
    PaintRange(int cols, const QRect& cellRange, const QPoint& origin)
        : c1(cellRange.left()), r1(cellRange.top()), c2(cellRange.right()), r2(cellRange.bottom()),
          ox(origin.x()), oy(origin.y()), joined(std::size_t(cols) + 2, 0),
          backs(cols, RectLayer::Edge::Fill), gridLines(cols, RectLayer::Edge::Right),
          rowLines(cols, RectLayer::Edge::Bottom), borders{
                                                       RectLayer(cols, RectLayer::Edge::Left),
                                                       RectLayer(cols, RectLayer::Edge::Right),
                                                       RectLayer(cols, RectLayer::Edge::Top),
                                                       RectLayer(cols, RectLayer::Edge::Bottom)} {}

    int c1, r1, c2, r2; // the cells painted
    int ox, oy;         // the range's origin in sheet pixels
    // Per column of the current row: true when a spilled text covers the
    // line on its right, which is then left out as spreadsheets do. Borders
    // the sheet sets are drawn all the same.
    std::vector<char> joined;
    RectLayer backs;
    RectLayer gridLines;
    RectLayer rowLines;
    std::array<RectLayer, 4> borders;
    std::vector<TextItem> texts;
};

// The cells a text covers: its own, and with overflow the empty neighbours
// it spills into.
struct SheetPainter::TextSpan {
    int start;
    int end;
    int need; // the text's width with its padding; 0 without overflow
};

void SheetPainter::paint(QPainter* painter, int firstCol, int firstRow, int lastCol,
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
    PaintRange range(s.cols(), QRect(QPoint(c1, r1), QPoint(c2, r2)),
                     QPoint(columnX(firstCol), rowY(firstRow)));
    painter->save();
    painter->setFont(m_font);
    Sheet::RowCursor cells(s);
    for (int r = range.r1; r <= range.r2; ++r) {
        const int h = rowHeightPx(r);
        if (h == 0)
            continue;
        cells.seek(r);
        const QRect band(0, rowY(r) - range.oy, 0, h);
        collectBackgrounds(range, cells, band);
        collectTexts(range, cells, band);
        collectLines(range, cells, band);
    }
    paintLayers(*painter, range);
    paintSelection(*painter, range);
    paintActiveCell(*painter, range);
    painter->restore();
}

void SheetPainter::collectBackgrounds(PaintRange& range, const Sheet::RowCursor& cells,
                                      const QRect& band) const {
    // Neighbours of one colour as one rectangle.
    for (int c = range.c1; c <= range.c2;) {
        const Rgb back = cells.backColor(c);
        int end = c + 1;
        while (end <= range.c2 && cells.backColor(end) == back)
            ++end;
        range.backs.addDown(c, columnX(c) - range.ox, band.y(), columnX(end) - columnX(c),
                            band.height(), back);
        c = end;
    }
}

void SheetPainter::collectTexts(PaintRange& range, const Sheet::RowCursor& cells,
                                const QRect& band) const {
    // A spilling text may start left of the range, so the whole row is
    // scanned; a row has few columns.
    const bool overflow = m_sheet->overflow();
    std::fill(range.joined.begin(), range.joined.end(), 0);
    // Joined cells of this row: one cell, its text centred over all of them.
    const int cols = m_sheet->cols();
    std::vector<int> joinedEnd;
    for (const Sheet::JoinedCells& j : m_sheet->joinedCells()) {
        if (j.row != cells.row() || j.first < 1 || j.first >= cols)
            continue;
        const int last = qMin(j.last, cols);
        if (joinedEnd.empty())
            joinedEnd.assign(std::size_t(cols) + 1, 0);
        joinedEnd[std::size_t(j.first)] = last;
        for (int c = j.first; c < last; ++c)
            range.joined[std::size_t(c)] = 1;
    }
    int coveredTo = 0; // last column a text of this row has spread over
    const bool fromStart = overflow || !joinedEnd.empty();
    const int scanTo = fromStart ? cols : range.c2;
    for (int c = fromStart ? 1 : range.c1; c <= scanTo; ++c) {
        const Sheet::TextId id = cells.textId(c);
        if (id == 0)
            continue;
        if (!joinedEnd.empty() && joinedEnd[std::size_t(c)] > c) {
            const int last = joinedEnd[std::size_t(c)];
            coveredTo = last;
            if (last < range.c1 || c > range.c2)
                continue;
            const int x = columnX(c) - range.ox;
            const int width = columnX(last + 1) - columnX(c);
            range.texts.push_back(
                {QRect(x + kTextPadPx, band.y(), width - 2 * kTextPadPx, band.height()),
                 Qt::AlignVCenter | Qt::AlignHCenter, id, cells.foreColor(c), true});
            continue;
        }
        // A text inside joined cells gives way to the run's own.
        if (!joinedEnd.empty() && c <= coveredTo)
            continue;
        const TextSpan span =
            overflow ? spreadText(range, cells, c, coveredTo, id) : TextSpan{c, c, 0};
        coveredTo = span.end;
        if (span.end < range.c1 || span.start > range.c2)
            continue;
        range.texts.push_back(
            placeText(range, cells.hAlign(c), c, span, band, id, cells.foreColor(c)));
    }
}

SheetPainter::TextSpan SheetPainter::spreadText(PaintRange& range, const Sheet::RowCursor& cells,
                                                int c, int coveredTo, Sheet::TextId id) const {
    const int cols = m_sheet->cols();
    TextSpan span{c, c, textWidth(id, m_sheet->textOf(id)) + 2 * kTextPadPx};
    if (cells.hAlign(c) == HAlign::Center) {
        // A centred text spreads evenly over the empty cells on both sides
        // of its own.
        const int half = (span.need - columnWidthPx(c) + 1) / 2;
        while (columnX(span.end + 1) - columnX(c + 1) < half && span.end < cols &&
               cells.textId(span.end + 1) == 0) {
            range.joined[std::size_t(span.end)] = 1;
            ++span.end;
        }
        while (columnX(c) - columnX(span.start) < half && span.start - 1 > coveredTo &&
               cells.textId(span.start - 1) == 0) {
            --span.start;
            range.joined[std::size_t(span.start)] = 1;
        }
    } else {
        while (span.end < cols && columnX(span.end + 1) - columnX(c) < span.need &&
               cells.textId(span.end + 1) == 0) {
            range.joined[std::size_t(span.end)] = 1;
            ++span.end;
        }
    }
    return span;
}

SheetPainter::TextItem SheetPainter::placeText(const PaintRange& range, HAlign hAlign, int c,
                                               const TextSpan& span, const QRect& band,
                                               Sheet::TextId id, Rgb colour) const {
    int x = columnX(span.start) - range.ox;
    int width = columnX(span.end + 1) - columnX(span.start);
    int align = Qt::AlignVCenter;
    if (hAlign == HAlign::Center && (span.start < c || span.end > c)) {
        // Centred on its own cell, kept inside the cells it covers.
        const int covered = width;
        width = qMin(span.need, covered);
        x += qBound(0, (columnX(c) + columnX(c + 1)) / 2 - columnX(span.start) - width / 2,
                    covered - width);
        align |= Qt::AlignHCenter;
    } else if (span.end > c || hAlign == HAlign::Left) {
        align |= Qt::AlignLeft;
    } else if (hAlign == HAlign::Right) {
        align |= Qt::AlignRight;
    } else {
        align |= Qt::AlignHCenter;
    }
    return {QRect(x + kTextPadPx, band.y(), width - 2 * kTextPadPx, band.height()), align, id,
            colour};
}

void SheetPainter::collectLines(PaintRange& range, const Sheet::RowCursor& cells,
                                const QRect& band) const {
    // Grid lines along the bottom and on the right of each cell but one a
    // text spills over; then the borders.
    const int y = band.y();
    const int h = band.height();
    range.rowLines.addRight(columnX(range.c1) - range.ox, y + h - 1,
                            columnX(range.c2 + 1) - columnX(range.c1), 1, kGridLine);
    for (int c = range.c1; c <= range.c2; ++c) {
        const int w = columnWidthPx(c);
        if (w == 0)
            continue;
        const int x = columnX(c) - range.ox;
        if (!range.joined[std::size_t(c)])
            range.gridLines.addDown(c, x + w - 1, y, 1, h, kGridLine);
        const int mask = cells.borderMask(c);
        if (mask == 0)
            continue;
        if (mask & BorderLeft)
            range.borders[0].addDown(c, x, y, 1, h, cells.borderColor(c, 0));
        if (mask & BorderRight)
            range.borders[1].addDown(c, x + w - 1, y, 1, h, cells.borderColor(c, 1));
        if (mask & BorderTop)
            range.borders[2].addRight(x, y, w, 1, cells.borderColor(c, 2));
        if (mask & BorderBottom)
            range.borders[3].addRight(x, y + h - 1, w, 1, cells.borderColor(c, 3));
    }
}

void SheetPainter::paintLayers(QPainter& painter, PaintRange& range) const {
    // A scaled picture on a raster device (the print preview) is snapped to
    // whole pixels; a printer, a PDF and the grids on screen get the
    // rectangles as they are.
    const int device = painter.device() ? painter.device()->devType() : 0;
    const bool snap =
        painter.worldTransform().type() == QTransform::TxScale &&
        (device == QInternal::Widget || device == QInternal::Image || device == QInternal::Pixmap);
    range.backs.paint(painter, snap);
    Rgb textColour = 0;
    for (std::size_t i = 0; i < range.texts.size(); ++i) {
        const TextItem& t = range.texts[i];
        if (i == 0 || t.colour != textColour) {
            textColour = t.colour;
            painter.setPen(toColor(textColour));
        }
        drawCellText(painter, t.rect, t.align,
                     t.trimmed ? m_sheet->textOf(t.id).trimmed() : m_sheet->textOf(t.id));
    }
    range.gridLines.paint(painter, snap);
    range.rowLines.paint(painter, snap);
    for (RectLayer& side : range.borders)
        side.paint(painter, snap);
}

void SheetPainter::paintSelection(QPainter& painter, const PaintRange& range) const {
    const QRect sel =
        m_selection.intersected(QRect(QPoint(range.c1, range.r1), QPoint(range.c2, range.r2)));
    if (sel.isEmpty())
        return;
    const auto pixels = [&](const QRect& block) {
        return QRect(columnX(block.left()) - range.ox, rowY(block.top()) - range.oy,
                     columnX(block.right() + 1) - columnX(block.left()),
                     rowY(block.bottom() + 1) - rowY(block.top()));
    };
    painter.fillRect(pixels(sel), kSelectionFill);
    // The frame goes round the whole selection, so that a selection painted
    // in parts (frozen and scrolling) shows one frame; the caller's clip cuts
    // what lies outside the range.
    painter.setPen(QPen(kSelectionEdge, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(pixels(m_selection).adjusted(0, 0, -1, -1));
}

void SheetPainter::paintActiveCell(QPainter& painter, const PaintRange& range) const {
    const int ac = m_sheet->activeCol();
    const int ar = m_sheet->activeRow();
    if (!m_showActive || ac < range.c1 || ac > range.c2 || ar < range.r1 || ar > range.r2)
        return;
    QPen pen(Qt::black, 2);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(columnX(ac) - range.ox + 1, rowY(ar) - range.oy + 1,
                           columnWidthPx(ac) - 2, rowHeightPx(ar) - 2));
}

} // namespace peridon
