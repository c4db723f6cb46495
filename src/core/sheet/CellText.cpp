#include "core/sheet/CellText.h"

#include <QMutex>
#include <QPainter>
#include <QTextLayout>

#include <memory>
#include <unordered_map>

namespace peridon {

namespace {

// A long sheet scrolled from end to end would keep a layout for every
// number on it; a few thousand are plenty for what the windows show.
constexpr std::size_t kMaxLayouts = 4096;

// Whether drawText() lays the text out as one plain line.
bool plainLine(const QString& text) {
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x20 || u == 0x9c || u == 0x2028 || u == 0x2029)
            return false;
    }
    return true;
}

// The layout of a text in a font, shared by every grid: the windows show
// the same marks, digits and titles, so a window opened later finds most of
// its texts laid out already. The layouts are kept to the end of the
// process on purpose: freed after the application, they would reach into
// its font engines, which are gone by then.
std::shared_ptr<const QTextLayout> sharedLayout(const QString& text, const QFont& font,
                                                Qt::LayoutDirection direction) {
    struct Hash {
        std::size_t operator()(const QString& s) const noexcept { return qHash(QStringView(s)); }
    };
    struct Shared {
        QMutex mutex;
        std::unordered_map<QString, std::shared_ptr<const QTextLayout>, Hash> layouts;
        QFont font;
        Qt::LayoutDirection direction = Qt::LeftToRight;
    };
    static Shared* const shared = new Shared;
    const QMutexLocker lock(&shared->mutex);
    auto& known = shared->layouts;
    if (font != shared->font || direction != shared->direction || known.size() >= kMaxLayouts) {
        known.clear();
        shared->font = font;
        shared->direction = direction;
    }
    auto& slot = known[text];
    if (!slot) {
        auto layout = std::make_shared<QTextLayout>(text, font);
        QTextOption option(Qt::AlignLeft);
        option.setTextDirection(direction);
        layout->setTextOption(option);
        layout->setCacheEnabled(true);
        layout->beginLayout();
        QTextLine line = layout->createLine();
        line.setLineWidth(0x01000000);
        line.setPosition(QPointF(0, 0));
        layout->endLayout();
        slot = std::move(layout);
    }
    return slot;
}

} // namespace

void drawCellText(QPainter& painter, const QRect& rect, int flags, const QString& text) {
    if (painter.transform().type() > QTransform::TxTranslate || !plainLine(text) ||
        (flags & ~int(Qt::AlignHorizontal_Mask | Qt::AlignVertical_Mask)) != 0) {
        painter.drawText(rect, flags, text);
        return;
    }
    const std::shared_ptr<const QTextLayout> layout =
        sharedLayout(text, painter.font(), painter.layoutDirection());
    const QTextLine line = layout->lineAt(0);
    const QRectF r(rect);
    const qreal height = line.height();
    const qreal width = line.naturalTextWidth();
    // drawText() clips the text to the rectangle only when the text's box
    // (a centred one put on a whole pixel) does not fit in it; the text
    // itself goes where it falls.
    qreal yoff = 0;
    if (flags & Qt::AlignBottom)
        yoff = r.height() - height;
    else if (flags & Qt::AlignVCenter)
        yoff = (r.height() - height) / 2;
    qreal xoff = 0;
    if (flags & Qt::AlignRight)
        xoff = r.width() - width;
    else if (flags & Qt::AlignHCenter)
        xoff = qRound((r.width() - width) / 2);
    const bool clip = !r.contains(QRectF(r.x() + xoff, r.y() + yoff, width, height));
    if (clip) {
        painter.save();
        painter.setClipRect(r, Qt::IntersectClip);
    }
    const qreal advance = line.horizontalAdvance();
    xoff = 0;
    if (flags & Qt::AlignRight)
        xoff = r.width() - advance;
    else if (flags & Qt::AlignHCenter)
        xoff = (r.width() - advance) / 2;
    line.draw(&painter, QPointF(r.x() + xoff, r.y() + yoff));
    if (clip)
        painter.restore();
}

} // namespace peridon
