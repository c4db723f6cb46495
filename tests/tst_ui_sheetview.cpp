#include "gui/widgets/Fonts.h"
#include "gui/widgets/SheetView.h"
#include "support/WorkingDirectory.h"

#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QtTest>

using namespace Qt::StringLiterals;

using namespace peridon;

namespace {

const Rgb kRed = rgb(255, 0, 0);

// Counts pixels of a colour (roughly: anti-aliased text is reddish) in a rect.
int reddish(const QImage& img, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.red() > 150 && c.green() < 120 && c.blue() < 120)
                ++n;
        }
    return n;
}

QImage render(const SheetView& view, int c1, int r1, int c2, int r2) {
    QImage img(view.rangeSize(c1, r1, c2, r2), QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    view.paint(&p, c1, r1, c2, r2);
    return img;
}

} // namespace

class TestSheetView : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        test::useTemporaryWorkingDirectory();
        installFontSubstitutions();
    }
    void overflow_data();
    void overflow();
    void unitsRule();
    void sizeHintFollowsVisibleExtent_data();
    void sizeHintFollowsVisibleExtent();
    void frozenRowsStayWhileScrolling();
    void scrollsByWholeRows();
    void bordersPainted();
    void hugeSheetOpensAndScrolls();
    void gridFontIsJapanese();
};

void TestSheetView::overflow_data() {
    QTest::addColumn<bool>("overflow");
    QTest::addColumn<QString>("blocker"); // text in column 3, or empty
    QTest::addColumn<bool>("inCol2");
    QTest::addColumn<bool>("inCol3");
    QTest::newRow("spills over empty cells") << true << QString() << true << true;
    QTest::newRow("stopped by a filled cell") << true << u"x"_s << true << false;
    QTest::newRow("off: clipped to its cell") << false << QString() << false << false;
}

void TestSheetView::overflow() {
    QFETCH(bool, overflow);
    QFETCH(QString, blocker);
    QFETCH(bool, inCol2);
    QFETCH(bool, inCol3);
    Sheet s(5, 1);
    s.setColWidth(-1, 2);
    s.setOverflow(overflow);
    s.setHAlign(1, 1, 1, 1, HAlign::Left);
    s.setForeColor(1, 1, 1, 1, kRed);
    s.setText(1, 1, u"■■■■■■■■■■■■"_s);
    if (!blocker.isEmpty())
        s.setText(3, 1, blocker);
    SheetView view;
    view.setSheet(&s);
    const QImage img = render(view, 1, 1, 5, 1);
    auto colRect = [&](int c) {
        return QRect(view.columnX(c) + 1, 1, view.columnWidthPx(c) - 2, img.height() - 2);
    };
    QVERIFY(reddish(img, colRect(1)) > 0);
    QCOMPARE(reddish(img, colRect(2)) > 0, inCol2);
    QCOMPARE(reddish(img, colRect(3)) > 0, inCol3);
    // Painting from column 2 on still shows the text spilled from column 1.
    if (inCol2) {
        const QImage part = render(view, 2, 1, 5, 1);
        QVERIFY(reddish(part, QRect(1, 1, view.columnWidthPx(2) - 2, part.height() - 2)) > 0);
    }
}

void TestSheetView::unitsRule() {
    Sheet s(3, 3);
    s.setColWidth(1, 1);
    s.setColWidth(2, 10);
    s.setColWidth(3, 0);
    s.setRowHeight(1, 10);
    s.setRowHeight(2, 20);
    SheetView view;
    view.setSheet(&s);
    // Ten characters are ten times one character (margins aside).
    const int one = view.columnWidthPx(1);
    const int ten = view.columnWidthPx(2);
    QVERIFY(ten - 4 >= 9 * (one - 4) && ten - 4 <= 11 * (one - 4));
    QCOMPARE(view.columnWidthPx(3), 0);
    // Height 10 holds a line of the grid font; 20 is twice that.
    QVERIFY(view.rowHeightPx(1) >= QFontMetrics(gridFont()).height());
    QVERIFY(qAbs(view.rowHeightPx(2) - 2 * view.rowHeightPx(1)) <= 1);
    QCOMPARE(view.columnX(3), one + ten);
}

void TestSheetView::sizeHintFollowsVisibleExtent_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("bars");
    QTest::addColumn<bool>("expectVBar");
    QTest::newRow("fits, no bar") << 5 << int(ScrollBars::Vertical) << false;
    QTest::newRow("taller, vertical bar") << 50 << int(ScrollBars::Vertical) << true;
    QTest::newRow("taller, bars off") << 50 << int(ScrollBars::None) << false;
    QTest::newRow("taller, horizontal only") << 50 << int(ScrollBars::Horizontal) << false;
}

void TestSheetView::sizeHintFollowsVisibleExtent() {
    QFETCH(int, rows);
    QFETCH(int, bars);
    QFETCH(bool, expectVBar);
    Sheet s(4, rows);
    s.setVisibleExtent(4, 5);
    s.setScrollBars(ScrollBars(bars));
    SheetView view;
    view.setSheet(&s);
    const int frame = 2 * view.frameWidth();
    const int vbar = expectVBar ? view.verticalScrollBar()->sizeHint().width() : 0;
    QCOMPARE(view.sizeHint(), QSize(view.columnX(5) + frame + vbar, view.rowY(6) + frame));
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(view.verticalScrollBar()->isVisible(), expectVBar);
    QVERIFY(!view.horizontalScrollBar()->isVisible());
}

void TestSheetView::frozenRowsStayWhileScrolling() {
    Sheet s(3, 200);
    s.setVisibleExtent(3, 10);
    s.setFrozen(1, 1);
    s.setBackColor(-1, 1, -1, 1, kRed); // the frozen header row
    s.setBackColor(1, 2, 3, 200, rgb(0, 0, 255));
    SheetView view;
    view.setSheet(&s);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    const QImage img = view.viewport()->grab().toImage();
    QCOMPARE(img.pixelColor(view.columnX(2) + 3, 3), QColor(255, 0, 0));
    QCOMPARE(img.pixelColor(view.columnX(2) + 3, view.rowY(2) + 3), QColor(0, 0, 255));
    // The cell under the point below the header is a late row, not row 2.
    QVERIFY(view.cellAt(QPoint(5, view.rowY(2) + 3)).y() > 150);
    QCOMPARE(view.cellAt(QPoint(5, 3)), QPoint(1, 1));
}

void TestSheetView::scrollsByWholeRows() {
    Sheet s(12, 300);
    s.setVisibleExtent(5, 20);
    s.setScrollBars(ScrollBars::Both);
    s.setFrozen(1, 2);
    s.setRowHeight(-1, 10);
    s.setRowHeight(1, 20); // a taller frozen header row
    SheetView view;
    view.setSheet(&s);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QScrollBar* v = view.verticalScrollBar();
    QScrollBar* h = view.horizontalScrollBar();
    const int top = view.rowY(3); // first scrolling row
    for (const int value : {1, view.rowHeightPx(5) / 2 + 1, 1000, v->maximum() - 1}) {
        v->setValue(value);
        const int row = view.cellAt(QPoint(view.columnX(2), top)).y();
        QCOMPARE(view.rowY(row) - top, v->value()); // that row starts right under the header
    }
    // At the end the last row is in view in full.
    v->setValue(v->maximum());
    QVERIFY(view.rowY(301) - top - v->value() <= view.viewport()->height() - top);
    h->setValue(3);
    const int col = view.cellAt(QPoint(view.columnX(2), 5)).x();
    QCOMPARE(view.columnX(col) - view.columnX(2), h->value());
}

void TestSheetView::bordersPainted() {
    Sheet s(3, 3);
    s.setBorder(2, 2, 2, 2, BorderLeft | BorderBottom, rgb(0, 0, 255));
    SheetView view;
    view.setSheet(&s);
    const QImage img = render(view, 1, 1, 3, 3);
    const int x = view.columnX(2);
    const int y = view.rowY(2);
    const int w = view.columnWidthPx(2);
    const int h = view.rowHeightPx(2);
    QCOMPARE(img.pixelColor(x, y + h / 2), QColor(0, 0, 255));         // left
    QCOMPARE(img.pixelColor(x + w / 2, y + h - 1), QColor(0, 0, 255)); // bottom
    QVERIFY(img.pixelColor(x + w / 2, y) != QColor(0, 0, 255));        // no top
}

void TestSheetView::hugeSheetOpensAndScrolls() {
    Sheet s(32, 32770);
    s.setVisibleExtent(32, 53);
    s.setFrozen(0, 3);
    s.setScrollBars(ScrollBars::Both);
    s.setColWidth(-1, 2);
    for (int r = 4; r <= s.rows(); ++r) {
        s.setText(1 + r % 32, r, u"●"_s);
        s.setBackColor(1 + r % 32, r, 1 + r % 32, r, kRed);
    }
    SheetView view;
    view.setSheet(&s);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QScrollBar* v = view.verticalScrollBar();
    QVERIFY(v->maximum() > 0);
    v->setValue(v->maximum());
    const QPoint last = view.cellAt(QPoint(view.columnX(2), view.viewport()->height() - 2));
    QCOMPARE(last.y(), 32770);
    QVERIFY(!view.viewport()->grab().isNull());
}

void TestSheetView::gridFontIsJapanese() {
    // The substitution must lead to a font that has Japanese glyphs.
    const QFontMetrics fm(gridFont());
    QVERIFY(fm.inFont(QChar(u'回')));
    QVERIFY(fm.inFont(QChar(u'●')));
}

QTEST_MAIN(TestSheetView)
#include "tst_ui_sheetview.moc"
