#pragma once

#include <QList>
#include <QString>

class QMdiArea;
class QMenu;

namespace peridon {

class Store;

// What a child window needs from the main window, without depending on it.
class ChildHost {
public:
    virtual ~ChildHost() = default;
    // propEnd: false while a child window loads, true when one unloads.
    virtual void setPropEnd(bool value) = 0;
    // The area child windows are shown in; a child places itself at its 0,0.
    virtual QMdiArea* mdiArea() const = 0;
    // The start-up snapshot, statistics and connection string.
    virtual const Store& store() const = 0;
    // A child window changed the draw database (what: a sentence saying
    // so): the analyses read the start-up snapshot, so the user is offered
    // a restart once the window has gone.
    virtual void dataChanged(const QString& what) { Q_UNUSED(what); }
};

// A child window with a menu of its own that takes the place of the main
// window's menu bar while the child is the active one.
class HasWindowMenu {
public:
    virtual ~HasWindowMenu() = default;
    virtual QList<QMenu*> windowMenus() const = 0;
};

} // namespace peridon
