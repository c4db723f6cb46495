#include "gui/widgets/ChildWindow.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVariant>
#include <QWidget>

namespace peridon {

void closeChildWindow(QWidget* widget) {
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) {
            sub->close();
            return;
        }
    }
    if (widget)
        widget->window()->close();
}

namespace {
constexpr char kLoadSize[] = "peridonLoadSize";
} // namespace

void placeChildWindow(QMdiSubWindow* sub, const QSize& size) {
    if (!sub)
        return;
    sub->setProperty(kLoadSize, size);
    QSize fitted = size;
    if (const QMdiArea* area = sub->mdiArea()) {
        const QSize room = area->viewport()->size();
        if (room.isValid() && !room.isEmpty())
            fitted = fitted.boundedTo(room);
    }
    sub->setGeometry(QRect(QPoint(0, 0), fitted));
}

QSize loadSize(const QMdiSubWindow* sub) {
    const QVariant size = sub->property(kLoadSize);
    return size.isValid() ? size.toSize() : sub->size();
}

} // namespace peridon
