#include "core/sheet/Sheet.h"
#include "support/WorkingDirectory.h"

#include <QtTest>

using namespace Qt::StringLiterals;

using namespace peridon;

class TestSheet : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::useTemporaryWorkingDirectory(); }
    void blockClipping_data();
    void blockClipping();
    void outsideWritesIgnored_data();
    void outsideWritesIgnored();
    void textsReadBackExactly_data();
    void textsReadBackExactly();
    void borderMasks_data();
    void borderMasks();
    void borderColoursPerSide();
    void borderZeroRemoves();
    void sizesOneOrAll();
    void resizeKeepsCells();
};

// A block of colour applied to a 5 x 4 sheet: which cells changed.
void TestSheet::blockClipping_data() {
    QTest::addColumn<QList<int>>("block"); // c1, r1, c2, r2
    QTest::addColumn<QRect>("expected");   // cells inside (empty: none)
    QTest::newRow("inside") << QList<int>{2, 2, 3, 3} << QRect(QPoint(2, 2), QPoint(3, 3));
    QTest::newRow("past last col and row")
        << QList<int>{4, 3, 9, 99} << QRect(QPoint(4, 3), QPoint(5, 4));
    QTest::newRow("all cols") << QList<int>{-1, 2, -1, 2} << QRect(QPoint(1, 2), QPoint(5, 2));
    QTest::newRow("all rows") << QList<int>{3, -1, 3, -1} << QRect(QPoint(3, 1), QPoint(3, 4));
    QTest::newRow("whole sheet") << QList<int>{-1, -1, -1, -1} << QRect(QPoint(1, 1), QPoint(5, 4));
    QTest::newRow("starts at 0") << QList<int>{0, 0, 1, 1} << QRect(QPoint(1, 1), QPoint(1, 1));
    QTest::newRow("wholly outside") << QList<int>{6, 1, 8, 4} << QRect();
    QTest::newRow("below") << QList<int>{1, 5, 5, 9} << QRect();
}

void TestSheet::blockClipping() {
    QFETCH(QList<int>, block);
    QFETCH(QRect, expected);
    Sheet s(5, 4);
    const Rgb colour = rgb(10, 20, 30);
    s.setBackColor(block[0], block[1], block[2], block[3], colour);
    s.setForeColor(block[0], block[1], block[2], block[3], colour);
    s.setHAlign(block[0], block[1], block[2], block[3], HAlign::Right);
    for (int r = 1; r <= 4; ++r) {
        for (int c = 1; c <= 5; ++c) {
            const bool in = expected.contains(QPoint(c, r));
            QCOMPARE(s.backColor(c, r), in ? colour : kWhite);
            QCOMPARE(s.foreColor(c, r), in ? colour : kBlack);
            QCOMPARE(s.hAlign(c, r), in ? HAlign::Right : HAlign::Center);
        }
    }
}

void TestSheet::outsideWritesIgnored_data() {
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::newRow("col 0") << 0 << 1;
    QTest::newRow("row 0") << 1 << 0;
    QTest::newRow("past last col") << 4 << 1;
    QTest::newRow("past last row") << 1 << 3;
    QTest::newRow("far away") << 100 << 40000;
    QTest::newRow("negative") << -5 << -5;
}

void TestSheet::outsideWritesIgnored() {
    QFETCH(int, col);
    QFETCH(int, row);
    Sheet s(3, 2);
    s.setText(col, row, u"7"_s);
    QCOMPARE(s.text(col, row), QString());
    QVERIFY(!s.hasText(col, row));
    for (int r = 1; r <= 2; ++r)
        for (int c = 1; c <= 3; ++c)
            QVERIFY(!s.hasText(c, r));
    QCOMPARE(s.borderMask(col, row), 0);
    QCOMPARE(s.backColor(col, row), kWhite);
}

void TestSheet::textsReadBackExactly_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("digit") << u"0"_s;
    QTest::newRow("spaces kept") << u" 12 "_s;
    QTest::newRow("ideographic spaces") << u"　当選　"_s;
    QTest::newRow("full-width") << u"ＡＢ１２－"_s;
    QTest::newRow("mark") << u"●"_s;
}

void TestSheet::textsReadBackExactly() {
    QFETCH(QString, text);
    Sheet s(2, 2);
    s.setText(2, 2, text);
    s.setText(1, 1, text); // the same text shared by two cells
    QCOMPARE(s.text(2, 2), text);
    QCOMPARE(s.text(1, 1), text);
    s.clearText(1, 1, 1, 1);
    QCOMPARE(s.text(1, 1), QString());
    QCOMPARE(s.text(2, 2), text);
}

// Masks over the block (2,2)-(4,3) of a 5 x 4 sheet: the sides each cell gets.
void TestSheet::borderMasks_data() {
    QTest::addColumn<int>("mask");
    QTest::addColumn<QList<int>>("expected"); // per cell of the block, row-major
    const int L = BorderLeft, R = BorderRight, T = BorderTop, B = BorderBottom;
    QTest::newRow("all four sides") << 15 << QList<int>(6, 15);
    QTest::newRow("left only") << 1 << QList<int>(6, L);
    QTest::newRow("bottom and right") << (B | R) << QList<int>(6, B | R);
    QTest::newRow("outline") << 16 << QList<int>{L | T, T, R | T, L | B, B, R | B};
    QTest::newRow("outline plus left")
        << (16 | L) << QList<int>{L | T, L | T, L | R | T, L | B, L | B, L | R | B};
}

void TestSheet::borderMasks() {
    QFETCH(int, mask);
    QFETCH(QList<int>, expected);
    Sheet s(5, 4);
    s.setBorder(2, 2, 4, 3, mask);
    int i = 0;
    for (int r = 2; r <= 3; ++r)
        for (int c = 2; c <= 4; ++c)
            QCOMPARE(s.borderMask(c, r), expected[i++]);
    // Nothing outside the block.
    for (int c = 1; c <= 5; ++c) {
        QCOMPARE(s.borderMask(c, 1), 0);
        QCOMPARE(s.borderMask(c, 4), 0);
    }
    QCOMPARE(s.borderMask(1, 2), 0);
    QCOMPARE(s.borderMask(5, 3), 0);
}

void TestSheet::borderColoursPerSide() {
    Sheet s(3, 3);
    s.setBorder(2, 2, 2, 2, BorderAll, rgb(255, 0, 0));
    s.setBorder(2, 2, 2, 2, BorderBottom, rgb(0, 0, 255));
    QCOMPARE(s.borderColor(2, 2, BorderLeft), rgb(255, 0, 0));
    QCOMPARE(s.borderColor(2, 2, BorderBottom), rgb(0, 0, 255));
    QCOMPARE(s.borderMask(2, 2), int(BorderAll));
    // An outline past the sheet's edge is cut there: the edge cells get it.
    s.setBorder(2, 2, 9, 9, BorderOutline, rgb(0, 128, 0));
    QCOMPARE(s.borderMask(3, 3) & (BorderRight | BorderBottom), BorderRight | BorderBottom);
    QCOMPARE(s.borderColor(3, 3, BorderRight), rgb(0, 128, 0));
}

void TestSheet::borderZeroRemoves() {
    Sheet s(4, 4);
    s.setBorder(-1, -1, -1, -1, BorderAll);
    s.setBorder(2, 2, 3, 3, 0);
    QCOMPARE(s.borderMask(2, 2), 0);
    QCOMPARE(s.borderMask(3, 3), 0);
    QCOMPARE(s.borderMask(1, 1), int(BorderAll));
    QCOMPARE(s.borderMask(4, 2), int(BorderAll));
}

void TestSheet::sizesOneOrAll() {
    Sheet s(3, 3);
    s.setColWidth(-1, 5);
    s.setColWidth(1, 8);
    s.setRowHeight(-1, 10);
    s.setRowHeight(2, 15);
    s.setColWidth(9, 99); // outside: ignored
    QCOMPARE(s.colWidth(1), 8.0);
    QCOMPARE(s.colWidth(3), 5.0);
    QCOMPARE(s.rowHeight(2), 15.0);
    QCOMPARE(s.rowHeight(3), 10.0);
    s.setSize(5, 5); // new rows and columns take the "all" value
    QCOMPARE(s.colWidth(5), 5.0);
    QCOMPARE(s.rowHeight(5), 10.0);
}

void TestSheet::resizeKeepsCells() {
    Sheet s(3, 3);
    s.setText(2, 3, u"x"_s);
    s.setText(3, 1, u"y"_s);
    s.setSize(4, 5);
    QCOMPARE(s.text(2, 3), u"x"_s);
    QCOMPARE(s.text(3, 1), u"y"_s);
    QVERIFY(!s.hasText(4, 5));
    s.setSize(2, 3);
    QCOMPARE(s.text(2, 3), u"x"_s);
    QCOMPARE(s.text(3, 1), QString());
}

QTEST_APPLESS_MAIN(TestSheet)
#include "tst_sheet.moc"
