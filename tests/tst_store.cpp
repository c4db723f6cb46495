// The encrypted draw store, the start-up statistics and the CSV import/export.
#include "core/history/StartupStats.h"
#include "core/store/Database.h"
#include "core/store/DrawCsv.h"
#include "core/store/Generator.h"
#include "core/store/TextEncoding.h"
#include "support/TestDatabase.h"
#include "support/TestHistory.h"
#include "support/WorkingDirectory.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "core/store/Sqlite.h"

using namespace Qt::StringLiterals;

using namespace peridon;
using peridon::test::openOrCreateDatabase;

class TestStore : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_n = 0;
    QString freshPath() { return m_dir.filePath(u"db%1.mdb"_s.arg(++m_n)); }
    Database freshDb() { return openOrCreateDatabase(connectStringFor(freshPath())); }
    static QString digitsByCount(const StartupStats& s) {
        QStringList parts;
        for (std::size_t c = 0; c < s.digitsByCount.size(); ++c)
            if (!s.digitsByCount[c].isEmpty())
                parts << u"%1:%2"_s.arg(c).arg(s.digitsByCount[c]);
        return parts.join(u' ');
    }

private slots:
    void initTestCase() { test::useTemporaryWorkingDirectory(); }
    void stats_data() {
        QTest::addColumn<QString>("history");
        QTest::addColumn<int>("lastDrawNo");
        QTest::addColumn<int>("maxCount");
        QTest::addColumn<int>("countRows");
        QTest::addColumn<QString>("groups");
        QTest::newRow("empty history") << "" << 0 << 0 << 0 << "";
        QTest::newRow("rows but none valid") << "1-3 -45" << 0 << 0 << 2 << "0:0,1,2,3,4,5,6,7,8,9";
        QTest::newRow("one draw 3 3 7") << "337" << 1 << 2 << 4 << "0:0,1,2,4,5,6,8,9 1:7 2:3";
        QTest::newRow("third digit 0 counts") << "120" << 1 << 1 << 3 << "0:3,4,5,6,7,8,9 1:0,1,2";
        QTest::newRow("equal counts ascending")
            << "825" << 1 << 1 << 3 << "0:0,1,3,4,6,7,9 1:2,5,8";
        QTest::newRow("incomplete rows do not move the last draw")
            << "123 456 78-" << 2 << 1 << 3 << "0:0,7,8,9 1:1,2,3,4,5,6";
        // digit d drawn d times: ten different counts, eleven rows
        QString digits;
        for (int d = 1; d <= 9; ++d)
            digits += QString(d, QChar(u'0' + d));
        QString draws;
        for (int i = 0; i < digits.size(); i += 3)
            draws += digits.mid(i, 3) + u' ';
        QTest::newRow("ten different counts")
            << draws << 15 << 9 << 11 << "0:0 1:1 2:2 3:3 4:4 5:5 6:6 7:7 8:8 9:9";
    }
    void stats() {
        QFETCH(QString, history);
        QFETCH(int, lastDrawNo);
        QFETCH(int, maxCount);
        QFETCH(int, countRows);
        QFETCH(QString, groups);
        const StartupStats s = StartupStats::compute(test::history(history));
        QCOMPARE(s.lastDrawNo, lastDrawNo);
        QCOMPARE(s.maxCount, maxCount);
        QCOMPARE(s.countRows, countRows);
        if (!groups.isEmpty())
            QCOMPARE(digitsByCount(s), groups);
        if (history.isEmpty())
            QVERIFY(s.digitsByCount.empty());
    }

    void encryptedFile() {
        const QString path = freshPath();
        {
            Database db = openOrCreateDatabase(connectStringFor(path));
            db.exec("INSERT INTO 当選データ VALUES (1, 1, 2, 3, NULL)");
        }
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(!f.read(16).startsWith("SQLite format 3"));
        f.close();
        // A plain open without the key cannot read it.
        sqlite3* raw = nullptr;
        QCOMPARE(sqlite3_open(path.toUtf8().constData(), &raw), SQLITE_OK);
        QVERIFY(sqlite3_exec(raw, "SELECT count(*) FROM sqlite_master", nullptr, nullptr,
                             nullptr) != SQLITE_OK);
        sqlite3_close(raw);
        // With the program's key every row is there.
        Database db(connectStringFor(path), Database::Mode::OpenExisting);
        QCOMPARE(db.readHistory().size(), std::size_t(1));
        // SQLCipher 3's page format on every system, so that files move
        // between builds against SQLCipher 3 and 4.
        Statement pageSize = db.prepare("PRAGMA cipher_page_size");
        QVERIFY(pageSize.step());
        QCOMPARE(pageSize.columnInt(0), 1024);
    }

    void openFailures_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing file") << 0 << "見つかりません";
        QTest::newRow("wrong password") << 1 << "パスワードが違うか";
        QTest::newRow("not a database") << 2 << "パスワードが違うか";
        QTest::newRow("missing view") << 3 << "全データ選択クエリ";
    }
    void openFailures() {
        QFETCH(int, kind);
        QFETCH(QString, expected);
        const QString path = freshPath();
        ConnectString cs = connectStringFor(path);
        if (kind == 1) {
            openOrCreateDatabase(cs);
            cs.password = u"000000"_s;
        } else if (kind == 2) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(4096, 'x'));
        } else if (kind == 3) {
            openOrCreateDatabase(cs).exec("DROP VIEW 全データ選択クエリ");
        }
        try {
            Database db(cs, Database::Mode::OpenExisting);
            QFAIL("opened");
        } catch (const DbError& e) {
            QVERIFY2(e.message().contains(expected), qPrintable(e.message()));
            QVERIFY(e.message().contains(QFileInfo(path).fileName()));
        }
    }

    void constraintsKeepBadValuesOut_data() {
        QTest::addColumn<QString>("sql");
        QTest::newRow("digit 10") << "INSERT INTO 当選データ VALUES (1, 10, 2, 3, NULL)";
        QTest::newRow("negative digit") << "INSERT INTO 当選データ VALUES (1, -1, 2, 3, NULL)";
        QTest::newRow("fractional digit") << "INSERT INTO 当選データ VALUES (1, 1.5, 2, 3, NULL)";
        QTest::newRow("text digit") << "INSERT INTO 当選データ VALUES (1, 'a', 2, 3, NULL)";
        QTest::newRow("draw number 0") << "INSERT INTO 当選データ VALUES (0, 1, 2, 3, NULL)";
        QTest::newRow("draw number 32768")
            << "INSERT INTO 当選データ VALUES (32768, 1, 2, 3, NULL)";
    }
    void constraintsKeepBadValuesOut() {
        QFETCH(QString, sql);
        Database db = freshDb();
        try {
            db.exec(sql.toUtf8().constData());
            QFAIL("accepted");
        } catch (const DbError& e) {
            QCOMPARE(e.code(), SQLITE_CONSTRAINT);
        }
        QVERIFY(db.readHistory().empty());
    }

    void csvBadLines_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("reason");
        QTest::newRow("draw number not a number") << QByteArray("abc,1,2,3") << "回数";
        QTest::newRow("draw number 0") << QByteArray("0,1,2,3") << "回数";
        QTest::newRow("draw number too large") << QByteArray("32768,1,2,3") << "回数";
        QTest::newRow("digit 10") << QByteArray("5,10,2,3") << "第1数字";
        QTest::newRow("digit letter") << QByteArray("5,1,x,3") << "第2数字";
        QTest::newRow("digit -1") << QByteArray("5,1,2,-1") << "第3数字";
        QTest::newRow("too few columns") << QByteArray("5,1,2") << "列の数";
        QTest::newRow("too many columns") << QByteArray("5,1,2,3,2020-01-01,x") << "列の数";
        QTest::newRow("repeated draw number") << QByteArray("1,4,5,6") << "1行目";
        QTest::newRow("bad date") << QByteArray("5,1,2,3,yesterday") << "抽せん日";
    }
    void csvBadLines() {
        QFETCH(QByteArray, line);
        QFETCH(QString, reason);
        const CsvParse p = parseDrawCsv("1,1,2,3\n" + line + "\n2,4,5,6\n");
        QCOMPARE(p.errors.size(), 1);
        QVERIFY2(p.errors[0].startsWith(u"2行目"), qPrintable(p.errors[0]));
        QVERIFY2(p.errors[0].contains(reason), qPrintable(p.errors[0]));
    }

    void csvEncodingsAndShapes() {
        // Shift-JIS header, CRLF, an empty digit, no date column.
        const QByteArray data = encodeShiftJis(QString::fromUtf8(kCsvHeader)).value() +
                                "\r\n7,1,,3\r\n8,0,0,0,2001-02-03\r\n";
        const CsvParse p = parseDrawCsv(data);
        QVERIFY2(p.errors.isEmpty(), qPrintable(p.errors.join(u'\n')));
        QCOMPARE(p.draws.size(), std::size_t(2));
        QCOMPARE(p.draws[0].drawNo, 7);
        QCOMPARE(int(p.draws[0].digits[1]), -1);
        QCOMPARE(p.draws[1].date, u"2001-02-03"_s);
        QVERIFY(parseDrawCsv(QByteArray(kCsvHeader) + "\n").draws.empty());
        QVERIFY(parseDrawCsv("\xEF\xBB\xBF" + QByteArray(kCsvHeader) + "\n").errors.isEmpty());
    }

    void importIsAllOrNothingAndIdempotent() {
        Database db = freshDb();
        const CsvParse first = parseDrawCsv("1,1,2,3\n2,4,5,6\n3,7,8,\n");
        ImportResult r = importDraws(db, first.draws, false);
        QCOMPARE(r.added, 3);
        r = importDraws(db, first.draws, false);
        QCOMPARE(r.added, 0);
        QCOMPARE(r.unchanged, 3);

        // One conflicting draw: nothing of the file is written.
        const CsvParse second = parseDrawCsv("4,0,0,0\n2,9,9,9\n");
        r = importDraws(db, second.draws, false);
        QCOMPARE(r.errors.size(), 1);
        QVERIFY(r.errors[0].startsWith(u"2行目"));
        const DrawHistory h = db.readHistory();
        QCOMPARE(h.size(), std::size_t(3));
        QCOMPARE(int(h.rows()[1].digits[0]), 4);
        QVERIFY(!h.rows()[2].valid());

        r = importDraws(db, second.draws, true);
        QCOMPARE(r.added, 1);
        QCOMPARE(r.replaced, 1);
        QCOMPARE(int(db.readHistory().rows()[1].digits[0]), 9);
    }

    void exportImportRoundTrip() {
        Database a = freshDb();
        std::vector<CsvDraw> draws;
        for (const GeneratedDraw& g : generateDraws({200, 7, 9, 13})) {
            CsvDraw d;
            d.drawNo = g.row.drawNo;
            d.digits = g.row.digits;
            d.date = (g.row.drawNo % 5) ? g.date.toString(Qt::ISODate) : QString();
            draws.push_back(d);
        }
        QCOMPARE(importDraws(a, draws, false).added, int(draws.size()));
        const QByteArray exported = exportDrawCsv(a);
        Database b = freshDb();
        const CsvParse p = parseDrawCsv(exported);
        QVERIFY(p.errors.isEmpty());
        QCOMPARE(importDraws(b, p.draws, false).added, int(draws.size()));
        QCOMPARE(exportDrawCsv(b), exported);
    }

    void generatorIsReproducible() {
        const auto a = generateDraws({500, 42, 0, 0});
        const auto b = generateDraws({500, 42, 0, 0});
        QCOMPARE(a.size(), std::size_t(500));
        for (std::size_t i = 0; i < a.size(); ++i) {
            QCOMPARE(a[i].row.digits, b[i].row.digits);
            QVERIFY(a[i].date.dayOfWeek() <= 5);
        }
        QVERIFY(a.back().row.drawNo == 500);
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
