// The window 予想の検証, offscreen: its menu command, its tables and chart,
// the range and reflected-count selectors, propEnd.
#include "core/store/Generator.h"
#include "core/store/Store.h"
#include "gui/app/MainFrm.h"
#include "gui/prediction/BacktestWindow.h"
#include "gui/widgets/Fonts.h"
#include "gui/widgets/PhraseLines.h"
#include "gui/widgets/PrintPreview.h"
#include "support/TestHistory.h"

#include <QAction>
#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QHeaderView>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPdfWriter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

#include <cmath>
#include <memory>

using namespace Qt::StringLiterals;
using namespace peridon;

namespace {

class FakeHost final : public ChildHost {
public:
    explicit FakeHost(const QString& draws) : m_store(Store::fromHistory(test::history(draws))) {
        m_area.resize(1200, 900);
    }
    void setPropEnd(bool value) override { m_propEnd = value; }
    QMdiArea* mdiArea() const override { return const_cast<QMdiArea*>(&m_area); }
    const Store& store() const override { return m_store; }

    bool m_propEnd = true;

private:
    Store m_store;
    QMdiArea m_area;
};

// Before draw 14 every method shows only 0, and draw 14 is 0 0 0 (the
// hand-worked gap history of the backtest tests).
const QString kGapDraws = u"1:000 13:000 14:000"_s;

QString text(QTableWidget* t, int row, int col) {
    const QTableWidgetItem* item = t->item(row, col);
    return item ? item->text() : QString();
}

void runRange(BacktestWindow& w, int from, int to) {
    w.findChild<QSpinBox*>(u"Spin開始回"_s)->setValue(from);
    w.findChild<QSpinBox*>(u"Spin終了回"_s)->setValue(to);
    QTest::mouseClick(w.findChild<QPushButton*>(u"Cmd検証"_s), Qt::LeftButton);
}

} // namespace

class TestUiBacktest final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installFontSubstitutions(); }
    void menuCommandOpensOneWindow();
    void tablesAndReading();
    void reflectedCountFromThePredictionWindow();
    void emptyRange();
    void smallWindowScrollsWithoutOverlap();
    void descriptionBreaksAtPhraseEnds_data();
    void descriptionBreaksAtPhraseEnds();
    void chartFollowsTheHits();
    void roundDrawTicks_data();
    void roundDrawTicks();
    void verdictLine_data();
    void verdictLine();
    void moneyTable();
    void enterInRangeRuns();
    void printsTablesAndChart();
};

void TestUiBacktest::menuCommandOpensOneWindow() {
    MainFrm frm;
    frm.Load(Store::fromHistory(test::history(kGapDraws)));
    auto* main = frm.findChild<QMenu*>(u"mnuMain"_s);
    QVERIFY(main);
    const QList<QAction*> actions = main->actions();
    QCOMPARE(actions.last()->objectName(), u"mnuBacktest"_s);
    QCOMPARE(actions.last()->text(), u"予想の検証(&B)"_s);
    QVERIFY(actions.at(actions.size() - 2)->isSeparator());

    actions.last()->trigger();
    QMdiSubWindow* sub = frm.childWindow(u"予想の検証"_s);
    QVERIFY(sub);
    QVERIFY(qobject_cast<BacktestWindow*>(sub->widget()));
    QCOMPARE(sub->widget()->windowTitle(), u"予想の検証"_s);
    QVERIFY(!frm.propEndForTest());
    actions.last()->trigger();
    QCOMPARE(frm.childWindow(u"予想の検証"_s), sub);
    QCOMPARE(frm.mdiArea()->subWindowList().size(), 1);

    QTest::mouseClick(sub->widget()->findChild<QPushButton*>(u"Cmd閉じる"_s), Qt::LeftButton);
    QTRY_VERIFY(!frm.childWindow(u"予想の検証"_s));
    QVERIFY(frm.propEndForTest());
}

void TestUiBacktest::smallWindowScrollsWithoutOverlap() {
    // Smaller than its controls need (a small screen at 150 %): nothing is
    // squeezed over anything else; the rest scrolls into view.
    FakeHost host(kGapDraws);
    BacktestWindow w(host, 0);
    w.resize(480, 360);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* scroll = w.findChild<QScrollArea*>(u"backtestScroll"_s);
    QVERIFY(scroll);
    QTRY_VERIFY(scroll->verticalScrollBar()->isVisible());
    for (int m = 0; m < 4; ++m) {
        QTableWidget* table = w.methodTable(m);
        auto* reading = table->parentWidget()->findChild<QLabel*>(u"Label判定"_s);
        QVERIFY(reading);
        const QRect t(table->mapTo(&w, QPoint(0, 0)), table->size());
        const QRect r(reading->mapTo(&w, QPoint(0, 0)), reading->size());
        QVERIFY2(!t.intersects(r), qPrintable(QString::number(m)));
        // Every row of the table shows.
        QVERIFY(table->viewport()->height() >=
                table->rowCount() * table->verticalHeader()->defaultSectionSize());
    }
}

void TestUiBacktest::descriptionBreaksAtPhraseEnds_data() {
    QTest::addColumn<int>("width");
    for (int width : {420, 520, 640, 800, 1000})
        QTest::addRow("%d", width) << width;
}

void TestUiBacktest::descriptionBreaksAtPhraseEnds() {
    // At any width the description breaks only at phrase ends, shows every
    // line, and no line is wider than the label.
    QFETCH(int, width);
    FakeHost host(kGapDraws);
    BacktestWindow w(host, 0);
    w.resize(width, 600);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* label = dynamic_cast<PhraseLabel*>(w.findChild<QLabel*>(u"Label1"_s));
    QVERIFY(label);
    QTRY_VERIFY(label->width() > 0);
    const QString shown = label->text();
    QCOMPARE(QString(shown).remove(u'\n'), label->phraseText());
    for (const QString& word :
         {u"独立"_s, u"一様"_s, u"予想ウィンドウ"_s, u"当選番号"_s, u"直前"_s, u"比べます"_s})
        QVERIFY2(shown.contains(word), qPrintable(shown));
    const QStringList lines = shown.split(u'\n');
    const QFontMetrics fm(label->font());
    for (const QString& line : lines)
        QVERIFY2(fm.horizontalAdvance(line) <= label->contentsRect().width(), qPrintable(line));
    QVERIFY(label->height() >= int(lines.size()) * fm.lineSpacing());
}

void TestUiBacktest::tablesAndReading() {
    FakeHost host(kGapDraws);
    BacktestWindow w(host, 0);
    QVERIFY(!host.m_propEnd);
    // The history ends before draw 101, where the range usually starts: it
    // is checked from its beginning.
    QCOMPARE(w.run().from, 1);
    QCOMPARE(w.run().to, 14);
    QCOMPARE(int(w.run().draws.size()), 3);
    QTableWidget* cycle = w.methodTable(0);
    QCOMPARE(cycle->rowCount(), 3);
    // Digits: 3 hits, 0.3 expected; box and straight: 1 hit, 0.001 expected.
    QCOMPARE(text(cycle, 0, 0), u"3"_s);
    QCOMPARE(text(cycle, 0, 1), u"0.30"_s);
    QCOMPARE(text(cycle, 0, 2), u"10.00"_s);
    QCOMPARE(text(cycle, 1, 0), u"1"_s);
    QCOMPARE(text(cycle, 1, 2), u"1000.00"_s);
    QCOMPARE(text(cycle, 1, 3), u"0.001"_s);
    QCOMPARE(text(cycle, 2, 3), u"0.001"_s);
    // Adjusted over 35 tests.
    QCOMPARE(text(cycle, 1, 4), u"0.035"_s);
    QCOMPARE(text(cycle, 0, 4), u"－"_s);
    QCOMPARE(w.readingLabel(0)->text(),
             u"ボックス：偶然より多く当たっています（補正後 p = 0.035）　"
             "ストレート：偶然より多く当たっています（補正後 p = 0.035）"_s);
    // Elimination: two digits shown, no hit; nothing to compare with chance.
    QTableWidget* elimination = w.methodTable(1);
    QCOMPARE(elimination->rowCount(), 2);
    QCOMPARE(text(elimination, 1, 0), u"0"_s);
    QCOMPARE(text(elimination, 1, 3), u"1"_s);
    QCOMPARE(w.readingLabel(1)->text(), u"ボックス：偶然の範囲です"_s);

    // The ratio per reflected count: only reflect 0 expects anything of the
    // combined methods.
    QTableWidget* ratio = w.ratioTable();
    QCOMPARE(ratio->rowCount(), 11);
    QCOMPARE(ratio->columnCount(), 3);
    QCOMPARE(text(ratio, 0, 0), u"0.00"_s);
    QCOMPARE(text(ratio, 0, 1), u"1000.00"_s);
    QCOMPARE(text(ratio, 1, 1), u"－"_s);

    w.close();
    QVERIFY(host.m_propEnd);
}

void TestUiBacktest::reflectedCountFromThePredictionWindow() {
    FakeHost host(kGapDraws);
    BacktestWindow w(host, 1);
    QCOMPARE(w.reflect(), 1);
    runRange(w, 1, 14);
    // One draw further back the combined methods have nothing to show.
    QCOMPARE(text(w.methodTable(2), 1, 0), u"0"_s);
    QCOMPARE(w.readingLabel(2)->text(), u"ボックス：偶然の範囲です"_s);
    // Choosing reflect 0 scores the same pass again.
    w.findChild<QSpinBox*>(u"Spin反映数"_s)->setValue(0);
    QCOMPARE(text(w.methodTable(2), 1, 0), u"1"_s);
    QCOMPARE(w.readingLabel(2)->text(),
             u"ボックス：偶然より多く当たっています（補正後 p = 0.035）"_s);
    QCOMPARE(int(w.run().draws.size()), 3);
}

void TestUiBacktest::emptyRange() {
    FakeHost host(kGapDraws);
    BacktestWindow w(host, 0);
    runRange(w, 14, 13);
    QVERIFY(w.run().draws.empty());
    QCOMPARE(w.summaryLabel()->text(), u"第14回～第13回には検証できる当選データがありません"_s);
    QCOMPARE(text(w.methodTable(0), 1, 0), u"0"_s);
    QCOMPARE(text(w.methodTable(0), 1, 2), u"－"_s);
    // No p-value is shown where nothing was tested.
    QCOMPARE(text(w.methodTable(0), 1, 3), u"－"_s);
    QCOMPARE(text(w.methodTable(0), 2, 4), u"－"_s);
    QCOMPARE(w.readingLabel(3)->text(), u"ボックス：検証できる回がありません"_s);
    QCOMPARE(w.readingLabel(0)->text(),
             u"ボックス：検証できる回がありません　ストレート：検証できる回がありません"_s);
    QCOMPARE(text(w.moneyTable(), 0, 3), u"－"_s);
}

// The line above the tables for the three cases: nothing evaluated, a
// result that stays under 0.05 after the adjustment, and none.
void TestUiBacktest::verdictLine_data() {
    QTest::addColumn<QString>("history");
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("expected"); // a pattern
    QTest::newRow("no draws") << kGapDraws << 15
                              << u"^検証できる回がないため、35通りの検定はどれも行えません$"_s;
    QTest::newRow("significant") << kGapDraws << 1
                                 << u"^35通りの検定のうち最も小さいp値は "
                                    u"0\\.001（周期法・ボックス）で、検定の数で補正しても "
                                    "0\\.035 なので、偶然より多く当たっています$"_s;
    QTest::newRow("chance")
        << QString() << 101
        << u"^35通りの検定のうち最も小さいp値は 0\\.\\d+（(周期法・(ボックス|"
           "ストレート)|(消去法|連発ペリドン|一発ペリドン)・反映数\\d+)）ですが、"
           "検定の数で補正すると [0-9.]+ で、偶然の範囲です$"_s;
}

void TestUiBacktest::verdictLine() {
    QFETCH(QString, history);
    QFETCH(int, from);
    QFETCH(QString, expected);
    const DrawHistory h =
        history.isEmpty() ? generateHistory({.draws = 600, .seed = 5}) : test::history(history);
    const BacktestRun run = runBacktest(h, from);
    std::vector<int> all;
    for (int r = 0; r < kReflectCounts; ++r)
        all.push_back(r);
    const QString line = BacktestWindow::verdict(run, scoreBacktest(run, all));
    QVERIFY2(QRegularExpression(expected).match(line).hasMatch(), qPrintable(line));
    if (history.isEmpty()) {
        // The named p-value is the smallest of the 35, with its adjustment.
        const BacktestTest t = smallestTest(scoreBacktest(run, all));
        QVERIFY(t.adjusted >= 0.05);
        QVERIFY(line.contains(u"最も小さいp値は %1（"_s.arg(formatPValue(t.p))));
        QVERIFY(line.contains(u"補正すると %1 で"_s.arg(formatPValue(t.adjusted))));
    }
    if (history.isEmpty())
        return;
    // The window shows the same line for the same range.
    FakeHost host(history);
    BacktestWindow w(host, 0);
    runRange(w, from, 14);
    QCOMPARE(w.verdictLabel()->phraseText(), line);
}

// Box and straight tickets over the gap history: the cycle method shows
// {0} before draw 14, one straight ticket that the triple 0 0 0 wins.
void TestUiBacktest::moneyTable() {
    FakeHost host(kGapDraws);
    BacktestWindow w(host, 0);
    QTableWidget* t = w.moneyTable();
    QCOMPARE(t->rowCount(), 5);
    QCOMPARE(t->horizontalHeaderItem(3)->text(), u"回収率（偶然なら45 %）"_s);
    QCOMPARE(text(t, 0, 0), u"0"_s);
    QCOMPARE(text(t, 0, 3), u"－"_s);
    QCOMPARE(text(t, 1, 0), u"1"_s);
    QCOMPARE(text(t, 1, 1), u"200"_s);
    QCOMPARE(text(t, 1, 2), u"90,000"_s);
    QCOMPARE(text(t, 1, 3), u"45000.0 %"_s);
    // Elimination: {1 8} twice, two tickets each, nothing won.
    QCOMPARE(text(t, 2, 0), u"4"_s);
    QCOMPARE(text(t, 2, 1), u"800"_s);
    QCOMPARE(text(t, 2, 3), u"0.0 %"_s);
    auto* caption = w.findChild<QLabel*>(u"Label収支"_s);
    QVERIFY(caption && caption->text().contains(u"理論上"_s));
}

// Enter in either range box runs the check with what was typed.
void TestUiBacktest::enterInRangeRuns() {
    FakeHost host(kGapDraws);
    BacktestWindow w(host, 0);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* from = w.findChild<QSpinBox*>(u"Spin開始回"_s);
    auto* to = w.findChild<QSpinBox*>(u"Spin終了回"_s);
    from->setFocus();
    from->selectAll();
    QTest::keyClicks(from, u"13"_s);
    QTest::keyClick(from, Qt::Key_Return);
    QCOMPARE(w.run().from, 13);
    QCOMPARE(int(w.run().draws.size()), 2);
    to->setFocus();
    to->selectAll();
    QTest::keyClicks(to, u"13"_s);
    QTest::keyClick(to, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(w.run().to, 13);
    QCOMPARE(int(w.run().draws.size()), 1);
}

void TestUiBacktest::chartFollowsTheHits() {
    FakeHost host(kGapDraws);
    BacktestWindow w(host, 0);
    runRange(w, 1, 14);
    QChart* chart = w.chartView()->chart();
    const QList<QAbstractSeries*> series = chart->series();
    // The band of chance, the zero line, then one line per method.
    QCOMPARE(series.size(), 6);
    auto* band = qobject_cast<QAreaSeries*>(series[0]);
    QVERIFY(band);
    QVERIFY(band->name().startsWith(u"偶然の範囲"_s));
    QCOMPARE(band->upperSeries()->points().first().y(), 2.0);
    QCOMPARE(band->lowerSeries()->points().first().y(), -2.0);
    QCOMPARE(chart->legend()->markers(series[1]).first()->isVisible(), false);
    QSet<QRgb> colours;
    for (int m = 0; m < 4; ++m) {
        auto* line = qobject_cast<QLineSeries*>(series[2 + m]);
        QVERIFY(line);
        QCOMPARE(line->name(), backtestMethodNames()[std::size_t(m)]);
        QVERIFY(chart->legend()->markers(line).first()->isVisible());
        colours.insert(line->pen().color().rgb());
    }
    QCOMPARE(colours.size(), 4);
    // One-shot: one hit at chance 0.001 on draw 14, the only draw with a
    // chance; elimination: no hit at chance 0.008 twice.
    auto* oneShot = qobject_cast<QLineSeries*>(series[5]);
    QCOMPARE(oneShot->points().size(), 1);
    QCOMPARE(oneShot->points().last().x(), 14.0);
    QVERIFY(qAbs(oneShot->points().last().y() - 0.999 / std::sqrt(0.000999)) < 1e-9);
    auto* elimination = qobject_cast<QLineSeries*>(series[3]);
    QCOMPARE(elimination->points().size(), 2);
    QVERIFY(qAbs(elimination->points().last().y() + 0.016 / std::sqrt(2 * 0.008 * 0.992)) < 1e-9);
    const auto axes = chart->axes(Qt::Vertical);
    QCOMPARE(axes.size(), 1);
    QVERIFY(axes.first()->titleText().contains(u"標準偏差"_s));
    // Round ticks on the draw axis, whatever the range.
    auto* x = qobject_cast<QValueAxis*>(chart->axes(Qt::Horizontal).first());
    QVERIFY(x);
    QCOMPARE(x->tickType(), QValueAxis::TicksDynamic);
    QCOMPARE(x->tickAnchor(), 0.0);
    QCOMPARE(x->tickInterval(), 2.0);
}

// Ticks of 1, 2 or 5 times a power of ten, about seven over the range.
void TestUiBacktest::roundDrawTicks_data() {
    QTest::addColumn<int>("draws");
    QTest::addColumn<double>("interval");
    QTest::newRow("the real history's length") << 7054 << 1000.0;
    QTest::newRow("600 draws") << 600 << 100.0;
    QTest::newRow("the largest") << 32767 << 5000.0;
}

void TestUiBacktest::roundDrawTicks() {
    QFETCH(int, draws);
    QFETCH(double, interval);
    Store store = Store::fromHistory(generateHistory({.draws = draws, .seed = 1}));
    class Host final : public ChildHost {
    public:
        explicit Host(Store& s) : m_store(s) {}
        void setPropEnd(bool) override {}
        QMdiArea* mdiArea() const override { return nullptr; }
        const Store& store() const override { return m_store; }
        Store& m_store;
    } host(store);
    BacktestWindow w(host, 0);
    QCOMPARE(w.run().from, 101);
    auto* x = qobject_cast<QValueAxis*>(w.chartView()->chart()->axes(Qt::Horizontal).first());
    QCOMPARE(x->tickInterval(), interval);
}

// 印刷 previews one page with every table, the readings and the chart; the
// same page written as a PDF holds their texts.
void TestUiBacktest::printsTablesAndChart() {
    FakeHost host(kGapDraws);
    BacktestWindow w(host, 0);
    w.resize(1040, 760);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    runRange(w, 1, 14);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"検証.pdf"_s);
    int previews = 0;
    int pages = 0;
    QStringList footer;
    setPreviewRunner([&](PrintPreviewDialog&, SheetPrinter& printer) {
        ++previews;
        QPdfWriter writer(pdf);
        writer.setPageLayout(printer.defaultPageLayout());
        QVERIFY(printer.print(&writer));
        pages = printer.pageCount();
        footer = printer.footer(0);
    });
    QTest::mouseClick(w.findChild<QPushButton*>(u"Command2"_s), Qt::LeftButton);
    setPreviewRunner(nullptr);
    QCOMPARE(previews, 1);
    QCOMPARE(pages, 1);
    QCOMPARE(footer.value(0), u"予想の検証"_s);
    QVERIFY(footer.value(2).startsWith(u"最終回 第14回"_s));
    QFile f(pdf);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.read(5) == "%PDF-");
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QProcess p;
    p.start(u"pdftotext"_s, {u"-enc"_s, u"UTF-8"_s, pdf, u"-"_s});
    QVERIFY(p.waitForFinished(60000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    for (const QString& expected :
         {u"の 3 回を検証しました"_s, u"周期法"_s, u"一発ペリドン"_s, u"偶然の期待値"_s,
          u"実際／期待値（反映数ごと）"_s, u"偶然からのずれ"_s, u"最も小さいp値"_s, u"補正p値"_s,
          u"収支（理論上の賞金で計算）"_s, u"90,000"_s, u"偶然の範囲"_s})
        QVERIFY2(text.contains(expected), qPrintable(expected + u" not in: "_s + text.left(400)));

    // Every text, the footer's too, is at least 9 points high, and the page
    // is filled to its right and bottom margins.
    QProcess boxes;
    boxes.start(u"pdftotext"_s, {u"-bbox"_s, pdf, u"-"_s});
    QVERIFY(boxes.waitForFinished(60000));
    const QString html = QString::fromUtf8(boxes.readAllStandardOutput());
    const QRegularExpression pageSize(uR"re(<page width="([\d.]+)" height="([\d.]+)")re"_s);
    const auto pageMatch = pageSize.match(html);
    QVERIFY(pageMatch.hasMatch());
    const double pageWidth = pageMatch.captured(1).toDouble();
    const double pageHeight = pageMatch.captured(2).toDouble();
    QVERIFY(pageWidth > pageHeight); // landscape
    const QRegularExpression word(
        uR"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">)re"_s);
    double right = 0;
    double bottom = 0;
    int words = 0;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        const double top = m.captured(2).toDouble();
        ++words;
        QVERIFY2(m.captured(4).toDouble() - top >= 8.9, qPrintable(m.captured(0)));
        right = std::max(right, m.captured(3).toDouble());
        if (top < pageHeight - 45) // above the footer
            bottom = std::max(bottom, m.captured(4).toDouble());
    }
    QVERIFY(words > 50);
    QVERIFY2(right > pageWidth * 0.85, qPrintable(QString::number(right)));
    QVERIFY2(bottom > pageHeight * 0.8, qPrintable(QString::number(bottom)));
}

QTEST_MAIN(TestUiBacktest)
#include "tst_ui_backtest.moc"
