#include "gui/app/AboutWindow.h"
#include "gui/app/HelpLauncher.h"
#include "gui/app/MainFrm.h"
#include "gui/app/Translations.h"
#include "gui/prediction/PredictionWindow.h"
#include "gui/widgets/AppIcon.h"
#include "gui/widgets/Fonts.h"
#include "gui/widgets/Messages.h"
#include "gui/widgets/PhraseLines.h"
#include "support/TestDatabase.h"
#include "support/WorkingDirectory.h"

#include <QFontDatabase>
#include <QHelpEngine>
#include <QHelpEngineCore>
#include <QHelpIndexWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

using namespace Qt::StringLiterals;

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
    void programIconOnEveryWindow();
    void aboutCentredAndEscapeCloses();
    void helpOpensOneViewerOnKeyword();
    void helpMissingFileDoesNothing();
    void helpViewerFitsTheScreenAndSortsItsIndex();
    void linesBreakAtPhraseEnds_data();
    void linesBreakAtPhraseEnds();
    void f1OpensThePageOfTheActiveWindow_data();
    void f1OpensThePageOfTheActiveWindow();
    void helpEngineClosedBeforeItsFolderGoes();
    void qtDialogsSpeakJapanese();
    void everyPageLinkedFromTheIntroduction();

private:
    void saveShot(QWidget* w, const QString& name);
    QTemporaryDir m_dir;
    QString m_buildDir;
    MainFrm* m_frame = nullptr;
    messages::Recorder* m_messages = nullptr;
};

void TestAboutHelp::initTestCase() {
    test::useTemporaryWorkingDirectory();
    installFontSubstitutions();
    // The help file is built beside the programs and the tests.
    m_buildDir = QCoreApplication::applicationDirPath();
    test::makeDatabase(m_dir.filePath(u"Numbers3Peridon.mdb"_s), u"123 456 789"_s);
}

void TestAboutHelp::init() {
    QDir::setCurrent(m_buildDir);
    m_messages = new messages::Recorder;
    m_frame = new MainFrm;
    QVERIFY(m_frame->Load(connectStringFor(m_dir.filePath(u"Numbers3Peridon.mdb"_s))));
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
        w->grab().save(QDir(dir).filePath(name + u".png"_s));
}

void TestAboutHelp::fontsSubstituted_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("otherName");
    QTest::newRow("gothic") << u"ＭＳ Ｐゴシック"_s << u"MS PGothic"_s;
    QTest::newRow("gothic en") << u"MS PGothic"_s << u"ＭＳ Ｐゴシック"_s;
    QTest::newRow("fixed gothic") << u"ＭＳ ゴシック"_s << u"MS Gothic"_s;
    QTest::newRow("mincho") << u"HGS明朝E"_s << u"HGSMinchoE"_s;
}

void TestAboutHelp::fontsSubstituted() {
    QFETCH(QString, family);
    QFETCH(QString, otherName);
    // The font's other name and the Windows fonts are tried before the IPA
    // fonts; only installed ones are set as substitutes.
    const QStringList candidates = fontCandidates(family);
    QCOMPARE(candidates.value(0), otherName);
    const qsizetype firstIpa = candidates.indexOf(QRegularExpression(u"IPA.*"_s));
    const qsizetype yu = candidates.indexOf(QRegularExpression(u"Yu .*"_s));
    QVERIFY(yu > 0 && firstIpa > yu);
    const QStringList installed = QFontDatabase::families();
    for (const QString& substitute : QFont::substitutes(family))
        QVERIFY2(installed.contains(substitute, Qt::CaseInsensitive), qPrintable(substitute));
    const QFontMetrics fm{QFont(family)};
    QVERIFY(fm.inFont(QChar(u'ペ')));
    QVERIFY(fm.inFont(QChar(u'３')));
}

void TestAboutHelp::aboutContents() {
    m_frame->findChild<QAction*>(u"mnuAbout"_s)->trigger();
    QWidget* about = m_frame->aboutWindow();
    QVERIFY(about);
    QVERIFY(about->isWindow());
    QCOMPARE(about->windowTitle(), u"バージョン情報"_s);
    QCOMPARE(about->size(), QSize(491, 379));
    QCOMPARE(バージョン情報::backgroundPicture().size(), QSize(491, 379));
    // At 150 % and 200 % it is drawn with the screen's pixels, not scaled up.
    for (const qreal ratio : {1.5, 2.0}) {
        const QImage sharp = バージョン情報::backgroundPicture(ratio);
        QCOMPARE(sharp.size(), QSize(qCeil(491 * ratio), qCeil(379 * ratio)));
        QCOMPARE(sharp.deviceIndependentSize(), QSizeF(sharp.size()) / ratio);
    }
    struct Expect {
        const char* name;
        QString text;
        qreal points;
        bool bold;
        QColor colour;
    };
    const Expect expects[] = {
        {"Label1", u"ナンバーズ３ペリドン"_s, 20.25, true, QColor(255, 0, 0)},
        {"Label3", u" Ver1.10"_s, 14.25, true, QColor(0, 0, 255)},
        {"Label4",
         u"　　　　　一発ペリドンと高額当選を狙う！！　　　　　　　　　　「ナンバーズ３次世"
         "代攻略ソフト」"_s,
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
    QCOMPARE(about->findChild<QLabel*>("Label1")->font().family(), u"HGS明朝E"_s);
    auto* button = about->findChild<QPushButton*>(u"Command1"_s);
    QVERIFY(button);
    QCOMPARE(button->text(), u"閉じる"_s);
    saveShot(about, u"about"_s);
    saveShot(m_frame, u"mainfrm"_s);
}

void TestAboutHelp::aboutSingleAndFocusReturns() {
    QAction* a = m_frame->findChild<QAction*>(u"mnuAbout"_s);
    a->trigger();
    QPointer<QWidget> about = m_frame->aboutWindow();
    a->trigger();
    QCOMPARE(m_frame->aboutWindow(), about.data());
    // The platform's window is active before the widget is.
    QTRY_COMPARE(QApplication::activeWindow(), about.data());
    // Close the prediction window: coming back to the main window shows it again.
    m_frame->mdiArea()->closeAllSubWindows();
    QTRY_VERIFY(!m_frame->predictionWindow()->isOpen());
    QTest::mouseClick(about->findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
    QTRY_VERIFY(!about);
    QTRY_VERIFY(m_frame->isActiveWindow());
    QTRY_VERIFY(m_frame->predictionWindow()->isOpen());
    QCOMPARE(m_messages->count(), 0);
}

void TestAboutHelp::programIconOnEveryWindow() {
    const QIcon icon = applicationIcon();
    const QList<QSize> sizes = icon.availableSizes();
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
        QCOMPARE(icon.pixmap(size).size(), QSize(size, size));
    }
    installApplicationIcon();
    const qint64 key = QApplication::windowIcon().cacheKey();
    QCOMPARE(QApplication::windowIcon().availableSizes(), sizes);
    m_frame->findChild<QAction*>(u"mnuAbout"_s)->trigger();
    const QWidget* windows[] = {m_frame, m_frame->aboutWindow(),
                                m_frame->predictionWindow()->subWindow()};
    for (const QWidget* w : windows) {
        QVERIFY(w);
        QCOMPARE(w->windowIcon().cacheKey(), key);
    }
}

void TestAboutHelp::aboutCentredAndEscapeCloses() {
    m_frame->move(40, 30);
    m_frame->findChild<QAction*>(u"mnuAbout"_s)->trigger();
    QPointer<QWidget> about = m_frame->aboutWindow();
    QTRY_COMPARE(QApplication::activeWindow(), about.data());
    // Over the middle of the window area, below the menu bar.
    const QWidget* area = m_frame->mdiArea();
    const QPoint centre = area->mapToGlobal(area->rect().center());
    QVERIFY2((about->frameGeometry().center() - centre).manhattanLength() <= 4,
             qPrintable(u"%1,%2 vs %3,%4"_s.arg(about->frameGeometry().center().x())
                            .arg(about->frameGeometry().center().y())
                            .arg(centre.x())
                            .arg(centre.y())));
    QVERIFY(about->frameGeometry().top() >
            m_frame->menuBar()->mapToGlobal(QPoint(0, 0)).y() + m_frame->menuBar()->height());
    QTest::keyClick(about, Qt::Key_Escape);
    QTRY_VERIFY(!about);
    QTRY_VERIFY(m_frame->isActiveWindow());
}

void TestAboutHelp::helpOpensOneViewerOnKeyword() {
    QVERIFY2(!HelpLauncher::findHelpFile().isEmpty(), "help file not built");
    QAction* help = m_frame->findChild<QAction*>(u"mnuHelpFile"_s);
    help->trigger();
    QPointer<HelpViewer> viewer = m_frame->helpLauncher()->viewer();
    QVERIFY(viewer);
    QVERIFY(viewer->isVisible());
    QVERIFY(viewer->isReady());
    QCOMPARE(viewer->indexFilter(), kHelpKeyword);
    QTRY_VERIFY(viewer->currentTopic().toString().endsWith(u"index.html"_s));
    help->trigger();
    QCOMPARE(m_frame->helpLauncher()->viewer(), viewer.data());
    int viewers = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        viewers += w->objectName() == u"HelpViewer"_s && w->isVisible();
    QCOMPARE(viewers, 1);
    // Links lead away from the introduction; 戻る and 目次 lead back to it.
    auto* topic = viewer->findChild<QTextBrowser*>(u"helpTopic"_s);
    auto* back = viewer->findChild<QPushButton*>(u"helpBack"_s);
    auto* home = viewer->findChild<QPushButton*>(u"helpHome"_s);
    QVERIFY(topic && back && home);
    const QUrl intro = viewer->currentTopic();
    topic->setSource(intro.resolved(QUrl(u"entry.html"_s)));
    QVERIFY(back->isEnabled());
    QTest::mouseClick(back, Qt::LeftButton);
    QCOMPARE(viewer->currentTopic(), intro);
    topic->setSource(intro.resolved(QUrl(u"about.html"_s)));
    QTest::mouseClick(home, Qt::LeftButton);
    QCOMPARE(viewer->currentTopic(), intro);
    // The index fills on a worker thread.
    auto* index = viewer->findChild<QHelpIndexWidget*>();
    QVERIFY(index);
    QTRY_VERIFY(index->model() && index->model()->rowCount() > 0);
    saveShot(viewer, u"help"_s);
    QCOMPARE(m_messages->count(), 0);
}

void TestAboutHelp::helpEngineClosedBeforeItsFolderGoes() {
    const QString helpFile = HelpLauncher::findHelpFile();
    QVERIFY2(!helpFile.isEmpty(), "help file not built");
    auto* viewer = new HelpViewer(helpFile);
    auto* engine = viewer->findChild<QHelpEngine*>();
    QVERIFY(engine);
    const QString folder = QFileInfo(engine->collectionFile()).absolutePath();
    QVERIFY(QFileInfo::exists(folder));
    // Windows cannot remove a folder holding an open file: the engine (and
    // its open collection) must be gone while the folder still exists.
    bool folderThereWhenEngineWent = false;
    connect(engine, &QObject::destroyed, this,
            [&] { folderThereWhenEngineWent = QFileInfo::exists(folder); });
    delete viewer;
    QVERIFY(folderThereWhenEngineWent);
    QVERIFY(!QFileInfo::exists(folder));
}

void TestAboutHelp::everyPageLinkedFromTheIntroduction() {
    const QString helpFile = HelpLauncher::findHelpFile();
    QVERIFY2(!helpFile.isEmpty(), "help file not built");
    QTemporaryDir dir;
    QHelpEngineCore engine(dir.filePath(u"c.qhc"_s));
    engine.setReadOnly(false);
    QVERIFY(engine.setupData());
    const QString ns = QHelpEngineCore::namespaceName(helpFile);
    QVERIFY(engine.registerDocumentation(helpFile));
    const QList<QUrl> pages = engine.files(ns, QString(), u"html"_s);
    QVERIFY(pages.size() > 20);
    QUrl intro;
    for (const QUrl& page : pages)
        if (page.fileName() == u"index.html"_s)
            intro = page;
    QVERIFY(intro.isValid());
    const QString introText = QString::fromUtf8(engine.fileData(intro));
    // A page the introduction does not lead to is found only by its keyword.
    for (const QUrl& page : pages) {
        if (page != intro)
            QVERIFY2(introText.contains(u"href=\"%1\""_s.arg(page.fileName())),
                     qPrintable(page.fileName()));
    }
}

void TestAboutHelp::qtDialogsSpeakJapanese() {
    // Qt's own dialogs (file choice, print preview, message boxes) show their
    // buttons and labels in Japanese, like the rest of the program.
    QVERIFY2(installQtTranslations(*qApp), "Qt's Japanese translations are not installed");
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), u"キャンセル"_s);
    QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), u"アドレス:"_s);
}

void TestAboutHelp::helpMissingFileDoesNothing() {
    QTemporaryDir empty;
    QDir::setCurrent(empty.path());
    // The tests' own folder holds no help file either.
    if (!HelpLauncher::findHelpFile().isEmpty())
        QSKIP("a help file lies beside the test program");
    m_frame->findChild<QAction*>(u"mnuHelpFile"_s)->trigger();
    QVERIFY(!m_frame->helpLauncher()->viewer());
    QCOMPARE(m_messages->count(), 0);
}

QTEST_MAIN(TestAboutHelp)
// The viewer opens within the screen's free area, centred; its index is in
// dictionary order, numbers by value, also while it is filtered.
void TestAboutHelp::helpViewerFitsTheScreenAndSortsItsIndex() {
    QVERIFY2(!HelpLauncher::findHelpFile().isEmpty(), "help file not built");
    m_frame->findChild<QAction*>(u"mnuHelpFile"_s)->trigger();
    HelpViewer* viewer = m_frame->helpLauncher()->viewer();
    QVERIFY(viewer);
    const QRect room = viewer->screen()->availableGeometry();
    QVERIFY2(room.contains(viewer->frameGeometry()) || room.contains(viewer->geometry()),
             qPrintable(u"%1x%2 on %3x%4"_s.arg(viewer->width())
                            .arg(viewer->height())
                            .arg(room.width())
                            .arg(room.height())));
    QVERIFY(qAbs(viewer->geometry().center().x() - room.center().x()) < 20);
    auto* filter = viewer->findChild<QLineEdit*>(u"helpIndexFilter"_s);
    QVERIFY(filter);
    filter->clear();
    QTRY_VERIFY(viewer->indexKeywords().size() > 20);
    const QStringList keywords = viewer->indexKeywords();
    QVERIFY2(keywords.indexOf(u"5分割データ分析"_s) < keywords.indexOf(u"10分割データ分析"_s),
             qPrintable(keywords.join(u' ')));
    QVERIFY(keywords.indexOf(u"3分割データ分析"_s) < keywords.indexOf(u"5分割データ分析"_s));
    filter->setText(u"分割"_s);
    QTRY_VERIFY(viewer->indexKeywords().size() < keywords.size());
    const QStringList filtered = viewer->indexKeywords();
    QVERIFY2(filtered.indexOf(u"5分割データ分析"_s) < filtered.indexOf(u"10分割データ分析"_s),
             qPrintable(filtered.join(u' ')));
}

// Labels and messages break at phrase ends, never inside a word; a quoted
// line stays whole and nothing in a message is taken for markup.
void TestAboutHelp::linesBreakAtPhraseEnds_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("chars"); // the width, in ideographs
    QTest::addColumn<QString>("notAtEnd");
    QTest::newRow("option note") << u"各データ分析の分析結果を当選予想へ反映するかを設定します。"_s
                                 << 16 << u"反映す"_s;
    QTest::newRow("first start")
        << u"初めての起動のため、付属の当選番号の履歴からデータベースを作成しました。"_s << 18
        << u"作成しまし"_s;
    QTest::newRow("nothing written")
        << u"読み取れない行が3行あります。何も書き込みませんでした。"_s << 12 << u"書き込みませ"_s;
}

void TestAboutHelp::linesBreakAtPhraseEnds() {
    QFETCH(QString, text);
    QFETCH(int, chars);
    QFETCH(QString, notAtEnd);
    const QFontMetrics fm(QApplication::font());
    const int width = chars * fm.horizontalAdvance(QChar(0x5B57));
    const QStringList lines = phraseLines(text, fm, width);
    QVERIFY(lines.size() > 1);
    QCOMPARE(lines.join(QString()), text);
    for (const QString& line : lines) {
        QVERIFY2(fm.horizontalAdvance(line) <= width, qPrintable(line));
        QVERIFY2(!line.endsWith(notAtEnd), qPrintable(lines.join(u'|')));
    }
    const QString quoted = u"ファイル：/tmp/とても/長い/名前の/フォルダー/<b>当選</b>.csv"_s;
    const QString html = messageHtml(text + u'\n' + quoted, fm, width);
    QCOMPARE(html.count(u"<br>"_s), int(lines.size()));
    QVERIFY(html.contains(quoted.toHtmlEscaped()));
    QVERIFY(!html.contains(u"<b>"_s));
}

// F1 opens the page of the window in front, the introduction with none open;
// 目次 still leads to the introduction.
void TestAboutHelp::f1OpensThePageOfTheActiveWindow_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("page");
    QTest::newRow("none open") << QString() << u"index.html"_s;
    QTest::newRow("prediction") << u"mnuYoso"_s << u"yoso.html"_s;
    QTest::newRow("analysis") << u"mnuSyutugenHindo"_s << u"syutugen_hindo.html"_s;
    QTest::newRow("analysis in a submenu") << u"mnuLowHightPattern"_s << u"lowhigh.html"_s;
}

void TestAboutHelp::f1OpensThePageOfTheActiveWindow() {
    QFETCH(QString, command);
    QFETCH(QString, page);
    QVERIFY2(!HelpLauncher::findHelpFile().isEmpty(), "help file not built");
    m_frame->mdiArea()->closeAllSubWindows();
    QTRY_VERIFY(m_frame->mdiArea()->subWindowList().isEmpty());
    if (!command.isEmpty())
        m_frame->findChild<QAction*>(command)->trigger();
    QTRY_VERIFY(m_frame->isActiveWindow());
    QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : m_frame;
    QTest::keyClick(focus, Qt::Key_F1);
    HelpViewer* viewer = m_frame->helpLauncher()->viewer();
    QVERIFY(viewer);
    QTRY_VERIFY2(viewer->currentTopic().toString().endsWith(page),
                 qPrintable(viewer->currentTopic().toString()));
    viewer->findChild<QPushButton*>(u"helpHome"_s)->click();
    QTRY_VERIFY(viewer->currentTopic().toString().endsWith(u"index.html"_s));
}

#include "tst_ui_about_help.moc"
