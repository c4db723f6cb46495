#include "analysis/AnalysisWindow.h"

namespace peridon {

// Placeholder until the analysis frame is built: an empty window.
QWidget* createAnalysisWindow(const AnalysisInfo& info, ChildHost& host) {
    Q_UNUSED(host);
    auto* w = new QWidget;
    w->setObjectName(info.className);
    w->setWindowTitle(info.caption);
    return w;
}

} // namespace peridon
