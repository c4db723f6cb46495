#include "gui/app/MainFrm.h"

#include "core/analysis/AnalysisRegistry.h"
#include "gui/analysis/AnalysisLayout.h"
#include "gui/analysis/AnalysisWindow.h"
#include "gui/app/AboutWindow.h"
#include "gui/app/HelpLauncher.h"
#include "gui/entry/EntryWindow.h"
#include "gui/prediction/BacktestWindow.h"
#include "gui/prediction/PredictionWindow.h"
#include "gui/widgets/ChildWindow.h"
#include "gui/widgets/Messages.h"

#include <QApplication>
#include <QChildEvent>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionTitleBar>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {
const QString kEntryWindow = u"当選データ入力"_s;
const QString kAboutWindow = u"バージョン情報"_s;
const QString kBacktestWindow = u"予想の検証"_s;
} // namespace

MainFrm::MainFrm(QWidget* parent) : QMainWindow(parent) {
    setObjectName(u"MainFrm"_s);
    setWindowTitle(kAppTitle);
    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName(u"mdiArea"_s);
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &MainFrm::onSubWindowActivated);
    // Minimised windows are placed where they can be seen as they go.
    m_mdiArea->viewport()->installEventFilter(this);
    m_helpLauncher = std::make_unique<HelpLauncher>();
    createMenus();
    createWindowKeys();
    resize(1024, 768);
}

MainFrm::~MainFrm() {
    // Children go first: their unload still reports to this window.
    // Closed sub-windows still waiting for their deferred delete count too.
    if (m_mdiArea) {
        QList<QPointer<QMdiSubWindow>> subs;
        for (QMdiSubWindow* sub : m_mdiArea->findChildren<QMdiSubWindow*>())
            subs << sub;
        for (const QPointer<QMdiSubWindow>& sub : subs)
            delete sub.data();
    }
    delete m_aboutWindow.data();
}

QMenu* MainFrm::addMenu(QWidget* parent, const QString& name, const QString& caption) {
    // Top-level menus belong to the window, not to the menu bar, so that a
    // child's menus can take the bar's place and give it back.
    auto* menu = new QMenu(caption, parent);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    if (auto* parentMenu = qobject_cast<QMenu*>(parent))
        parentMenu->addMenu(menu);
    else
        m_mainMenus.append(menu);
    return menu;
}

QAction* MainFrm::addCommand(QMenu* menu, const char* name, const QString& caption,
                             void (MainFrm::*slot)()) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (slot)
        connect(action, &QAction::triggered, this, slot);
    return action;
}

void MainFrm::createMenus() {
    // 終了 and 一発ペリドン予想 are commands on the menu bar itself; they are
    // kept as menu-bar actions owned by this window.
    auto* end = new QAction(u"終了(&X)"_s, this);
    end->setObjectName(u"mnuEnd"_s);
    connect(end, &QAction::triggered, this, &QWidget::close);
    auto* yoso = new QAction(u"一発ペリドン予想(&D)"_s, this);
    yoso->setObjectName(u"mnuYoso"_s);
    connect(yoso, &QAction::triggered, this, &MainFrm::mnuYoso_Click);

    QMenu* main = addMenu(this, u"mnuMain"_s, u"データ分析(&S)"_s);
    // The analysis commands and their submenus come from the registry, in its
    // order; a submenu stands where its first command does.
    QMenu* sub = nullptr;
    for (const AnalysisInfo& info : analysisRegistry()) {
        const AnalysisLayout& layout = analysisLayout(info.className);
        QMenu* into = main;
        if (!layout.submenuName.isEmpty()) {
            if (!sub || sub->objectName() != layout.submenuName)
                sub = addMenu(main, layout.submenuName, layout.submenuCaption);
            into = sub;
        } else {
            sub = nullptr;
        }
        QAction* a = into->addAction(layout.menuCaption);
        a->setObjectName(layout.menuName);
        const QString className = info.className;
        connect(a, &QAction::triggered, this, [this, className] { showAnalysis(className); });
    }

    main->addSeparator();
    addCommand(main, "mnuBacktest", u"予想の検証(&B)"_s, &MainFrm::mnuBacktest_Click);

    QMenu* hosyu = addMenu(this, u"mnuHosyu"_s, u"データ管理(&M)"_s);
    addCommand(hosyu, "mnuMasterInput", u"当選データ入力(&I)"_s, &MainFrm::mnuMasterInput_Click);
    addCommand(hosyu, "mnuMasterKanri", u"当選データ保守(&D)"_s, nullptr)->setEnabled(false);
    addCommand(hosyu, "mnuImport", u"当選データの取り込み(&C)..."_s, &MainFrm::mnuImport_Click);
    addCommand(hosyu, "mnuExport", u"当選データの書き出し(&E)..."_s, &MainFrm::mnuExport_Click);

    QMenu* window = addMenu(this, u"mnuWindow"_s, u"ウィンドウ(&W)"_s);
    addCommand(window, "mnuWindowHorizontal", u"上下に並べて表示(&H)"_s,
               &MainFrm::tileHorizontally);
    addCommand(window, "mnuWindowVertical", u"左右に並べて表示(&V)"_s, &MainFrm::tileVertically);
    addCommand(window, "mnuWindowCascade", u"重ねて表示(&C)"_s, &MainFrm::cascade);
    addCommand(window, "mnuWindowArrangeIcon", u"アイコンの整列(&A)"_s, &MainFrm::arrangeIcons);
    m_windowMenu = window;
    connect(window, &QMenu::aboutToShow, this, &MainFrm::updateWindowMenu);

    QMenu* help = addMenu(this, u"mnuHelp"_s, u"ヘルプ(&H)"_s);
    addCommand(help, "mnuHelpFile", u"ヘルプ(&H)"_s, &MainFrm::mnuHelpFile_Click);
    addCommand(help, "mnuAbout", u"バージョン情報(&A)"_s, &MainFrm::mnuAbout_Click);

    // Display order: the two commands, then the menus.
    m_endAction = end;
    m_predictionAction = yoso;
    showMainMenus();
}

void MainFrm::showMainMenus() {
    QMenuBar* bar = menuBar();
    bar->clear();
    bar->addAction(m_endAction);
    bar->addAction(m_predictionAction);
    for (QMenu* menu : std::as_const(m_mainMenus))
        bar->addMenu(menu);
}

void MainFrm::load(const std::function<Store()>& open) {
    // The prediction object exists, with its options read, before anything
    // else; it is shown only on the first activation.
    m_predictionWindow = std::make_unique<一発ペリドン>(*this);
    m_predictionWindow->ReadInitFile();
    WaitCursor wait;
    QCoreApplication::processEvents();
    m_propEnd = true;
    m_store = open();
    m_loaded = true;
}

bool MainFrm::Load(const ConnectString& cs) {
    try {
        load([&cs] { return Store::open(cs); });
        return true;
    } catch (const DbError& e) {
        QString text = u"データベースを開けないため、終了します。\n\n"_s + e.message();
        const QString file = QFileInfo(cs.path).fileName();
        if (!file.isEmpty() && !text.contains(file))
            text += u"\nファイル："_s + QDir::toNativeSeparators(cs.path);
        messages::stop(nullptr, text);
        return false;
    }
}

void MainFrm::Load(Store store) {
    load([&store] { return std::move(store); });
}

void MainFrm::Unload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (m_predictionWindow)
        m_predictionWindow->WriteInitFile();
    // Releasing the store never fails the exit.
    try {
        m_store = Store();
    } catch (...) {
    }
    WaitCursor wait;
    QCoreApplication::processEvents();
}

void MainFrm::closeEvent(QCloseEvent* event) {
    if (!m_unloaded) {
        m_closing = true;
        m_mdiArea->closeAllSubWindows();
        // The main window closes without a question: a child that declined
        // to close goes anyway.
        qDeleteAll(m_mdiArea->subWindowList());
        if (m_aboutWindow)
            m_aboutWindow->close();
        m_helpLauncher->closeViewer();
        Unload();
    }
    event->accept();
}

void MainFrm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (!isActiveWindow()) {
        // The window that takes the focus is already the active one here.
        // Only the About window is a window the user comes back from to the
        // prediction window; a message box, the help viewer or another
        // application (no active window) is not.
        m_returnFromAbout = m_aboutWindow && QApplication::activeWindow() == m_aboutWindow;
        return;
    }
    if (!m_loaded || m_unloaded)
        return;
    const bool first = !std::exchange(m_activatedOnce, true);
    const bool fromAbout = std::exchange(m_returnFromAbout, false);
    const bool aboutClosed = std::exchange(m_aboutClosed, false);
    if (!first && !fromAbout && !aboutClosed)
        return;
    // Shown after the activation has been handled, not inside it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_unloaded)
                mnuYoso_Click();
        },
        Qt::QueuedConnection);
}

bool MainFrm::eventFilter(QObject* watched, QEvent* event) {
    // A new frame is fully built only when it is first polished (ChildAdded
    // comes from inside its constructor).
    if (watched == m_mdiArea->viewport() && event->type() == QEvent::ChildPolished) {
        auto* sub = qobject_cast<QMdiSubWindow*>(static_cast<QChildEvent*>(event)->child());
        if (sub && !sub->property("peridonWatched").toBool()) {
            sub->setProperty("peridonWatched", true);
            // Ctrl+F4 is the main window's key for the active child (it works
            // wherever the focus is); the frame's own menu only shows it.
            if (QMenu* system = sub->systemMenu()) {
                for (QAction* a : system->actions()) {
                    if (a->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_F4)))
                        a->setShortcutContext(Qt::WidgetShortcut);
                }
            }
            connect(sub, &QMdiSubWindow::windowStateChanged, this,
                    [this, sub](Qt::WindowStates before, Qt::WindowStates now) {
                        if (!(before & Qt::WindowMinimized) && (now & Qt::WindowMinimized))
                            // After the frame has taken its minimised size.
                            QMetaObject::invokeMethod(
                                this,
                                [this, guard = QPointer<QMdiSubWindow>(sub)] {
                                    if (guard && guard->isMinimized())
                                        placeNewIcon(guard);
                                },
                                Qt::QueuedConnection);
                    });
        }
    }
    // Whether the About window was the last window of the program to hold
    // the focus before the main window: it took the focus (again, also back
    // from another application), or gave it to anything but the main window.
    if (watched == m_aboutWindow) {
        if (event->type() == QEvent::WindowActivate)
            m_returnFromAbout = true;
        else if (event->type() == QEvent::WindowDeactivate && QApplication::activeWindow() != this)
            m_returnFromAbout = false;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainFrm::onSubWindowActivated(QMdiSubWindow* sub) {
    auto* withMenu = sub ? dynamic_cast<HasWindowMenu*>(sub->widget()) : nullptr;
    if (!withMenu) {
        if (menuBar()->actions().value(0) != m_endAction)
            showMainMenus();
        return;
    }
    QMenuBar* bar = menuBar();
    bar->clear();
    for (QMenu* menu : withMenu->windowMenus())
        bar->addMenu(menu);
}

QMdiSubWindow* MainFrm::childWindow(const QString& key) const {
    return m_children.value(key).data();
}

QMdiSubWindow* MainFrm::showChild(const QString& key, const ChildFactory& make) {
    auto bringToFront = [this](QMdiSubWindow* sub) {
        if (sub->isMinimized())
            sub->showNormal();
        sub->show();
        m_mdiArea->setActiveSubWindow(sub);
        sub->raise();
        return sub;
    };
    if (QMdiSubWindow* open = childWindow(key))
        return bringToFront(open);
    WaitCursor wait;
    QCoreApplication::processEvents();
    // A command handled during that pass may have opened it already.
    if (QMdiSubWindow* open = childWindow(key))
        return bringToFront(open);
    QWidget* widget = nullptr;
    try {
        widget = make();
    } catch (const std::exception& e) {
        messages::stop(this, u"ウィンドウを開けませんでした。\n\n"_s + QString::fromUtf8(e.what()));
        return nullptr;
    }
    if (!widget)
        return nullptr;
    QMdiSubWindow* sub = m_mdiArea->addSubWindow(widget);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setObjectName(key + u"Frame"_s);
    m_children.insert(key, sub);
    sub->show();
    return bringToFront(sub);
}

void MainFrm::showAnalysis(const QString& className) {
    const AnalysisInfo* info = findAnalysis(className);
    if (!info)
        return;
    showChild(className, [this, info] { return createAnalysisWindow(*info, *this); });
}

void MainFrm::mnuYoso_Click() {
    if (!m_predictionWindow)
        return;
    WaitCursor wait;
    QCoreApplication::processEvents();
    m_predictionWindow->showWindow();
}

void MainFrm::mnuBacktest_Click() {
    const int reflect =
        m_predictionWindow ? m_predictionWindow->engine().CountReflectedOptions() : 0;
    showChild(kBacktestWindow, [this, reflect] { return createBacktestWindow(*this, reflect); });
}

void MainFrm::mnuMasterInput_Click() {
    if (!m_propEnd) {
        messages::stop(this, u"表示中のウィンドウを閉じないと実行できません。"_s);
        return;
    }
    showChild(kEntryWindow, [this] { return createEntryWindow(*this); });
}

void MainFrm::mnuImport_Click() {
    // The entry window keeps its own copy of the rows: it would show and
    // write over the old ones.
    if (childWindow(kEntryWindow)) {
        messages::stop(this, u"当選データ入力ウィンドウを閉じてから取り込んでください。"_s);
        return;
    }
    const QString done = runImport(this, m_store.connectString(), m_importHooks);
    if (done.isEmpty())
        return;
    offerRestart(done);
}

void MainFrm::offerRestart(const QString& what) {
    if (m_unloaded)
        return;
    if (messages::confirm(
            this, what + u"\n\n分析ウィンドウには再起動後に反映されます。今すぐ再起動しますか？"_s,
            kAppTitle))
        m_restart ? m_restart() : restartProgram();
}

void MainFrm::dataChanged(const QString& what) {
    // Asked once the child window has gone, not from inside its closing;
    // not at all when the whole program is closing.
    if (m_unloaded || m_closing)
        return;
    QMetaObject::invokeMethod(
        this, [this, what] { offerRestart(what); }, Qt::QueuedConnection);
}

void MainFrm::mnuExport_Click() {
    runExport(this, m_store.connectString(), m_exportHooks);
}

void MainFrm::restartProgram() {
    const QString program = QCoreApplication::applicationFilePath();
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    // Closing first writes the settings file that the new process reads.
    close();
    if (!QProcess::startDetached(program, arguments, QDir::currentPath()))
        messages::stop(nullptr,
                       u"プログラムを起動し直せませんでした。もう一度起動してください。"_s);
}

void MainFrm::mnuHelpFile_Click() {
    m_helpLauncher->open(this);
}

void MainFrm::mnuAbout_Click() {
    if (m_aboutWindow) {
        m_aboutWindow->show();
        m_aboutWindow->raise();
        m_aboutWindow->activateWindow();
        return;
    }
    WaitCursor wait;
    QCoreApplication::processEvents();
    auto* about = new バージョン情報(this);
    about->setOnClosed([this] {
        // The focus may pass through no window at all on its way back; the
        // return still counts as one from the About window.
        m_aboutClosed = !isActiveWindow();
        raise();
        activateWindow();
    });
    about->installEventFilter(this);
    m_aboutWindow = about;
    // Centred over the window area, kept on the screen.
    QRect place(QPoint(), about->frameGeometry().size());
    place.moveCenter(m_mdiArea->mapToGlobal(m_mdiArea->rect().center()));
    if (const QScreen* screen = this->screen()) {
        const QRect room = screen->availableGeometry();
        place.moveLeft(
            qBound(room.left(), place.left(), qMax(room.left(), room.right() - place.width() + 1)));
        place.moveTop(
            qBound(room.top(), place.top(), qMax(room.top(), room.bottom() - place.height() + 1)));
    }
    about->move(place.topLeft());
    about->show();
    about->raise();
    about->activateWindow();
}

QWidget* MainFrm::aboutWindow() const {
    return m_aboutWindow.data();
}

QList<QMdiSubWindow*> MainFrm::normalWindows() const {
    QList<QMdiSubWindow*> list;
    for (QMdiSubWindow* sub : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (sub->isVisible() && !sub->isMinimized())
            list.append(sub);
    }
    return list;
}

QList<QMdiSubWindow*> MainFrm::listedWindows() const {
    QList<QMdiSubWindow*> list;
    for (QMdiSubWindow* sub : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (sub->isVisible() || sub->isMinimized())
            list.append(sub);
    }
    return list;
}

void MainFrm::activateChild(QMdiSubWindow* sub) {
    if (!sub)
        return;
    if (sub->isMinimized())
        sub->showNormal();
    sub->show();
    m_mdiArea->setActiveSubWindow(sub);
    sub->raise();
}

void MainFrm::updateWindowMenu() {
    for (QAction* a : std::as_const(m_windowListActions)) {
        m_windowMenu->removeAction(a);
        a->deleteLater();
    }
    m_windowListActions.clear();
    const QList<QMdiSubWindow*> list = listedWindows();
    if (list.isEmpty())
        return;
    m_windowListActions << m_windowMenu->addSeparator();
    QMenu* more = nullptr;
    const QMdiSubWindow* active = m_mdiArea->activeSubWindow();
    for (int i = 0; i < list.size(); ++i) {
        QMdiSubWindow* sub = list[i];
        // An ampersand in a caption is shown, not taken for a mnemonic.
        QString caption = sub->windowTitle();
        caption.replace(u'&', u"&&"_s);
        QAction* action = nullptr;
        if (i < 9) {
            action = new QAction(u"&%1 %2"_s.arg(i + 1).arg(caption), m_windowMenu);
            m_windowMenu->addAction(action);
            m_windowListActions << action;
        } else {
            if (!more) {
                more = new QMenu(u"その他のウィンドウ(&M)"_s, m_windowMenu);
                more->setObjectName(u"mnuWindowMore"_s);
                m_windowListActions << m_windowMenu->addMenu(more);
            }
            action = more->addAction(caption);
        }
        action->setObjectName(u"mnuWindowList"_s);
        action->setCheckable(true);
        action->setChecked(sub == active);
        connect(action, &QAction::triggered, this,
                [this, guard = QPointer<QMdiSubWindow>(sub)] { activateChild(guard); });
    }
}

void MainFrm::createWindowKeys() {
    // Kept on the main window rather than on a menu, so that they work while
    // a child's own menu stands on the menu bar.
    auto add = [this](const char* name, const QList<QKeySequence>& keys, void (MainFrm::*slot)()) {
        auto* action = new QAction(this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
    };
    add("keyCloseChild", {QKeySequence(Qt::CTRL | Qt::Key_F4)}, &MainFrm::closeActiveChild);
    add("keyNextChild", {QKeySequence(Qt::CTRL | Qt::Key_F6), QKeySequence(Qt::CTRL | Qt::Key_Tab)},
        &MainFrm::activateNextChild);
    add("keyPreviousChild",
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F6),
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)},
        &MainFrm::activatePreviousChild);
    add("keyHelp", {QKeySequence(Qt::Key_F1)}, &MainFrm::helpForActiveWindow);
}

void MainFrm::closeActiveChild() {
    if (QMdiSubWindow* sub = m_mdiArea->activeSubWindow())
        sub->close();
}

void MainFrm::activateNextChild() {
    m_mdiArea->activateNextSubWindow();
    if (QMdiSubWindow* sub = m_mdiArea->activeSubWindow())
        activateChild(sub);
}

void MainFrm::activatePreviousChild() {
    m_mdiArea->activatePreviousSubWindow();
    if (QMdiSubWindow* sub = m_mdiArea->activeSubWindow())
        activateChild(sub);
}

QString MainFrm::helpKeywordFor(const QMdiSubWindow* sub) const {
    if (!sub)
        return {};
    QString key = sub->objectName();
    if (key.endsWith(u"Frame"_s))
        key.chop(5);
    if (findAnalysis(key))
        return analysisLayout(key).menuCaption;
    if (key == u"一発ペリドン"_s)
        return u"一発ペリドン予想"_s;
    if (key == kEntryWindow || key == kBacktestWindow)
        return key;
    return {};
}

void MainFrm::helpForActiveWindow() {
    m_helpLauncher->open(this, helpKeywordFor(m_mdiArea->activeSubWindow()));
}

namespace {

// The height kept free at the bottom for minimised windows.
int iconStripHeight(const QMdiArea* area) {
    int h = 0;
    for (QMdiSubWindow* sub : area->subWindowList()) {
        if (sub->isVisible() && sub->isMinimized())
            h = qMax(h, sub->height());
    }
    return h;
}

} // namespace

void MainFrm::cascade() {
    // Every window takes its own size again (the one it opened with, which
    // tiling does not change) and steps down and to the right by one
    // title bar, in stacking order so that the window in front stays in
    // front. (QMdiArea's own cascade resizes each window to its size hint,
    // which shrinks windows that place their controls themselves to a bare
    // title bar.) A window too large for its place is made smaller to fit;
    // once the steps reach the middle of the area a new run starts at the
    // top-left corner.
    QList<QMdiSubWindow*> list;
    for (QMdiSubWindow* sub : m_mdiArea->subWindowList(QMdiArea::StackingOrder)) {
        if (sub->isVisible() && !sub->isMinimized())
            list.append(sub);
    }
    if (list.isEmpty())
        return;
    // The active window ends the cascade, in front of the others.
    QMdiSubWindow* active = m_mdiArea->activeSubWindow();
    if (active && list.removeOne(active))
        list.append(active);
    const QRect area = m_mdiArea->viewport()->rect().adjusted(0, 0, 0, -iconStripHeight(m_mdiArea));
    QStyleOptionTitleBar option;
    option.initFrom(list.first());
    const int step = qMax(
        8, list.first()->style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, list.first()));
    int offset = 0;
    for (QMdiSubWindow* sub : list) {
        if (sub->isMaximized())
            sub->showNormal();
        if (offset > 0 && (2 * offset > area.width() || 2 * offset > area.height()))
            offset = 0;
        const QSize room = area.size() - QSize(offset, offset);
        sub->setGeometry(
            QRect(area.topLeft() + QPoint(offset, offset), loadSize(sub).boundedTo(room)));
        sub->raise();
        offset += step;
    }
    if (active && list.contains(active)) {
        m_mdiArea->setActiveSubWindow(active);
        active->raise();
    }
}

void MainFrm::tileHorizontally() {
    tile(Qt::Vertical);
}

void MainFrm::tileVertically() {
    tile(Qt::Horizontal);
}

// Shares the area among the normal windows in equal slices stacked along
// the given direction, each taking the full extent across it.
void MainFrm::tile(Qt::Orientation stacking) {
    const QList<QMdiSubWindow*> list = normalWindows();
    if (list.isEmpty())
        return;
    const QRect area = m_mdiArea->viewport()->rect().adjusted(0, 0, 0, -iconStripHeight(m_mdiArea));
    const bool down = stacking == Qt::Vertical;
    const int length = down ? area.height() : area.width();
    const int n = int(list.size());
    for (int i = 0; i < n; ++i) {
        list[i]->showNormal();
        const int from = length * i / n;
        const int to = length * (i + 1) / n;
        list[i]->setGeometry(down
                                 ? QRect(area.left(), area.top() + from, area.width(), to - from)
                                 : QRect(area.left() + from, area.top(), to - from, area.height()));
    }
}

void MainFrm::arrangeIcons() {
    const QRect area = m_mdiArea->viewport()->rect();
    int x = area.left();
    int y = area.bottom() + 1;
    for (QMdiSubWindow* sub : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->isVisible() || !sub->isMinimized())
            continue;
        const QSize size = sub->size();
        if (x > area.left() && x + size.width() > area.right() + 1) {
            x = area.left();
            y -= size.height();
        }
        if (x == area.left() && y == area.bottom() + 1)
            y -= size.height();
        sub->move(x, y);
        sub->raise();
        x += size.width();
    }
}

void MainFrm::placeNewIcon(QMdiSubWindow* sub) {
    // The first place along the bottom, left to right and then row by row
    // upwards, that no other icon takes; the icon goes in front.
    const QRect area = m_mdiArea->viewport()->rect();
    QList<QRect> taken;
    for (QMdiSubWindow* other : m_mdiArea->subWindowList()) {
        if (other != sub && other->isVisible() && other->isMinimized())
            taken << other->geometry();
    }
    const QSize size = sub->size();
    QRect place(QPoint(area.left(), area.bottom() + 1 - size.height()), size);
    for (int guard = 0; guard < 1000; ++guard) {
        const auto hit = std::find_if(taken.begin(), taken.end(),
                                      [&](const QRect& r) { return r.intersects(place); });
        if (hit == taken.end())
            break;
        place.moveLeft(hit->right() + 1);
        if (place.right() > area.right() && place.left() > area.left())
            place.moveTopLeft(QPoint(area.left(), place.top() - size.height()));
        if (place.top() < area.top()) {
            place.moveTopLeft(QPoint(area.left(), area.bottom() + 1 - size.height()));
            break;
        }
    }
    sub->move(place.topLeft());
    sub->raise();
}

} // namespace peridon
