#pragma once

#include "core/store/Store.h"
#include "gui/app/ExportCommand.h"
#include "gui/app/ImportDialog.h"
#include "gui/widgets/ChildHost.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace peridon {

class 一発ペリドン;
class HelpLauncher;

// The program's multiple-document main window: the menu bar that opens every
// window, the flag propEnd through which child windows report that they are
// open, window arrangement, and start-up and shutdown.
//
// Child windows are plain widgets that MainFrm puts into a QMdiSubWindow
// deleted on close. A child closes itself with closeChildWindow(this)
// (ui/ChildWindow.h); the frame's close event reaches the child widget first,
// so a child reports setPropEnd(true) from its closeEvent or destructor.
class MainFrm final : public QMainWindow, public ChildHost {
    Q_OBJECT
public:
    explicit MainFrm(QWidget* parent = nullptr);
    ~MainFrm() override;

    // The load: the prediction object reads its settings, then the store is
    // opened and its statistics computed under the wait cursor. On a store
    // failure one stop message names the file and the cause and false comes
    // back (the program then ends).
    bool Load(const ConnectString& cs);
    // The same load over a store already built (tests).
    void Load(Store store);

    // ChildHost
    void setPropEnd(bool value) override { m_propEnd = value; }
    QMdiArea* mdiArea() const override { return m_mdiArea; }
    const Store& store() const override { return m_store; }
    void dataChanged(const QString& what) override;

    bool propEndForTest() const { return m_propEnd; }
    一発ペリドン* predictionWindow() const { return m_predictionWindow.get(); }

    // The show-window pattern: wait cursor, one pass over pending events,
    // then the single instance of the window named `key` is brought to the
    // front, or created by `make` (which loads and computes it) and shown.
    using ChildFactory = std::function<QWidget*()>;
    QMdiSubWindow* showChild(const QString& key, const ChildFactory& make);
    QMdiSubWindow* childWindow(const QString& key) const;

    // The four arrangements of the window menu.
    void cascade();
    void tileHorizontally(); // one above the other, full width
    void tileVertically();   // side by side, full height
    void arrangeIcons();     // minimised windows in a row along the bottom

    // The window menu's list of open child windows, as it is when opened:
    // "&1 caption" to "&9 caption" in the order they were opened, the active
    // one checked, the rest under その他のウィンドウ.
    void updateWindowMenu();
    QMenu* windowMenu() const { return m_windowMenu; }
    // The keys of the window menu that act on child windows.
    void closeActiveChild();      // Ctrl+F4
    void activateNextChild();     // Ctrl+F6, Ctrl+Tab
    void activatePreviousChild(); // Ctrl+Shift+F6, Ctrl+Shift+Tab
    // F1: the help page of the active child window, the introduction when
    // none is open.
    void helpForActiveWindow();
    // The help keyword of a child window's page; empty when it has none.
    QString helpKeywordFor(const QMdiSubWindow* sub) const;

    // What the import and export ask the user, and what a restart does;
    // tests replace them.
    ImportHooks& importHooks() { return m_importHooks; }
    ExportHooks& exportHooks() { return m_exportHooks; }
    void setRestartAction(std::function<void()> restart) { m_restart = std::move(restart); }
    // Closes every window (the settings file is written) and starts the
    // program again with the same arguments.
    void restartProgram();
    // The question after the data changed: restart now?
    void offerRestart(const QString& what);

    QWidget* aboutWindow() const;
    HelpLauncher* helpLauncher() const { return m_helpLauncher.get(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tile(Qt::Orientation stacking);
    void createMenus();
    QMenu* addMenu(QWidget* parent, const QString& name, const QString& caption);
    QAction* addCommand(QMenu* menu, const char* name, const QString& caption,
                        void (MainFrm::*slot)());
    void load(const std::function<Store()>& open);
    void Unload();
    void showMainMenus();
    void onSubWindowActivated(QMdiSubWindow* sub);
    QList<QMdiSubWindow*> normalWindows() const;
    QList<QMdiSubWindow*> listedWindows() const;
    void activateChild(QMdiSubWindow* sub);
    void placeNewIcon(QMdiSubWindow* sub);
    void createWindowKeys();

    void mnuYoso_Click();
    void mnuBacktest_Click();
    void mnuMasterInput_Click();
    void mnuImport_Click();
    void mnuExport_Click();
    void mnuHelpFile_Click();
    void mnuAbout_Click();
    void showAnalysis(const QString& className);

    Store m_store;
    QMdiArea* m_mdiArea = nullptr;
    bool m_propEnd = true;
    bool m_loaded = false;
    bool m_unloaded = false;
    bool m_closing = false;
    // The prediction window is shown on the first activation and on a
    // return from the About window, not on one from a message box, the help
    // viewer or another application.
    bool m_activatedOnce = false;
    bool m_returnFromAbout = false;
    bool m_aboutClosed = false;
    std::unique_ptr<一発ペリドン> m_predictionWindow;
    std::unique_ptr<HelpLauncher> m_helpLauncher;
    QAction* m_endAction = nullptr;
    QAction* m_predictionAction = nullptr;
    QList<QMenu*> m_mainMenus;
    QMenu* m_windowMenu = nullptr;
    // The entries of the window menu that list child windows (rebuilt each
    // time it opens).
    QList<QAction*> m_windowListActions;
    QHash<QString, QPointer<QMdiSubWindow>> m_children;
    QPointer<QWidget> m_aboutWindow;
    ImportHooks m_importHooks;
    ExportHooks m_exportHooks;
    std::function<void()> m_restart;
};

} // namespace peridon
