// The window 予想の検証, offscreen: its menu command, its tables and chart,
// the range and reflected-count selectors, propEnd.
#include "core/store/Store.h"
#include "gui/app/MainFrm.h"
#include "gui/prediction/BacktestWindow.h"
#include "gui/widgets/Fonts.h"
#include "gui/widgets/PrintPreview.h"
#include "support/TestHistory.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPdfWriter>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

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
    void chartFollowsTheHits();
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

void TestUiBacktest::tablesAndReading() {
    FakeHost host(kGapDraws);
    BacktestWindow w(host, 0);
    QVERIFY(!host.m_propEnd);
    // The default range starts at draw 101: nothing to evaluate here.
    QCOMPARE(w.run().from, 101);
    QCOMPARE(w.run().to, 14);
    QVERIFY(w.run().draws.empty());

    runRange(w, 1, 14);
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
    QCOMPARE(
        w.readingLabel(0)->text(),
        u"ボックス：偶然より多く当たっています (p = 0.001)　ストレート：偶然より多く当たっています (p = 0.001)"_s);
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
    QCOMPARE(w.readingLabel(2)->text(), u"ボックス：偶然より多く当たっています (p = 0.001)"_s);
    QCOMPARE(int(w.run().draws.size()), 3);
}

void TestUiBacktest::emptyRange() {
    FakeHost host(kGapDraws);
    BacktestWindow w(host, 0);
    runRange(w, 14, 13);
    QVERIFY(w.run().draws.empty());
    QVERIFY(w.summaryLabel()->text().contains(u"ありません"_s));
    QCOMPARE(text(w.methodTable(0), 1, 0), u"0"_s);
    QCOMPARE(text(w.methodTable(0), 1, 2), u"－"_s);
    QCOMPARE(w.readingLabel(3)->text(), u"ボックス：偶然の範囲です"_s);
}

void TestUiBacktest::chartFollowsTheHits() {
    FakeHost host(kGapDraws);
    BacktestWindow w(host, 0);
    runRange(w, 1, 14);
    const QList<QAbstractSeries*> series = w.chartView()->chart()->series();
    QCOMPARE(series.size(), 8);
    // Method, then its expectation; the last point of each is the total.
    auto* oneShot = qobject_cast<QLineSeries*>(series[6]);
    auto* oneShotChance = qobject_cast<QLineSeries*>(series[7]);
    QVERIFY(oneShot && oneShotChance);
    QCOMPARE(oneShot->name(), u"一発ペリドン"_s);
    QCOMPARE(oneShot->points().last(), QPointF(14, 1));
    QCOMPARE(oneShotChance->points().last(), QPointF(14, 0.001));
    QCOMPARE(oneShot->points().size(), 3);
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
          u"実際／期待値（反映数ごと）"_s, u"ボックス的中の累計"_s})
        QVERIFY2(text.contains(expected), qPrintable(expected + u" not in: "_s + text.left(400)));
}

QTEST_MAIN(TestUiBacktest)
#include "tst_ui_backtest.moc"
