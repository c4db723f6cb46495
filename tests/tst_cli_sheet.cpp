// peridon-cli sheet: the JSON form of an analysis window's sheet.
#include "core/analysis/AnalysisRegistry.h"
#include "core/prediction/PredictionSheets.h"
#include "support/CliRun.h"
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

// A row with an empty digit and a gap in the numbering.
constexpr char kCsv[] = "回数,第1数字,第2数字,第3数字\n1,1,1,2\n2,1,,3\n3,1,3,3\n5,9,0,9\n";

} // namespace

class TestCliSheet final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void exactOutput();
    void everyWindowMatchesItsFile_data();
    void everyWindowMatchesItsFile();
    void refusals_data();
    void refusals();

private:
    QTemporaryDir m_dir;
    QString m_db;
    QString m_fixtureDb; // the history of tests/data/sheet-history.csv
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
    m_fixtureDb = m_dir.filePath(u"固定の履歴.mdb"_s);
    const Run fixture =
        cli({u"import"_s, QStringLiteral(PERIDON_TEST_DATA) + u"/sheet-history.csv"_s, u"--db"_s,
             m_fixtureDb});
    QVERIFY2(fixture.status == 0, qPrintable(fixture.err));
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

void TestCliSheet::everyWindowMatchesItsFile_data() {
    QTest::addColumn<QString>("window");
    for (const AnalysisInfo& info : analysisRegistry())
        QTest::newRow(info.className.toUtf8().constData()) << info.className;
    QTest::newRow("一発ペリドン") << QString::fromUtf16(kPredictionClass);
}

// Every window prints what its file in tests/data/sheets holds for the
// history tests/data/sheet-history.csv (a gap at draw 20, an empty digit at
// draw 30): an expected document kept apart from the code that writes it,
// so that a fault in the shared writer shows too. The files hold one cell a
// line for a readable diff; the output is the same without the line breaks.
void TestCliSheet::everyWindowMatchesItsFile() {
    QFETCH(QString, window);
    const bool prediction = window == QString::fromUtf16(kPredictionClass);
    QStringList args{u"sheet"_s, window, u"--db"_s, m_fixtureDb};
    if (prediction)
        args << u"--reflect"_s << u"3"_s;
    const Run r = cli(args);
    QCOMPARE(r.status, 0);
    QFile expectedFile(QStringLiteral(PERIDON_TEST_DATA) + u"/sheets/"_s + window + u".json"_s);
    QVERIFY2(expectedFile.open(QIODevice::ReadOnly), qPrintable(expectedFile.fileName()));
    const QByteArray expected = expectedFile.readAll().replace('\n', "") + '\n';
    if (r.out != expected) {
        // Name the first cell that differs rather than two long lines.
        qsizetype at = 0;
        while (at < r.out.size() && at < expected.size() && r.out[at] == expected[at])
            ++at;
        QFAIL(qPrintable(u"differs at byte %1:\n got      %2\n expected %3"_s.arg(at).arg(
            QString::fromUtf8(r.out.mid(std::max<qsizetype>(0, at - 60), 120)),
            QString::fromUtf8(expected.mid(std::max<qsizetype>(0, at - 60), 120)))));
    }
    if (prediction)
        return;
    const AnalysisInfo* info = findAnalysis(window);
    QVERIFY(info);
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
    QVERIFY(grid.value(u"cols"_s).toInt() >= 1);
    QVERIFY(grid.value(u"rows"_s).toInt() >= 1);
    const QRegularExpression hex(u"^#[0-9a-f]{6}$"_s);
    int lastKey = 0;
    for (const QJsonValue& v : grid.value(u"cells"_s).toArray()) {
        const QJsonObject cell = v.toObject();
        const int col = cell.value(u"col"_s).toInt();
        const int row = cell.value(u"row"_s).toInt();
        QVERIFY(col >= 1 && col <= grid.value(u"cols"_s).toInt());
        QVERIFY(row >= 1 && row <= grid.value(u"rows"_s).toInt());
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
