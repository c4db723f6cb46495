// The pull, consecutive/stepping-stone, even/odd and low/high pattern sheets.
#include "core/analysis/AnalysisRegistry.h"
#include "support/AnalysisSheets.h"
#include "support/TestHistory.h"
#include "support/WorkingDirectory.h"

#include <QtTest>

using namespace Qt::StringLiterals;

using namespace peridon;

namespace {

using test::buildSheet;
using test::colourText;

// The texts of one row, columns 1 to cols, joined by "|".
QString rowTexts(const Sheet& sheet, int row) {
    QStringList texts;
    for (int c = 1; c <= sheet.cols(); ++c)
        texts << sheet.text(c, row);
    return texts.join(u'|');
}

// One letter per cell of a row: the cell's background by its role.
QString rowBacks(const Sheet& sheet, int row, const QHash<Rgb, QChar>& code) {
    QString s;
    for (int c = 1; c <= sheet.cols(); ++c)
        s += code.value(sheet.backColor(c, row), u'?');
    return s;
}

const QString kPull = u"引っ張り分析"_s;
const QString kConsecutive = u"連番飛び石分析"_s;
const QString kEvenOdd = u"偶数奇数の組合せパターン分析"_s;
const QString kLowHigh = u"低数字高数字の組合せパターン分析"_s;

const QHash<Rgb, QChar> kCodes{
    {rgb(255, 255, 255), u'.'}, {rgb(200, 255, 255), u'c'}, {rgb(200, 255, 200), u'g'},
    {rgb(225, 225, 225), u'x'}, {rgb(255, 255, 200), u'y'}, {rgb(255, 200, 200), u'p'},
    {rgb(255, 200, 255), u'm'},
};

} // namespace

class TestAnalysisPatterns : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::useTemporaryWorkingDirectory(); }
    void layout_data();
    void layout();
    void headerTexts_data();
    void headerTexts();
    void emptyHistory_data();
    void emptyHistory();
    void invalidRowsTakeNoRow_data();
    void invalidRowsTakeNoRow();
    void highestDrawNumber_data();
    void highestDrawNumber();

    void pullMarks_data();
    void pullMarks();
    void pullFormatting();

    void consecutiveMarks_data();
    void consecutiveMarks();
    void consecutiveHeader();

    void comboPattern_data();
    void comboPattern();
    void comboPatternColours_data();
    void comboPatternColours();
};

void TestAnalysisPatterns::layout_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("visibleRows");
    QTest::addColumn<int>("frozenCols");
    QTest::addColumn<double>("headerHeight");
    QTest::addColumn<QList<double>>("widths");
    QTest::newRow("pull") << kPull << 4 << 51 << 1 << 15.0 << QList<double>{6, 6, 6, 6};
    QTest::newRow("consecutive") << kConsecutive << 8 << 51 << 0 << 10.0
                                 << QList<double>{6, 5, 5, 5, 6, 5, 5, 5};
    QTest::newRow("even/odd") << kEvenOdd << 7 << 51 << 0 << 20.0
                              << QList<double>{6, 5, 5, 5, 5, 5, 7};
    QTest::newRow("low/high") << kLowHigh << 7 << 51 << 0 << 20.0
                              << QList<double>{6, 5, 5, 5, 5, 5, 7};
}

void TestAnalysisPatterns::layout() {
    QFETCH(QString, window);
    QFETCH(int, cols);
    QFETCH(int, visibleRows);
    QFETCH(int, frozenCols);
    QFETCH(double, headerHeight);
    QFETCH(QList<double>, widths);
    // Draw numbers 1 to 5 without gaps: one header row plus one row each.
    const Sheet sheet = buildSheet(window, u"123 456 789 012 345"_s);
    QCOMPARE(sheet.cols(), cols);
    QCOMPARE(sheet.rows(), 6);
    QCOMPARE(sheet.text(1, 6), u"5"_s);
    QCOMPARE(sheet.visibleCols(), cols);
    QCOMPARE(sheet.visibleRows(), visibleRows);
    QCOMPARE(sheet.frozenRows(), 1);
    QCOMPARE(sheet.frozenCols(), frozenCols);
    QCOMPARE(sheet.scrollBars(), ScrollBars::Vertical);
    QVERIFY(!sheet.columnHeadersVisible());
    QVERIFY(!sheet.rowHeadersVisible());
    QCOMPARE(sheet.rowHeight(1), headerHeight);
    QCOMPARE(sheet.rowHeight(2), 10.0);
    QCOMPARE(sheet.rowHeight(6), 10.0);
    for (int c = 1; c <= cols; ++c)
        QCOMPARE(sheet.colWidth(c), widths[c - 1]);
    QCOMPARE(sheet.activeCol(), 0);
    QCOMPARE(sheet.activeRow(), 0);
    // Every data cell is a centred static cell with all four borders.
    for (int r = 2; r <= 6; ++r) {
        for (int c = 1; c <= cols; ++c) {
            QCOMPARE(sheet.cellType(c, r), CellType::StaticText);
            QCOMPARE(sheet.hAlign(c, r), HAlign::Center);
            QCOMPARE(sheet.borderMask(c, r), int(BorderAll));
            QCOMPARE(sheet.borderColor(c, r, BorderLeft), kDefaultBorder);
        }
    }
    QVERIFY(sheet.overflow());
}

void TestAnalysisPatterns::headerTexts_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("texts");
    QTest::newRow("pull") << kPull << u"回数||当 選 数 字|"_s;
    QTest::newRow("consecutive") << kConsecutive
                                 << u"回数|     連番(当選数字)|||回数|    飛び石(当選数字)||"_s;
    QTest::newRow("even/odd") << kEvenOdd << u"回数|        当 選 数 字 |||偶数|奇数|パターン"_s;
    QTest::newRow("low/high") << kLowHigh
                              << u"回数|        当 選 数 字 |||低数字|高数字|パターン"_s;
}

void TestAnalysisPatterns::headerTexts() {
    QFETCH(QString, window);
    QFETCH(QString, texts);
    const Sheet sheet = buildSheet(window, u"123"_s);
    QCOMPARE(rowTexts(sheet, 1), texts);
    // Titles start at the left of their cell and spill to the right.
    for (int c = 1; c <= sheet.cols(); ++c) {
        if (sheet.text(c, 1).contains(u"当"))
            QCOMPARE(sheet.hAlign(c, 1), HAlign::Left);
        else
            QCOMPARE(sheet.hAlign(c, 1), HAlign::Center);
    }
}

void TestAnalysisPatterns::emptyHistory_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("draws");
    for (const QString& w : {kPull, kConsecutive, kEvenOdd, kLowHigh}) {
        QTest::addRow("%s no rows", qPrintable(w)) << w << QString();
        QTest::addRow("%s only invalid rows", qPrintable(w)) << w << u"1-3 --- 45-"_s;
    }
}

void TestAnalysisPatterns::emptyHistory() {
    QFETCH(QString, window);
    QFETCH(QString, draws);
    const Sheet sheet = buildSheet(window, draws);
    QCOMPARE(sheet.rows(), 1);
    QCOMPARE(sheet.text(1, 1), u"回数"_s);
    QCOMPARE(sheet.backColor(1, 1) == kWhite, false);
    QCOMPARE(sheet.borderMask(1, 1), int(BorderAll));
}

void TestAnalysisPatterns::invalidRowsTakeNoRow_data() {
    QTest::addColumn<QString>("window");
    for (const QString& w : {kPull, kConsecutive, kEvenOdd, kLowHigh})
        QTest::newRow(qPrintable(w)) << w;
}

void TestAnalysisPatterns::invalidRowsTakeNoRow() {
    QFETCH(QString, window);
    // Draw 2 is incomplete and draw 5 is missing: draws 3 and 6 move up,
    // the sheet keeps one row per draw number and its last rows stay empty.
    const Sheet sheet = buildSheet(window, u"123 4-6 789 012 6:345 7--"_s);
    QCOMPARE(sheet.rows(), 7);
    QCOMPARE(sheet.text(1, 2), u"1"_s);
    QCOMPARE(sheet.text(1, 3), u"3"_s);
    QCOMPARE(sheet.text(2, 3), u"7"_s);
    QCOMPARE(sheet.text(1, 4), u"4"_s);
    QCOMPARE(sheet.text(1, 5), u"6"_s);
    QCOMPARE(sheet.text(4, 5), u"5"_s);
    for (int r = 6; r <= 7; ++r)
        for (int c = 1; c <= sheet.cols(); ++c)
            QVERIFY(!sheet.hasText(c, r));
}

void TestAnalysisPatterns::highestDrawNumber_data() {
    invalidRowsTakeNoRow_data();
}

void TestAnalysisPatterns::highestDrawNumber() {
    QFETCH(QString, window);
    // The last draw number a history can hold gives a sheet one row larger
    // than a 16-bit row number reaches. A digit outside 0 to 9 cannot come
    // from the database; such a row is skipped like an incomplete one.
    std::vector<DrawRow> rows = test::history(u"1:123 32766:456 32767:789"_s).rows();
    rows[1].digits[1] = 12;
    const DrawHistory history(rows);
    StartupStats stats; // the statistics pass itself expects digits 0 to 9
    stats.lastDrawNo = 32767;
    Sheet sheet;
    findAnalysis(window)->build(AnalysisInput{history, stats}, sheet);
    QCOMPARE(sheet.rows(), 32768);
    QCOMPARE(sheet.text(1, 2), u"1"_s);
    QCOMPARE(sheet.text(1, 3), u"32767"_s);
    QCOMPARE(sheet.text(4, 3), u"9"_s);
    QVERIFY(!sheet.hasText(1, 4));
    QVERIFY(!sheet.hasText(1, 32768));
}

void TestAnalysisPatterns::pullMarks_data() {
    QTest::addColumn<QString>("draws");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("marked"); // columns 2 to 4, x = marked
    QTest::newRow("any position of the previous draw") << u"123 341"_s << 3 << u"x.x"_s;
    QTest::newRow("repeated previous digit") << u"555 505"_s << 3 << u"x.x"_s;
    QTest::newRow("all three pulled, shuffled") << u"123 312"_s << 3 << u"xxx"_s;
    QTest::newRow("nothing pulled") << u"123 456"_s << 3 << u"..."_s;
    QTest::newRow("first draw against 0,0,0") << u"102"_s << 2 << u".x."_s;
    QTest::newRow("first draw without 0") << u"123"_s << 2 << u"..."_s;
    QTest::newRow("first draw all zeros") << u"000"_s << 2 << u"xxx"_s;
    QTest::newRow("second draw compares with the first only") << u"000 123 456"_s << 4 << u"..."_s;
    QTest::newRow("incomplete row does not become the previous draw")
        << u"123 45- 456"_s << 3 << u"..."_s;
    QTest::newRow("incomplete row skipped, compared across it")
        << u"123 4-6 341"_s << 3 << u"x.x"_s;
}

void TestAnalysisPatterns::pullMarks() {
    QFETCH(QString, draws);
    QFETCH(int, row);
    QFETCH(QString, marked);
    const Sheet sheet = buildSheet(kPull, draws);
    QString got;
    for (int c = 2; c <= 4; ++c) {
        const Rgb back = sheet.backColor(c, row);
        QVERIFY2(back == kWhite || back == rgb(200, 255, 255), qPrintable(colourText(back)));
        got += back == kWhite ? u'.' : u'x';
        QCOMPARE(sheet.foreColor(c, row), kBlack);
    }
    QCOMPARE(got, marked);
}

void TestAnalysisPatterns::pullFormatting() {
    const Sheet sheet = buildSheet(kPull, u"123 341"_s);
    QCOMPARE(rowTexts(sheet, 3), u"2|3|4|1"_s);
    // Column 1: red on light yellow; the header row black on pink.
    QCOMPARE(colourText(sheet.foreColor(1, 3)), u"255,0,0"_s);
    QCOMPARE(colourText(sheet.backColor(1, 3)), u"255,255,200"_s);
    for (int c = 1; c <= 4; ++c) {
        QCOMPARE(colourText(sheet.foreColor(c, 1)), u"0,0,0"_s);
        QCOMPARE(colourText(sheet.backColor(c, 1)), u"255,200,200"_s);
    }
    // The title cells lose their grid lines except the bottom one.
    QCOMPARE(sheet.borderMask(1, 1), int(BorderAll));
    for (int c = 2; c <= 4; ++c)
        QCOMPARE(sheet.borderMask(c, 1), int(BorderBottom));
}

void TestAnalysisPatterns::consecutiveMarks_data() {
    QTest::addColumn<QString>("draw");
    // Backgrounds of columns 1 to 8: y draw number, x no pair, c consecutive,
    // g stepping stone, . white.
    QTest::addColumn<QString>("backs");
    QTest::newRow("1,2,3") << u"123"_s << u"ycccx..."_s;
    QTest::newRow("3,5,7") << u"357"_s << u"x...yggg"_s;
    QTest::newRow("1,3,2") << u"132"_s << u"y.ccygg."_s;
    QTest::newRow("1,5,2") << u"152"_s << u"x...x..."_s;
    QTest::newRow("4,4,4") << u"444"_s << u"x...x..."_s;
    QTest::newRow("9,0,1 (9 and 0 are not neighbours)") << u"901"_s << u"y.ccx..."_s;
    QTest::newRow("0,9,7") << u"097"_s << u"x...y.gg"_s;
    QTest::newRow("first and third never compared") << u"192"_s << u"x...x..."_s;
    QTest::newRow("first and third two apart") << u"294"_s << u"x...x..."_s;
    QTest::newRow("down and up") << u"898"_s << u"ycccx..."_s;
    QTest::newRow("both kinds") << u"213"_s << u"ycc.y.gg"_s;
}

void TestAnalysisPatterns::consecutiveMarks() {
    QFETCH(QString, draw);
    QFETCH(QString, backs);
    const QString history = u"000 "_s + draw;
    const Sheet sheet = buildSheet(kConsecutive, history);
    QCOMPARE(rowBacks(sheet, 3, kCodes), backs);
    const QString digits = QString(draw[0]) + u'|' + draw[1] + u'|' + draw[2];
    QCOMPARE(rowTexts(sheet, 3), u"2|"_s + digits + u"|2|"_s + digits);
    QCOMPARE(colourText(sheet.foreColor(1, 3)), u"255,0,0"_s);
    QCOMPARE(colourText(sheet.foreColor(5, 3)), u"255,0,0"_s);
}

void TestAnalysisPatterns::consecutiveHeader() {
    const Sheet sheet = buildSheet(kConsecutive, u"123"_s);
    QCOMPARE(rowBacks(sheet, 1, kCodes), u"ymmmyppp"_s);
    for (int c : {2, 3, 4, 6, 7, 8})
        QCOMPARE(sheet.foreColor(c, 1), kBlack);
    // Each title block reads as one cell: one outline around its three cells.
    for (int first : {2, 6}) {
        QCOMPARE(sheet.borderMask(first, 1), BorderLeft | BorderTop | BorderBottom);
        QCOMPARE(sheet.borderMask(first + 1, 1), BorderTop | BorderBottom);
        QCOMPARE(sheet.borderMask(first + 2, 1), BorderRight | BorderTop | BorderBottom);
    }
    QCOMPARE(sheet.borderMask(1, 1), int(BorderAll));
    QCOMPARE(sheet.rowHeight(1), 10.0);
}

void TestAnalysisPatterns::comboPattern_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("draw");
    QTest::addColumn<QString>("counts"); // columns 5 and 6
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QString>("backs"); // columns 2 to 4 and 7
    QTest::newRow("0-2-4: 0 is even") << kEvenOdd << u"024"_s << u"3|0"_s << u"A"_s << u"ccc."_s;
    QTest::newRow("1-3-5") << kEvenOdd << u"135"_s << u"0|3"_s << u"D"_s << u"...y"_s;
    QTest::newRow("2-3-4") << kEvenOdd << u"234"_s << u"2|1"_s << u"B"_s << u"c.cc"_s;
    QTest::newRow("1-2-9") << kEvenOdd << u"129"_s << u"1|2"_s << u"C"_s << u".c.g"_s;
    QTest::newRow("4-4-4: 4 is high") << kLowHigh << u"444"_s << u"0|3"_s << u"A"_s << u"ccc."_s;
    QTest::newRow("0-1-3") << kLowHigh << u"013"_s << u"3|0"_s << u"D"_s << u"cccy"_s;
    QTest::newRow("3-4-9") << kLowHigh << u"349"_s << u"1|2"_s << u"B"_s << u"cccc"_s;
    QTest::newRow("2-8-0") << kLowHigh << u"280"_s << u"2|1"_s << u"C"_s << u"cccg"_s;
}

void TestAnalysisPatterns::comboPattern() {
    QFETCH(QString, window);
    QFETCH(QString, draw);
    QFETCH(QString, counts);
    QFETCH(QString, letter);
    QFETCH(QString, backs);
    const Sheet sheet = buildSheet(window, u"999 "_s + draw);
    const QString digits = QString(draw[0]) + u'|' + draw[1] + u'|' + draw[2];
    QCOMPARE(rowTexts(sheet, 3), u"2|"_s + digits + u'|' + counts + u'|' + letter);
    QString got;
    for (int c : {2, 3, 4, 7})
        got += kCodes.value(sheet.backColor(c, 3), u'?');
    QCOMPARE(got, backs);
    for (int c : {2, 3, 4, 7})
        QCOMPARE(sheet.foreColor(c, 3), kBlack);
}

void TestAnalysisPatterns::comboPatternColours_data() {
    QTest::addColumn<QString>("window");
    QTest::newRow("even/odd") << kEvenOdd;
    QTest::newRow("low/high") << kLowHigh;
}

void TestAnalysisPatterns::comboPatternColours() {
    QFETCH(QString, window);
    const Sheet sheet = buildSheet(window, u"123 4-6 789 0-1"_s);
    // Header row: blue on pink, the digit titles outlined as one cell.
    for (int c = 1; c <= 7; ++c) {
        QCOMPARE(colourText(sheet.foreColor(c, 1)), u"0,0,255"_s);
        QCOMPARE(colourText(sheet.backColor(c, 1)), u"255,200,200"_s);
    }
    QCOMPARE(sheet.borderMask(2, 1), BorderLeft | BorderTop | BorderBottom);
    QCOMPARE(sheet.borderMask(3, 1), BorderTop | BorderBottom);
    QCOMPARE(sheet.borderMask(4, 1), BorderRight | BorderTop | BorderBottom);
    // The column colours cover every data row, filled or not.
    QCOMPARE(sheet.rows(), 4);
    for (int r = 2; r <= 4; ++r) {
        QCOMPARE(colourText(sheet.foreColor(1, r)), u"255,0,0"_s);
        QCOMPARE(colourText(sheet.backColor(1, r)), u"255,255,200"_s);
        QCOMPARE(colourText(sheet.foreColor(5, r)), u"0,0,255"_s);
        QCOMPARE(colourText(sheet.backColor(5, r)), u"200,255,255"_s);
        QCOMPARE(colourText(sheet.foreColor(6, r)), u"0,0,255"_s);
        QCOMPARE(colourText(sheet.backColor(6, r)), u"255,255,255"_s);
    }
}

QTEST_GUILESS_MAIN(TestAnalysisPatterns)
#include "tst_analysis_patterns.moc"
