#include "core/sheet/SheetPrint.h"

#include "core/files/PublishFile.h"

#include "core/sheet/GridFont.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

constexpr double kLayoutDpi = 96; // the grid is laid out in screen pixels
constexpr int kNoteGapPx = 6;
constexpr int kGridGapPx = 14;
const QColor kCaptionText(255, 0, 0);
const QColor kFooterText(80, 80, 80);

double pointsToPx(double pt) {
    return pt * kLayoutDpi / 72.0;
}

// The grid font at a fixed pixel size: on a printer or a PDF a point size
// would be turned into pixels at the device's resolution, while the layout
// and the painter's scale are in screen pixels.
QFont printFont(int pixelSize) {
    QFont f = gridFont();
    f.setPixelSize(pixelSize);
    return f;
}

int lineHeight(const QFont& f) {
    return QFontMetrics(f).height() + 2;
}

// Paints cells c1..c2 x r1..r2 into rect of the painter's coordinates,
// clipped to it so that texts spilling from outside stop at its edge.
void paintPart(QPainter& p, const SheetPainter& sp, const QRectF& rect, int c1, int r1, int c2,
               int r2) {
    if (rect.isEmpty() || c1 > c2 || r1 > r2)
        return;
    p.save();
    p.setClipRect(rect, Qt::IntersectClip);
    p.translate(rect.topLeft());
    sp.paint(&p, c1, r1, c2, r2);
    p.restore();
}

} // namespace

SheetPrinter::SheetPrinter(const PrintDocument& doc) : m_doc(doc), m_font(printFont(12)) {
    m_painters.reserve(doc.grids.size());
    for (const PrintDocument::Grid& g : doc.grids) {
        SheetPainter& sp = m_painters.emplace_back(m_font);
        sp.setShowActiveCell(false);
        sp.setSheet(g.sheet);
    }
}

double SheetPrinter::footerHeightPx() const {
    return lineHeight(printFont(m_doc.footerPixels)) + 6;
}

QSizeF SheetPrinter::onePageSizePx() const {
    const int line = lineHeight(m_font);
    double w = 0;
    double h = 0;
    const QFontMetrics fm(m_font);
    for (const QString& note : m_doc.notes) {
        w = qMax(w, double(fm.horizontalAdvance(note)));
        h += line;
    }
    if (!m_doc.notes.isEmpty())
        h += kNoteGapPx;
    for (std::size_t i = 0; i < m_painters.size(); ++i) {
        if (i > 0)
            h += kGridGapPx;
        if (!m_doc.grids[i].caption.isEmpty()) {
            w = qMax(w, double(fm.horizontalAdvance(m_doc.grids[i].caption)));
            h += line;
        }
        w = qMax(w, double(m_painters[i].totalWidth()));
        h += m_painters[i].totalHeight();
    }
    if (m_doc.figure) {
        if (!m_painters.empty())
            h += kGridGapPx;
        w = qMax(w, m_doc.figureSize.width());
        h += m_doc.figureSize.height();
    }
    return {w, h};
}

QPageLayout::Orientation SheetPrinter::preferredOrientation(const QPageLayout& layout) const {
    QPageLayout portrait = layout;
    portrait.setOrientation(QPageLayout::Portrait);
    const double room = pointsToPx(portrait.paintRect(QPageLayout::Point).width());
    double width = 0;
    if (m_doc.onePage())
        width = onePageSizePx().width();
    else if (!m_painters.empty())
        width = m_painters.front().totalWidth();
    return width <= room ? QPageLayout::Portrait : QPageLayout::Landscape;
}

QPageLayout SheetPrinter::defaultPageLayout() const {
    QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
    layout.setOrientation(preferredOrientation(layout));
    return layout;
}

double SheetPrinter::fitScale(double availableWidthPx) const {
    if (m_painters.empty() || !m_fitToWidth)
        return 1;
    const int width = m_painters.front().totalWidth();
    return width <= availableWidthPx || width == 0 ? 1 : availableWidthPx / width;
}

void SheetPrinter::paginate(const QSizeF& printablePt) {
    m_pages.clear();
    const double availW = pointsToPx(printablePt.width());
    const double availH = pointsToPx(printablePt.height()) - footerHeightPx();
    if (m_doc.onePage() || m_painters.empty()) {
        const QSizeF size = onePageSizePx();
        m_scale =
            qMin(1.0, qMin(availW / qMax(1.0, size.width()), availH / qMax(1.0, size.height())));
        m_pages.push_back(Page{});
        return;
    }
    const SheetPainter& sp = m_painters.front();
    const Sheet& s = *sp.sheet();
    m_scale = fitScale(availW);
    const int fr = qMin(s.frozenRows(), s.rows());
    const int fc = qMin(s.frozenCols(), s.cols());
    const double pageH = availH / m_scale - sp.frozenHeight();
    const double pageW = availW / m_scale - sp.frozenWidth();

    // Bands of whole rows (columns) that fit below (beside) the frozen ones;
    // a band holds at least one, even when it is taller than the page.
    const auto bands = [](int first, int last, double room, auto size) {
        std::vector<std::pair<int, int>> out;
        int i = first;
        while (i <= last) {
            const int start = i;
            double used = size(i++);
            while (i <= last && used + size(i) <= room)
                used += size(i++);
            out.emplace_back(start, i - 1);
        }
        if (out.empty())
            out.emplace_back(first, first - 1);
        return out;
    };
    const auto rowBands =
        bands(fr + 1, s.rows(), pageH, [&](int r) { return double(sp.rowHeightPx(r)); });
    const auto colBands = m_fitToWidth ? std::vector<std::pair<int, int>>{{fc + 1, s.cols()}}
                                       : bands(fc + 1, s.cols(), pageW,
                                               [&](int c) { return double(sp.columnWidthPx(c)); });
    // Down, then across, as spreadsheets print.
    for (const auto& [c1, c2] : colBands)
        for (const auto& [r1, r2] : rowBands)
            m_pages.push_back(Page{r1, r2, c1, c2});
}

QStringList SheetPrinter::footer(int index) const {
    return {m_doc.caption, u"%1 / %2 ページ"_s.arg(index + 1).arg(pageCount()),
            u"最終回 第%1回　印刷日 %2"_s.arg(m_doc.lastDrawNo)
                .arg(m_doc.printDate.toString(u"yyyy/MM/dd"_s))};
}

void SheetPrinter::paintGridPage(QPainter& p, int index, const QRectF& area) const {
    const SheetPainter& sp = m_painters.front();
    const Sheet& s = *sp.sheet();
    const Page& page = m_pages[std::size_t(index)];
    const int fr = qMin(s.frozenRows(), s.rows());
    const int fc = qMin(s.frozenCols(), s.cols());
    const double fw = sp.frozenWidth();
    const double fh = sp.frozenHeight();
    const double bandW = sp.columnX(page.lastCol + 1) - sp.columnX(page.firstCol);
    const double bandH = sp.rowY(page.lastRow + 1) - sp.rowY(page.firstRow);
    p.save();
    p.translate(area.topLeft());
    p.scale(m_scale, m_scale);
    paintPart(p, sp, QRectF(0, 0, fw, fh), 1, 1, fc, fr);
    paintPart(p, sp, QRectF(fw, 0, bandW, fh), page.firstCol, 1, page.lastCol, fr);
    paintPart(p, sp, QRectF(0, fh, fw, bandH), 1, page.firstRow, fc, page.lastRow);
    paintPart(p, sp, QRectF(fw, fh, bandW, bandH), page.firstCol, page.firstRow, page.lastCol,
              page.lastRow);
    p.restore();
}

void SheetPrinter::paintOnePage(QPainter& p, const QRectF& area) const {
    const int line = lineHeight(m_font);
    p.save();
    p.translate(area.topLeft());
    p.scale(m_scale, m_scale);
    p.setFont(m_font);
    double y = 0;
    p.setPen(Qt::black);
    for (const QString& note : m_doc.notes) {
        p.drawText(QRectF(0, y, area.width() / m_scale, line), Qt::AlignLeft | Qt::AlignVCenter,
                   note);
        y += line;
    }
    if (!m_doc.notes.isEmpty())
        y += kNoteGapPx;
    for (std::size_t i = 0; i < m_painters.size(); ++i) {
        if (i > 0)
            y += kGridGapPx;
        const SheetPainter& sp = m_painters[i];
        if (!m_doc.grids[i].caption.isEmpty()) {
            p.setFont(m_font);
            p.setPen(kCaptionText);
            p.drawText(QRectF(0, y, area.width() / m_scale, line), Qt::AlignLeft | Qt::AlignVCenter,
                       m_doc.grids[i].caption);
            y += line;
        }
        const Sheet* s = sp.sheet();
        if (s)
            paintPart(p, sp, QRectF(0, y, sp.totalWidth(), sp.totalHeight()), 1, 1, s->cols(),
                      s->rows());
        y += sp.totalHeight();
    }
    if (m_doc.figure) {
        if (!m_painters.empty())
            y += kGridGapPx;
        p.save();
        m_doc.figure(p, QRectF(QPointF(0, y), m_doc.figureSize));
        p.restore();
    }
    p.restore();
}

void SheetPrinter::paintPage(QPainter& painter, int index, const QRect& deviceRect, int dpi) const {
    if (index < 0 || index >= pageCount())
        return;
    const double s = dpi / kLayoutDpi;
    painter.save();
    painter.translate(deviceRect.topLeft());
    painter.scale(s, s);
    const QRectF page(0, 0, deviceRect.width() / s, deviceRect.height() / s);
    const double footerH = footerHeightPx();
    const QRectF content(page.left(), page.top(), page.width(), page.height() - footerH);
    if (m_doc.onePage() || m_painters.empty())
        paintOnePage(painter, content);
    else
        paintGridPage(painter, index, content);

    const QFont small = printFont(m_doc.footerPixels);
    const QRectF foot(page.left(), page.bottom() - footerH + 6, page.width(), footerH - 6);
    painter.fillRect(QRectF(page.left(), foot.top() - 3, page.width(), 0.5), kFooterText);
    painter.setFont(small);
    painter.setPen(kFooterText);
    const QStringList texts = footer(index);
    painter.drawText(foot, Qt::AlignLeft | Qt::AlignVCenter, texts[0]);
    painter.drawText(foot, Qt::AlignHCenter | Qt::AlignVCenter, texts[1]);
    painter.drawText(foot, Qt::AlignRight | Qt::AlignVCenter, texts[2]);
    painter.restore();
}

bool SheetPrinter::print(QPagedPaintDevice* device) {
    if (!device)
        return false;
    paginate(device->pageLayout().paintRect(QPageLayout::Point).size());
    QPainter painter;
    if (!painter.begin(device))
        return false;
    const QRect rect(0, 0, device->width(), device->height());
    const int dpi = device->logicalDpiX();
    for (int i = 0; i < pageCount(); ++i) {
        if (i > 0 && !device->newPage())
            return false;
        paintPage(painter, i, rect, dpi);
    }
    return painter.end();
}

bool writePdf(const PrintDocument& doc, const QString& path, QString& error) {
    SheetPrinter printer(doc);
    return writePdf(printer, printer.defaultPageLayout(), doc.caption, path, error);
}

bool writePdf(SheetPrinter& printer, const QPageLayout& layout, const QString& title,
              const QString& path, QString& error) {
    const PublishResult r = publishWith(
        path,
        [&](QFile& file, QString& problem) {
            QPdfWriter writer(&file);
            writer.setResolution(600);
            writer.setCreator(u"ナンバーズ3ペリドン"_s);
            writer.setTitle(title);
            writer.setPageLayout(layout);
            if (printer.print(&writer))
                return true;
            problem = u"PDFを作成できません。"_s;
            return false;
        },
        PublishOptions{.kind = u"PDFファイル"_s});
    if (!r)
        error = r.message();
    return r.ok();
}

} // namespace peridon
