// The sheet painter's layout and printing: columns widened for results that
// do not fit, grid lines under spilled texts, cell texts drawn as drawText()
// draws them, rows painted together as alone, pages, footers and PDF files.
#include "core/prediction/PredictionSheets.h"
#include "core/sheet/CellText.h"
#include "core/sheet/GridFont.h"
#include "core/sheet/SheetPainter.h"
#include "core/sheet/SheetPrint.h"
#include "support/AnalysisSheets.h"
#include "support/TestHistory.h"

#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;

using namespace peridon;

namespace {

const Rgb kHeader = rgb(255, 200, 200);

// A sheet like the per-draw windows: one frozen header row saying "回数",
// then one row per draw, every row 10 high.
Sheet drawSheet(int draws, int cols) {
    Sheet s(cols, draws + 1);
    s.setFrozen(1, 1);
    s.setBackColor(CellRange::row(1), kHeader);
    s.setText(1, 1, u"回数"_s);
    for (int r = 2; r <= draws + 1; ++r)
        s.setText(1, r, QString::number(r - 1));
    return s;
}

QImage renderPage(const SheetPrinter& printer, int index, const QSize& size) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    printer.paintPage(p, index, QRect(QPoint(0, 0), size), 96);
    return img;
}

} // namespace

class TestSheetPrint final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installFontSubstitutions(); }
    void resultColumnsWidenToFit_data();
    void resultColumnsWidenToFit();
    void noGridLineUnderSpilledText();
    void titleCentredOverItsBox_data();
    void titleCentredOverItsBox();
    void previewLinesOfOneWidth_data();
    void previewLinesOfOneWidth();
    void cellTextAsDrawText_data();
    void cellTextAsDrawText();
    void rowsPaintAsAlone_data();
    void rowsPaintAsAlone();
    void pagination_data();
    void pagination();
    void headerOnEveryPage();
    void footerText();
    void orientationFollowsWidth();
    void predictionOnOnePage();
    void pdfWritten();
    void failedWriteLeavesNothing_data();
    void failedWriteLeavesNothing();
};

void TestSheetPrint::resultColumnsWidenToFit_data() {
    QTest::addColumn<int>("row");       // where the text stands (row 1 is frozen)
    QTest::addColumn<bool>("overflow"); // sheet overflow
    QTest::addColumn<bool>("blocked");  // a text in the next column
    QTest::addColumn<bool>("number");   // the text kept as the number 2006 with a suffix
    QTest::addColumn<bool>("centred");  // centred in its column 2, a text in column 1
    QTest::addColumn<bool>("widened");
    QTest::newRow("result, overflow off") << 2 << false << false << false << false << true;
    QTest::newRow("result, neighbour filled") << 2 << true << true << false << false << true;
    QTest::newRow("result, free to spill") << 2 << true << false << false << false << false;
    QTest::newRow("frozen title") << 1 << false << false << false << false << false;
    QTest::newRow("number, overflow off") << 2 << false << false << true << false << true;
    QTest::newRow("number, neighbour filled") << 2 << true << true << true << false << true;
    QTest::newRow("number, free to spill") << 2 << true << false << true << false << false;
    QTest::newRow("number, frozen") << 1 << false << false << true << false << false;
    QTest::newRow("centred, left neighbour filled") << 2 << true << false << false << true << true;
    QTest::newRow("centred number, left neighbour filled")
        << 2 << true << false << true << true << true;
}

// "2006回" in a column of five characters has no room left at its edges: the
// column grows by whole characters until 2 pixels remain on each side.
void TestSheetPrint::resultColumnsWidenToFit() {
    QFETCH(int, row);
    QFETCH(bool, overflow);
    QFETCH(bool, blocked);
    QFETCH(bool, number);
    QFETCH(bool, centred);
    QFETCH(bool, widened);
    Sheet s(4, 3);
    s.setFrozen(0, 1);
    s.setColWidth(-1, 3);
    s.setOverflow(overflow);
    // The text stands in column 1, or centred in column 2 with a text in
    // column 1 beside it.
    const int col = centred ? 2 : 1;
    if (!centred)
        s.setHAlign(CellRange::block(1, 1, 1, 3), HAlign::Left);
    else
        s.setText(1, row, u"5"_s);
    if (number)
        s.setTextId(col, row, s.numberText(2006, s.numberFormat(QString(), u"回"_s)));
    else
        s.setText(col, row, u"2006回"_s);
    QCOMPARE(s.text(col, row), u"2006回"_s);
    if (blocked)
        s.setText(col + 1, row, u"5"_s);
    SheetPainter sp(gridFont());
    sp.setSheet(&s);
    const int text = QFontMetrics(gridFont()).horizontalAdvance(u"2006回"_s);
    const int nominal = sp.columnWidthPx(4);
    QCOMPARE(sp.columnWidthPx(col) > nominal, widened);
    if (widened) {
        QVERIFY(sp.columnWidthPx(col) >= text + 4);
        const double chars = QFontMetricsF(gridFont()).horizontalAdvance(u'0');
        QVERIFY(sp.columnWidthPx(col) - nominal < text + 4 - nominal + chars + 1);
    }
    // Only the text's own column grows.
    QCOMPARE(sp.totalWidth(), sp.columnWidthPx(col) + 3 * nominal);
    QCOMPARE(sp.columnX(col + 1) - sp.columnX(col), sp.columnWidthPx(col));
}

// A title spilling over empty cells hides the default grid lines under it;
// a border the sheet sets there is still drawn.
void TestSheetPrint::noGridLineUnderSpilledText() {
    Sheet s(6, 1);
    s.setColWidth(-1, 2);
    s.setOverflow(true);
    s.setHAlign(CellRange::cell(1, 1), HAlign::Left);
    s.setText(1, 1, u"当 選 数 字 の 表"_s);
    s.setBorder(CellRange::cell(3, 1), BorderRight, rgb(0, 0, 255));
    SheetPainter sp(gridFont());
    sp.setSheet(&s);
    QImage img(sp.rangeSize(1, 1, 6, 1), QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    sp.paint(&p, 1, 1, 6, 1);
    p.end();
    const int textEnd = QFontMetrics(gridFont()).horizontalAdvance(u"当 選 数 字 の 表"_s) + 2;
    const int y = img.height() / 2 + 1;
    for (int c = 1; c <= 5; ++c) {
        const int lineX = sp.columnX(c + 1) - 1;
        const QColor colour = img.pixelColor(lineX, 1); // above the glyphs
        if (c == 3)
            QCOMPARE(colour, QColor(0, 0, 255));
        else if (lineX < textEnd)
            QVERIFY2(colour == QColor(Qt::white), qPrintable(u"line after column %1"_s.arg(c)));
    }
    // Past the text the grid lines are back.
    QVERIFY(textEnd < sp.columnX(6));
    QVERIFY(img.pixelColor(sp.columnX(7) - 1, y) != QColor(Qt::white));
}

// A title over the box of columns 2-4 of a header row: no grid line cuts the
// box where the text ends, and the text, padding spaces aside, stands in the
// middle of the box.
void TestSheetPrint::titleCentredOverItsBox_data() {
    QTest::addColumn<QString>("window");
    QTest::newRow("joined cells") << QString();
    QTest::newRow("出現回数分析") << u"出現回数分析"_s;
}

void TestSheetPrint::titleCentredOverItsBox() {
    QFETCH(QString, window);
    const int first = 2;
    const int last = 4;
    Sheet sheet(7, 2);
    if (window.isEmpty()) {
        sheet.setColWidth(-1, 6);
        sheet.setOverflow(true);
        sheet.setHAlign(CellRange::cell(2, 1), HAlign::Left);
        sheet.setText(2, 1, u"           当 選 数 字"_s);
        sheet.setBorder(CellRange::cell(4, 1), BorderRight, rgb(0, 0, 255));
        sheet.joinCells(2, 4, 1);
        sheet.joinCells(6, 7, 1); // an empty run: only the line goes
    } else {
        sheet = test::buildSheet(window, test::history(u"123 456 789 012 345 678 901 234"_s));
    }
    SheetPainter sp(gridFont());
    sp.setSheet(&sheet);
    sp.setShowActiveCell(false);
    const int cols = sheet.cols();
    QImage img(sp.rangeSize(1, 1, cols, 1), QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    sp.paint(&p, 1, 1, cols, 1);
    p.end();
    const QColor back = img.pixelColor(sp.columnX(first) + 1, 1);
    // No line between the box's columns (looked at above the glyphs).
    for (int c = first; c < last; ++c)
        QVERIFY2(img.pixelColor(sp.columnX(c + 1) - 1, 1) == back,
                 qPrintable(u"seam after column %1"_s.arg(c)));
    // The ink of the title lies in the middle of the box.
    int left = img.width(), right = -1;
    for (int y = 1; y < img.height() - 2; ++y)
        for (int x = sp.columnX(first); x < sp.columnX(last + 1) - 1; ++x)
            if (img.pixelColor(x, y) != back) {
                left = qMin(left, x);
                right = qMax(right, x);
            }
    QVERIFY(right > left);
    const int middle = (sp.columnX(first) + sp.columnX(last + 1) - 1) / 2;
    QVERIFY2(qAbs((left + right) / 2 - middle) <= 2,
             qPrintable(u"ink %1-%2, middle %3"_s.arg(left).arg(right).arg(middle)));
    // The box still ends in its border.
    if (window.isEmpty()) {
        QCOMPARE(img.pixelColor(sp.columnX(last + 1) - 1, 1), QColor(0, 0, 255));
        QCOMPARE(img.pixelColor(sp.columnX(7) - 1, 1), QColor(Qt::white));
    }
}

// The print preview draws a page scaled to the screen: every row line comes
// out one width, as in a PDF, and the two borders that cells above and below
// each other draw along their common edge stay together, one line twice as
// wide. Drawn as they are, one layout pixel wide, a line covers one device
// pixel or two depending on where it falls; snapped line by line, the two
// borders drift apart.
void TestSheetPrint::previewLinesOfOneWidth_data() {
    QTest::addColumn<double>("zoom");
    QTest::newRow("0.7") << 0.7;
    QTest::newRow("0.8") << 0.8;
    QTest::newRow("1.3") << 1.3;
    QTest::newRow("1.6") << 1.6;
}

void TestSheetPrint::previewLinesOfOneWidth() {
    QFETCH(double, zoom);
    Sheet s = drawSheet(40, 3);
    s.setBorder(CellRange::column(2), BorderTop | BorderBottom, rgb(0, 0, 0));
    PrintDocument doc;
    doc.caption = u"回数"_s;
    doc.grids.push_back({&s, QString()});
    SheetPrinter printer(doc);
    printer.paginate(QSizeF(538, 785));
    const QSize page(int(std::lround(538 * zoom * 96 / 72)),
                     int(std::lround(785 * zoom * 96 / 72)));
    QImage img(page, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    printer.paintPage(p, 0, QRect(QPoint(0, 0), page), int(std::lround(96 * zoom)));
    p.end();
    // The page's layout, in the 12-pixel font pages are printed in.
    QFont font = gridFont();
    font.setPixelSize(12);
    SheetPainter layout(font);
    layout.setSheet(&s);
    const int gridEnd = int(layout.rowY(printer.pages().front().lastRow + 1) * zoom) + 2;
    // Runs of line pixels down a column of pixels, to the grid's end.
    const auto runsDown = [&](int x, auto isLine) {
        QList<int> runs;
        int run = 0;
        for (int y = 0; y <= gridEnd; ++y) {
            if (isLine(img.pixelColor(x, y))) {
                ++run;
            } else if (run > 0) {
                runs << run;
                run = 0;
            }
        }
        return runs;
    };
    // Grid lines down the first column, left of its texts.
    const QList<int> lines = runsDown(2, [](const QColor& c) {
        return c.red() == c.green() && c.green() == c.blue() && c.red() > 150 && c.red() < 240;
    });
    QVERIFY2(lines.size() >= 30, qPrintable(QString::number(lines.size())));
    for (int r : lines)
        QVERIFY2(r == lines.front(),
                 qPrintable(u"lines %1 and %2 pixels wide"_s.arg(lines.front()).arg(r)));
    // Borders down the middle of the second column: inside the grid each is
    // a bottom and a top border together, twice as wide as a line.
    QList<int> borders =
        runsDown(int((layout.columnX(2) + layout.columnX(3)) / 2 * zoom),
                 [](const QColor& c) { return c.red() < 60 && c.green() < 60 && c.blue() < 60; });
    QVERIFY2(borders.size() >= 30, qPrintable(QString::number(borders.size())));
    for (int r : borders.mid(1, borders.size() - 2))
        QVERIFY2(r == 2 * lines.front(),
                 qPrintable(u"border %1 pixels wide, lines %2"_s.arg(r).arg(lines.front())));
}

// Texts drawn from a kept layout land on exactly the pixels drawText()
// gives them: every alignment, in boxes wider and narrower than the text
// (clipped), taller and shorter than a line, drawn once and again from the
// layout; and what the layout cannot place (line breaks, a scaled painter)
// is handed to drawText().
void TestSheetPrint::cellTextAsDrawText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("scaled");
    QTest::newRow("digits") << u"17"_s << false;
    QTest::newRow("negative") << u"-3"_s << false;
    QTest::newRow("kanji") << u"回数"_s << false;
    QTest::newRow("spaced title") << u"当　選　数　字"_s << false;
    QTest::newRow("trailing spaces") << u"　　 Ａ "_s << false;
    QTest::newRow("mark") << u"●"_s << false;
    QTest::newRow("half-width kana") << u"ﾍﾟﾘﾄﾞﾝ 3回前"_s << false;
    QTest::newRow("line break") << u"上\n下"_s << false;
    QTest::newRow("scaled painter") << u"回数"_s << true;
}

void TestSheetPrint::cellTextAsDrawText() {
    QFETCH(QString, text);
    QFETCH(bool, scaled);
    const QFont font = gridFont();
    const auto render = [&](const QRect& box, int flags, bool cached) {
        QImage img(120, 48, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        p.setFont(font);
        p.translate(3, 2);
        if (scaled)
            p.scale(1.5, 1.5);
        if (cached)
            drawCellText(p, box, flags, text);
        else
            p.drawText(box, flags, text);
        return img;
    };
    const int horizontal[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    for (int h = 6; h <= 26; h += 5) {
        for (int w = 4; w <= 90; w += 3) {
            for (const int align : horizontal) {
                const QRect box(2, 1, w, h);
                const int flags = align | Qt::AlignVCenter;
                const QImage expected = render(box, flags, false);
                for (int pass = 0; pass < 2; ++pass) {
                    QVERIFY2(
                        render(box, flags, true) == expected,
                        qPrintable(u"%1x%2 align %3 pass %4"_s.arg(w).arg(h).arg(align).arg(pass)));
                }
            }
        }
    }
}

// Every row of a sheet paints only inside its own band, so painting a range
// at once (as the screen does) gives the pixels of painting its rows one by
// one: backgrounds, texts spilling over empty cells, grid lines, borders of
// every side and colour, a hidden row and a taller one, and a selection.
void TestSheetPrint::rowsPaintAsAlone_data() {
    QTest::addColumn<bool>("overflow");
    QTest::addColumn<bool>("selection");
    QTest::newRow("plain") << false << false;
    QTest::newRow("spilling texts") << true << false;
    QTest::newRow("with selection") << true << true;
}

void TestSheetPrint::rowsPaintAsAlone() {
    QFETCH(bool, overflow);
    QFETCH(bool, selection);
    Sheet s(9, 14);
    s.setOverflow(overflow);
    s.setColWidth(-1, 3);
    s.setBackColor(CellRange::block(2, 1, 4, 14), rgb(200, 255, 255));
    s.setBackColor(CellRange::block(6, 3, 6, 9), rgb(255, 200, 255));
    s.setBorder(CellRange::block(1, 2, 9, 12), BorderAll, rgb(0, 0, 255));
    s.setBorder(CellRange::block(3, 4, 5, 6), BorderOutline, rgb(255, 0, 0));
    s.setBorder(CellRange::cell(7, 7), BorderLeft | BorderBottom, rgb(0, 128, 0));
    s.setRowHeight(5, 0);
    s.setRowHeight(8, 22);
    s.setHAlign(CellRange::block(1, 1, 9, 14), HAlign::Left);
    s.setHAlign(CellRange::block(5, 1, 5, 14), HAlign::Center);
    s.setHAlign(CellRange::block(9, 1, 9, 14), HAlign::Right);
    for (int r = 1; r <= 14; ++r) {
        s.setText(1 + r % 3, r, u"当選%1"_s.arg(r));
        s.setText(5, r, QString::number(r * 7));
        if (r % 4 == 0)
            s.setText(9, r, u"右"_s);
    }
    s.setForeColor(CellRange::block(1, 1, 9, 14), rgb(200, 0, 0));
    SheetPainter sp(gridFont());
    sp.setSheet(&s);
    if (selection)
        sp.setSelection(QRect(QPoint(2, 3), QPoint(4, 9)));
    const QSize size = sp.rangeSize(1, 1, 9, 14);
    QImage together(size, QImage::Format_RGB32);
    together.fill(Qt::gray);
    {
        QPainter p(&together);
        sp.paint(&p, 1, 1, 9, 14);
    }
    QImage alone(size, QImage::Format_RGB32);
    alone.fill(Qt::gray);
    {
        QPainter p(&alone);
        for (int r = 1; r <= 14; ++r) {
            p.save();
            p.setClipRect(QRect(0, sp.rowY(r), size.width(), sp.rowHeightPx(r)));
            p.translate(0, sp.rowY(r));
            sp.paint(&p, 1, r, 9, r);
            p.restore();
        }
    }
    QCOMPARE(together, alone);
}

void TestSheetPrint::pagination_data() {
    QTest::addColumn<int>("draws");
    QTest::addColumn<int>("cols");
    QTest::addColumn<bool>("fit");
    QTest::addColumn<int>("colBands");
    QTest::newRow("one page") << 5 << 3 << true << 1;
    QTest::newRow("many rows") << 300 << 3 << true << 1;
    QTest::newRow("wide, fitted") << 100 << 60 << true << 1;
    QTest::newRow("wide, split across") << 100 << 60 << false << 0; // 0: more than one
}

// Rows are split over pages in whole rows, each once, in order; columns
// fitted to the width stay on one page, else they are split too.
void TestSheetPrint::pagination() {
    QFETCH(int, draws);
    QFETCH(int, cols);
    QFETCH(bool, fit);
    QFETCH(int, colBands);
    const Sheet s = drawSheet(draws, cols);
    PrintDocument doc;
    doc.caption = u"出現回数分析"_s;
    doc.grids.push_back({&s, QString()});
    SheetPrinter printer(doc);
    printer.setFitToWidth(fit);
    const QSizeF a4(595 - 57, 842 - 57);
    printer.paginate(a4);
    QVERIFY(printer.pageCount() >= 1);
    int expectRow = 2;
    int firstCol = 0;
    int bands = 0;
    for (const SheetPrinter::Page& page : printer.pages()) {
        if (page.firstCol != firstCol) {
            // A new band of columns starts again at the first result row.
            QCOMPARE(expectRow, firstCol == 0 ? 2 : draws + 2);
            firstCol = page.firstCol;
            expectRow = 2;
            ++bands;
        }
        QCOMPARE(page.firstRow, expectRow);
        QVERIFY(page.lastRow >= page.firstRow);
        expectRow = page.lastRow + 1;
    }
    QCOMPARE(expectRow, draws + 2);
    if (colBands)
        QCOMPARE(bands, colBands);
    else
        QVERIFY(bands > 1);
    // Pages of one band fill the page height: only the last may be short.
    if (printer.pageCount() > 1) {
        const SheetPrinter::Page& first = printer.pages().front();
        QVERIFY(first.lastRow - first.firstRow > 10);
    }
}

// Every page starts with the frozen header row (its colour and its "回数").
void TestSheetPrint::headerOnEveryPage() {
    const Sheet s = drawSheet(200, 4);
    PrintDocument doc;
    doc.grids.push_back({&s, QString()});
    SheetPrinter printer(doc);
    const QSize page(500, 400); // pixels at 96 DPI
    printer.paginate(QSizeF(page) * 72.0 / 96.0);
    QVERIFY(printer.pageCount() > 3);
    for (int i = 0; i < printer.pageCount(); ++i) {
        const QImage img = renderPage(printer, i, page);
        QCOMPARE(img.pixelColor(page.width() / 2, 3), QColor(255, 200, 200));
    }
}

void TestSheetPrint::footerText() {
    const Sheet s = drawSheet(300, 3);
    PrintDocument doc;
    doc.caption = u"数字合計分析"_s;
    doc.lastDrawNo = 7054;
    doc.printDate = QDate(2026, 1, 2);
    doc.grids.push_back({&s, QString()});
    SheetPrinter printer(doc);
    printer.paginate(QSizeF(538, 785));
    const int n = printer.pageCount();
    QVERIFY(n > 1);
    QCOMPARE(printer.footer(0), QStringList({u"数字合計分析"_s, u"1 / %1 ページ"_s.arg(n),
                                             u"最終回 第7054回　印刷日 2026/01/02"_s}));
    QCOMPARE(printer.footer(n - 1)[1], u"%1 / %1 ページ"_s.arg(n));
}

void TestSheetPrint::orientationFollowsWidth() {
    const Sheet narrow = drawSheet(10, 5);
    const Sheet wide = drawSheet(10, 120);
    for (const auto& [sheet, expected] :
         {std::pair{&narrow, QPageLayout::Portrait}, std::pair{&wide, QPageLayout::Landscape}}) {
        PrintDocument doc;
        doc.grids.push_back({sheet, QString()});
        QCOMPARE(SheetPrinter(doc).defaultPageLayout().orientation(), expected);
    }
}

void TestSheetPrint::predictionOnOnePage() {
    std::vector<Sheet> sheets(4, drawSheet(4, 4));
    std::vector<const Sheet*> grids;
    for (const Sheet& s : sheets)
        grids.push_back(&s);
    ReflectFlags flags{};
    flags[1] = true;
    const PrintDocument doc = predictionPrintDocument(grids, flags, 12);
    QCOMPARE(doc.grids.size(), std::size_t(4));
    QCOMPARE(doc.grids[3].caption, u"●一発ペリドン予想"_s);
    QVERIFY(doc.notes.contains(u"■間隔分析（出現間隔分析、数字間隔分析）：反映する"_s));
    QVERIFY(doc.notes.contains(u"■出現回数分析：反映しない"_s));
    SheetPrinter printer(doc);
    printer.paginate(QSizeF(200, 200)); // a tiny page: scaled, still one
    QCOMPARE(printer.pageCount(), 1);
}

void TestSheetPrint::pdfWritten() {
    QTemporaryDir dir;
    const Sheet s = drawSheet(400, 6);
    PrintDocument doc;
    doc.caption = u"バラツキ分析"_s;
    doc.lastDrawNo = 400;
    doc.grids.push_back({&s, QString()});
    const QString path = dir.filePath(u"出力.pdf"_s);
    QString error;
    QVERIFY2(writePdf(doc, path, error), qPrintable(error));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.read(5) == "%PDF-");
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"出力.pdf"_s});
}

void TestSheetPrint::failedWriteLeavesNothing_data() {
    QTest::addColumn<QString>("relative");
    QTest::newRow("missing folder") << u"ない/出力.pdf"_s;
    QTest::newRow("a folder's name") << u"folder"_s;
}

// A file that cannot be written gives a message and leaves no part of it;
// an existing file of that name is not touched.
void TestSheetPrint::failedWriteLeavesNothing() {
    QFETCH(QString, relative);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"folder"_s));
    const Sheet s = drawSheet(10, 3);
    PrintDocument doc;
    doc.caption = u"出現頻度分析"_s;
    doc.grids.push_back({&s, QString()});
    QString error;
    QVERIFY(!writePdf(doc, dir.filePath(relative), error));
    QVERIFY(error.contains(u"PDF"_s));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList{u"folder"_s});
    QVERIFY(QDir(dir.filePath(u"folder"_s)).isEmpty());
}

QTEST_MAIN(TestSheetPrint)
#include "tst_sheet_print.moc"
