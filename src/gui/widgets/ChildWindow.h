#pragma once

class QMdiSubWindow;
class QSize;
class QWidget;

namespace peridon {

// Closes the child window that holds `widget`: the QMdiSubWindow it is shown
// in when there is one (the main window deletes that frame on close, and the
// child widget with it), otherwise the widget's own top-level window. Child
// windows call this from their "閉じる" button; their closeEvent or destructor
// is where they report setPropEnd(true).
void closeChildWindow(QWidget* widget);

// Puts a child window's frame at the top-left corner of its area with the
// size it takes on load, cut to the area so that no part of it opens out of
// reach (the window's own layout then shrinks its grid, which scrolls). The
// size asked for is kept as the window's own size: cascading restores it.
void placeChildWindow(QMdiSubWindow* sub, const QSize& size);
// The size a child window was given on load; its present size when it was
// placed some other way.
QSize loadSize(const QMdiSubWindow* sub);

} // namespace peridon
