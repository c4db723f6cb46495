// The digit-statistics sheets, built from small hand-made histories.
#include "core/analysis/AnalysisRegistry.h"
#include "core/analysis/Colours.h"
#include "core/sheet/SheetJson.h"
#include "support/AnalysisSheets.h"
#include "support/TestHistory.h"
#include "support/WorkingDirectory.h"

#include <QTest>

using namespace Qt::StringLiterals;

using namespace peridon;
using peridon::colours::kBlue;
using peridon::colours::kBorderBlue;
using peridon::colours::kLightCyan;
using peridon::colours::kLightGreen;
using peridon::colours::kLightYellow;
using peridon::colours::kMark;
using peridon::colours::kPaleCyan;
using peridon::colours::kPink;
using peridon::colours::kRed;

namespace {

constexpr Rgb kFallPink = rgb(255, 200, 255);

using test::buildSheet;

// The texts of one row joined by "|", so that a whole row is one comparison.
QString rowText(const Sheet& s, int row) {
    QStringList cells;
    for (int c = 1; c <= s.cols(); ++c)
        cells << s.text(c, row);
    return cells.join(u'|');
}

QString colourName(Rgb c) {
    return QString::asprintf("#%06x", unsigned(c));
}

// "fg/bg" of a cell, compared as text so a failure names the colours.
QString fgbg(const Sheet& s, int col, int row) {
    return colourName(s.foreColor(col, row)) + u'/' + colourName(s.backColor(col, row));
}
QString fgbg(Rgb fg, Rgb bg) {
    return colourName(fg) + u'/' + colourName(bg);
}

// Expected rows as "row:text" entries.
using Rows = QStringList;

void checkRows(const Sheet& s, const Rows& expected) {
    for (const QString& e : expected) {
        const qsizetype colon = e.indexOf(u':');
        const int row = e.left(colon).toInt();
        QCOMPARE(rowText(s, row), e.mid(colon + 1));
    }
}

// "col,row=fg/bg" entries.
using Colours = QStringList;

void checkColours(const Sheet& s, const Colours& expected) {
    for (const QString& e : expected) {
        const qsizetype eq = e.indexOf(u'=');
        const QStringList at = e.left(eq).split(u',');
        const int col = at[0].toInt();
        const int row = at[1].toInt();
        QVERIFY2(fgbg(s, col, row) == e.mid(eq + 1),
                 qPrintable(u"cell %1,%2 is %3, expected %4"_s.arg(col).arg(row).arg(
                     fgbg(s, col, row), e.mid(eq + 1))));
    }
}

const QString kRedYellow = fgbg(kRed, kLightYellow);
const QString kBluePaleCyan = fgbg(kBlue, kPaleCyan);
const QString kBlackPink = fgbg(kBlack, kPink);
const QString kBlackWhite = fgbg(kBlack, kWhite);

} // namespace

class TestAnalysisStats final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::useTemporaryWorkingDirectory(); }
    void sheetShape_data();
    void sheetShape();
    void rebuildGivesSameSheet_data();
    void rebuildGivesSameSheet();

    void frequencyBars_data();
    void frequencyBars();
    void frequencyHeader();

    void byCountRows_data();
    void byCountRows();

    void countRows_data();
    void countRows();
    void countHeader();

    void intervalRows_data();
    void intervalRows();
    void intervalHeaderBlocks();

    void numberIntervalRows_data();
    void numberIntervalRows();

    void dispersionRows_data();
    void dispersionRows();

    void digitSumRows_data();
    void digitSumRows();
};

// Size, visible extent, frozen rows and columns, scroll bars and the taller
// header rows of every window, over a short history with a gap and an
// invalid row (last draw number 5).
void TestAnalysisStats::sheetShape_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QSize>("visible");
    QTest::addColumn<QSize>("frozen");
    QTest::addColumn<int>("scroll");
    QTest::addColumn<QList<double>>("heights"); // rows 1, 2, 3
    QTest::addColumn<QList<double>>("widths");  // columns 1, 2, last

    const auto both = int(ScrollBars::Both);
    const auto vertical = int(ScrollBars::Vertical);
    const auto horizontal = int(ScrollBars::Horizontal);
    // 123 4-5 3:777 5:120: digit 7 is drawn 3 times, the most.
    QTest::newRow("出現頻度分析") << u"出現頻度分析"_s << 11 << 5 << QSize(11, 5) << QSize(1, 2)
                                  << both << QList<double>{15, 15, 10} << QList<double>{5, 3, 3};
    QTest::newRow("回数別出現分析")
        << u"回数別出現分析"_s << 2 << 5 << QSize(2, 5) << QSize(0, 0) << horizontal
        << QList<double>{10, 10, 10} << QList<double>{5, 20, 20};
    QTest::newRow("出現回数分析") << u"出現回数分析"_s << 7 << 7 << QSize(7, 52) << QSize(0, 2)
                                  << vertical << QList<double>{20, 12, 10}
                                  << QList<double>{6, 6, 6};
    QTest::newRow("出現間隔分析") << u"出現間隔分析"_s << 7 << 9 << QSize(7, 52) << QSize(0, 2)
                                  << vertical << QList<double>{15, 12, 10}
                                  << QList<double>{5, 5, 5};
    QTest::newRow("数字間隔分析") << u"数字間隔分析"_s << 7 << 9 << QSize(7, 52) << QSize(0, 2)
                                  << vertical << QList<double>{15, 12, 10}
                                  << QList<double>{5, 5, 5};
    QTest::newRow("バラツキ分析") << u"バラツキ分析"_s << 12 << 8 << QSize(12, 52) << QSize(0, 2)
                                  << vertical << QList<double>{15, 15, 10}
                                  << QList<double>{5, 2, 5};
    QTest::newRow("数字合計分析") << u"数字合計分析"_s << 5 << 6 << QSize(9, 51) << QSize(0, 1)
                                  << vertical << QList<double>{20, 10, 10}
                                  << QList<double>{7, 5, 7};
}

void TestAnalysisStats::sheetShape() {
    QFETCH(QString, window);
    QFETCH(int, cols);
    QFETCH(int, rows);
    QFETCH(QSize, visible);
    QFETCH(QSize, frozen);
    QFETCH(int, scroll);
    QFETCH(QList<double>, heights);
    QFETCH(QList<double>, widths);

    const Sheet s = buildSheet(window, u"123 4-5 3:777 5:120"_s);
    QCOMPARE(s.cols(), cols);
    QCOMPARE(s.rows(), rows);
    QCOMPARE(QSize(s.visibleCols(), s.visibleRows()), visible);
    QCOMPARE(QSize(s.frozenCols(), s.frozenRows()), frozen);
    QCOMPARE(int(s.scrollBars()), scroll);
    QVERIFY(!s.columnHeadersVisible());
    QVERIFY(!s.rowHeadersVisible());
    QVERIFY(s.overflow());
    QCOMPARE((QList<double>{s.rowHeight(1), s.rowHeight(2), s.rowHeight(3)}), heights);
    QCOMPARE((QList<double>{s.colWidth(1), s.colWidth(2), s.colWidth(cols)}), widths);
    QCOMPARE(s.activeCol(), 0);
    QCOMPARE(s.activeRow(), 0);
}

// A window reopened on other data shows only the new data: the builder
// starts from a clean sheet whatever the sheet it is given already holds,
// and keeps no count from the previous computation.
void TestAnalysisStats::rebuildGivesSameSheet_data() {
    QTest::addColumn<QString>("window");
    for (const AnalysisInfo& info : analysisRegistry())
        QTest::newRow(info.className.toUtf8().constData()) << info.className;
}

void TestAnalysisStats::rebuildGivesSameSheet() {
    QFETCH(QString, window);
    const AnalysisInfo* info = findAnalysis(window);
    const DrawHistory longer = test::history(u"112 133 1-3 540 999 000 5:555 777 778 779 30:123"_s);
    const DrawHistory shorter = test::history(u"908 1-1 246"_s);
    const StartupStats longerStats = StartupStats::compute(longer);
    const StartupStats shorterStats = StartupStats::compute(shorter);
    Sheet reused;
    info->build(AnalysisInput{longer, longerStats}, reused);
    info->build(AnalysisInput{shorter, shorterStats}, reused);
    Sheet fresh;
    info->build(AnalysisInput{shorter, shorterStats}, fresh);
    QCOMPARE(sheetsToJson(window, window, {&reused}), sheetsToJson(window, window, {&fresh}));
}

void TestAnalysisStats::frequencyBars_data() {
    QTest::addColumn<QString>("draws");
    QTest::addColumn<QList<int>>("bars"); // height of the bar of each digit 0..9

    QTest::newRow("empty") << QString() << QList<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    QTest::newRow("7 7 1") << u"771"_s << QList<int>{0, 1, 0, 0, 0, 0, 0, 2, 0, 0};
    QTest::newRow("digit 0 highest") << u"000 001"_s << QList<int>{5, 1, 0, 0, 0, 0, 0, 0, 0, 0};
    QTest::newRow("equal totals") << u"123 321"_s << QList<int>{0, 2, 2, 2, 0, 0, 0, 0, 0, 0};
    QTest::newRow("invalid rows skipped")
        << u"1-3 555 --- 9-9 5:905"_s << QList<int>{1, 0, 0, 0, 0, 4, 0, 0, 0, 1};
    QTest::newRow("9 9 9 and 0 0 0") << u"999 000"_s << QList<int>{3, 0, 0, 0, 0, 0, 0, 0, 0, 3};
}

void TestAnalysisStats::frequencyBars() {
    QFETCH(QString, draws);
    QFETCH(QList<int>, bars);
    const Sheet s = buildSheet(u"出現頻度分析"_s, draws);
    const int m = *std::max_element(bars.begin(), bars.end());
    QCOMPARE(s.rows(), m + 2);
    QCOMPARE(s.cols(), 11);
    for (int d = 0; d <= 9; ++d) {
        // A bar is unbroken from level 1 up to the digit's total.
        for (int n = 1; n <= m; ++n) {
            const bool marked = n <= bars[d];
            QCOMPARE(s.text(d + 2, n + 2), marked ? u"●"_s : QString());
            QCOMPARE(s.foreColor(d + 2, n + 2), kMark);
            QCOMPARE(s.backColor(d + 2, n + 2), kWhite);
        }
    }
    for (int n = 1; n <= m; ++n)
        QCOMPARE(s.text(1, n + 2), QString::number(n));
    // The header rows keep their colours whatever the number of levels.
    QCOMPARE(rowText(s, 2), u"出現数|0|1|2|3|4|5|6|7|8|9"_s);
    checkColours(s, {u"2,2="_s + kRedYellow, u"11,2="_s + kRedYellow, u"1,2="_s + kBluePaleCyan});
}

void TestAnalysisStats::frequencyHeader() {
    const Sheet s = buildSheet(u"出現頻度分析"_s, u"771"_s);
    QCOMPARE(rowText(s, 1), u"||||　　当 選 数 字||||||"_s);
    QCOMPARE(s.hAlign(5, 1), HAlign::Left);
    QCOMPARE(s.hAlign(6, 1), HAlign::Center);
    // Column 1 is coloured after row 1, so its top cell ends pale cyan.
    checkColours(s, {u"1,1="_s + kBluePaleCyan, u"5,1="_s + fgbg(kRed, kLightYellow),
                     u"6,1="_s + fgbg(kBlack, kLightYellow), u"1,4="_s + kBluePaleCyan});
    // Row 1 is one light-blue box; rows 2 on are light-blue grid lines.
    QCOMPARE(s.borderMask(1, 1), BorderLeft | BorderRight | BorderTop | BorderBottom);
    QCOMPARE(s.borderMask(6, 1), BorderTop | BorderBottom);
    QCOMPARE(s.borderMask(11, 1), BorderRight | BorderTop | BorderBottom);
    QCOMPARE(s.borderMask(6, 3), int(BorderAll));
    QCOMPARE(s.borderColor(6, 3, BorderBottom), kBorderBlue);
    QCOMPARE(s.borderColor(6, 1, BorderTop), kBorderBlue);
}

void TestAnalysisStats::byCountRows_data() {
    QTest::addColumn<QString>("draws");
    QTest::addColumn<Rows>("rows"); // every row after the header

    QTest::newRow("empty: header alone") << QString() << Rows{};
    QTest::newRow("no valid draw") << u"1-3 ---"_s << Rows{u"0回|0,1,2,3,4,5,6,7,8,9"_s};
    QTest::newRow("3 3 7") << u"337"_s << Rows{u"0回|0,1,2,4,5,6,8,9"_s, u"1回|7"_s, u"2回|3"_s};
    QTest::newRow("all digits equal")
        << u"012 345 678 901 234 567 890 123 456 789"_s << Rows{u"3回|0,1,2,3,4,5,6,7,8,9"_s};
    QTest::newRow("gaps between counts")
        << u"555 555 552 9-9"_s << Rows{u"0回|0,1,3,4,6,7,8,9"_s, u"1回|2"_s, u"8回|5"_s};
}

void TestAnalysisStats::byCountRows() {
    QFETCH(QString, draws);
    QFETCH(Rows, rows);
    const Sheet s = buildSheet(u"回数別出現分析"_s, draws);
    QCOMPARE(s.cols(), 2);
    QCOMPARE(s.rows(), int(rows.size()) + 1);
    QCOMPARE(rowText(s, 1), u"出 現|数 字"_s);
    checkColours(s, {u"1,1="_s + kBlackPink, u"2,1="_s + kBlackPink});
    for (int i = 0; i < rows.size(); ++i) {
        QCOMPARE(rowText(s, i + 2), rows[i]);
        checkColours(s, {u"1,%1="_s.arg(i + 2) + fgbg(kBlack, kLightYellow),
                         u"2,%1="_s.arg(i + 2) + fgbg(kBlue, kWhite)});
        QCOMPARE(s.hAlign(2, i + 2), HAlign::Left);
        QCOMPARE(s.hAlign(1, i + 2), HAlign::Center);
    }
    QCOMPARE(s.borderMask(2, 1), int(BorderAll));
    QCOMPARE(s.borderColor(2, 1, BorderLeft), kDefaultBorder);
}

void TestAnalysisStats::countRows_data() {
    QTest::addColumn<QString>("draws");
    QTest::addColumn<int>("sheetRows");
    QTest::addColumn<Rows>("rows");

    QTest::newRow("empty") << QString() << 2 << Rows{};
    QTest::newRow("first draw counts nothing") << u"771"_s << 3 << Rows{u"3:1|7|7|1|0|0|0"_s};
    QTest::newRow("1 1 2 then 1 3 3")
        << u"112 133"_s << 4 << Rows{u"3:1|1|1|2|0|0|0"_s, u"4:2|1|3|3|2|0|0"_s};
    QTest::newRow("invalid first row leaves no gap")
        << u"1-3 112 133"_s << 5 << Rows{u"3:2|1|1|2|0|0|0"_s, u"4:3|1|3|3|2|0|0"_s, u"5:||||||"_s};
    QTest::newRow("invalid row in the middle")
        << u"555 -55 4:505"_s << 6 << Rows{u"3:1|5|5|5|0|0|0"_s, u"4:4|5|0|5|3|0|3"_s};
    QTest::newRow("0 0 0 then 0 0 9") << u"000 009"_s << 4 << Rows{u"4:2|0|0|9|3|3|0"_s};
}

void TestAnalysisStats::countRows() {
    QFETCH(QString, draws);
    QFETCH(int, sheetRows);
    QFETCH(Rows, rows);
    const Sheet s = buildSheet(u"出現回数分析"_s, draws);
    QCOMPARE(s.rows(), sheetRows);
    QCOMPARE(rowText(s, 2), u"回数|第1数字|第2数字|第3数字|第1数字|第2数字|第3数字"_s);
    checkRows(s, rows);
    for (int r = 3; r <= s.rows(); ++r)
        checkColours(s, {u"1,%1="_s.arg(r) + kRedYellow, u"2,%1="_s.arg(r) + kBlackWhite,
                         u"7,%1="_s.arg(r) + kBlackWhite});
}

void TestAnalysisStats::countHeader() {
    const Sheet s = buildSheet(u"出現回数分析"_s, u"123"_s);
    QCOMPARE(rowText(s, 1), u"|           当 選 数 字||||　　出現回数合計(回)|"_s);
    QCOMPARE(s.hAlign(2, 1), HAlign::Left);
    QCOMPARE(s.hAlign(6, 1), HAlign::Center);
    const QString blueCyan = fgbg(kBlue, kLightCyan);
    const QString redGreen = fgbg(kRed, kLightGreen);
    checkColours(s, {u"1,1="_s + kRedYellow, u"1,2="_s + kRedYellow, u"2,1="_s + blueCyan,
                     u"4,2="_s + blueCyan, u"5,1="_s + redGreen, u"7,2="_s + redGreen});
    // The title row reads as two boxes: only the right edges of columns 4
    // and 7 are drawn there.
    QCOMPARE(s.borderMask(2, 1), 0);
    QCOMPARE(s.borderMask(4, 1), int(BorderRight));
    QCOMPARE(s.borderMask(6, 1), 0);
    QCOMPARE(s.borderMask(7, 1), int(BorderRight));
    QCOMPARE(s.borderMask(1, 1), int(BorderAll));
    QCOMPARE(s.borderMask(4, 2), int(BorderAll));
    QCOMPARE(s.borderColor(4, 3, BorderTop), kDefaultBorder);
}

void TestAnalysisStats::intervalRows_data() {
    QTest::addColumn<QString>("draws");
    QTest::addColumn<int>("sheetRows");
    QTest::addColumn<Rows>("rows");

    QTest::newRow("empty") << QString() << 4 << Rows{};
    QTest::newRow("draw 1 is all first") << u"123"_s << 5 << Rows{u"3:1|1|初回|2|初回|3|初回"_s};
    QTest::newRow("4 4 9: both 4s alike")
        << u"449 491"_s << 6
        << Rows{u"3:1|4|初回|4|初回|9|初回"_s, u"4:2|4|1回前|9|1回前|1|初回"_s};
    QTest::newRow("other position counts")
        << u"123 456 789 312"_s << 8 << Rows{u"6:4|3|3回前|1|3回前|2|3回前"_s};
    QTest::newRow("nearest earlier draw decides")
        << u"123 145 167 100"_s << 8 << Rows{u"6:4|1|1回前|0|初回|0|初回"_s};
    QTest::newRow("invalid row keeps its grid row")
        << u"123 456 1-- 147"_s << 8 << Rows{u"5:||||||"_s, u"6:4|1|3回前|4|2回前|7|初回"_s};
    QTest::newRow("invalid first row")
        << u"1-3 123"_s << 6 << Rows{u"3:||||||"_s, u"4:2|1|初回|2|初回|3|初回"_s};
    // A draw number that holds no draw never counts as holding digit 0.
    QTest::newRow("gap holds no zeros")
        << u"123 3:045"_s << 7 << Rows{u"4:3|0|初回|4|初回|5|初回"_s, u"5:||||||"_s};
    QTest::newRow("invalid draw holds no zeros")
        << u"--- 120"_s << 6 << Rows{u"4:2|1|初回|2|初回|0|初回"_s};
    QTest::newRow("draw numbers past 10000")
        << u"12000:123 12005:321"_s << 12009
        << Rows{u"3:12000|1|初回|2|初回|3|初回"_s, u"4:12005|3|5回前|2|5回前|1|5回前"_s};
    QTest::newRow("last draw number 32767")
        << u"32765:555 32767:505"_s << 32771 << Rows{u"4:32767|5|2回前|0|初回|5|2回前"_s};
}

void TestAnalysisStats::intervalRows() {
    QFETCH(QString, draws);
    QFETCH(int, sheetRows);
    QFETCH(Rows, rows);
    const Sheet s = buildSheet(u"出現間隔分析"_s, draws);
    QCOMPARE(s.cols(), 7);
    QCOMPARE(s.rows(), sheetRows);
    checkRows(s, rows);
    const QString labels = u"回数|第1数字|出現|第2数字|出現|第3数字|出現"_s;
    const QString title = u"|||　当 選 数 字     |||"_s;
    QCOMPARE(rowText(s, 1), title);
    QCOMPARE(rowText(s, 2), labels);
    QCOMPARE(rowText(s, sheetRows - 1), labels);
    QCOMPARE(rowText(s, sheetRows), title);
    if (sheetRows > 4) {
        const QString cyan = fgbg(kBlack, kLightCyan);
        checkColours(s, {u"1,3="_s + kRedYellow, u"2,3="_s + cyan, u"3,3="_s + kBlackWhite,
                         u"4,3="_s + cyan, u"6,3="_s + cyan, u"7,3="_s + kBlackWhite});
    }
}

void TestAnalysisStats::intervalHeaderBlocks() {
    // Both windows share the two header blocks; only texts differ.
    for (const auto& [window, title, label] :
         {std::tuple{u"出現間隔分析"_s, u"　当 選 数 字     "_s, u"出現"_s},
          std::tuple{u"数字間隔分析"_s, u"　当 選 数 字"_s, u"差分"_s}}) {
        const Sheet s = buildSheet(window, u"123 456"_s);
        QCOMPARE(s.rows(), 6);
        for (int titleRow : {1, 6}) {
            QCOMPARE(s.text(4, titleRow), title);
            QCOMPARE(s.hAlign(4, titleRow), HAlign::Left);
            // The title row reads as one box over columns 2 to 7.
            QCOMPARE(s.borderMask(2, titleRow), BorderLeft | BorderTop | BorderBottom);
            QCOMPARE(s.borderMask(4, titleRow), BorderTop | BorderBottom);
            QCOMPARE(s.borderMask(7, titleRow), BorderRight | BorderTop | BorderBottom);
            QCOMPARE(s.borderMask(1, titleRow), int(BorderAll));
        }
        for (int labelRow : {2, 5}) {
            QCOMPARE(s.text(3, labelRow), label);
            QCOMPARE(s.text(7, labelRow), label);
            QCOMPARE(s.borderMask(3, labelRow), int(BorderAll));
        }
        // Black on pink over the cyan digit columns, column 1 red on yellow.
        for (int r : {1, 2, 5, 6}) {
            checkColours(s, {u"1,%1="_s.arg(r) + kRedYellow, u"2,%1="_s.arg(r) + kBlackPink,
                             u"7,%1="_s.arg(r) + kBlackPink});
        }
        QCOMPARE(s.borderColor(3, 3, BorderLeft), kDefaultBorder);
    }
}

void TestAnalysisStats::numberIntervalRows_data() {
    QTest::addColumn<QString>("draws");
    QTest::addColumn<int>("sheetRows");
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QList<int>>("fallCols"); // pink difference cells in row 4

    QTest::newRow("empty") << QString() << 4 << Rows{} << QList<int>{};
    QTest::newRow("one draw") << u"123"_s << 5 << Rows{u"3:1|1||2||3|"_s} << QList<int>{};
    QTest::newRow("1 2 3 then 4 2 0")
        << u"123 420"_s << 6 << Rows{u"3:1|1||2||3|"_s, u"4:2|4|+3|2|0|0|-3"_s} << QList<int>{7};
    QTest::newRow("invalid first row compares with zeros")
        << u"1-3 420"_s << 6 << Rows{u"3:||||||"_s, u"4:2|4|+4|2|+2|0|0"_s} << QList<int>{};
    QTest::newRow("invalid row in the middle")
        << u"987 9-9 123"_s << 7 << Rows{u"4:||||||"_s, u"5:3|1|-8|2|-6|3|-4"_s} << QList<int>{};
    QTest::newRow("9 9 9 then 0 0 0")
        << u"999 000"_s << 6 << Rows{u"4:2|0|-9|0|-9|0|-9"_s} << QList<int>{3, 5, 7};
}

void TestAnalysisStats::numberIntervalRows() {
    QFETCH(QString, draws);
    QFETCH(int, sheetRows);
    QFETCH(Rows, rows);
    QFETCH(QList<int>, fallCols);
    const Sheet s = buildSheet(u"数字間隔分析"_s, draws);
    QCOMPARE(s.rows(), sheetRows);
    QCOMPARE(rowText(s, 2), u"回数|第1数字|差分|第2数字|差分|第3数字|差分"_s);
    checkRows(s, rows);
    if (sheetRows > 5) {
        for (int c : {3, 5, 7}) {
            const bool fall = fallCols.contains(c);
            QCOMPARE(fgbg(s, c, 4), fgbg(kBlack, fall ? kFallPink : kWhite));
        }
    }
    // Falls are pink wherever they are, in any row.
    for (int r = 3; r <= sheetRows - 2; ++r)
        for (int c : {3, 5, 7})
            QCOMPARE(s.backColor(c, r) == kFallPink, s.text(c, r).startsWith(u'-'));
}

void TestAnalysisStats::dispersionRows_data() {
    QTest::addColumn<QString>("draws");
    QTest::addColumn<int>("sheetRows");
    QTest::addColumn<Rows>("rows");

    const QString labels = u"回|0|1|2|3|4|5|6|7|8|9|回"_s;
    QTest::newRow("empty") << QString() << 3 << Rows{u"2:"_s + labels, u"3:"_s + labels};
    QTest::newRow("5 5 5: one mark")
        << u"555"_s << 4 << Rows{u"3:1||||||●|||||1"_s, u"4:"_s + labels};
    QTest::newRow("three marks") << u"907"_s << 4 << Rows{u"3:1|●|||||||●||●|1"_s};
    QTest::newRow("invalid rows leave no gap")
        << u"1-3 555 --- 4:120"_s << 7
        << Rows{u"3:2||||||●|||||2"_s, u"4:4|●|●|●||||||||4"_s, u"5:|||||||||||"_s,
                u"7:"_s + labels};
}

void TestAnalysisStats::dispersionRows() {
    QFETCH(QString, draws);
    QFETCH(int, sheetRows);
    QFETCH(Rows, rows);
    const Sheet s = buildSheet(u"バラツキ分析"_s, draws);
    QCOMPARE(s.cols(), 12);
    QCOMPARE(s.rows(), sheetRows);
    QCOMPARE(rowText(s, 1), u"|||||    当  選  数　字||||||"_s);
    checkRows(s, rows);
    checkColours(s, {u"6,1="_s + fgbg(kBlue, kPaleCyan), u"1,1="_s + kRedYellow,
                     u"12,1="_s + kRedYellow, u"2,1="_s + fgbg(kBlack, kPaleCyan)});
    for (int r : {2, sheetRows})
        checkColours(s, {u"1,%1="_s.arg(r) + kRedYellow, u"2,%1="_s.arg(r) + kBluePaleCyan,
                         u"11,%1="_s.arg(r) + kBluePaleCyan, u"12,%1="_s.arg(r) + kRedYellow});
    for (int r = 3; r < sheetRows; ++r) {
        for (int c = 2; c <= 11; ++c) {
            const bool marked = s.text(c, r) == u"●"_s;
            QCOMPARE(fgbg(s, c, r), fgbg(marked ? kMark : kBlack, kWhite));
        }
        QCOMPARE(s.borderColor(5, r, BorderRight), kBorderBlue);
    }
    QCOMPARE(s.borderMask(1, 1), int(BorderRight));
    QCOMPARE(s.borderMask(6, 1), BorderTop | BorderBottom);
    QCOMPARE(s.hAlign(6, 1), HAlign::Center);
}

void TestAnalysisStats::digitSumRows_data() {
    QTest::addColumn<QString>("draws");
    QTest::addColumn<int>("sheetRows");
    QTest::addColumn<Rows>("rows");

    QTest::newRow("empty: header only") << QString() << 1 << Rows{};
    QTest::newRow("9 9 9 and 0 0 0")
        << u"999 000"_s << 3 << Rows{u"2:1|9|9|9|27"_s, u"3:2|0|0|0|0"_s};
    QTest::newRow("invalid rows leave no gap")
        << u"1-3 123 --- 4:540"_s << 5
        << Rows{u"2:2|1|2|3|6"_s, u"3:4|5|4|0|9"_s, u"4:||||"_s, u"5:||||"_s};
}

void TestAnalysisStats::digitSumRows() {
    QFETCH(QString, draws);
    QFETCH(int, sheetRows);
    QFETCH(Rows, rows);
    const Sheet s = buildSheet(u"数字合計分析"_s, draws);
    QCOMPARE(s.cols(), 5);
    QCOMPARE(s.rows(), sheetRows);
    QCOMPARE(rowText(s, 1), u"回数|　      当 選 数 字|||合計"_s);
    QCOMPARE(s.hAlign(2, 1), HAlign::Left);
    checkRows(s, rows);
    for (int c = 1; c <= 5; ++c)
        QCOMPARE(fgbg(s, c, 1), kBlackPink);
    QCOMPARE(s.borderMask(1, 1), int(BorderAll));
    QCOMPARE(s.borderMask(3, 1), BorderTop | BorderBottom);
    QCOMPARE(s.borderMask(5, 1), BorderRight | BorderTop | BorderBottom | BorderLeft);
    for (int r = 2; r <= sheetRows; ++r)
        checkColours(s, {u"1,%1="_s.arg(r) + kRedYellow, u"3,%1="_s.arg(r) + kBlackWhite,
                         u"5,%1="_s.arg(r) + fgbg(kBlue, kLightCyan)});
}

QTEST_APPLESS_MAIN(TestAnalysisStats)
#include "tst_analysis_stats.moc"
