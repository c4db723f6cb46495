// A grid's cells for other programs: tab-separated text and HTML for the
// clipboard, CSV files and PNG images, and the refusals of each.
#include "core/sheet/GridFont.h"
#include "core/sheet/SheetExport.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace peridon;

namespace {

const Rgb kHeader = rgb(255, 200, 200);

// Three columns: a frozen header row, then rows "n", "n*10", a text.
Sheet sampleSheet(int rows) {
    Sheet s(3, rows + 1);
    s.setFrozen(0, 1);
    s.setBackColor(CellRange::row(1), kHeader);
    s.setText(1, 1, u"回数"_s);
    s.setText(2, 1, u"値"_s);
    s.setText(3, 1, u"メモ"_s);
    for (int r = 2; r <= rows + 1; ++r) {
        s.setText(1, r, QString::number(r - 1));
        s.setText(2, r, QString::number((r - 1) * 10));
    }
    return s;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestSheetExport final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installFontSubstitutions(); }
    void tsvOfBlock_data();
    void tsvOfBlock();
    void htmlKeepsLook();
    void csvQuoting_data();
    void csvQuoting();
    void csvTrimsHeaderPadding_data();
    void csvTrimsHeaderPadding();
    void csvFileWritten();
    void csvWriteFails_data();
    void csvWriteFails();
    void imageOfWholeSheet();
    void tallImageSplitWithHeader();
    void imageFailureLeavesNoPart();
    void imageRefusals();
};

void TestSheetExport::tsvOfBlock_data() {
    QTest::addColumn<QRect>("block");
    QTest::addColumn<QString>("tsv");
    QTest::newRow("one cell") << QRect(2, 3, 1, 1) << u"20\n"_s;
    QTest::newRow("block with empty column")
        << QRect(QPoint(1, 1), QPoint(3, 3)) << u"回数\t値\tメモ\n1\t10\t\n2\t20\t\n"_s;
    QTest::newRow("clipped at the edge") << QRect(QPoint(2, 4), QPoint(9, 9)) << u"30\t\n40\t\n"_s;
    QTest::newRow("outside") << QRect(5, 5, 2, 2) << QString();
}

void TestSheetExport::tsvOfBlock() {
    QFETCH(QRect, block);
    QFETCH(QString, tsv);
    QCOMPARE(sheetTsv(sampleSheet(4), block), tsv);
}

void TestSheetExport::htmlKeepsLook() {
    Sheet s = sampleSheet(2);
    s.setForeColor(CellRange::cell(1, 2), rgb(255, 0, 0));
    s.setHAlign(CellRange::cell(2, 2), HAlign::Right);
    s.setText(3, 2, u"012"_s);
    s.setText(3, 1, u"<a&b>"_s);
    const QString html = sheetHtml(s, QRect(1, 1, 3, 2));
    QVERIFY(html.contains(u"<td bgcolor=\"#ffc8c8\" align=\"center\">回数</td>"_s));
    QVERIFY(html.contains(u"<font color=\"#ff0000\">1</font>"_s));
    QVERIFY(html.contains(u"align=\"right\">10<"_s));
    QVERIFY(html.contains(u"mso-number-format:'\\@'\">012<"_s));
    QVERIFY(html.contains(u"&lt;a&amp;b&gt;"_s));
    QCOMPARE(html.count(u"<tr>"_s), 2);
    QCOMPARE(html.count(u"<td"_s), 6);
    // Only the block: the last row is not in it.
    QVERIFY(!html.contains(u">20<"_s));
}

void TestSheetExport::csvQuoting_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("field");
    QTest::newRow("plain") << u"第7回"_s << QByteArray("第7回");
    QTest::newRow("comma") << u"1,2"_s << QByteArray("\"1,2\"");
    QTest::newRow("quote") << u"a\"b"_s << QByteArray("\"a\"\"b\"");
    QTest::newRow("line break") << u"a\nb"_s << QByteArray("\"a\nb\"");
    QTest::newRow("carriage return") << u"a\rb"_s << QByteArray("\"a\rb\"");
    QTest::newRow("tab stays plain") << u"a\tb"_s << QByteArray("a\tb");
    QTest::newRow("ideographic spaces kept") << u"　当選　"_s << QByteArray("　当選　");
}

void TestSheetExport::csvQuoting() {
    QFETCH(QString, text);
    QFETCH(QByteArray, field);
    // In a data row: the first row is the header.
    Sheet s(2, 2);
    s.setText(1, 2, text);
    s.setText(2, 1, u"x"_s);
    const QByteArray expected = "\xEF\xBB\xBF,x\r\n" + field + ",\r\n";
    QCOMPARE(sheetCsv(s), expected);
    // Tab-separated text quotes the tab instead of the comma.
    const QString tsv = sheetTsv(s, QRect(1, 2, 1, 1));
    QCOMPARE(tsv.startsWith(u'"'), text.contains(u'\t') || text.contains(u'"') ||
                                       text.contains(u'\n') || text.contains(u'\r'));
}

// Header cells lose the spaces that pad them on screen, ideographic or not,
// and keep those inside; data cells are written as they stand.
void TestSheetExport::csvTrimsHeaderPadding_data() {
    QTest::addColumn<int>("frozenCols");
    QTest::addColumn<int>("frozenRows");
    QTest::addColumn<QByteArray>("csv");
    QTest::newRow("no frozen rows: the first row")
        << 0 << 0 << QByteArray("当 選 数 字,Ａ\r\n　1　,　2\r\n");
    QTest::newRow("frozen rows and columns") << 1 << 2 << QByteArray("当 選 数 字,Ａ\r\n1,2\r\n");
}

void TestSheetExport::csvTrimsHeaderPadding() {
    QFETCH(int, frozenCols);
    QFETCH(int, frozenRows);
    QFETCH(QByteArray, csv);
    Sheet s(2, 2);
    s.setFrozen(frozenCols, frozenRows);
    s.setText(1, 1, u"　　当 選 数 字     "_s);
    s.setText(2, 1, u"　　 Ａ "_s);
    s.setText(1, 2, u"　1　"_s);
    s.setText(2, 2, u"　2"_s);
    QCOMPARE(sheetCsv(s), "\xEF\xBB\xBF" + csv);
}

void TestSheetExport::csvFileWritten() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"分析.csv"_s);
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old contents that are longer than the new file will be, by far\n");
    old.close();
    const Sheet s = sampleSheet(2);
    QString error;
    QVERIFY2(writeSheetCsv(s, path, error), qPrintable(error));
    QCOMPARE(readAll(path), sheetCsv(s));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"分析.csv"_s});
}

void TestSheetExport::csvWriteFails_data() {
    QTest::addColumn<QString>("relative");
    QTest::newRow("missing folder") << u"ない/x.csv"_s;
    QTest::newRow("a folder by that name") << u"folder"_s;
}

// A CSV file that cannot be written is refused with a message naming it and
// leaves nothing behind.
void TestSheetExport::csvWriteFails() {
    QFETCH(QString, relative);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"folder"_s));
    QString error;
    QVERIFY(!writeSheetCsv(sampleSheet(2), dir.filePath(relative), error));
    QVERIFY2(error.contains(u"CSVファイル"_s) && error.contains(QFileInfo(relative).fileName()),
             qPrintable(error));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList{u"folder"_s});
    QVERIFY(QDir(dir.filePath(u"folder"_s)).isEmpty());
}

void TestSheetExport::imageOfWholeSheet() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"grid.png"_s);
    const Sheet s = sampleSheet(300); // far taller than any window shows
    QStringList written;
    QString error;
    QVERIFY2(writeSheetImages(s, gridFont(), path, written, error), qPrintable(error));
    QCOMPARE(written, QStringList{path});
    QCOMPARE(sheetImagePaths(s, gridFont(), path), written);
    const QImage img(path);
    QVERIFY(!img.isNull());
    QVERIFY(img.height() > 300 * 10);
    QCOMPARE(img.pixelColor(1, 3), QColor(255, 200, 200));
}

// A sheet taller than a part is split by whole rows; every part begins with
// the header row.
void TestSheetExport::tallImageSplitWithHeader() {
    QTemporaryDir dir;
    const Sheet s = sampleSheet(100);
    QStringList written;
    QString error;
    QVERIFY2(writeSheetImages(s, gridFont(), dir.filePath(u"grid.png"_s), written, error, 400),
             qPrintable(error));
    QVERIFY(written.size() > 2);
    QCOMPARE(sheetImagePaths(s, gridFont(), dir.filePath(u"grid.png"_s), 400), written);
    QCOMPARE(written.front(), dir.filePath(u"grid-01.png"_s));
    // Numbered with zeros in front, so that they sort in order.
    QStringList sorted = written;
    sorted.sort();
    QCOMPARE(sorted, written);
    const Sheet taller = sampleSheet(1000);
    const QStringList many = sheetImagePaths(taller, gridFont(), dir.filePath(u"t.png"_s), 400);
    QVERIFY(many.size() >= 10);
    QCOMPARE(many[9], dir.filePath(u"t-10.png"_s));
    sorted = many;
    sorted.sort();
    QCOMPARE(sorted, many);
    int total = 0;
    int headerH = 0;
    for (const QString& path : written) {
        const QImage img(path);
        QVERIFY(!img.isNull());
        QVERIFY(img.height() <= 400);
        QCOMPARE(img.pixelColor(1, 3), QColor(255, 200, 200));
        // The first row below the header is white again.
        if (headerH == 0)
            while (img.pixelColor(1, headerH) == QColor(255, 200, 200) ||
                   img.pixelColor(1, headerH).red() < 250)
                ++headerH;
        QVERIFY(img.pixelColor(1, headerH + 2) != QColor(255, 200, 200));
        total += img.height() - headerH;
    }
    QVERIFY(headerH > 0);
    const QImage whole = QImage(written.front()); // same width everywhere
    QVERIFY(whole.width() > 0);
    QStringList one;
    QVERIFY(writeSheetImages(s, gridFont(), dir.filePath(u"one.png"_s), one, error));
    QCOMPARE(total + headerH, QImage(one.front()).height());
}

// When one part cannot be written, the parts already written are removed.
void TestSheetExport::imageFailureLeavesNoPart() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"grid-02.png"_s));
    QStringList written;
    QString error;
    QVERIFY(!writeSheetImages(sampleSheet(100), gridFont(), dir.filePath(u"grid.png"_s), written,
                              error, 400));
    QVERIFY2(error.contains(u"grid-02.png"_s), qPrintable(error));
    QVERIFY(written.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

void TestSheetExport::imageRefusals() {
    QTemporaryDir dir;
    QStringList written;
    QString error;
    QVERIFY(!writeSheetImages(Sheet(), gridFont(), dir.filePath(u"e.png"_s), written, error));
    QVERIFY(!error.isEmpty());
    Sheet wide(200, 2);
    wide.setColWidth(-1, 20);
    QVERIFY(!writeSheetImages(wide, gridFont(), dir.filePath(u"w.png"_s), written, error));
    QVERIFY2(error.contains(u"大きすぎ"_s), qPrintable(error));
    QVERIFY(QDir(dir.path()).isEmpty());
}

QTEST_MAIN(TestSheetExport)
#include "tst_sheet_export.moc"
