#include "core/analysis/AnalysisRegistry.h"
#include "gui/analysis/AnalysisLayout.h"
#include "gui/app/MainFrm.h"
#include "gui/prediction/PredictionWindow.h"
#include "gui/widgets/ChildHost.h"
#include "gui/widgets/ChildWindow.h"
#include "gui/widgets/Fonts.h"
#include "gui/widgets/Messages.h"
#include "support/TestDatabase.h"
#include "support/TestHistory.h"
#include "support/WorkingDirectory.h"

#include <QAbstractScrollArea>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QtTest>

using namespace Qt::StringLiterals;

using namespace peridon;

namespace {

// A child window as the real ones behave: propEnd false while open, true
// when it unloads.
class FakeChild : public QWidget {
public:
    explicit FakeChild(ChildHost& host) : m_host(host) {
        m_host.setPropEnd(false);
        resize(200, 150);
    }
    ~FakeChild() override { m_host.setPropEnd(true); }

private:
    ChildHost& m_host;
};

class MenuChild final : public FakeChild, public HasWindowMenu {
public:
    explicit MenuChild(ChildHost& host) : FakeChild(host) {
        m_menu = new QMenu(u"印刷(&P)"_s, this);
        m_menu->setObjectName(u"mnuChildPrint"_s);
        m_menu->menuAction()->setObjectName(u"mnuChildPrint"_s);
    }
    QList<QMenu*> windowMenus() const override { return {m_menu}; }

private:
    QMenu* m_menu;
};

QStringList names(const QList<QAction*>& actions) {
    QStringList list;
    for (QAction* a : actions) {
        if (!a->isSeparator())
            list << a->objectName();
    }
    return list;
}

QMenu* findMenu(const MainFrm& f, const QString& name) {
    return f.findChild<QMenu*>(name);
}

} // namespace

class TestMainFrm : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        test::useTemporaryWorkingDirectory();
        installFontSubstitutions();
    }
    void init();
    void cleanup();
    void startupShowsPredictionAndRefusesEntry();
    void activationShowsPredictionOnlyFromAbout_data();
    void activationShowsPredictionOnlyFromAbout();
    void menuOrder_data();
    void menuOrder();
    void captions_data();
    void captions();
    void masterKanriGreyed();
    void entryAcceptedAfterChildCloses();
    void singleInstance();
    void analysisMenuOpensOneWindow();
    void closingChildDeletesItsFrame();
    void arrangeWithNoChild();
    void tiling_data();
    void tiling();
    void arrangeIconsAlongBottom();
    void cascadeKeepsSizes();
    void cascadeKeepsActiveInFront_data();
    void cascadeKeepsActiveInFront();
    void windowMenuListsChildren_data();
    void windowMenuListsChildren();
    void newIconsStayInSight();
    void windowKeys_data();
    void entryChangesOfferARestart_data();
    void entryChangesOfferARestart();
    void windowKeys();
    void cascadeAfterTilingRestoresLoadSizes();
    void childNeverOpensLargerThanTheArea_data();
    void childNeverOpensLargerThanTheArea();
    void childMenuReplacesMainMenu();
    void closeClosesAllChildrenWithoutQuestion();
    void startupFailureNamesFileAndFails();

private:
    QTemporaryDir m_dir;
    MainFrm* m_frame = nullptr;
    messages::Recorder* m_messages = nullptr;
};

void TestMainFrm::init() {
    m_messages = new messages::Recorder;
    m_frame = new MainFrm;
    const QString db = m_dir.filePath(u"Numbers3Peridon.mdb"_s);
    if (!QFile::exists(db))
        test::makeDatabase(db, u"123 456 789 012"_s);
    QVERIFY(m_frame->Load(connectStringFor(db)));
    QCOMPARE(m_frame->store().history().rows().size(), 4);
    m_frame->show();
    m_frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_frame));
    // The first activation shows the prediction window; the tests below
    // start from an empty area.
    QTRY_VERIFY(m_frame->predictionWindow()->isOpen());
    m_frame->mdiArea()->closeAllSubWindows();
    QTRY_VERIFY(m_frame->mdiArea()->subWindowList().isEmpty());
    QVERIFY(m_frame->propEndForTest());
}

void TestMainFrm::cleanup() {
    delete m_frame;
    m_frame = nullptr;
    delete m_messages;
    m_messages = nullptr;
}

// The prediction window opens on the first activation; while it is open the
// entry command is refused with a message, and once it is closed by its own
// button the entry window opens.
void TestMainFrm::startupShowsPredictionAndRefusesEntry() {
    MainFrm frame;
    QVERIFY(frame.Load(connectStringFor(m_dir.filePath(u"Numbers3Peridon.mdb"_s))));
    frame.show();
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    QTRY_VERIFY(frame.predictionWindow()->isOpen());
    QVERIFY(!frame.propEndForTest());
    frame.findChild<QAction*>(u"mnuMasterInput"_s)->trigger();
    QCOMPARE(m_messages->count(), 1);
    const messages::Request& r = m_messages->last();
    QCOMPARE(r.icon, messages::Icon::Stop);
    QCOMPARE(r.title, u"メッセ－ジ"_s);
    QCOMPARE(r.text, u"表示中のウィンドウを閉じないと実行できません。"_s);
    QCOMPARE(r.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(!frame.childWindow(u"当選データ入力"_s));
    QVERIFY(!QGuiApplication::overrideCursor());

    auto* close = frame.findChild<QPushButton*>(u"Cmd閉じる"_s);
    QVERIFY(close);
    QTest::mouseClick(close, Qt::LeftButton);
    QTRY_VERIFY(frame.propEndForTest());
    QVERIFY(!frame.predictionWindow()->isOpen());
    frame.findChild<QAction*>(u"mnuMasterInput"_s)->trigger();
    QCOMPARE(m_messages->count(), 1);
    QVERIFY(frame.childWindow(u"当選データ入力"_s));
}

void TestMainFrm::activationShowsPredictionOnlyFromAbout_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<bool>("shows");
    QTest::newRow("another application") << u"application"_s << false;
    QTest::newRow("message box") << u"message box"_s << false;
    QTest::newRow("About window") << u"about"_s << true;
    QTest::newRow("About, then another application") << u"about, application"_s << false;
}

void TestMainFrm::activationShowsPredictionOnlyFromAbout() {
    QFETCH(QString, from);
    QFETCH(bool, shows);
    // The entry window is the active child; the prediction window is closed.
    m_frame->findChild<QAction*>(u"mnuMasterInput"_s)->trigger();
    QVERIFY(m_frame->childWindow(u"当選データ入力"_s));
    QVERIFY(!m_frame->predictionWindow()->isOpen());
    QVERIFY(!m_frame->propEndForTest());
    if (from.startsWith(u"about"_s)) {
        m_frame->findChild<QAction*>(u"mnuAbout"_s)->trigger();
        // The platform's window is active before the widget is.
        QTRY_COMPARE(QApplication::activeWindow(), m_frame->aboutWindow());
        QVERIFY(!m_frame->predictionWindow()->isOpen());
    }
    if (from.endsWith(u"application"_s)) {
        // No window of the program is active while another application is.
        QApplication::setActiveWindow(nullptr);
        QVERIFY(!m_frame->isActiveWindow());
        QApplication::setActiveWindow(m_frame);
    } else if (from == u"message box"_s) {
        QMessageBox box(QMessageBox::Critical, u"メッセ－ジ"_s, u"テスト"_s, QMessageBox::Ok,
                        m_frame);
        box.open();
        QTRY_COMPARE(QApplication::activeWindow(), &box);
        box.accept();
        m_frame->activateWindow();
    } else {
        m_frame->activateWindow();
    }
    QTRY_COMPARE(QApplication::activeWindow(), m_frame);
    // The prediction window is shown from a call queued by the activation,
    // so it has run once a call queued after it has.
    bool flushed = false;
    QMetaObject::invokeMethod(
        m_frame, [&flushed] { flushed = true; }, Qt::QueuedConnection);
    QTRY_VERIFY(flushed);
    QCOMPARE(m_frame->predictionWindow()->isOpen(), shows);
    if (!shows) {
        // The entry window stays the active child, its menu on the bar.
        QCOMPARE(m_frame->mdiArea()->activeSubWindow(), m_frame->childWindow(u"当選データ入力"_s));
        QCOMPARE(m_frame->menuBar()->actions().size(), 1);
        QCOMPARE(m_frame->menuBar()->actions().constFirst()->text(), u"編集(&E)"_s);
    }
    QCOMPARE(m_messages->count(), 0);
}

void TestMainFrm::menuOrder_data() {
    QTest::addColumn<QString>("menu"); // empty: the menu bar
    QTest::addColumn<QStringList>("items");
    QTest::newRow("menu bar") << QString() << QStringList{"mnuEnd",   "mnuYoso",   "mnuMain",
                                                          "mnuHosyu", "mnuWindow", "mnuHelp"};
    QTest::newRow("mnuMain") << "mnuMain"
                             << QStringList{"mnuHindo",        "mnuKankaku", "mnuZenkaiSyutugen",
                                            "mnuBaratsuki",    "mnuHippari", "mnuRenbanTobiishi",
                                            "mnuHonsuji",      "mnuPattern", "mnu5BunkatsuKeiko",
                                            "mnuBunkatsuData", "mnuBacktest"};
    QTest::newRow("mnuHindo") << "mnuHindo" << QStringList{"mnuSyutugenHindo", "mnuSyutugenKaisu"};
    QTest::newRow("mnuKankaku") << "mnuKankaku"
                                << QStringList{"mnuSyutugenKankaku", "mnuNumberKankaku"};
    QTest::newRow("mnuPattern") << "mnuPattern"
                                << QStringList{"mnuLowHightPattern", "mnuKisuGusuPattern"};
    QTest::newRow("mnuBunkatsuData")
        << "mnuBunkatsuData"
        << QStringList{"mnu3BunkatsuData", "mnu6BunkatsuData", "mnu11BunkatsuData"};
    QTest::newRow("mnuHosyu") << "mnuHosyu"
                              << QStringList{"mnuMasterInput", "mnuMasterKanri", "mnuImport",
                                             "mnuExport"};
    QTest::newRow("mnuWindow") << "mnuWindow"
                               << QStringList{"mnuWindowHorizontal", "mnuWindowVertical",
                                              "mnuWindowCascade", "mnuWindowArrangeIcon"};
    QTest::newRow("mnuHelp") << "mnuHelp" << QStringList{"mnuHelpFile", "mnuAbout"};
}

void TestMainFrm::menuOrder() {
    QFETCH(QString, menu);
    QFETCH(QStringList, items);
    if (menu.isEmpty()) {
        QCOMPARE(names(m_frame->menuBar()->actions()), items);
        return;
    }
    QMenu* m = findMenu(*m_frame, menu);
    QVERIFY2(m, qPrintable(menu));
    QCOMPARE(names(m->actions()), items);
}

void TestMainFrm::captions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    const char* rows[][2] = {
        {"mnuEnd", "終了(&X)"},
        {"mnuYoso", "一発ペリドン予想(&D)"},
        {"mnuMain", "データ分析(&S)"},
        {"mnuHindo", "頻度分析"},
        {"mnuSyutugenHindo", "出現頻度分析"},
        {"mnuSyutugenKaisu", "回数別出現分析"},
        {"mnuKankaku", "間隔分析"},
        {"mnuSyutugenKankaku", "出現間隔分析"},
        {"mnuNumberKankaku", "数字間隔分析"},
        {"mnuZenkaiSyutugen", "出現回数分析"},
        {"mnuBaratsuki", "バラツキ分析"},
        {"mnuHippari", "引っ張り分析"},
        {"mnuRenbanTobiishi", "連番・飛び石分析"},
        {"mnuHonsuji", "数字合計分析"},
        {"mnuPattern", "組合せパターン分析"},
        {"mnuLowHightPattern", "低数字・高数字の組合せパターン分析"},
        {"mnuKisuGusuPattern", "偶数・奇数の組合せパターン分析"},
        {"mnu5BunkatsuKeiko", "5分割傾向分析"},
        {"mnuBunkatsuData", "分割データ分析"},
        {"mnu3BunkatsuData", "3分割データ分析"},
        {"mnu6BunkatsuData", "5分割データ分析"},
        {"mnu11BunkatsuData", "10分割データ分析"},
        {"mnuHosyu", "データ管理(&M)"},
        {"mnuMasterInput", "当選データ入力(&I)"},
        {"mnuMasterKanri", "当選データ保守(&D)"},
        {"mnuImport", "当選データの取り込み(&C)..."},
        {"mnuExport", "当選データの書き出し(&E)..."},
        {"mnuWindow", "ウィンドウ(&W)"},
        {"mnuWindowHorizontal", "上下に並べて表示(&H)"},
        {"mnuWindowVertical", "左右に並べて表示(&V)"},
        {"mnuWindowCascade", "重ねて表示(&C)"},
        {"mnuWindowArrangeIcon", "アイコンの整列(&A)"},
        {"mnuHelp", "ヘルプ(&H)"},
        {"mnuHelpFile", "ヘルプ(&H)"},
        {"mnuAbout", "バージョン情報(&A)"},
    };
    for (const auto& r : rows)
        QTest::newRow(r[0]) << QString::fromUtf8(r[0]) << QString::fromUtf8(r[1]);
}

void TestMainFrm::captions() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    const QList<QAction*> all = m_frame->findChildren<QAction*>(name);
    QVERIFY2(!all.isEmpty(), qPrintable(name));
    for (QAction* a : all)
        QCOMPARE(a->text(), caption);
}

void TestMainFrm::masterKanriGreyed() {
    QAction* a = m_frame->findChild<QAction*>(u"mnuMasterKanri"_s);
    QVERIFY(a);
    QVERIFY(a->isVisible());
    QVERIFY(!a->isEnabled());
}

void TestMainFrm::entryAcceptedAfterChildCloses() {
    // Two children open; closing either one sets propEnd, and the entry
    // command is then accepted while the other stays open.
    QMdiSubWindow* a = m_frame->showChild("A", [this] { return new FakeChild(*m_frame); });
    m_frame->showChild("B", [this] { return new FakeChild(*m_frame); });
    QVERIFY(!m_frame->propEndForTest());
    a->close();
    QTRY_VERIFY(!m_frame->childWindow("A"));
    QVERIFY(m_frame->propEndForTest());
    m_frame->findChild<QAction*>(u"mnuMasterInput"_s)->trigger();
    QVERIFY2(m_messages->count() == 0,
             qPrintable(m_messages->count() ? m_messages->last().text : QString()));
    QVERIFY(m_frame->childWindow(u"当選データ入力"_s));
    QVERIFY(m_frame->childWindow("B"));
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestMainFrm::singleInstance() {
    int made = 0;
    auto make = [&] {
        ++made;
        return new FakeChild(*m_frame);
    };
    QMdiSubWindow* first = m_frame->showChild("X", make);
    QMdiSubWindow* other = m_frame->showChild("Y", [this] { return new FakeChild(*m_frame); });
    QCOMPARE(m_frame->mdiArea()->activeSubWindow(), other);
    first->showMinimized();
    QMdiSubWindow* again = m_frame->showChild("X", make);
    QCOMPARE(made, 1); // not loaded again
    QCOMPARE(again, first);
    QVERIFY(!again->isMinimized());
    QCOMPARE(m_frame->mdiArea()->activeSubWindow(),
             first); // brought to the front
    QCOMPARE(m_frame->mdiArea()->subWindowList().size(), 2);
}

// Each analysis command opens the window of its own class, once however
// often it is chosen.
void TestMainFrm::analysisMenuOpensOneWindow() {
    int open = 0;
    for (const AnalysisInfo& info : analysisRegistry()) {
        const QString menuName = analysisLayout(info.className).menuName;
        QAction* a = m_frame->findChild<QAction*>(menuName);
        QVERIFY2(a, qPrintable(menuName));
        a->trigger();
        a->trigger();
        ++open;
        QVERIFY2(m_frame->childWindow(info.className), qPrintable(menuName));
        QCOMPARE(m_frame->mdiArea()->activeSubWindow(), m_frame->childWindow(info.className));
        QCOMPARE(m_frame->mdiArea()->subWindowList().size(), open);
    }
    // The menu names do not follow the class names here: mnu6BunkatsuData
    // opens the 5-group window, mnu11BunkatsuData the 10-group one.
    m_frame->findChild<QAction*>(u"mnu6BunkatsuData"_s)->trigger();
    QCOMPARE(m_frame->mdiArea()->activeSubWindow(), m_frame->childWindow(u"分割5データ分析"_s));
    m_frame->findChild<QAction*>(u"mnu11BunkatsuData"_s)->trigger();
    QCOMPARE(m_frame->mdiArea()->activeSubWindow(), m_frame->childWindow(u"分割10データ分析"_s));
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestMainFrm::closingChildDeletesItsFrame() {
    QPointer<QMdiSubWindow> sub =
        m_frame->showChild("Z", [this] { return new FakeChild(*m_frame); });
    QPointer<QWidget> widget = sub->widget();
    closeChildWindow(widget);
    QTRY_VERIFY(!sub);
    QVERIFY(!widget);
    QVERIFY(m_frame->propEndForTest());
    // Opening it again makes a new window.
    QVERIFY(m_frame->showChild("Z", [this] { return new FakeChild(*m_frame); }));
}

// The tiling commands arrange only the windows that are not minimised: with
// every window minimised they move nothing and restore nothing.
void TestMainFrm::arrangeWithNoChild() {
    QList<QMdiSubWindow*> subs;
    for (const char* key : {"1", "2"}) {
        subs << m_frame->showChild(QString::fromLatin1(key),
                                   [this] { return new FakeChild(*m_frame); });
        subs.back()->showMinimized();
    }
    subs[1]->move(40, 30);
    const QRect before[2] = {subs[0]->geometry(), subs[1]->geometry()};
    for (const char* name : {"mnuWindowHorizontal", "mnuWindowVertical", "mnuWindowCascade"})
        m_frame->findChild<QAction*>(QString::fromLatin1(name))->trigger();
    for (int i = 0; i < 2; ++i) {
        QVERIFY(subs[i]->isMinimized());
        QCOMPARE(subs[i]->geometry(), before[i]);
    }
}

void TestMainFrm::tiling_data() {
    QTest::addColumn<bool>("horizontal");
    QTest::newRow("one above the other") << true;
    QTest::newRow("side by side") << false;
}

void TestMainFrm::tiling() {
    QFETCH(bool, horizontal);
    QList<QMdiSubWindow*> subs;
    for (const char* key : {"1", "2", "3"})
        subs << m_frame->showChild(key, [this] { return new FakeChild(*m_frame); });
    if (horizontal)
        m_frame->tileHorizontally();
    else
        m_frame->tileVertically();
    const QRect area = m_frame->mdiArea()->viewport()->rect();
    int covered = 0;
    for (QMdiSubWindow* s : subs) {
        const QRect g = s->geometry();
        QVERIFY(area.contains(g));
        if (horizontal) {
            QCOMPARE(g.width(), area.width());
            covered += g.height();
        } else {
            QCOMPARE(g.height(), area.height());
            covered += g.width();
        }
    }
    QCOMPARE(covered, horizontal ? area.height() : area.width());
    // No two overlap.
    for (int i = 0; i < subs.size(); ++i)
        for (int j = i + 1; j < subs.size(); ++j)
            QVERIFY(!subs[i]->geometry().intersects(subs[j]->geometry()));
}

void TestMainFrm::arrangeIconsAlongBottom() {
    QList<QMdiSubWindow*> subs;
    for (const char* key : {"1", "2", "3"}) {
        subs << m_frame->showChild(key, [this] { return new FakeChild(*m_frame); });
        subs.back()->showMinimized();
    }
    subs[1]->move(300, 10);
    m_frame->arrangeIcons();
    const QRect area = m_frame->mdiArea()->viewport()->rect();
    for (QMdiSubWindow* s : subs) {
        QCOMPARE(s->geometry().bottom(), area.bottom());
        QVERIFY(area.contains(s->geometry()));
    }
    QVERIFY(!subs[0]->geometry().intersects(subs[1]->geometry()));
    QVERIFY(!subs[1]->geometry().intersects(subs[2]->geometry()));
}

void TestMainFrm::cascadeKeepsSizes() {
    QList<QMdiSubWindow*> subs;
    for (const char* key : {"1", "2", "3"})
        subs << m_frame->showChild(key, [this] { return new FakeChild(*m_frame); });
    for (QMdiSubWindow* s : subs)
        s->resize(320, 240);
    m_frame->mdiArea()->setActiveSubWindow(subs[1]);
    m_frame->cascade();
    const QRect area = m_frame->mdiArea()->viewport()->rect();
    const QList<QMdiSubWindow*> stacked =
        m_frame->mdiArea()->subWindowList(QMdiArea::StackingOrder);
    for (int i = 0; i < stacked.size(); ++i) {
        // No window shrinks to a bare title bar; each one steps down and right.
        QCOMPARE(stacked[i]->size(), QSize(320, 240));
        QVERIFY(area.contains(stacked[i]->geometry()));
        if (i > 0) {
            QVERIFY(stacked[i]->x() > stacked[i - 1]->x());
            QVERIFY(stacked[i]->y() > stacked[i - 1]->y());
        }
    }
    QCOMPARE(m_frame->mdiArea()->activeSubWindow(), subs[1]);
}

void TestMainFrm::cascadeAfterTilingRestoresLoadSizes() {
    QList<QMdiSubWindow*> subs;
    const QList<QSize> sizes{{300, 200}, {340, 180}, {260, 220}};
    for (int i = 0; i < 3; ++i) {
        subs << m_frame->showChild(QString::number(i), [this] { return new FakeChild(*m_frame); });
        placeChildWindow(subs.back(), sizes[i]);
    }
    m_frame->tileHorizontally();
    QVERIFY(subs[0]->height() < 200 || subs[0]->width() != 300);
    m_frame->cascade();
    for (int i = 0; i < 3; ++i)
        QCOMPARE(subs[i]->size(), sizes[i]);
}

void TestMainFrm::childNeverOpensLargerThanTheArea_data() {
    QTest::addColumn<QString>("command");
    QTest::newRow("analysis window") << u"mnuSyutugenHindo"_s;
    QTest::newRow("wide analysis window") << u"mnuHippari"_s;
    QTest::newRow("prediction window") << u"mnuYoso"_s;
    QTest::newRow("entry window") << u"mnuMasterInput"_s;
}

void TestMainFrm::childNeverOpensLargerThanTheArea() {
    QFETCH(QString, command);
    // Enough draws for every grid to be taller than the small window.
    QStringList draws;
    for (int no = 1; no <= 120; ++no)
        draws << u"%1%2%3"_s.arg(no % 10).arg(no * 7 % 10).arg(no * 3 % 10);
    const QString db = m_dir.filePath(u"many.mdb"_s);
    if (!QFile::exists(db))
        test::makeDatabase(db, draws.join(u' '));
    MainFrm frame;
    QVERIFY(frame.Load(connectStringFor(db)));
    frame.resize(420, 330);
    frame.show();
    frame.activateWindow();
    QTRY_VERIFY(frame.predictionWindow()->isOpen());
    frame.mdiArea()->closeAllSubWindows();
    QTRY_VERIFY(frame.propEndForTest());
    frame.findChild<QAction*>(command)->trigger();
    QMdiSubWindow* sub = frame.mdiArea()->activeSubWindow();
    QVERIFY(sub);
    const QRect area = frame.mdiArea()->viewport()->rect();
    QTRY_VERIFY2(area.contains(sub->geometry()), qPrintable(u"%1x%2 in %3x%4"_s.arg(sub->width())
                                                                .arg(sub->height())
                                                                .arg(area.width())
                                                                .arg(area.height())));
    // The grid stays inside the window and scrolls to the rows cut off.
    if (auto* grid = sub->widget()->findChild<QAbstractScrollArea*>(u"fpSpread1"_s)) {
        const QRect inWindow(grid->mapTo(sub, QPoint(0, 0)), grid->size());
        QVERIFY(sub->rect().contains(inWindow));
        QTRY_VERIFY(grid->verticalScrollBar()->maximum() > 0);
    }
}

void TestMainFrm::childMenuReplacesMainMenu() {
    QMdiSubWindow* withMenu = m_frame->showChild("M", [this] { return new MenuChild(*m_frame); });
    QTRY_COMPARE(names(m_frame->menuBar()->actions()), QStringList{"mnuChildPrint"});
    QMdiSubWindow* plain = m_frame->showChild("P", [this] { return new FakeChild(*m_frame); });
    QTRY_COMPARE(names(m_frame->menuBar()->actions()).value(0), u"mnuEnd"_s);
    m_frame->mdiArea()->setActiveSubWindow(withMenu);
    QTRY_COMPARE(names(m_frame->menuBar()->actions()), QStringList{"mnuChildPrint"});
    withMenu->close();
    QTRY_COMPARE(names(m_frame->menuBar()->actions()).size(), 6);
    Q_UNUSED(plain);
}

void TestMainFrm::closeClosesAllChildrenWithoutQuestion() {
    QPointer<QMdiSubWindow> a = m_frame->showChild("A", [this] { return new FakeChild(*m_frame); });
    QPointer<QMdiSubWindow> b = m_frame->showChild("B", [this] { return new FakeChild(*m_frame); });
    m_frame->findChild<QAction*>(u"mnuEnd"_s)->trigger();
    QVERIFY(!m_frame->isVisible());
    QTRY_VERIFY(!a && !b);
    QCOMPARE(m_messages->count(), 0);
    QVERIFY(m_frame->propEndForTest());
}

void TestMainFrm::startupFailureNamesFileAndFails() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Numbers3Peridon.mdb"_s);
    MainFrm frame;
    QVERIFY(!frame.Load(connectStringFor(path)));
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().icon, messages::Icon::Stop);
    QCOMPARE(m_messages->last().title, u"メッセ－ジ"_s);
    QVERIFY(m_messages->last().text.contains(u"Numbers3Peridon.mdb"_s));
    QVERIFY(!QGuiApplication::overrideCursor());
}

namespace {

QList<QMdiSubWindow*> openFakes(MainFrm* frame, int count) {
    QList<QMdiSubWindow*> subs;
    for (int i = 0; i < count; ++i) {
        subs << frame->showChild(QString::number(i), [frame, i] {
            auto* w = new FakeChild(*frame);
            w->setWindowTitle(u"窓%1"_s.arg(i + 1));
            return w;
        });
    }
    return subs;
}

} // namespace

// Whichever window is active, it ends the cascade: in front of every other
// window, farthest down and right, and still the active one.
void TestMainFrm::cascadeKeepsActiveInFront_data() {
    QTest::addColumn<int>("active");
    QTest::newRow("first opened") << 0;
    QTest::newRow("middle") << 1;
    QTest::newRow("last opened") << 2;
}

void TestMainFrm::cascadeKeepsActiveInFront() {
    QFETCH(int, active);
    const QList<QMdiSubWindow*> subs = openFakes(m_frame, 3);
    m_frame->mdiArea()->setActiveSubWindow(subs[active]);
    // The state a user met: the active window (title highlighted) is not the
    // one on top of the stack.
    for (QMdiSubWindow* s : subs) {
        if (s != subs[active])
            s->raise();
    }
    QCOMPARE(m_frame->mdiArea()->activeSubWindow(), subs[active]);
    m_frame->cascade();
    QCOMPARE(m_frame->mdiArea()->activeSubWindow(), subs[active]);
    const QList<QMdiSubWindow*> stacked =
        m_frame->mdiArea()->subWindowList(QMdiArea::StackingOrder);
    QCOMPARE(stacked.last(), subs[active]);
    for (QMdiSubWindow* s : subs) {
        if (s != subs[active])
            QVERIFY(s->pos().x() < subs[active]->pos().x());
    }
    // What is drawn at the front window's title is the front window.
    const QPoint title = subs[active]->geometry().topLeft() + QPoint(20, 5);
    QCOMPARE(m_frame->mdiArea()->viewport()->childAt(title), subs[active]);
}

// The window menu lists the open child windows after a separator, numbered
// 1-9 in the order they were opened, the active one checked; from the tenth
// on they go under その他のウィンドウ. An entry activates its window, also a
// minimised one.
void TestMainFrm::windowMenuListsChildren_data() {
    QTest::addColumn<int>("count");
    QTest::newRow("none") << 0;
    QTest::newRow("three") << 3;
    QTest::newRow("eleven") << 11;
}

void TestMainFrm::windowMenuListsChildren() {
    QFETCH(int, count);
    const QList<QMdiSubWindow*> subs = openFakes(m_frame, count);
    QMenu* menu = findMenu(*m_frame, u"mnuWindow"_s);
    const int fixed = 4;
    if (count > 1) {
        subs[0]->showMinimized();
        m_frame->mdiArea()->setActiveSubWindow(subs[1]);
    }
    emit menu->aboutToShow();
    const QList<QAction*> actions = menu->actions();
    if (count == 0) {
        QCOMPARE(actions.size(), fixed);
        return;
    }
    QVERIFY(actions[fixed]->isSeparator());
    const int listed = std::min(count, 9);
    for (int i = 0; i < listed; ++i) {
        QAction* a = actions[fixed + 1 + i];
        QCOMPARE(a->text(), u"&%1 窓%2"_s.arg(i + 1).arg(i + 1));
        QVERIFY(a->isCheckable());
        QCOMPARE(a->isChecked(), i == 1);
    }
    if (count > 9) {
        QMenu* more = actions.value(fixed + 1 + listed)->menu();
        QVERIFY(more);
        QCOMPARE(more->actions().size(), count - 9);
        QCOMPARE(more->actions().last()->text(), u"窓%1"_s.arg(count));
        more->actions().last()->trigger();
        QCOMPARE(m_frame->mdiArea()->activeSubWindow(), subs.last());
    }
    QCOMPARE(actions.size(), fixed + 1 + listed + (count > 9 ? 1 : 0));
    // Opened again, the list is built anew, not added to.
    emit menu->aboutToShow();
    QCOMPARE(menu->actions().size(), actions.size());
    menu->actions()[fixed + 1]->trigger();
    QCOMPARE(m_frame->mdiArea()->activeSubWindow(), subs[0]);
    QVERIFY(!subs[0]->isMinimized());
}

// Each window minimised goes where it can be seen: along the bottom, clear
// of the other icons and in front of the windows over the area. Arranging
// the icons raises them again.
void TestMainFrm::newIconsStayInSight() {
    const QList<QMdiSubWindow*> subs = openFakes(m_frame, 5);
    m_frame->tileVertically();
    const QRect area = m_frame->mdiArea()->viewport()->rect();
    // Icons first..last are in the area, clear of each other and in front of
    // the two windows that stay open.
    auto checkIcons = [&](int first, int last) {
        const QList<QMdiSubWindow*> stacked =
            m_frame->mdiArea()->subWindowList(QMdiArea::StackingOrder);
        for (int i = first; i <= last; ++i) {
            QVERIFY(area.contains(subs[i]->geometry()));
            QCOMPARE(subs[i]->geometry().bottom(), area.bottom());
            for (int j = 2; j < i; ++j)
                QVERIFY(!subs[i]->geometry().intersects(subs[j]->geometry()));
            for (int k = 0; k < 2; ++k)
                QVERIFY2(stacked.indexOf(subs[i]) > stacked.indexOf(subs[k]),
                         qPrintable(u"icon %1 behind window %2"_s.arg(i).arg(k)));
        }
    };
    for (int i = 2; i < 5; ++i) {
        subs[i]->showMinimized();
        QCoreApplication::processEvents();
        checkIcons(i, i);
        if (QTest::currentTestFailed())
            return;
    }
    subs[0]->raise();
    subs[1]->raise();
    m_frame->arrangeIcons();
    checkIcons(2, 4);
}

// Ctrl+F4 closes the active child window; Ctrl+F6 and Ctrl+Tab go to the
// next one, with Shift to the one before; the main window stays.
void TestMainFrm::windowKeys_data() {
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<int>("expected"); // -1: the active window closed
    QTest::newRow("Ctrl+F4") << (Qt::CTRL | Qt::Key_F4) << -1;
    QTest::newRow("Ctrl+F6") << (Qt::CTRL | Qt::Key_F6) << 2;
    QTest::newRow("Ctrl+Tab") << (Qt::CTRL | Qt::Key_Tab) << 2;
    QTest::newRow("Ctrl+Shift+F6") << (Qt::CTRL | Qt::SHIFT | Qt::Key_F6) << 0;
}

void TestMainFrm::windowKeys() {
    QFETCH(QKeyCombination, key);
    QFETCH(int, expected);
    QList<QMdiSubWindow*> subs = openFakes(m_frame, 3);
    m_frame->mdiArea()->setActiveSubWindow(subs[1]);
    subs[1]->widget()->setFocusPolicy(Qt::StrongFocus);
    subs[1]->widget()->setFocus();
    QTRY_VERIFY(subs[1]->widget()->hasFocus());
    QPointer<QMdiSubWindow> middle = subs[1];
    QTest::keyClick(subs[1]->widget(), key.key(), key.keyboardModifiers());
    QCoreApplication::processEvents();
    if (expected < 0) {
        QTRY_VERIFY(!middle);
        QCOMPARE(m_frame->mdiArea()->subWindowList().size(), 2);
        QVERIFY(m_frame->isVisible());
    } else {
        QCOMPARE(m_frame->mdiArea()->activeSubWindow(), subs[expected]);
    }
}

// After the entry window wrote to the database, closing it offers a
// restart (as the import does); unchanged, it closes without a question.
void TestMainFrm::entryChangesOfferARestart_data() {
    QTest::addColumn<bool>("change");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::newRow("unchanged") << false << QMessageBox::Yes;
    QTest::newRow("changed, restart") << true << QMessageBox::Yes;
    QTest::newRow("changed, later") << true << QMessageBox::No;
}

void TestMainFrm::entryChangesOfferARestart() {
    QFETCH(bool, change);
    QFETCH(QMessageBox::StandardButton, answer);
    int restarts = 0;
    m_frame->setRestartAction([&] { ++restarts; });
    m_frame->findChild<QAction*>(u"mnuMasterInput"_s)->trigger();
    QMdiSubWindow* sub = m_frame->mdiArea()->activeSubWindow();
    QVERIFY(sub);
    auto* table = sub->widget()->findChild<QTableView*>(u"fpSpread1"_s);
    QVERIFY(table);
    if (change) {
        // The database lives across the tests: write a digit it does not hold.
        const QModelIndex cell = table->model()->index(0, 1);
        const QString other = cell.data().toString() == u"9"_s ? u"8"_s : u"9"_s;
        QVERIFY(table->model()->setData(cell, other));
    }
    m_messages->setAnswer(answer);
    m_messages->clear();
    sub->close();
    QTRY_VERIFY(m_frame->mdiArea()->subWindowList().isEmpty());
    QTest::qWait(20);
    QCOMPARE(m_messages->count(), change ? 1 : 0);
    if (change) {
        QVERIFY2(m_messages->last().text.startsWith(u"当選データを変更しました。"_s),
                 qPrintable(m_messages->last().text));
        QVERIFY(m_messages->last().text.endsWith(u"今すぐ再起動しますか？"_s));
        QCOMPARE(m_messages->last().defaultButton, QMessageBox::No);
    }
    QCOMPARE(restarts, change && answer == QMessageBox::Yes ? 1 : 0);
}

QTEST_MAIN(TestMainFrm)
#include "tst_ui_mainfrm.moc"
