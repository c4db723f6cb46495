#pragma once

class QWidget;

namespace peridon {

// Closes the child window that holds `widget`: the QMdiSubWindow it is shown
// in when there is one (the main window deletes that frame on close, and the
// child widget with it), otherwise the widget's own top-level window. Child
// windows call this from their "閉じる" button; their closeEvent or destructor
// is where they report setPropEnd(true).
void closeChildWindow(QWidget* widget);

} // namespace peridon
