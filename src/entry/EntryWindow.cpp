#include "entry/EntryWindow.h"

namespace peridon {

// Placeholder until the entry window is built: an empty window.
QWidget* createEntryWindow(ChildHost& host) {
    Q_UNUSED(host);
    auto* w = new QWidget;
    w->setObjectName(QStringLiteral("当選データ入力"));
    w->setWindowTitle(QStringLiteral("当選データ入力"));
    return w;
}

} // namespace peridon
