// The prediction window on screen (offscreen): its controls, its life
// across close and reopen, option clicks, and its place in start-up.
#include "core/prediction/PredictionSheets.h"
#include "core/prediction/SettingsLocation.h"
#include "core/store/Generator.h"
#include "core/store/Store.h"
#include "core/store/TextEncoding.h"
#include "gui/app/MainFrm.h"
#include "gui/prediction/PredictionForm.h"
#include "gui/prediction/PredictionWindow.h"
#include "gui/widgets/Fonts.h"
#include "gui/widgets/Messages.h"
#include "gui/widgets/PrintPreview.h"
#include "gui/widgets/SheetView.h"
#include "gui/widgets/Twips.h"
#include "support/WorkingDirectory.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

using namespace peridon;

namespace {

// A main window stand-in: an MDI area, a store and the propEnd flag.
class Host final : public ChildHost {
public:
    explicit Host(DrawHistory history) : m_store(Store::fromHistory(std::move(history))) {
        m_area.resize(800, 700);
        m_area.show();
    }
    void setPropEnd(bool value) override {
        propEnd = value;
        ++writes;
    }
    QMdiArea* mdiArea() const override { return const_cast<QMdiArea*>(&m_area); }
    const Store& store() const override { return m_store; }
    void resizeArea(const QSize& size) { m_area.resize(size); }

    bool propEnd = true;
    int writes = 0;

private:
    QMdiArea m_area;
    Store m_store;
};

DrawHistory sampleHistory() {
    return generateHistory({.draws = 500, .seed = 11});
}

QString sheetText(const Sheet& s) {
    QString out;
    for (int row = 1; row <= s.rows(); ++row) {
        for (int col = 1; col <= s.cols(); ++col)
            out += s.text(col, row) + u'\t';
        out += u'\n';
    }
    return out;
}

template <typename T> T* child(QWidget* parent, const QString& name) {
    return parent ? parent->findChild<T*>(name) : nullptr;
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QAction* action(QWidget* w, const char* name) {
    return w->findChild<QAction*>(QString::fromLatin1(name));
}

} // namespace

class TestUiPrediction : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void controls_data();
    void controls();
    void layoutFollowsTwips();
    void smallAreaScrollsToEveryControl();
    void fitScale_data();
    void fitScale();
    void shrinksToFitBeforeScrolling();
    void loadAndCloseReportPropEnd();
    void showWhenOpenDoesNotReload();
    void statusSaysWhereTheDataEnds_data();
    void statusSaysWhereTheDataEnds();
    void optionClickRecomputesDependentGrids();
    void closeAndReopenKeepsOptions();
    void settingsFileFeedsTheButtons();
    void settingsLiveInTheDataFolder();
    void settingsWriteFailureIsReported();
    void unreadableSettingsAreToldOnce_data();
    void unreadableSettingsAreToldOnce();

    void reopenFromMenuKeepsOptions();
    void aboutClosingBringsPredictionBack();

private:
    QTemporaryDir* m_dir = nullptr;
    QString m_oldDir;
};

void TestUiPrediction::initTestCase() {
    test::useTemporaryWorkingDirectory();
    installFontSubstitutions();
    m_oldDir = QDir::currentPath();
}

// Every test runs with a data folder of its own (also its current folder),
// so the settings file it reads and writes is its own.
void TestUiPrediction::init() {
    m_dir = new QTemporaryDir;
    QVERIFY(QDir::setCurrent(m_dir->path()));
    setSettingsFolder(m_dir->path());
}

void TestUiPrediction::cleanup() {
    setSettingsFolder({});
    QDir::setCurrent(m_oldDir);
    delete m_dir;
    m_dir = nullptr;
}

void TestUiPrediction::controls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("Frame3") << "Frame3"
                            << "データ分析オプション";
    QTest::newRow("Frame2") << "Frame2"
                            << "当選予想";
    QTest::newRow("Frame4") << "Frame4"
                            << "■頻度分析（出現頻度分析、回数出現分析）";
    QTest::newRow("Frame12") << "Frame12"
                             << "■4分割傾向分析";
    QTest::newRow("Frame13") << "Frame13"
                             << "■分割データ分析";
    QTest::newRow("Label15") << "Label15"
                             << "各データ分析の分析結果を当選予想へ反映するかを設定します。";
    QTest::newRow("Label1") << "Label1"
                            << "●周期法による予想(この予想数字を組合わせて購入します)";
    QTest::newRow("Label2") << "Label2"
                            << "●消去法による予想(この予想数字を組合わせて購入します)";
    QTest::newRow("Label19") << "Label19"
                             << "各データ分析の結果を元に周期法、消去法、連発ペリドン、一発ペリドン"
                                "の各手法を用いて当選数字を予想します。";
    QTest::newRow("Frame9") << "Frame9"
                            << "■連番・飛び石分析";
    QTest::newRow("Label3") << "Label3"
                            << "●連発ペリドン予想(この予想数字を組む合わせて購入します)";
    QTest::newRow("Label4") << "Label4"
                            << "●一発ペリドン予想";
    QTest::newRow("Command2") << "Command2"
                              << "印刷";
    QTest::newRow("Cmd閉じる") << "Cmd閉じる"
                               << "閉じる";
    QTest::newRow("Opt反映する_9") << "Opt反映する_9"
                                   << "反映する";
    QTest::newRow("Opt反映しない_0") << "Opt反映しない_0"
                                     << "反映しない";
}

void TestUiPrediction::controls() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    Host host(sampleHistory());
    一発ペリドン yoso(host);
    yoso.showWindow();
    QWidget* form = yoso.form();
    QVERIFY(form);
    QCOMPARE(yoso.subWindow()->windowTitle(), u"一発ペリドン予想"_s);
    QWidget* w = child<QWidget>(form, name);
    QVERIFY2(w, qPrintable(name));
    QString shown;
    if (auto* box = qobject_cast<QGroupBox*>(w))
        shown = box->title();
    else if (auto* label = qobject_cast<QLabel*>(w))
        shown = label->text().remove(u'\n'); // broken into lines at phrase ends
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        shown = button->text();
    QCOMPARE(shown, text);
    if (name.startsWith(u"Label") && name.size() == 6) {
        QCOMPARE(w->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QCOMPARE(w->palette().color(QPalette::Window), QColor(192, 255, 255));
    }
}

void TestUiPrediction::layoutFollowsTwips() {
    Host host(sampleHistory());
    一発ペリドン yoso(host);
    yoso.showWindow();
    PredictionForm* form = yoso.form();
    const int lefts[] = {4320, 4320, 4320, 4320};
    const int tops[] = {1680, 3480, 5040, 6360};
    for (int i = 0; i < 4; ++i) {
        SheetView* view = child<SheetView>(form, u"fpSpread1_%1"_s.arg(i));
        QVERIFY(view);
        QCOMPARE(view->sheet(), &yoso.engine().grid(i));
        const QPoint at = view->mapTo(form, QPoint(0, 0));
        QCOMPARE(at, QPoint(twipsToPixels(lefts[i], form), twipsToPixels(tops[i], form)));
        // The grid shows all its cells and nothing more.
        QCOMPARE(view->size(), view->sizeHint());
        QCOMPARE(view->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    }
    // Grids stack without overlapping.
    for (int i = 0; i < 3; ++i) {
        auto* upper = child<SheetView>(form, u"fpSpread1_%1"_s.arg(i));
        auto* lower = child<QLabel>(form, u"Label%1"_s.arg(i + 2));
        QVERIFY(upper->mapTo(form, QPoint(0, upper->height())).y() <=
                lower->mapTo(form, QPoint(0, 0)).y());
    }
    // The option frames stand 540 twips apart in index order.
    for (int i = 0; i < 9; ++i) {
        auto* a = child<QGroupBox>(form, u"Frame%1"_s.arg(i + 4));
        auto* b = child<QGroupBox>(form, u"Frame%1"_s.arg(i + 5));
        QVERIFY(a && b);
        QVERIFY(qAbs(b->y() - a->y() - twipsToPixels(540, form)) <= 1);
        QVERIFY(child<QRadioButton>(a, u"Opt反映する_%1"_s.arg(i)));
    }
    // Each pair stands inside its frame, below the caption, not on its line.
    for (int i = 0; i < 10; ++i) {
        auto* frame = child<QGroupBox>(form, u"Frame%1"_s.arg(i + 4));
        for (const QString& name : {u"Opt反映する_%1"_s, u"Opt反映しない_%1"_s}) {
            auto* button = child<QRadioButton>(frame, name.arg(i));
            QVERIFY(button);
            QVERIFY2(frame->contentsRect().contains(button->geometry()), qPrintable(name.arg(i)));
        }
    }
    // The two frames and the two buttons stand where the window has always
    // had them.
    const struct {
        const char* name;
        QRect twips;
    } places[] = {{"Frame3", {120, 480, 3855, 7272}},
                  {"Frame2", {4080, 480, 5055, 7272}},
                  {"Command2", {7200, 60, 855, 375}},
                  {"Cmd閉じる", {8160, 60, 855, 375}}};
    for (const auto& place : places) {
        auto* w = child<QWidget>(form, QString::fromUtf8(place.name));
        QVERIFY2(w, place.name);
        const QRect& t = place.twips;
        QCOMPARE(w->geometry(), twipsRect(t.x(), t.y(), t.width(), t.height(), form));
    }
    QCOMPARE(yoso.subWindow()->pos(), QPoint(0, 0));
    QCOMPARE(yoso.subWindow()->size(), twipsToPixels(9360, 8244, form));
    // At its own size everything shows, without scroll bars.
    auto* scroll = child<QScrollArea>(form, u"predictionScroll"_s);
    QVERIFY(scroll);
    QTRY_VERIFY(!scroll->verticalScrollBar()->isVisible());
    QVERIFY(!scroll->horizontalScrollBar()->isVisible());

    if (const QByteArray out = qgetenv("PERIDON_SCREENSHOT"); !out.isEmpty())
        QVERIFY(yoso.subWindow()->grab().save(QString::fromLocal8Bit(out)));
}

void TestUiPrediction::smallAreaScrollsToEveryControl() {
    // A main window smaller than the prediction window (a small screen at
    // 150 %): the window fits the area and the rest scrolls into view.
    Host host(sampleHistory());
    host.resizeArea({420, 300});
    一発ペリドン yoso(host);
    yoso.showWindow();
    PredictionForm* form = yoso.form();
    QVERIFY(yoso.subWindow()->width() <= 420 && yoso.subWindow()->height() <= 300);
    auto* scroll = child<QScrollArea>(form, u"predictionScroll"_s);
    QVERIFY(scroll);
    QTRY_VERIFY(scroll->verticalScrollBar()->isVisible());
    QVERIFY(scroll->horizontalScrollBar()->isVisible());
    for (const QString& name : {u"Frame13"_s, u"fpSpread1_3"_s, u"Cmd閉じる"_s}) {
        auto* w = child<QWidget>(form, name);
        QVERIFY2(w, qPrintable(name));
        scroll->ensureWidgetVisible(w, 0, 0);
        const QRect shown(w->mapTo(scroll->viewport(), QPoint(0, 0)), w->size());
        QVERIFY2(scroll->viewport()->rect().contains(shown), qPrintable(name));
    }
}

void TestUiPrediction::fitScale_data() {
    QTest::addColumn<QSize>("room");
    QTest::addColumn<double>("minScale");
    QTest::addColumn<double>("expected");
    // A canvas of 600 x 500.
    QTest::newRow("fits as it is") << QSize(800, 700) << 2.0 / 3 << 1.0;
    QTest::newRow("exactly") << QSize(600, 500) << 2.0 / 3 << 1.0;
    QTest::newRow("height decides") << QSize(900, 400) << 2.0 / 3 << 0.8;
    QTest::newRow("width decides") << QSize(450, 480) << 2.0 / 3 << 0.75;
    QTest::newRow("rounded down") << QSize(900, 433) << 2.0 / 3 << 0.86;
    QTest::newRow("never below the minimum") << QSize(300, 250) << 2.0 / 3 << 2.0 / 3;
    QTest::newRow("not at all at 100 %") << QSize(300, 250) << 1.0 << 1.0;
}

void TestUiPrediction::fitScale() {
    QFETCH(QSize, room);
    QFETCH(double, minScale);
    QFETCH(double, expected);
    QVERIFY(qAbs(PredictionForm::fitScale({600, 500}, room, minScale) - expected) < 1e-9);
}

void TestUiPrediction::shrinksToFitBeforeScrolling() {
    // The main window's area on a 1366 x 768 screen at 150 % (run with
    // QT_SCALE_FACTOR=1.5), smaller than the window: the controls are drawn
    // smaller, all four grids show whole, and no scroll bar appears. At
    // 100 % the same area leaves the window at its own scale.
    Host host(sampleHistory());
    const QSize area(880, 420);
    host.resizeArea(area);
    一発ペリドン yoso(host);
    yoso.showWindow();
    PredictionForm* form = yoso.form();
    auto* scroll = child<QScrollArea>(form, u"predictionScroll"_s);
    QVERIFY(scroll);
    const double dpr = form->devicePixelRatioF();
    if (dpr <= 1) {
        QCOMPARE(form->canvasScale(), 1.0);
        QTRY_VERIFY(scroll->verticalScrollBar()->isVisible());
        return;
    }
    QVERIFY(form->canvasScale() < 1);
    QVERIFY(form->canvasScale() >= 1 / dpr);
    QTest::qWait(50);
    QVERIFY(!scroll->verticalScrollBar()->isVisible());
    QVERIFY(!scroll->horizontalScrollBar()->isVisible());
    // Every grid shows whole, inside its frame, its text no smaller than at
    // 100 %.
    auto* frame = child<QGroupBox>(form, u"Frame2"_s);
    for (int i = 0; i < 4; ++i) {
        SheetView* view = form->grid(i);
        QVERIFY2(frame->contentsRect().contains(view->geometry()), qPrintable(QString::number(i)));
        const QRect shown(view->mapTo(scroll->viewport(), QPoint(0, 0)), view->size());
        QVERIFY2(scroll->viewport()->rect().contains(shown), qPrintable(QString::number(i)));
        QVERIFY(view->gridFontInUse().pointSizeF() * dpr >= gridFont().pointSizeF() - 0.01);
    }
    // The controls still work at that scale.
    auto* reflect = child<QRadioButton>(form, u"Opt反映する_0"_s);
    QTest::mouseClick(reflect, Qt::LeftButton);
    QVERIFY(reflect->isChecked());
    QVERIFY(yoso.engine().reflectFlags()[0]);
    // Given its own size again, it is drawn at scale 1 as before.
    host.resizeArea({1200, 900});
    yoso.subWindow()->resize(twipsToPixels(9360, 8244, form));
    QTRY_COMPARE(form->canvasScale(), 1.0);
    auto* close = child<QPushButton>(form, u"Cmd閉じる"_s);
    QCOMPARE(close->geometry(), twipsRect(8160, 60, 855, 375, form));
}

void TestUiPrediction::loadAndCloseReportPropEnd() {
    Host host(sampleHistory());
    一発ペリドン yoso(host);
    QVERIFY(!yoso.isOpen());
    yoso.showWindow();
    QVERIFY(yoso.isOpen());
    QCOMPARE(host.propEnd, false);
    QTest::mouseClick(child<QPushButton>(yoso.form(), u"Cmd閉じる"_s), Qt::LeftButton);
    QVERIFY(!yoso.isOpen());
    QCOMPARE(host.propEnd, true);
    QTRY_VERIFY(host.mdiArea()->subWindowList().isEmpty());
    // Printing previews one page of the four grids and leaves the window open.
    yoso.showWindow();
    int pages = 0;
    setPreviewRunner([&](PrintPreviewDialog&, SheetPrinter& printer) {
        printer.paginate(QSizeF(538, 785));
        pages = printer.pageCount();
    });
    QTest::mouseClick(child<QPushButton>(yoso.form(), u"Command2"_s), Qt::LeftButton);
    setPreviewRunner(nullptr);
    QCOMPARE(pages, 1);
    QVERIFY(yoso.isOpen());
    QCOMPARE(host.propEnd, false);
}

void TestUiPrediction::showWhenOpenDoesNotReload() {
    Host host(sampleHistory());
    一発ペリドン yoso(host);
    yoso.showWindow();
    QWidget* form = yoso.form();
    const int writes = host.writes;
    yoso.showWindow();
    QCOMPARE(yoso.form(), form);
    QCOMPARE(host.writes, writes);
    QCOMPARE(host.mdiArea()->subWindowList().size(), 1);
}

// The status line names the draw the data ends at, and says why the grids
// are empty on an empty or very short history.
void TestUiPrediction::statusSaysWhereTheDataEnds_data() {
    QTest::addColumn<int>("draws");
    QTest::addColumn<QString>("status");
    QTest::newRow("empty") << 0 << u"当選データがありません"_s;
    QTest::newRow("seven") << 7
                           << u"第7回までのデータ　当選データが少なすぎます（8回以上必要です）"_s;
    QTest::newRow("eight") << 8 << u"第8回までのデータ"_s;
    QTest::newRow("7057") << 7057 << u"第7057回までのデータ"_s;
}

void TestUiPrediction::statusSaysWhereTheDataEnds() {
    QFETCH(int, draws);
    QFETCH(QString, status);
    Host host(draws > 0 ? generateHistory({.draws = draws, .seed = 3}) : DrawHistory());
    一発ペリドン yoso(host);
    yoso.showWindow();
    auto* label = child<QLabel>(yoso.form(), u"LabelData"_s);
    QVERIFY(label);
    QCOMPARE(label->text(), status);
    QVERIFY(label->isVisible());
}

void TestUiPrediction::optionClickRecomputesDependentGrids() {
    const DrawHistory history = sampleHistory();
    Host host(history);
    一発ペリドン yoso(host);
    yoso.showWindow();
    const QString cycle = sheetText(yoso.engine().grid(0));
    const QString elimination = sheetText(yoso.engine().grid(1));

    for (int i : {0, 1, 2}) {
        auto* on = child<QRadioButton>(yoso.form(), u"Opt反映する_%1"_s.arg(i));
        QTest::mouseClick(on, Qt::LeftButton);
        QVERIFY(on->isChecked());
        QVERIFY(!child<QRadioButton>(yoso.form(), u"Opt反映しない_%1"_s.arg(i))->isChecked());
    }
    QCOMPARE(yoso.engine().CountReflectedOptions(), 3);
    QCOMPARE(sheetText(yoso.engine().grid(0)), cycle);
    const auto expected = buildPredictionSheets(host.store().input(), 3);
    for (int g = 1; g < 4; ++g)
        QCOMPARE(sheetText(yoso.engine().grid(g)), sheetText(expected[std::size_t(g)]));
    QVERIFY(sheetText(yoso.engine().grid(1)) != elimination);
    // Other options' pairs are untouched.
    QVERIFY(child<QRadioButton>(yoso.form(), u"Opt反映しない_3"_s)->isChecked());
}

void TestUiPrediction::closeAndReopenKeepsOptions() {
    Host host(sampleHistory());
    一発ペリドン yoso(host);
    yoso.showWindow();
    QTest::mouseClick(child<QRadioButton>(yoso.form(), u"Opt反映する_5"_s), Qt::LeftButton);
    const QString elimination = sheetText(yoso.engine().grid(1));
    QTest::mouseClick(child<QPushButton>(yoso.form(), u"Cmd閉じる"_s), Qt::LeftButton);
    QVERIFY(!yoso.isOpen());
    QCOMPARE(yoso.engine().reflectFlags()[5], true);
    yoso.showWindow();
    QVERIFY(child<QRadioButton>(yoso.form(), u"Opt反映する_5"_s)->isChecked());
    QVERIFY(child<QRadioButton>(yoso.form(), u"Opt反映しない_4"_s)->isChecked());
    QCOMPARE(sheetText(yoso.engine().grid(1)), elimination);
}

void TestUiPrediction::settingsFileFeedsTheButtons() {
    ReflectFlags flags{};
    flags[2] = flags[8] = true;
    QVERIFY(saveSettingsFile(QString::fromUtf16(kSettingsFileName), flags).ok);
    Host host(sampleHistory());
    一発ペリドン yoso(host);
    yoso.ReadInitFile();
    yoso.showWindow();
    for (int i = 0; i < kOptionCount; ++i) {
        const bool on = i == 2 || i == 8;
        QCOMPARE(child<QRadioButton>(yoso.form(), u"Opt反映する_%1"_s.arg(i))->isChecked(), on);
    }
    QTest::mouseClick(child<QRadioButton>(yoso.form(), u"Opt反映しない_8"_s), Qt::LeftButton);
    // Changing an option does not write the file; only WriteInitFile does.
    ReflectFlags onDisk{};
    QVERIFY(readSettingsFile(QString::fromUtf16(kSettingsFileName), onDisk));
    QVERIFY(onDisk[8]);
    yoso.WriteInitFile();
    onDisk = {};
    QVERIFY(readSettingsFile(QString::fromUtf16(kSettingsFileName), onDisk));
    QVERIFY(onDisk[2] && !onDisk[8]);
}

// The settings file is read from and written to the data folder, whatever the
// current directory holds.
void TestUiPrediction::settingsLiveInTheDataFolder() {
    QTemporaryDir data;
    setSettingsFolder(data.path());
    const QString inData = QDir(data.path()).filePath(QString::fromUtf16(kSettingsFileName));
    ReflectFlags flags{};
    flags[3] = true;
    QVERIFY(saveSettingsFile(inData, flags).ok);
    ReflectFlags decoy{};
    decoy[7] = true;
    QVERIFY(saveSettingsFile(QString::fromUtf16(kSettingsFileName), decoy).ok);
    Host host(sampleHistory());
    一発ペリドン yoso(host);
    yoso.ReadInitFile();
    QVERIFY(yoso.engine().reflectFlags()[3]);
    QVERIFY(!yoso.engine().reflectFlags()[7]);
    QVERIFY(QFile::remove(inData));
    yoso.WriteInitFile();
    ReflectFlags onDisk{};
    QVERIFY(readSettingsFile(inData, onDisk));
    QCOMPARE(onDisk, yoso.engine().reflectFlags());
    onDisk = {};
    QVERIFY(readSettingsFile(QString::fromUtf16(kSettingsFileName), onDisk));
    QCOMPARE(onDisk, decoy);
}

// A settings file that cannot be written at exit is reported, not only logged.
void TestUiPrediction::settingsWriteFailureIsReported() {
    setSettingsFolder(QDir(m_dir->path()).filePath(u"消えたフォルダー"_s));
    messages::Recorder recorder;
    Host host(sampleHistory());
    一発ペリドン yoso(host);
    yoso.WriteInitFile();
    QCOMPARE(recorder.count(), 1);
    QCOMPARE(recorder.last().icon, messages::Icon::Stop);
    QVERIFY(recorder.last().text.contains(u"保存できませんでした"_s));
    QVERIFY(recorder.last().text.contains(u"消えたフォルダー"_s));
}

// A settings file that cannot be wholly read, or a name that is not a
// regular file, is told once: when the window first shows the options, or
// at exit when it never did. A file read only in part is kept as .bak.
void TestUiPrediction::unreadableSettingsAreToldOnce_data() {
    QTest::addColumn<QString>("what");
    QTest::addColumn<bool>("showFirst");
    QTest::addColumn<QString>("told"); // part of the one message

    QTest::newRow("unknown line, shown") << "unknown line" << true << "ナンバーズ3ペリドン.ini.bak";
    QTest::newRow("unknown line, never shown")
        << "unknown line" << false << "ナンバーズ3ペリドン.ini.bak";
    QTest::newRow("no backup name, shown") << "no backup name" << true << "残す名前がない";
    QTest::newRow("no backup name, never shown")
        << "no backup name" << false << "別の名前で残せない";
    QTest::newRow("folder, shown") << "folder" << true << "フォルダー";
    QTest::newRow("folder, never shown") << "folder" << false << "フォルダー";
#ifdef Q_OS_UNIX
    QTest::newRow("FIFO, shown") << "FIFO" << true << "名前付きパイプ";
    QTest::newRow("symlink, shown") << "symlink" << true << "シンボリックリンク";
#endif
}

void TestUiPrediction::unreadableSettingsAreToldOnce() {
    QFETCH(QString, what);
    QFETCH(bool, showFirst);
    QFETCH(QString, told);
    const QString path = QDir(m_dir->path()).filePath(QString::fromUtf16(kSettingsFileName));
    const QByteArray original = encodeShiftJis(u"引っ張り分析Opt=True\r\n[色]\r\n"_s).value();
    const QString target = QDir(m_dir->path()).filePath(u"target.ini"_s);
    if (what == u"unknown line") {
        QVERIFY(writeBytes(path, original));
    } else if (what == u"no backup name") {
        QVERIFY(writeBytes(path, original));
        QVERIFY(writeBytes(path + u".bak"_s, "1"));
        for (int n = 2; n <= 9; ++n)
            QVERIFY(writeBytes(u"%1.bak%2"_s.arg(path).arg(n), QByteArray::number(n)));
    } else if (what == u"folder") {
        QVERIFY(QDir(m_dir->path()).mkdir(QString::fromUtf16(kSettingsFileName)));
#ifdef Q_OS_UNIX
    } else if (what == u"FIFO") {
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    } else if (what == u"symlink") {
        QVERIFY(writeBytes(target, original));
        QVERIFY(QFile::link(target, path));
#endif
    }
    messages::Recorder recorder;
    Host host(sampleHistory());
    一発ペリドン yoso(host);
    yoso.ReadInitFile();
    QCOMPARE(recorder.count(), 0);
    QVERIFY(!yoso.settingsNotice().isEmpty());
    if (what != u"folder" && what != u"FIFO")
        QVERIFY(yoso.engine().reflectFlags()[4]);
    if (showFirst) {
        yoso.showWindow();
        QCOMPARE(recorder.count(), 1);
        QCOMPARE(recorder.last().icon, messages::Icon::Warning);
        QVERIFY2(recorder.last().text.contains(told), qPrintable(recorder.last().text));
        QTest::mouseClick(child<QPushButton>(yoso.form(), u"Cmd閉じる"_s), Qt::LeftButton);
        yoso.showWindow();
    }
    yoso.WriteInitFile();
    QCOMPARE(recorder.count(), 1);
    QVERIFY2(recorder.last().text.contains(told), qPrintable(recorder.last().text));
    if (what == u"unknown line") {
        QCOMPARE(readBytes(path + u".bak"_s), original);
        ReflectFlags onDisk{};
        QVERIFY(loadSettingsFile(path, onDisk).understood);
        QCOMPARE(onDisk, yoso.engine().reflectFlags());
    } else if (what == u"no backup name") {
        QCOMPARE(readBytes(path), original);
        QCOMPARE(readBytes(path + u".bak"_s), QByteArray("1"));
    } else {
        QVERIFY(fileKindAt(path) != FileKind::Regular);
        QVERIFY(!QFileInfo::exists(path + u".bak"_s));
        if (what == u"symlink")
            QCOMPARE(readBytes(target), original);
    }
}

void TestUiPrediction::reopenFromMenuKeepsOptions() {
    messages::Recorder recorder;
    MainFrm frame;
    frame.Load(Store::fromHistory(sampleHistory()));
    frame.show();
    action(&frame, "mnuYoso")->trigger();
    一発ペリドン* yoso = frame.predictionWindow();
    QVERIFY(yoso->isOpen());
    QTest::mouseClick(child<QRadioButton>(yoso->form(), u"Opt反映する_1"_s), Qt::LeftButton);
    yoso->subWindow()->close();
    QVERIFY(!yoso->isOpen());
    action(&frame, "mnuYoso")->trigger();
    QVERIFY(yoso->isOpen());
    QVERIFY(child<QRadioButton>(yoso->form(), u"Opt反映する_1"_s)->isChecked());
    // The main window's unload writes the options chosen.
    frame.close();
    ReflectFlags onDisk{};
    QVERIFY(readSettingsFile(QString::fromUtf16(kSettingsFileName), onDisk));
    QVERIFY(onDisk[1]);
    QCOMPARE(std::count(onDisk.begin(), onDisk.end(), true), 1);
}

void TestUiPrediction::aboutClosingBringsPredictionBack() {
    messages::Recorder recorder;
    MainFrm frame;
    frame.Load(Store::fromHistory(sampleHistory()));
    frame.show();
    frame.activateWindow();
    QTRY_VERIFY(frame.predictionWindow()->isOpen());
    frame.predictionWindow()->subWindow()->close();
    QVERIFY(!frame.predictionWindow()->isOpen());

    action(&frame, "mnuAbout")->trigger();
    QWidget* about = frame.aboutWindow();
    QVERIFY(about);
    QTRY_VERIFY(about->isActiveWindow());
    QVERIFY(!frame.predictionWindow()->isOpen());
    about->close();
    QTRY_VERIFY(frame.predictionWindow()->isOpen());
    frame.close();
}

QTEST_MAIN(TestUiPrediction)
#include "tst_ui_prediction.moc"
