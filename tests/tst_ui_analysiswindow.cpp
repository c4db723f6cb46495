// The analysis window frame, offscreen: controls, placement, propEnd.
#include "core/sheet/SheetExport.h"
#include "core/store/Store.h"
#include "gui/analysis/AnalysisWindow.h"
#include "gui/app/MainFrm.h"
#include "gui/prediction/PredictionWindow.h"
#include "gui/widgets/Fonts.h"
#include "gui/widgets/Messages.h"
#include "gui/widgets/PrintPreview.h"
#include "gui/widgets/SheetView.h"
#include "gui/widgets/Twips.h"
#include "support/TestHistory.h"
#include "support/WorkingDirectory.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace peridon;

namespace {

// The main window as far as a child window sees it.
class FakeHost final : public ChildHost {
public:
    explicit FakeHost(const QString& draws) : m_store(Store::fromHistory(test::history(draws))) {
        m_area.resize(1200, 1000);
        m_area.show();
    }
    void setPropEnd(bool value) override {
        m_propEnd = value;
        ++m_calls;
    }
    QMdiArea* mdiArea() const override { return const_cast<QMdiArea*>(&m_area); }
    const Store& store() const override { return m_store; }

    QMdiSubWindow* open(const AnalysisInfo& info) {
        QWidget* w = createAnalysisWindow(info, *this);
        QMdiSubWindow* sub = m_area.addSubWindow(w);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->show();
        return sub;
    }

    bool m_propEnd = true;
    int m_calls = 0;

private:
    Store m_store;
    QMdiArea m_area;
};

const char* const kDraws = "123 456 1-3 789 5:555 000 999";

} // namespace

class TestAnalysisWindow final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        test::useTemporaryWorkingDirectory();
        installFontSubstitutions();
    }
    void twips_data();
    void twips();
    void everyWindowHasItsLayout();
    void everyWindowOpens_data();
    void everyWindowOpens();
    void propEndIsOneFlag();
    void printOpensPreview();
    void gridMenuPrintsEveryWindow_data();
    void gridMenuPrintsEveryWindow();
    void previewPaintsPagesInView();
    void previewPagesSameInTheirWindow();
    void previewSavesPdf_data();
    void previewSavesPdf();
    void selectAllAndCopy_data();
    void selectAllAndCopy();
    void everyMenuCommandOpensItsWindow();
    void failedLoadHandsPropEndBack();
    void centredTitleSpreadsBothWays_data();
    void centredTitleSpreadsBothWays();
};

void TestAnalysisWindow::twips_data() {
    QTest::addColumn<int>("twips");
    QTest::addColumn<qreal>("dpi");
    QTest::addColumn<int>("pixels");
    QTest::newRow("15 twips, 96 DPI") << 15 << 96.0 << 1;
    QTest::newRow("5280 twips, 96 DPI") << 5280 << 96.0 << 352;
    QTest::newRow("5280 twips, 120 DPI") << 5280 << 120.0 << 440;
    QTest::newRow("one inch, 144 DPI") << 1440 << 144.0 << 144;
    QTest::newRow("rounds to nearest") << 22 << 96.0 << 1;
}

void TestAnalysisWindow::twips() {
    QFETCH(int, twips);
    QFETCH(qreal, dpi);
    QFETCH(int, pixels);
    QCOMPARE(twipsToPixels(twips, dpi), pixels);
}

// The layout table names the registry's windows, in the registry's order:
// a window added to the registry without a layout would open as a plain
// window and have no menu command.
void TestAnalysisWindow::everyWindowHasItsLayout() {
    const auto& reg = analysisRegistry();
    const auto& layouts = analysisLayouts();
    QCOMPARE(layouts.size(), reg.size());
    for (std::size_t i = 0; i < reg.size(); ++i)
        QCOMPARE(layouts[i].className, reg[i].className);
}

void TestAnalysisWindow::everyWindowOpens_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("draws");
    const auto& reg = analysisRegistry();
    for (int i = 0; i < int(reg.size()); ++i) {
        QTest::addRow("%s", reg[std::size_t(i)].className.toUtf8().constData()) << i << kDraws;
        QTest::addRow("%s, empty history", reg[std::size_t(i)].className.toUtf8().constData())
            << i << QString();
    }
}

// Every registry entry opens as the common frame with its own controls,
// computes its sheet on load, takes its place and size, and reports propEnd
// false on load and true when "閉じる" closes it.
void TestAnalysisWindow::everyWindowOpens() {
    QFETCH(int, index);
    QFETCH(QString, draws);
    const AnalysisInfo& info = analysisRegistry()[std::size_t(index)];
    const AnalysisLayout& layout = analysisLayout(info.className);
    FakeHost host(draws);

    QPointer<QMdiSubWindow> sub = host.open(info);
    QVERIFY(!host.m_propEnd);
    auto* w = qobject_cast<AnalysisWindow*>(sub->widget());
    QVERIFY(w);
    QCOMPARE(w->objectName(), info.className);
    QCOMPARE(w->windowTitle(), info.caption);
    QVERIFY(QTest::qWaitForWindowExposed(sub));

    // Placed at the client area's corner with the outer size from twips.
    QCOMPARE(sub->geometry(),
             QRect(QPoint(0, 0), twipsToPixels(layout.widthTwips, layout.heightTwips, sub)));

    auto* label1 = w->findChild<QLabel*>(u"Label1"_s);
    QVERIFY(label1);
    // Shown whole at the window's own size, broken into lines at the ends of
    // phrases (only a window made smaller cuts it, with "…" and the whole
    // text as the tooltip).
    QCOMPARE(label1->text().remove(u'\n'), layout.description);
    QVERIFY(label1->toolTip().isEmpty());
    auto* close = w->findChild<QPushButton*>(u"Command1"_s);
    QVERIFY(close);
    QCOMPARE(close->text(), u"閉じる"_s);
    auto* print = w->findChild<QPushButton*>(u"Command2"_s);
    QCOMPARE(print != nullptr, layout.hasPrint);
    if (print)
        QCOMPARE(print->text(), u"印刷"_s);

    switch (layout.legend) {
    case Legend::None:
        QVERIFY(!w->findChild<QLabel*>(u"Picture1"_s));
        break;
    case Legend::Ball13:
    case Legend::Ball19: {
        const int size = layout.legend == Legend::Ball13 ? 13 : 19;
        auto* picture = w->findChild<QLabel*>(u"Picture1"_s);
        QVERIFY(picture);
        QCOMPARE(picture->size(), QSize(size, size));
        QCOMPARE(picture->pixmap().deviceIndependentSize().toSize(), QSize(size, size));
        QCOMPARE(w->findChild<QLabel*>(u"Label2"_s)->text(), u"：当選数字"_s);
        break;
    }
    case Legend::PullPrevious:
        QVERIFY(w->findChild<QLabel*>(u"Label2"_s));
        QCOMPARE(w->findChild<QLabel*>(u"Label3"_s)->text(), u":前回の数字"_s);
        break;
    }

    // The grid shows the sheet the window's builder makes.
    auto* grid = w->findChild<SheetView*>(u"fpSpread1"_s);
    QVERIFY(grid);
    QCOMPARE(grid->sheet(), &w->sheet());
    Sheet expected;
    info.build(host.store().input(), expected);
    QCOMPARE(w->sheet().rows(), expected.rows());
    QCOMPARE(w->sheet().cols(), expected.cols());
    QVERIFY(w->sheet().rows() >= 1);
    // At its place, or lower where the description above it needs the room.
    QCOMPARE(grid->x(), twipsToPixels(120, w));
    QVERIFY(grid->y() >= twipsToPixels(600, w));
    if (label1->y() < grid->y()) {
        QVERIFY(label1->y() + QFontMetrics(label1->font()).lineSpacing() *
                                  (label1->text().count(u'\n') + 1) <=
                grid->y());
        if (grid->y() > twipsToPixels(600, w))
            QVERIFY(label1->text().count(u'\n') >= 2);
    }
    // A sheet that fits its grid shows no scroll bar, though the grid was
    // laid out smaller before the window took its size.
    const Sheet& shown = w->sheet();
    if (grid->columnX(shown.cols() + 1) <= grid->maximumViewportSize().width() &&
        grid->rowY(shown.rows() + 1) <= grid->maximumViewportSize().height()) {
        QTRY_VERIFY(!grid->verticalScrollBar()->isVisible());
        QTRY_VERIFY(!grid->horizontalScrollBar()->isVisible());
    }

    // Controls stay inside the window and never cover one another.
    QList<QWidget*> controls{label1, close};
    if (print)
        controls << print;
    for (const char* name : {"Picture1", "Label2", "Label3"})
        if (auto* c = w->findChild<QWidget*>(QString::fromLatin1(name)))
            controls << c;
    for (QWidget* a : controls) {
        QVERIFY2(w->rect().contains(a->geometry()), qPrintable(a->objectName()));
        QVERIFY2(!a->geometry().intersects(grid->geometry()), qPrintable(a->objectName()));
        for (QWidget* b : controls)
            QVERIFY2(a == b || !a->geometry().intersects(b->geometry()),
                     qPrintable(a->objectName() + u" / "_s + b->objectName()));
    }

    // Made small (a narrow tile), the grid stays inside the window and every
    // cell stays in reach through a scroll bar, also in a direction the
    // sheet shows none in at the window's own size.
    sub->resize(200, 170);
    QTRY_VERIFY(w->rect().contains(grid->geometry()));
    const QSize content(grid->columnX(shown.cols() + 1), grid->rowY(shown.rows() + 1));
    if (content.width() > grid->viewport()->width())
        QTRY_VERIFY(grid->horizontalScrollBar()->isVisible() &&
                    grid->horizontalScrollBar()->maximum() > 0);
    if (content.height() > grid->viewport()->height())
        QTRY_VERIFY(grid->verticalScrollBar()->isVisible() &&
                    grid->verticalScrollBar()->maximum() > 0);

    QTest::mouseClick(close, Qt::LeftButton);
    QVERIFY(host.m_propEnd);
    QTRY_VERIFY(sub.isNull());
}

void TestAnalysisWindow::propEndIsOneFlag() {
    FakeHost host(QString::fromLatin1(kDraws));
    QPointer<QMdiSubWindow> a = host.open(*findAnalysis(u"出現頻度分析"_s));
    QPointer<QMdiSubWindow> b = host.open(*findAnalysis(u"数字合計分析"_s));
    QVERIFY(!host.m_propEnd);
    // Closing by the window frame counts as closing, too.
    a->close();
    QVERIFY(host.m_propEnd);
    QTRY_VERIFY(a.isNull());
    QVERIFY(!b.isNull());
    b->close();
    QVERIFY(host.m_propEnd);
}

// "印刷" opens the preview of the whole grid: every page, the window's
// caption and the last draw in the footer; the window stays as it was.
void TestAnalysisWindow::gridMenuPrintsEveryWindow_data() {
    QTest::addColumn<QString>("window");
    // With and without a 印刷 button.
    QTest::newRow("バラツキ分析") << u"バラツキ分析"_s;
    QTest::newRow("分割10データ分析") << u"分割10データ分析"_s;
    QTest::newRow("引っ張り分析") << u"引っ張り分析"_s;
}

void TestAnalysisWindow::gridMenuPrintsEveryWindow() {
    QFETCH(QString, window);
    FakeHost host(QString::fromLatin1(kDraws));
    QPointer<QMdiSubWindow> sub = host.open(*findAnalysis(window));
    auto* grid = sub->widget()->findChild<SheetView*>(u"fpSpread1"_s);
    QVERIFY(grid);
    std::unique_ptr<QMenu> menu(grid->createContextMenu(nullptr));
    auto* print = menu->findChild<QAction*>(u"actionPrint"_s);
    QVERIFY(print);
    QVERIFY(print->isEnabled());
    QStringList footer;
    setPreviewRunner(
        [&](PrintPreviewDialog&, SheetPrinter& printer) { footer = printer.footer(0); });
    print->trigger();
    QTRY_COMPARE(footer.value(0), findAnalysis(window)->caption);
    setPreviewRunner(nullptr);
}

void TestAnalysisWindow::printOpensPreview() {
    FakeHost host(QString::fromLatin1(kDraws));
    QPointer<QMdiSubWindow> sub = host.open(*findAnalysis(u"バラツキ分析"_s));
    const int calls = host.m_calls;
    auto* print = sub->widget()->findChild<QPushButton*>(u"Command2"_s);
    QVERIFY(print);
    int previews = 0;
    QStringList footer;
    int pages = 0;
    setPreviewRunner([&](PrintPreviewDialog& dialog, SheetPrinter& printer) {
        ++previews;
        pages = dialog.pageCount();
        footer = printer.footer(0);
        QVERIFY(dialog.findChild<QAction*>(u"fitToWidth"_s)->isChecked());
        // Never larger than the screen it opens on.
        const QSize screen = sub->screen()->availableSize();
        QVERIFY(dialog.width() <= screen.width() && dialog.height() <= screen.height());
    });
    QTest::mouseClick(print, Qt::LeftButton);
    setPreviewRunner(nullptr);
    QCOMPARE(previews, 1);
    QCOMPARE(pages, 1);
    QCOMPARE(footer.value(0), u"バラツキ分析"_s);
    QVERIFY(footer.value(2).startsWith(u"最終回 第7回"_s));
    // Whatever the click posted, a deferred delete included, has run.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!sub.isNull());
    QVERIFY(sub->isVisible());
    QCOMPARE(host.m_calls, calls);
    QVERIFY(!host.m_propEnd);
}

namespace {

// A long grid of draws: a frozen header row, then one row per draw.
Sheet longSheet(int draws) {
    Sheet s(4, draws + 1);
    s.setFrozen(0, 1);
    s.setText(1, 1, u"回数"_s);
    for (int r = 2; r <= draws + 1; ++r)
        s.setText(1, r, QString::number(r - 1));
    return s;
}

} // namespace

// The preview of a long grid paints only the pages in view: the first at
// once, the last when scrolled to.
void TestAnalysisWindow::previewPaintsPagesInView() {
    const Sheet sheet = longSheet(3000);
    PrintDocument doc;
    doc.caption = u"長い表"_s;
    doc.grids.push_back({&sheet, QString()});
    int pages = 0;
    int paintedFirst = 0;
    int paintedAfter = 0;
    QString label;
    setPreviewRunner([&](PrintPreviewDialog& dialog, SheetPrinter&) {
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* view = qobject_cast<QAbstractScrollArea*>(dialog.pagesView());
        view->viewport()->repaint();
        pages = dialog.pageCount();
        paintedFirst = dialog.paintedPages();
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
        view->viewport()->repaint();
        paintedAfter = dialog.paintedPages();
        label = dialog.findChild<QLabel*>(u"pageLabel"_s)->text();
        // Turning the paper lays the pages out again.
        dialog.setOrientation(QPageLayout::Landscape);
        QVERIFY(dialog.pageCount() > pages);
    });
    showPrintPreview(nullptr, doc);
    setPreviewRunner(nullptr);
    QVERIFY(pages > 30);
    QVERIFY(paintedFirst >= 1);
    QVERIFY(paintedFirst <= 4);
    QVERIFY(paintedAfter > paintedFirst);
    QVERIFY(paintedAfter - paintedFirst <= 4);
    QCOMPARE(label.trimmed(), u"%1 / %1 ページ"_s.arg(pages));
}

// A page of the preview looks the same wherever its view sits in the
// window: the lines and fills, placed on whole pixels of the screen, stay
// on the cells of their texts.
void TestAnalysisWindow::previewPagesSameInTheirWindow() {
    Sheet sheet = longSheet(100);
    sheet.setBackColor(CellRange::block(1, 2, 1, CellRange::kEnd), rgb(255, 255, 192));
    PrintDocument doc;
    doc.caption = u"長い表"_s;
    doc.grids.push_back({&sheet, QString()});
    QImage alone;
    QImage inWindow;
    setPreviewRunner([&](PrintPreviewDialog& dialog, SheetPrinter&) {
        dialog.resize(700, 500);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QWidget* viewport = qobject_cast<QAbstractScrollArea*>(dialog.pagesView())->viewport();
        alone = viewport->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRect at(viewport->mapTo(&dialog, QPoint(0, 0)), viewport->size());
        QVERIFY(at.top() > 10);
        // What the window shows: its backing store, where the view is
        // painted at its place in the window.
        viewport->repaint();
        inWindow = dialog.screen()
                       ->grabWindow(dialog.winId(), at.x(), at.y(), at.width(), at.height())
                       .toImage()
                       .convertToFormat(QImage::Format_RGB32);
    });
    showPrintPreview(nullptr, doc);
    setPreviewRunner(nullptr);
    QVERIFY(!alone.isNull());
    QCOMPARE(inWindow.size(), alone.size());
    QVERIFY(inWindow == alone);
}

void TestAnalysisWindow::previewSavesPdf_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("ok");
    QTest::newRow("saved") << u"表.pdf"_s << true;
    QTest::newRow("missing folder") << u"ない/表.pdf"_s << false;
}

// "PDFに保存..." writes the pages as previewed; a file that cannot be
// written is told and nothing is left.
void TestAnalysisWindow::previewSavesPdf() {
    QFETCH(QString, name);
    QFETCH(bool, ok);
    const Sheet sheet = longSheet(200);
    PrintDocument doc;
    doc.caption = u"長い表"_s;
    doc.grids.push_back({&sheet, QString()});
    QTemporaryDir dir;
    setPreviewPdfChooser([&](const QString&) { return dir.filePath(name); });
    messages::Recorder messages;
    setPreviewRunner([&](PrintPreviewDialog& dialog, SheetPrinter&) {
        dialog.findChild<QAction*>(u"pdfAction"_s)->trigger();
    });
    showPrintPreview(nullptr, doc);
    setPreviewRunner(nullptr);
    setPreviewPdfChooser(nullptr);
    QFile f(dir.filePath(name));
    QCOMPARE(f.open(QIODevice::ReadOnly) && f.read(5) == "%PDF-", ok);
    QCOMPARE(messages.count(), ok ? 0 : 1);
    if (!ok) {
        QVERIFY(messages.last().text.contains(u"表.pdf"_s));
        QVERIFY(QDir(dir.path()).isEmpty());
    }
}

void TestAnalysisWindow::selectAllAndCopy_data() {
    QTest::addColumn<QString>("window");
    QTest::newRow("バラツキ分析") << u"バラツキ分析"_s;
    QTest::newRow("分割10データ分析") << u"分割10データ分析"_s;
}

// Ctrl+A and Ctrl+C in a grid of a window inside the main window put the
// whole grid on the clipboard as tab-separated text and HTML.
void TestAnalysisWindow::selectAllAndCopy() {
    QFETCH(QString, window);
    messages::Recorder messages;
    MainFrm frame;
    frame.Load(Store::fromHistory(test::history(QString::fromLatin1(kDraws))));
    frame.resize(1400, 1100);
    frame.show();
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    const AnalysisInfo* info = findAnalysis(window);
    QVERIFY(info);
    frame.findChild<QAction*>(analysisLayout(info->className).menuName)->trigger();
    QPointer<QMdiSubWindow> sub = frame.childWindow(info->className);
    QVERIFY(sub);
    auto* w = qobject_cast<AnalysisWindow*>(sub->widget());
    SheetView* grid = w->grid();
    grid->setFocus();
    QTRY_VERIFY(grid->hasFocus());
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(grid, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(grid->selection(), QRect(1, 1, w->sheet().cols(), w->sheet().rows()));
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    QVERIFY(mime);
    const QString tsv = mime->text();
    QCOMPARE(tsv, sheetTsv(w->sheet(), QRect(1, 1, w->sheet().cols(), w->sheet().rows())));
    QCOMPARE(tsv.count(u'\n'), w->sheet().rows());
    QCOMPARE(tsv.section(u'\n', 0, 0).count(u'\t'), w->sheet().cols() - 1);
    QVERIFY(mime->html().contains(u"bgcolor="_s));
    QCOMPARE(messages.count(), 0);
}

// The main window's menu opens each analysis window in its frame, at the
// client area's corner, and "閉じる" hands propEnd back.
void TestAnalysisWindow::everyMenuCommandOpensItsWindow() {
    messages::Recorder messages;
    MainFrm frame;
    frame.Load(Store::fromHistory(test::history(QString::fromLatin1(kDraws))));
    frame.resize(1400, 1100);
    frame.show();
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    QTRY_VERIFY(frame.predictionWindow()->isOpen());
    frame.mdiArea()->closeAllSubWindows();
    QTRY_VERIFY(frame.mdiArea()->subWindowList().isEmpty());

    for (const AnalysisInfo& info : analysisRegistry()) {
        const QString menuName = analysisLayout(info.className).menuName;
        auto* action = frame.findChild<QAction*>(menuName);
        QVERIFY2(action, qPrintable(menuName));
        action->trigger();
        QPointer<QMdiSubWindow> sub = frame.childWindow(info.className);
        QVERIFY2(sub, qPrintable(info.className));
        auto* w = qobject_cast<AnalysisWindow*>(sub->widget());
        QVERIFY(w);
        QCOMPARE(&w->info(), &info);
        QVERIFY(!frame.propEndForTest());
        QCOMPARE(sub->geometry(), QRect(QPoint(0, 0), w->outerSize()));
        QCOMPARE(sub->windowTitle(), info.caption);
        QVERIFY(w->sheet().rows() > 0);

        QTest::mouseClick(w->findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
        QVERIFY(frame.propEndForTest());
        QTRY_VERIFY(sub.isNull());
    }
    QCOMPARE(messages.count(), 0);
}

// A computation that fails (the main window reports it) leaves no window
// behind and propEnd as it was before.
void TestAnalysisWindow::failedLoadHandsPropEndBack() {
    FakeHost host(QString::fromLatin1(kDraws));
    AnalysisInfo info = *findAnalysis(u"数字合計分析"_s);
    info.build = [](const AnalysisInput&, Sheet&) { throw std::runtime_error("no memory"); };
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, createAnalysisWindow(info, host));
    QVERIFY(host.m_propEnd);
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestAnalysisWindow::centredTitleSpreadsBothWays_data() {
    QTest::addColumn<int>("align");
    QTest::addColumn<bool>("inkLeft");
    QTest::newRow("centred") << int(HAlign::Center) << true;
    QTest::newRow("left") << int(HAlign::Left) << false;
}

// A centred title wider than its cell spreads over the empty cells on both
// sides (the count window's "出現回数合計(回)" would otherwise be cut at the
// sheet's edge); a left-aligned one spreads to the right only.
void TestAnalysisWindow::centredTitleSpreadsBothWays() {
    QFETCH(int, align);
    QFETCH(bool, inkLeft);
    Sheet sheet(3, 1);
    sheet.setColWidth(-1, 6);
    sheet.setOverflow(true);
    sheet.setHAlign(CellRange::cell(2, 1), HAlign(align));
    sheet.setText(2, 1, u"出現回数合計(回)"_s);
    SheetView view;
    view.setSheet(&sheet);
    const QSize size = view.rangeSize(1, 1, 3, 1);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        view.paint(&p, 1, 1, 3, 1);
    }
    // Dark text pixels inside column 1, away from its grid lines.
    bool ink = false;
    for (int x = 2; x < view.columnWidthPx(1) - 2; ++x)
        for (int y = 2; y < size.height() - 2; ++y)
            ink = ink || qGray(image.pixel(x, y)) < 128;
    QCOMPARE(ink, inkLeft);
}

QTEST_MAIN(TestAnalysisWindow)
#include "tst_ui_analysiswindow.moc"
