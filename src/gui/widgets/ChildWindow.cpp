#include "gui/widgets/ChildWindow.h"

#include <QMdiSubWindow>
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

} // namespace peridon
