// The split-data sheets (3, 5 and 10 groups) and the five-split tendency.
#include "core/analysis/AnalysisRegistry.h"
#include "core/store/Generator.h"
#include "support/AnalysisSheets.h"
#include "support/TestHistory.h"
#include "support/WorkingDirectory.h"

#include <QtTest>

using namespace Qt::StringLiterals;

using namespace peridon;

namespace {

using test::buildSheet;
using test::colourText;

QString rowTexts(const Sheet& sheet, int row, int first, int last) {
    QStringList texts;
    for (int c = first; c <= last; ++c)
        texts << sheet.text(c, row);
    return texts.join(u'|');
}

const QString kSplit3 = u"分割3データ分析"_s;
const QString kSplit5 = u"分割5データ分析"_s;
const QString kSplit10 = u"分割10データ分析"_s;
const QString kTendency = u"分割5傾向分析"_s;

const QString kCyan = u"200,255,255"_s;
const QString kGreen = u"200,255,200"_s;
const QString kMagenta = u"255,200,255"_s;
const QString kLavender = u"200,200,255"_s;
const QString kWhiteText = u"255,255,255"_s;
const QString kYellow = u"255,255,200"_s;

} // namespace

class TestAnalysisSplit : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::useTemporaryWorkingDirectory(); }
    void splitLayout_data();
    void splitLayout();
    void splitMarks_data();
    void splitMarks();
    void splitGroupHeader_data();
    void splitGroupHeader();
    void splitRows_data();
    void splitRows();
    void splitLargestSheetMemory();
    void highestDrawNumber_data();
    void highestDrawNumber();

    void tendencyCounts_data();
    void tendencyCounts();
    void tendencyHeaders_data();
    void tendencyHeaders();
    void tendencyLayout();
};

void TestAnalysisSplit::splitLayout_data() {
    QTest::addColumn<QString>("window");
    QTest::newRow("3 groups") << kSplit3;
    QTest::newRow("5 groups") << kSplit5;
    QTest::newRow("10 groups") << kSplit10;
}

void TestAnalysisSplit::splitLayout() {
    QFETCH(QString, window);
    const Sheet sheet = buildSheet(window, u"123"_s);
    QCOMPARE(sheet.cols(), 32);
    QCOMPARE(sheet.rows(), 4);
    QCOMPARE(sheet.visibleCols(), 32);
    QCOMPARE(sheet.visibleRows(), 53);
    QCOMPARE(sheet.scrollBars(), ScrollBars::Both);
    QCOMPARE(sheet.frozenRows(), 3);
    QCOMPARE(sheet.rowHeight(1), 15.0);
    QCOMPARE(sheet.rowHeight(2), 12.0);
    QCOMPARE(sheet.rowHeight(3), 9.0);
    QCOMPARE(sheet.rowHeight(4), 9.0);
    QCOMPARE(sheet.colWidth(1), 6.0);
    QCOMPARE(sheet.colWidth(2), 2.0);
    QCOMPARE(sheet.colWidth(31), 2.0);
    QCOMPARE(sheet.colWidth(32), 6.0);
    QVERIFY(sheet.overflow());

    // Row 1: one title per block, outlined as one cell, on pink.
    const QString titles[] = {u"　　　　当選数字(第1数字)　　　　"_s,
                              u"　　　　当選数字(第2数字)　　　　"_s,
                              u"　　　　当選数字(第3数字)　　　　"_s};
    for (int block = 0; block < 3; ++block) {
        const int first = 10 * block + 2;
        QCOMPARE(sheet.text(first, 1), titles[block]);
        QCOMPARE(sheet.hAlign(first, 1), HAlign::Left);
        QCOMPARE(sheet.borderMask(first, 1), BorderLeft | BorderTop | BorderBottom);
        QCOMPARE(sheet.borderMask(first + 5, 1), BorderTop | BorderBottom);
        QCOMPARE(sheet.borderMask(first + 9, 1), BorderRight | BorderTop | BorderBottom);
        QCOMPARE(sheet.borderColor(first, 1, BorderTop), rgb(136, 196, 255));
        for (int c = first; c <= first + 9; ++c) {
            QCOMPARE(colourText(sheet.backColor(c, 1)), u"255,200,200"_s);
            QCOMPARE(sheet.foreColor(c, 1), kBlack);
        }
    }
    // Draw-number columns: red on light yellow from row 1 down; "回数" in row 3.
    for (int c : {1, 32}) {
        QVERIFY(!sheet.hasText(c, 1));
        QCOMPARE(sheet.text(c, 3), u"回数"_s);
        QCOMPARE(sheet.text(c, 4), u"1"_s);
        for (int r = 1; r <= 4; ++r) {
            QCOMPARE(colourText(sheet.foreColor(c, r)), u"255,0,0"_s);
            QCOMPARE(colourText(sheet.backColor(c, r)), kYellow);
        }
        QCOMPARE(sheet.borderMask(c, 1), 0);
    }
    // Row 3 down: a light-blue grid line on every side of every cell.
    for (int r = 3; r <= 4; ++r) {
        for (int c = 1; c <= 32; ++c) {
            QCOMPARE(sheet.borderMask(c, r), int(BorderAll));
            QCOMPARE(sheet.borderColor(c, r, BorderRight), rgb(136, 196, 255));
            QCOMPARE(sheet.hAlign(c, r), HAlign::Center);
        }
    }
    QCOMPARE(rowTexts(sheet, 3, 2, 11), u"0|1|2|3|4|5|6|7|8|9"_s);
    QCOMPARE(rowTexts(sheet, 3, 22, 31), u"0|1|2|3|4|5|6|7|8|9"_s);
}

void TestAnalysisSplit::splitMarks_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("draw");
    QTest::addColumn<QList<int>>("cols");
    QTest::addColumn<QStringList>("bands");
    QTest::newRow("3 groups 0-5-9")
        << kSplit3 << u"059"_s << QList<int>{2, 17, 31} << QStringList{kCyan, kWhiteText, kGreen};
    QTest::newRow("3 groups 2-3-6 (group edges)")
        << kSplit3 << u"236"_s << QList<int>{4, 15, 28} << QStringList{kCyan, kWhiteText, kGreen};
    QTest::newRow("5 groups 0-5-9")
        << kSplit5 << u"059"_s << QList<int>{2, 17, 31} << QStringList{kCyan, kGreen, kMagenta};
    QTest::newRow("5 groups 3-6-8") << kSplit5 << u"368"_s << QList<int>{5, 18, 30}
                                    << QStringList{kWhiteText, kWhiteText, kMagenta};
    QTest::newRow("10 groups 0-5-9")
        << kSplit10 << u"059"_s << QList<int>{2, 17, 31} << QStringList{kCyan, kCyan, kWhiteText};
    QTest::newRow("10 groups 4-8-2") << kSplit10 << u"482"_s << QList<int>{6, 20, 24}
                                     << QStringList{kWhiteText, kLavender, kMagenta};
    QTest::newRow("10 groups 1-3-6")
        << kSplit10 << u"136"_s << QList<int>{3, 15, 28} << QStringList{kGreen, kLavender, kGreen};
}

void TestAnalysisSplit::splitMarks() {
    QFETCH(QString, window);
    QFETCH(QString, draw);
    QFETCH(QList<int>, cols);
    QFETCH(QStringList, bands);
    const Sheet sheet = buildSheet(window, u"7:"_s + draw);
    QCOMPARE(sheet.rows(), 10);
    const int row = 4;
    QCOMPARE(sheet.text(1, row), u"7"_s);
    QCOMPARE(sheet.text(32, row), u"7"_s);
    for (int c = 2; c <= 31; ++c) {
        const qsizetype k = cols.indexOf(c);
        if (k < 0) {
            QVERIFY2(!sheet.hasText(c, row), qPrintable(QString::number(c)));
            QCOMPARE(sheet.foreColor(c, row), kBlack);
            continue;
        }
        QCOMPARE(sheet.text(c, row), u"●"_s);
        QCOMPARE(colourText(sheet.foreColor(c, row)), u"62,158,255"_s);
        QCOMPARE(colourText(sheet.backColor(c, row)), bands[k]);
        // The band runs from the letter row to the last row.
        QCOMPARE(colourText(sheet.backColor(c, 2)), bands[k]);
        QCOMPARE(colourText(sheet.backColor(c, 10)), bands[k]);
    }
}

void TestAnalysisSplit::splitGroupHeader_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("letters"); // row 2, columns 2 to 11 ("" = empty)
    QTest::addColumn<int>("lastBlueCol");     // row 3 digit labels blue up to here
    QTest::newRow("3 groups") << kSplit3 << QStringList{u"　　 Ａ "_s,
                                                        {},
                                                        {},
                                                        u"　　 Ｂ "_s,
                                                        {},
                                                        {},
                                                        u"　　　 Ｃ 　　"_s,
                                                        {},
                                                        {},
                                                        {}}
                              << 11;
    QTest::newRow("5 groups") << kSplit5
                              << QStringList{u"　Ａ "_s, {}, u"　Ｂ "_s, {}, u"　Ｃ "_s, {},
                                             u"　Ｄ "_s, {}, u"　Ｅ "_s, {}}
                              << 11;
    QTest::newRow("10 groups") << kSplit10
                               << QStringList{u"Ａ"_s, u"Ｂ"_s, u"Ｃ"_s, u"Ｄ"_s, u"Ｅ"_s,
                                              u"Ｆ"_s, u"Ｇ"_s, u"Ｈ"_s, u"Ｉ"_s, u"Ｊ"_s}
                               << 31;
}

void TestAnalysisSplit::splitGroupHeader() {
    QFETCH(QString, window);
    QFETCH(QStringList, letters);
    QFETCH(int, lastBlueCol);
    const Sheet sheet = buildSheet(window, u"123"_s);
    for (int block = 0; block < 3; ++block) {
        for (int d = 0; d < 10; ++d) {
            const int c = 10 * block + d + 2;
            QCOMPARE(sheet.text(c, 2), letters[d]);
            // Each group is outlined by itself: a left side where a group
            // starts, a right side where the next one starts or the block ends.
            const bool starts = !letters[d].isEmpty();
            const bool ends = d == 9 || !letters[d + 1].isEmpty();
            const int mask =
                BorderTop | BorderBottom | (starts ? BorderLeft : 0) | (ends ? BorderRight : 0);
            QCOMPARE(sheet.borderMask(c, 2), mask);
            QCOMPARE(sheet.foreColor(c, 2), kBlack);
            if (starts)
                QCOMPARE(sheet.hAlign(c, 2), HAlign::Left);
            QCOMPARE(sheet.foreColor(c, 3), c <= lastBlueCol ? rgb(0, 0, 255) : kBlack);
        }
    }
}

void TestAnalysisSplit::splitRows_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("draws");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("drawNumbers"); // column 1 from row 4
    for (const QString& w : {kSplit3, kSplit5, kSplit10}) {
        QTest::addRow("%s empty", qPrintable(w)) << w << QString() << 3 << QStringList{};
        QTest::addRow("%s only invalid", qPrintable(w)) << w << u"1-1 ---"_s << 3 << QStringList{};
        QTest::addRow("%s 1 to 3", qPrintable(w))
            << w << u"123 456 789"_s << 6 << QStringList{u"1"_s, u"2"_s, u"3"_s};
        QTest::addRow("%s invalid and missing", qPrintable(w))
            << w << u"123 4-6 789 6:012"_s << 9 << QStringList{u"1"_s, u"3"_s, u"6"_s, {}, {}, {}};
    }
}

void TestAnalysisSplit::splitRows() {
    QFETCH(QString, window);
    QFETCH(QString, draws);
    QFETCH(int, rows);
    QFETCH(QStringList, drawNumbers);
    const Sheet sheet = buildSheet(window, draws);
    QCOMPARE(sheet.rows(), rows);
    QCOMPARE(sheet.text(1, 3), u"回数"_s);
    QCOMPARE(sheet.text(12, 1), u"　　　　当選数字(第2数字)　　　　"_s);
    for (int r = 4; r <= rows; ++r) {
        QCOMPARE(sheet.text(1, r), drawNumbers.value(r - 4));
        QCOMPARE(sheet.text(32, r), drawNumbers.value(r - 4));
        int marks = 0;
        for (int c = 2; c <= 31; ++c)
            marks += sheet.text(c, r) == u"●"_s ? 1 : 0;
        QCOMPARE(marks, drawNumbers.value(r - 4).isEmpty() ? 0 : 3);
    }
}

void TestAnalysisSplit::splitLargestSheetMemory() {
    // The most draws a history can hold, each with its own number.
    GeneratorOptions options;
    options.draws = 32767;
    const Sheet sheet = buildSheet(kSplit10, generateHistory(options));
    QCOMPARE(sheet.rows(), 32770);
    QVERIFY2(sheet.memoryUsage() < 25u * 1024 * 1024,
             qPrintable(QString::number(sheet.memoryUsage())));
    QCOMPARE(sheet.text(1, 32770), u"32767"_s);
}

void TestAnalysisSplit::highestDrawNumber_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("firstRow");
    QTest::newRow("3 groups") << kSplit3 << 32770 << 4;
    QTest::newRow("5 groups") << kSplit5 << 32770 << 4;
    QTest::newRow("10 groups") << kSplit10 << 32770 << 4;
    QTest::newRow("tendency") << kTendency << 32769 << 2;
}

void TestAnalysisSplit::highestDrawNumber() {
    QFETCH(QString, window);
    QFETCH(int, rows);
    QFETCH(int, firstRow);
    // Row numbers past 32,767 must not wrap. A digit outside 0 to 9 cannot
    // come from the database; such a row is skipped like an incomplete one.
    std::vector<DrawRow> draws = test::history(u"1:123 32766:456 32767:789"_s).rows();
    draws[1].digits[2] = 10;
    const DrawHistory history(draws);
    StartupStats stats; // the statistics pass itself expects digits 0 to 9
    stats.lastDrawNo = 32767;
    Sheet sheet;
    findAnalysis(window)->build(AnalysisInput{history, stats}, sheet);
    QCOMPARE(sheet.rows(), rows);
    QCOMPARE(sheet.text(1, firstRow), u"1"_s);
    QCOMPARE(sheet.text(1, firstRow + 1), u"32767"_s);
    QVERIFY(!sheet.hasText(1, firstRow + 2));
    if (window == kTendency) {
        QCOMPARE(sheet.text(1, rows), u"回数"_s);
        QCOMPARE(sheet.text(9, firstRow + 1), u"2"_s);
    } else {
        QCOMPARE(sheet.text(32, firstRow + 1), u"32767"_s);
        QCOMPARE(sheet.text(31, firstRow + 1), u"●"_s);
    }
}

void TestAnalysisSplit::tendencyCounts_data() {
    QTest::addColumn<QString>("draw");
    QTest::addColumn<QString>("counts"); // columns 5 to 9
    QTest::addColumn<QStringList>("digitBacks");
    QTest::newRow("1-1-9") << u"119"_s << u"2|0|0|0|1"_s
                           << QStringList{kWhiteText, kWhiteText, kMagenta};
    QTest::newRow("2-4-6") << u"246"_s << u"0|1|1|1|0"_s << QStringList{kCyan, kGreen, kYellow};
    QTest::newRow("group edges 0-3-5")
        << u"035"_s << u"1|1|1|0|0"_s << QStringList{kWhiteText, kCyan, kGreen};
    QTest::newRow("7-8-7") << u"787"_s << u"0|0|0|2|1"_s << QStringList{kYellow, kMagenta, kYellow};
    QTest::newRow("all in one group")
        << u"999"_s << u"0|0|0|0|3"_s << QStringList{kMagenta, kMagenta, kMagenta};
}

void TestAnalysisSplit::tendencyCounts() {
    QFETCH(QString, draw);
    QFETCH(QString, counts);
    QFETCH(QStringList, digitBacks);
    // The draw before it is counted on its own row and must not carry over.
    const Sheet sheet = buildSheet(kTendency, u"000 1-1 "_s + draw);
    QCOMPARE(sheet.rows(), 5);
    const QString digits = QString(draw[0]) + u'|' + draw[1] + u'|' + draw[2];
    QCOMPARE(rowTexts(sheet, 3, 1, 9), u"3|"_s + digits + u'|' + counts);
    for (int k = 0; k < 3; ++k) {
        QCOMPARE(colourText(sheet.backColor(2 + k, 3)), digitBacks[k]);
        QCOMPARE(sheet.foreColor(2 + k, 3), kBlack);
    }
    QCOMPARE(rowTexts(sheet, 2, 5, 9), u"3|0|0|0|0"_s);
    QVERIFY(!sheet.hasText(1, 4));
}

void TestAnalysisSplit::tendencyHeaders_data() {
    QTest::addColumn<QString>("draws");
    QTest::addColumn<int>("lastRow");
    QTest::newRow("empty: headers at rows 1 and 2") << QString() << 2;
    QTest::newRow("only invalid rows") << u"1-- 2--"_s << 2;
    QTest::newRow("two draws") << u"123 456"_s << 4;
    QTest::newRow("missing numbers leave empty rows") << u"123 5:456 7-8"_s << 7;
}

void TestAnalysisSplit::tendencyHeaders() {
    QFETCH(QString, draws);
    QFETCH(int, lastRow);
    const Sheet sheet = buildSheet(kTendency, draws);
    QCOMPARE(sheet.rows(), lastRow);
    for (int r : {1, lastRow}) {
        QCOMPARE(rowTexts(sheet, r, 1, 9),
                 u"回数|         当 選 数 字|||0～1|2～3|4～5|6～7|8～9"_s);
        QCOMPARE(sheet.rowHeight(r), 20.0);
        QCOMPARE(sheet.hAlign(2, r), HAlign::Left);
        for (int c = 1; c <= 4; ++c) {
            QCOMPARE(sheet.foreColor(c, r), kBlack);
            QCOMPARE(colourText(sheet.backColor(c, r)), u"255,200,200"_s);
        }
        for (int c = 5; c <= 9; ++c) {
            QCOMPARE(colourText(sheet.foreColor(c, r)), u"0,0,255"_s);
            QCOMPARE(colourText(sheet.backColor(c, r)), kLavender);
        }
        // The digit title loses its grid lines but keeps a black line below
        // it, which runs on under the first two group columns.
        for (int c = 2; c <= 6; ++c) {
            QVERIFY(sheet.borderMask(c, r) & BorderBottom);
            QCOMPARE(sheet.borderColor(c, r, BorderBottom), kBlack);
        }
        QCOMPARE(sheet.borderMask(2, r), int(BorderBottom));
        QCOMPARE(sheet.borderMask(7, r), int(BorderAll));
        QCOMPARE(sheet.borderColor(7, r, BorderBottom), kDefaultBorder);
        QCOMPARE(sheet.borderColor(5, r, BorderLeft), rgb(255, 0, 0));
    }
    for (int r = 2; r < lastRow; ++r)
        QCOMPARE(sheet.rowHeight(r), 10.0);
}

void TestAnalysisSplit::tendencyLayout() {
    const Sheet sheet = buildSheet(kTendency, u"123 3:456"_s);
    QCOMPARE(sheet.cols(), 9);
    QCOMPARE(sheet.rows(), 5);
    QCOMPARE(sheet.visibleCols(), 9);
    QCOMPARE(sheet.visibleRows(), 51);
    QCOMPARE(sheet.frozenRows(), 1);
    QCOMPARE(sheet.frozenCols(), 0);
    QCOMPARE(sheet.scrollBars(), ScrollBars::Vertical);
    QCOMPARE(sheet.colWidth(1), 6.0);
    for (int c = 2; c <= 9; ++c)
        QCOMPARE(sheet.colWidth(c), 5.0);
    // Column colours cover every row between the headers, empty rows too.
    const QString groupBacks[] = {kWhiteText, kCyan, kGreen, kYellow, kMagenta};
    for (int r = 2; r <= 4; ++r) {
        QCOMPARE(colourText(sheet.foreColor(1, r)), u"255,0,0"_s);
        QCOMPARE(colourText(sheet.backColor(1, r)), kYellow);
        for (int g = 0; g < 5; ++g) {
            QCOMPARE(colourText(sheet.backColor(5 + g, r)), groupBacks[g]);
            QCOMPARE(sheet.foreColor(5 + g, r), kBlack);
        }
        for (int c = 1; c <= 9; ++c)
            QCOMPARE(sheet.borderMask(c, r), int(BorderAll));
        QCOMPARE(sheet.borderColor(5, r, BorderLeft), rgb(255, 0, 0));
        QCOMPARE(sheet.borderColor(5, r, BorderRight), kDefaultBorder);
    }
    QVERIFY(!sheet.hasText(1, 4));
}

QTEST_GUILESS_MAIN(TestAnalysisSplit)
#include "tst_analysis_split.moc"
