// Bringing draws in: dates as people write them, lines copied from
// spreadsheets and results pages, what an import would change, writing it
// with the backup first, and a new database from a history file.
#include "core/store/DrawDate.h"
#include "core/store/DrawTable.h"
#include "core/store/DrawTextParser.h"
#include "core/store/ShippedHistory.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace peridon;

namespace {

QString write(const QString& path, const QByteArray& content) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(content);
    return path;
}

CsvDraw draw(int no, const char* digits, const QString& date = {}) {
    CsvDraw d;
    d.drawNo = no;
    for (int k = 0; k < 3; ++k)
        d.digits[std::size_t(k)] = std::int8_t(digits[k] - '0');
    d.date = date;
    return d;
}

QString dateOf(const ConnectString& cs, int drawNo) {
    Database db(cs, Database::Mode::OpenExisting);
    Statement st = db.prepare("SELECT 抽せん日 FROM 当選データ WHERE 回数 = ?1");
    st.bind(1, drawNo);
    return st.step() ? st.columnText(0) : u"(none)"_s;
}

} // namespace

class TestStoreImport : public QObject {
    Q_OBJECT

private slots:
    // The numbers new draws leave missing after the last stored one.
    void missingDraws_data() {
        QTest::addColumn<int>("lastStored");
        QTest::addColumn<QList<int>>("incoming");
        QTest::addColumn<QString>("missing");
        QTest::newRow("next draw") << 7057 << QList<int>{7058} << QString();
        QTest::newRow("one run") << 7057 << QList<int>{7070} << u"第7058回～第7069回"_s;
        QTest::newRow("one draw") << 7057 << QList<int>{7059} << u"第7058回"_s;
        QTest::newRow("runs, unsorted, repeated")
            << 10 << QList<int>{15, 12, 12, 11} << u"第13回～第14回"_s;
        QTest::newRow("between incoming")
            << 10 << QList<int>{11, 13, 20} << u"第12回、第14回～第19回"_s;
        QTest::newRow("below the last fills") << 100 << QList<int>{5, 50, 101} << QString();
        QTest::newRow("nothing stored") << 0 << QList<int>{3, 4, 6} << u"第5回"_s;
        QTest::newRow("nothing incoming") << 5 << QList<int>{} << QString();
        QTest::newRow("many runs") << 0 << QList<int>{1, 3, 5, 7, 9, 11, 13, 15}
                                   << u"第2回、第4回、第6回、第8回、第10回（ほか2か所）"_s;
    }
    void missingDraws() {
        QFETCH(int, lastStored);
        QFETCH(QList<int>, incoming);
        QFETCH(QString, missing);
        const auto gaps =
            missingDrawsAfter(lastStored, std::vector<int>(incoming.begin(), incoming.end()));
        QCOMPARE(missingDrawsText(gaps), missing);
    }

    void dates_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored"); // empty: refused
        QTest::newRow("iso") << u"2026-08-24"_s << u"2026-08-24"_s;
        QTest::newRow("iso short") << u"2026-8-4"_s << u"2026-08-04"_s;
        QTest::newRow("slashes") << u"2026/08/24"_s << u"2026-08-24"_s;
        QTest::newRow("slashes short") << u"2026/8/24"_s << u"2026-08-24"_s;
        QTest::newRow("japanese") << u"2026年8月24日"_s << u"2026-08-24"_s;
        QTest::newRow("japanese padded") << u"1994年10月07日"_s << u"1994-10-07"_s;
        QTest::newRow("spaces around") << u" 2026/08/24 "_s << u"2026-08-24"_s;
        QTest::newRow("leap day") << u"2024/2/29"_s << u"2024-02-29"_s;
        QTest::newRow("no such day") << u"2026-02-30"_s << QString();
        QTest::newRow("not a leap year") << u"2026/2/29"_s << QString();
        QTest::newRow("month 13") << u"2026/13/01"_s << QString();
        QTest::newRow("mixed separators") << u"2026/08-24"_s << QString();
        QTest::newRow("day first") << u"24/08/2026"_s << QString();
        QTest::newRow("two-digit year") << u"26/08/24"_s << QString();
        QTest::newRow("japanese without 日") << u"2026年8月24"_s << QString();
        QTest::newRow("trailing text") << u"2026-08-24x"_s << QString();
        QTest::newRow("full-width digits") << u"２０２６/08/24"_s << QString();
        QTest::newRow("empty") << QString() << QString();
    }
    void dates() {
        QFETCH(QString, text);
        QFETCH(QString, stored);
        QCOMPARE(normaliseDrawDate(text).value_or(QString()), stored);
    }

    void lines_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("drawNo"); // 0: refused
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("date");
        QTest::newRow("tabs") << u"7055\t1\t2\t3"_s << 7055 << u"123"_s << QString();
        QTest::newRow("commas with date")
            << u"7055,0,2,9,2026-08-24"_s << 7055 << u"029"_s << u"2026-08-24"_s;
        QTest::newRow("spaces") << u"7055 1 2 3"_s << 7055 << u"123"_s << QString();
        QTest::newRow("number and string") << u"7055 123"_s << 7055 << u"123"_s << QString();
        QTest::newRow("leading zero digits") << u"12\t007"_s << 12 << u"007"_s << QString();
        QTest::newRow("spreadsheet with date column")
            << u"7055\t2026/8/24\t1\t2\t3"_s << 7055 << u"123"_s << u"2026-08-24"_s;
        QTest::newRow("results page")
            << u"第7055回 2026/08/24 123"_s << 7055 << u"123"_s << u"2026-08-24"_s;
        QTest::newRow("results page japanese date")
            << u"第7055回 (2026年8月24日) 1 2 3"_s << 7055 << u"123"_s << u"2026-08-24"_s;
        QTest::newRow("weekday") << u"第7055回 2026年8月24日(月) 456"_s << 7055 << u"456"_s
                                 << u"2026-08-24"_s;
        QTest::newRow("full-width") << u"第７０５５回　２０２６／０８／２４　１２３"_s << 7055
                                    << u"123"_s << u"2026-08-24"_s;
        QTest::newRow("trailing CR and spaces")
            << u"  7055 123 \r"_s << 7055 << u"123"_s << QString();
        QTest::newRow("highest number") << u"32767 999"_s << 32767 << u"999"_s << QString();

        QTest::newRow("words") << u"ナンバーズ3の結果"_s << 0 << QString() << QString();
        QTest::newRow("number only") << u"7055"_s << 0 << QString() << QString();
        QTest::newRow("two digits") << u"7055 12"_s << 0 << QString() << QString();
        QTest::newRow("four digits") << u"7055 1 2 3 4"_s << 0 << QString() << QString();
        QTest::newRow("four-digit string") << u"7055 1234"_s << 0 << QString() << QString();
        QTest::newRow("digit 10") << u"7055 1 10 3"_s << 0 << QString() << QString();
        QTest::newRow("bad date") << u"7055 2026/13/45 123"_s << 0 << QString() << QString();
        QTest::newRow("draw 0") << u"0 123"_s << 0 << QString() << QString();
        QTest::newRow("draw too high") << u"32768 123"_s << 0 << QString() << QString();
        QTest::newRow("date first") << u"2026/08/24 7055 123"_s << 0 << QString() << QString();
        QTest::newRow("letters among digits") << u"7055 1 a 3"_s << 0 << QString() << QString();
    }
    void lines() {
        QFETCH(QString, line);
        QFETCH(int, drawNo);
        QFETCH(QString, digits);
        QFETCH(QString, date);
        QString reason;
        const std::optional<CsvDraw> d = parseDrawLine(line, reason);
        if (drawNo == 0) {
            QVERIFY2(!d, qPrintable(line));
            QVERIFY(!reason.isEmpty());
            return;
        }
        QVERIFY2(d, qPrintable(reason));
        QCOMPARE(d->drawNo, drawNo);
        QCOMPARE(digitsText(d->digits).remove(u' '), digits);
        QCOMPARE(d->date, date);
    }

    void textNamesEveryBadLine() {
        const CsvParse p = parseDrawText(u"回数\t第1数字\t第2数字\t第3数字\r\n"
                                         "7055\t1\t2\t3\r\n"
                                         "\r\n"
                                         "合計\r\n"
                                         "7056 456\r\n"
                                         "7055 999\r\n"
                                         "7057 2026/02/30 111"_s);
        QCOMPARE(p.draws.size(), std::size_t(2));
        QCOMPARE(p.draws[0].line, 2);
        QCOMPARE(p.draws[1].drawNo, 7056);
        QCOMPARE(p.draws[1].line, 5);
        QCOMPARE(p.errors.size(), 3);
        QVERIFY2(p.errors[0].startsWith(u"4行目") && p.errors[0].contains(u"合計"),
                 qPrintable(p.errors[0]));
        QVERIFY2(p.errors[1].startsWith(u"6行目") && p.errors[1].contains(u"2行目"),
                 qPrintable(p.errors[1]));
        QVERIFY2(p.errors[2].startsWith(u"7行目") && p.errors[2].contains(u"2026/02/30"),
                 qPrintable(p.errors[2]));
    }

    void csvDatesAreStoredInOneForm() {
        const CsvParse p =
            parseDrawCsv("1,1,2,3,2026/8/24\n2,4,5,6,2026年8月25日\n3,7,8,9,\n4,0,0,0,8/26/2026\n");
        QCOMPARE(p.draws.size(), std::size_t(3));
        QCOMPARE(p.draws[0].date, u"2026-08-24"_s);
        QCOMPARE(p.draws[1].date, u"2026-08-25"_s);
        QCOMPARE(p.draws[2].date, QString());
        QCOMPARE(p.errors.size(), 1);
        QVERIFY2(p.errors[0].startsWith(u"4行目") && p.errors[0].contains(u"8/26/2026"),
                 qPrintable(p.errors[0]));
    }

    void planSortsNewIdenticalAndDiffering() {
        QTemporaryDir dir;
        const ConnectString cs =
            test::makeDatabase(dir.filePath(u"a.mdb"_s), u"1:123 2:456 3:7-9"_s);
        {
            Database db(cs, Database::Mode::OpenExisting);
            db.exec("UPDATE 当選データ SET 抽せん日 = '2026-01-02' WHERE 回数 = 2");
        }
        Database db(cs, Database::Mode::OpenExisting);
        const std::vector<CsvDraw> incoming{
            draw(1, "123"),                  // identical, no date given
            draw(2, "456", u"2026-01-02"_s), // identical with its date
            draw(2, "456", u"2026-01-03"_s), // the date differs
            draw(1, "124"),                  // a digit differs
            draw(3, "789"),                  // fills an empty digit
            draw(4, "000"),                  // new
        };
        const ImportPlan plan = DrawTable(db).plan(incoming);
        QCOMPARE(plan.identical, 2);
        QCOMPARE(plan.added.size(), std::size_t(1));
        QCOMPARE(plan.added[0].drawNo, 4);
        QCOMPARE(plan.differing.size(), std::size_t(3));
        QCOMPARE(plan.differing[0].stored.date, u"2026-01-02"_s);
        QCOMPARE(plan.differing[0].incoming.date, u"2026-01-03"_s);
        QCOMPARE(digitsText(plan.differing[1].stored.digits), u"1 2 3"_s);
        QCOMPARE(digitsText(plan.differing[2].stored.digits), u"7 - 9"_s);
        QCOMPARE(plan.drawsToWrite(false).size(), std::size_t(1));
        QCOMPARE(plan.drawsToWrite(true).size(), std::size_t(4));
        // The write (peridon-cli import) compares as the preview did.
        const ImportResult written = importDraws(db, incoming, true);
        QCOMPARE(written.unchanged, plan.identical);
        QCOMPARE(written.added, 1);
        QCOMPARE(written.replaced, 3);
    }

    void writeBacksUpFirstAndReplacesOnlyWhenAsked() {
        QTemporaryDir dir;
        const ConnectString cs = test::makeDatabase(dir.filePath(u"a.mdb"_s), u"1:123 2:456"_s);
        const QString backup = DrawTable::backupPathFor(cs.path);
        {
            Database db(cs, Database::Mode::OpenExisting);
            DrawTable table(db);
            // Without replace a differing draw refuses the whole write.
            const ImportResult refused =
                table.writeDraws({draw(3, "789"), draw(2, "456", u"2026-01-03"_s)}, false);
            QCOMPARE(refused.errors.size(), 1);
            QVERIFY2(refused.errors[0].contains(u"抽せん日"), qPrintable(refused.errors[0]));
        }
        QCOMPARE(test::storedRows(cs), u"1:123 2:456"_s);
        QVERIFY(QFile::exists(backup));
        QCOMPARE(test::storedRows(connectStringFor(backup)), u"1:123 2:456"_s);

        {
            Database db(cs, Database::Mode::OpenExisting);
            const ImportResult r = DrawTable(db).writeDraws(
                {draw(3, "789"), draw(2, "456", u"2026-01-03"_s), draw(1, "120")}, true);
            QVERIFY(r.errors.isEmpty());
            QCOMPARE(r.added, 1);
            QCOMPARE(r.replaced, 2);
        }
        QCOMPARE(test::storedRows(cs), u"1:120 2:456 3:789"_s);
        QCOMPARE(dateOf(cs, 2), u"2026-01-03"_s);
        // A line without a date keeps the date that is stored.
        {
            Database db(cs, Database::Mode::OpenExisting);
            QCOMPARE(DrawTable(db).writeDraws({draw(2, "457")}, true).replaced, 1);
        }
        QCOMPARE(dateOf(cs, 2), u"2026-01-03"_s);
    }

    void newDatabaseFromHistoryFile() {
        QTemporaryDir dir;
        const QString csv = write(dir.filePath(u"h.csv"_s),
                                  "回数,第1数字,第2数字,第3数字,抽せん日\n1,1,9,1,1994-10-07\n"
                                  "2,9,8,8,1994-10-14\n");
        const QString db = dir.filePath(u"new.mdb"_s);
        createDatabaseFromHistoryFile(db, csv);
        QCOMPARE(test::storedRows(connectStringFor(db)), u"1:191 2:988"_s);
        QCOMPARE(dateOf(connectStringFor(db), 2), u"1994-10-14"_s);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no temporary file left
    }

    void newDatabaseRefusals_data() {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<bool>("dbExists");
        QTest::addColumn<QString>("message");
        QTest::newRow("file exists") << QByteArray("1,1,2,3\n") << true << u"上書きしません"_s;
        QTest::newRow("bad line") << QByteArray("1,1,2,3\n2,x,2,3\n") << false << u"2行目"_s;
        QTest::newRow("missing history") << QByteArray() << false << u"読めません"_s;
    }
    void newDatabaseRefusals() {
        QFETCH(QByteArray, csv);
        QFETCH(bool, dbExists);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString csvPath =
            csv.isEmpty() ? dir.filePath(u"none.csv"_s) : write(dir.filePath(u"h.csv"_s), csv);
        const QString db = dir.filePath(u"new.mdb"_s);
        if (dbExists)
            write(db, "precious");
        const QStringList before = QDir(dir.path()).entryList(QDir::Files);
        try {
            createDatabaseFromHistoryFile(db, csvPath);
            QFAIL("no error");
        } catch (const DbError& e) {
            QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), before);
        if (dbExists) {
            QFile f(db);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), QByteArray("precious"));
        }
    }
};

QTEST_GUILESS_MAIN(TestStoreImport)
#include "tst_store_import.moc"
