// peridon-cli sheet: the JSON form of an analysis window's sheet.
#include "core/analysis/AnalysisRegistry.h"
#include "core/sheet/SheetJson.h"
#include "support/CliRun.h"
#include "support/TestHistory.h"
#include "support/WorkingDirectory.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace peridon;

namespace {

using Run = test::CliRun;

Run cli(const QStringList& args) {
    return test::runCli(args);
}

// The same draws as a CSV file and as a hand-made history: a row with an
// empty digit and a gap in the numbering.
constexpr char kCsv[] = "回数,第1数字,第2数字,第3数字\n1,1,1,2\n2,1,,3\n3,1,3,3\n5,9,0,9\n";
const QString kDraws = u"112 1-3 133 5:909"_s;

} // namespace

class TestCliSheet final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void exactOutput();
    void everyWindowMatchesItsBuilder_data();
    void everyWindowMatchesItsBuilder();
    void refusals_data();
    void refusals();

private:
    QTemporaryDir m_dir;
    QString m_db;
};

void TestCliSheet::initTestCase() {
    test::useTemporaryWorkingDirectory();
    QVERIFY(!qEnvironmentVariable("PERIDON_CLI").isEmpty());
    QVERIFY(m_dir.isValid());
    const QString csv = m_dir.filePath(u"draws.csv"_s);
    QFile f(csv);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(kCsv);
    f.close();
    m_db = m_dir.filePath(u"当選データ.mdb"_s);
    const Run r = cli({u"import"_s, csv, u"--db"_s, m_db});
    QVERIFY2(r.status == 0, qPrintable(r.err));
}

// The whole document for a small sheet, byte for byte: key order, colours
// in lowercase #rrggbb, white cells without text left out, one line.
void TestCliSheet::exactOutput() {
    const Run r = cli({u"sheet"_s, u"数字合計分析"_s, u"--db"_s, m_db});
    QCOMPARE(r.status, 0);
    QByteArray expected =
        R"({"window":"数字合計分析","caption":"数字合計分析","grids":[{"index":0,"cols":5,"rows":6,"cells":[)"
        R"({"col":1,"row":1,"text":"回数","fg":"#000000","bg":"#ffc8c8"},)"
        R"({"col":2,"row":1,"text":"　      当 選 数 字","fg":"#000000","bg":"#ffc8c8"},)"
        R"({"col":3,"row":1,"text":"","fg":"#000000","bg":"#ffc8c8"},)"
        R"({"col":4,"row":1,"text":"","fg":"#000000","bg":"#ffc8c8"},)"
        R"({"col":5,"row":1,"text":"合計","fg":"#000000","bg":"#ffc8c8"},)";
    const char* rows[][5] = {
        {"1", "1", "1", "2", "4"}, {"3", "1", "3", "3", "7"}, {"5", "9", "0", "9", "18"}};
    int row = 2;
    for (const auto& texts : rows) {
        const QByteArray r2 = QByteArray::number(row++);
        expected += R"({"col":1,"row":)" + r2 + R"(,"text":")" + texts[0] +
                    R"(","fg":"#ff0000","bg":"#ffffc8"},)";
        for (int c = 2; c <= 4; ++c)
            expected += R"({"col":)" + QByteArray::number(c) + R"(,"row":)" + r2 + R"(,"text":")" +
                        texts[c - 1] + R"(","fg":"#000000","bg":"#ffffff"},)";
        expected += R"({"col":5,"row":)" + r2 + R"(,"text":")" + texts[4] +
                    R"(","fg":"#0000ff","bg":"#c8ffff"},)";
    }
    // Rows 5 and 6 are reserved for draw numbers 4 and 5 and stay empty, but
    // their coloured cells are listed.
    for (int r2 = 5; r2 <= 6; ++r2) {
        expected += R"({"col":1,"row":)" + QByteArray::number(r2) +
                    R"(,"text":"","fg":"#ff0000","bg":"#ffffc8"},)";
        expected += R"({"col":5,"row":)" + QByteArray::number(r2) +
                    R"(,"text":"","fg":"#0000ff","bg":"#c8ffff"})";
        expected += r2 == 5 ? "," : "";
    }
    expected += "]}]}\n";
    QCOMPARE(r.out, expected);
}

void TestCliSheet::everyWindowMatchesItsBuilder_data() {
    QTest::addColumn<QString>("window");
    for (const AnalysisInfo& info : analysisRegistry())
        QTest::newRow(info.className.toUtf8().constData()) << info.className;
}

// Every registry window prints the sheet its window builds, as one JSON
// object that other tools can read.
void TestCliSheet::everyWindowMatchesItsBuilder() {
    QFETCH(QString, window);
    const Run r = cli({u"sheet"_s, window, u"--db"_s, m_db});
    QCOMPARE(r.status, 0);

    const AnalysisInfo* info = findAnalysis(window);
    QVERIFY(info);
    const DrawHistory history = test::history(kDraws);
    const StartupStats stats = StartupStats::compute(history);
    Sheet sheet;
    info->build(AnalysisInput{history, stats}, sheet);
    QCOMPARE(r.out, sheetsToJson(window, info->caption, {&sheet}) + '\n');

    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(r.out, &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonObject top = doc.object();
    QCOMPARE(top.value(u"window"_s).toString(), window);
    QCOMPARE(top.value(u"caption"_s).toString(), info->caption);
    const QJsonArray grids = top.value(u"grids"_s).toArray();
    QCOMPARE(grids.size(), 1);
    const QJsonObject grid = grids[0].toObject();
    QCOMPARE(grid.value(u"index"_s).toInt(), 0);
    QCOMPARE(grid.value(u"cols"_s).toInt(), sheet.cols());
    QCOMPARE(grid.value(u"rows"_s).toInt(), sheet.rows());
    const QRegularExpression hex(u"^#[0-9a-f]{6}$"_s);
    int lastKey = 0;
    for (const QJsonValue& v : grid.value(u"cells"_s).toArray()) {
        const QJsonObject cell = v.toObject();
        const int col = cell.value(u"col"_s).toInt();
        const int row = cell.value(u"row"_s).toInt();
        QVERIFY(sheet.contains(col, row));
        const int key = row * 1000 + col;
        QVERIFY2(key > lastKey, "cells in row-major order");
        lastKey = key;
        QVERIFY(hex.match(cell.value(u"fg"_s).toString()).hasMatch());
        QVERIFY(hex.match(cell.value(u"bg"_s).toString()).hasMatch());
        QVERIFY(!cell.value(u"text"_s).toString().isEmpty() ||
                cell.value(u"bg"_s).toString() != u"#ffffff"_s);
    }
}

void TestCliSheet::refusals_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("listsWindows");

    QTest::newRow("unknown window") << QStringList{u"sheet"_s, u"不明な分析"_s} << 2 << true;
    QTest::newRow("no window") << QStringList{u"sheet"_s} << 2 << true;
    QTest::newRow("missing database")
        << QStringList{u"sheet"_s, u"出現頻度分析"_s, u"--db"_s, u"@missing@"_s} << 1 << false;
}

// Refusals print to stderr only, and a missing database is not created.
void TestCliSheet::refusals() {
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(bool, listsWindows);
    const QString missing = m_dir.filePath(u"無い.mdb"_s);
    args.replaceInStrings(u"@missing@"_s, missing);
    if (!args.contains(u"--db"_s))
        args << u"--db"_s << m_db;
    const Run r = cli(args);
    QCOMPARE(r.status, status);
    QVERIFY(r.out.isEmpty());
    QVERIFY(!r.err.isEmpty());
    if (listsWindows) {
        for (const AnalysisInfo& info : analysisRegistry())
            QVERIFY2(r.err.contains(info.className), qPrintable(info.className));
    }
    QVERIFY(!QFile::exists(missing));
}

QTEST_GUILESS_MAIN(TestCliSheet)
#include "tst_cli_sheet.moc"
