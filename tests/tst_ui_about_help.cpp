#include "gui/app/AboutWindow.h"
#include "gui/app/HelpLauncher.h"
#include "gui/app/MainFrm.h"
#include "gui/prediction/PredictionWindow.h"
#include "gui/widgets/Fonts.h"
#include "gui/widgets/Messages.h"
#include "support/TestDatabase.h"

#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QTextBrowser>
#include <QtTest>

using namespace peridon;

class TestAboutHelp : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void fontsSubstituted_data();
    void fontsSubstituted();
    void aboutContents();
    void aboutSingleAndFocusReturns();
    void helpOpensOneViewerOnKeyword();
    void helpMissingFileDoesNothing();

private:
    void saveShot(QWidget* w, const QString& name);
    QTemporaryDir m_dir;
    QString m_buildDir;
    MainFrm* m_frame = nullptr;
    messages::Recorder* m_messages = nullptr;
};

void TestAboutHelp::initTestCase() {
    installFontSubstitutions();
    // The help file is built beside the programs and the tests.
    m_buildDir = QCoreApplication::applicationDirPath();
    test::makeDatabase(m_dir.filePath(QStringLiteral("Numbers3Peridon.mdb")),
                       QStringLiteral("123 456 789"));
}

void TestAboutHelp::init() {
    QDir::setCurrent(m_buildDir);
    m_messages = new messages::Recorder;
    m_frame = new MainFrm;
    QVERIFY(m_frame->Load(connectStringFor(m_dir.filePath(QStringLiteral("Numbers3Peridon.mdb")))));
    m_frame->show();
    m_frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_frame));
    QTRY_VERIFY(m_frame->predictionWindow()->isOpen());
}

void TestAboutHelp::cleanup() {
    delete m_frame;
    delete m_messages;
}

// Screenshots for a person to look at, when asked for.
void TestAboutHelp::saveShot(QWidget* w, const QString& name) {
    const QString dir = qEnvironmentVariable("PERIDON_SCREENSHOTS");
    if (!dir.isEmpty())
        w->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

void TestAboutHelp::fontsSubstituted_data() {
    QTest::addColumn<QString>("family");
    QTest::newRow("gothic") << QStringLiteral("ＭＳ Ｐゴシック");
    QTest::newRow("mincho") << QStringLiteral("HGS明朝E");
}

void TestAboutHelp::fontsSubstituted() {
    QFETCH(QString, family);
    const QFontMetrics fm{QFont(family)};
    QVERIFY(fm.inFont(QChar(u'ペ')));
    QVERIFY(fm.inFont(QChar(u'３')));
}

void TestAboutHelp::aboutContents() {
    m_frame->findChild<QAction*>(QStringLiteral("mnuAbout"))->trigger();
    QWidget* about = m_frame->aboutWindow();
    QVERIFY(about);
    QVERIFY(about->isWindow());
    QCOMPARE(about->windowTitle(), QStringLiteral("バージョン情報"));
    QCOMPARE(about->size(), QSize(491, 379));
    QCOMPARE(バージョン情報::backgroundPicture().size(), QSize(491, 379));
    struct Expect {
        const char* name;
        QString text;
        qreal points;
        bool bold;
        QColor colour;
    };
    const Expect expects[] = {
        {"Label1", QStringLiteral("ナンバーズ３ペリドン"), 20.25, true, QColor(255, 0, 0)},
        {"Label3", QStringLiteral(" Ver1.10"), 14.25, true, QColor(0, 0, 255)},
        {"Label4",
         QStringLiteral(
             "　　　　　一発ペリドンと高額当選を狙う！！　　　　　　　　　　「ナンバーズ３次世"
             "代攻略ソフト」"),
         12, false, QColor(255, 255, 255)},
    };
    for (const Expect& e : expects) {
        auto* label = about->findChild<QLabel*>(QString::fromLatin1(e.name));
        QVERIFY2(label, e.name);
        QCOMPARE(label->text(), e.text);
        QCOMPARE(label->font().pointSizeF(), e.points);
        QCOMPARE(label->font().bold(), e.bold);
        QCOMPARE(label->palette().color(QPalette::WindowText), e.colour);
        QVERIFY(about->rect().contains(label->geometry()));
    }
    QCOMPARE(about->findChild<QLabel*>("Label1")->font().family(), QStringLiteral("HGS明朝E"));
    auto* button = about->findChild<QPushButton*>(QStringLiteral("Command1"));
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("閉じる"));
    saveShot(about, QStringLiteral("about"));
    saveShot(m_frame, QStringLiteral("mainfrm"));
}

void TestAboutHelp::aboutSingleAndFocusReturns() {
    QAction* a = m_frame->findChild<QAction*>(QStringLiteral("mnuAbout"));
    a->trigger();
    QPointer<QWidget> about = m_frame->aboutWindow();
    a->trigger();
    QCOMPARE(m_frame->aboutWindow(), about.data());
    QVERIFY(QTest::qWaitForWindowActive(about));
    // Close the prediction window: coming back to the main window shows it again.
    m_frame->mdiArea()->closeAllSubWindows();
    QTRY_VERIFY(!m_frame->predictionWindow()->isOpen());
    QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    QTRY_VERIFY(!about);
    QTRY_VERIFY(m_frame->isActiveWindow());
    QTRY_VERIFY(m_frame->predictionWindow()->isOpen());
    QCOMPARE(m_messages->count(), 0);
}

void TestAboutHelp::helpOpensOneViewerOnKeyword() {
    QVERIFY2(!HelpLauncher::findHelpFile().isEmpty(), "help file not built");
    QAction* help = m_frame->findChild<QAction*>(QStringLiteral("mnuHelpFile"));
    help->trigger();
    QPointer<HelpViewer> viewer = m_frame->helpLauncher()->viewer();
    QVERIFY(viewer);
    QVERIFY(viewer->isVisible());
    QVERIFY(viewer->isReady());
    QCOMPARE(viewer->indexFilter(), kHelpKeyword);
    QTRY_VERIFY(viewer->currentTopic().toString().endsWith(QStringLiteral("index.html")));
    help->trigger();
    QCOMPARE(m_frame->helpLauncher()->viewer(), viewer.data());
    int viewers = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        viewers += w->objectName() == QStringLiteral("HelpViewer") && w->isVisible();
    QCOMPARE(viewers, 1);
    // Links lead away from the introduction; 戻る and 目次 lead back to it.
    auto* topic = viewer->findChild<QTextBrowser*>(QStringLiteral("helpTopic"));
    auto* back = viewer->findChild<QPushButton*>(QStringLiteral("helpBack"));
    auto* home = viewer->findChild<QPushButton*>(QStringLiteral("helpHome"));
    QVERIFY(topic && back && home);
    const QUrl intro = viewer->currentTopic();
    topic->setSource(intro.resolved(QUrl(QStringLiteral("entry.html"))));
    QVERIFY(back->isEnabled());
    QTest::mouseClick(back, Qt::LeftButton);
    QCOMPARE(viewer->currentTopic(), intro);
    topic->setSource(intro.resolved(QUrl(QStringLiteral("about.html"))));
    QTest::mouseClick(home, Qt::LeftButton);
    QCOMPARE(viewer->currentTopic(), intro);
    QTest::qWait(300); // the index fills on a worker thread
    saveShot(viewer, QStringLiteral("help"));
    QCOMPARE(m_messages->count(), 0);
}

void TestAboutHelp::helpMissingFileDoesNothing() {
    QTemporaryDir empty;
    QDir::setCurrent(empty.path());
    // The tests' own folder holds no help file either.
    if (!HelpLauncher::findHelpFile().isEmpty())
        QSKIP("a help file lies beside the test program");
    m_frame->findChild<QAction*>(QStringLiteral("mnuHelpFile"))->trigger();
    QVERIFY(!m_frame->helpLauncher()->viewer());
    QCOMPARE(m_messages->count(), 0);
}

QTEST_MAIN(TestAboutHelp)
#include "tst_ui_about_help.moc"
