// The entry table's writes: each reaches the file at once, refused writes
// change nothing, and the session backup holds the data as it was before.

#include "core/entry/EntryModel.h"
#include "core/store/Database.h"
#include "core/store/DrawTable.h"
#include "support/TestDatabase.h"
#include "support/TestHistory.h"
#include "support/WorkingDirectory.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "core/store/Sqlite.h"

using namespace Qt::StringLiterals;

using namespace peridon;

namespace {

ConnectString makeDatabase(const QTemporaryDir& dir, const QString& historyText) {
    return test::makeDatabase(dir.filePath(u"Numbers3Peridon.mdb"_s), historyText);
}

// The rows as one text: "1:123 2:4-6", "-" for an empty digit.
QString rowsText(const std::vector<EntryRow>& rows) {
    QStringList out;
    for (const EntryRow& row : rows) {
        QString digits;
        for (const QString& d : row.digits)
            digits += d.isEmpty() ? u"-"_s : d;
        out << u"%1:%2"_s.arg(row.drawNo).arg(digits);
    }
    return out.join(u' ');
}

QString storedText(const ConnectString& cs) {
    return test::storedRows(cs);
}

} // namespace

class TestDrawTable : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::useTemporaryWorkingDirectory(); }
    void readsEveryRowAsStored();
    void setDigitIsWrittenAtOnce_data();
    void setDigitIsWrittenAtOnce();
    void insertTakesSmallestFreeNumberAbove_data();
    void insertTakesSmallestFreeNumberAbove();
    void insertAboveTheLastNumberIsRefused();
    void insertDraw_data();
    void insertDraw();
    void deleteRemovesOnlyThatRow();
    void writesToMissingRowsAreRefused();
    void outOfRangeDigitIsRefusedBeforeWriting();
    void lockedDatabaseRefusesAndKeepsData();
    void fullDatabaseRefusesAndStaysSound();
    void backupHoldsDataFromBeforeFirstWrite();
    void backupReplacesOlderBackup();
    void entryModelKeepsItsContract();
};

void TestDrawTable::readsEveryRowAsStored() {
    QTemporaryDir dir;
    const ConnectString cs = makeDatabase(dir, u"1:123 2:4-6 5:--0"_s);
    {
        // Values the schema normally refuses, as a foreign file might hold them:
        // they are shown as stored so that the close check can find them.
        Database db(cs, Database::Mode::OpenExisting);
        db.exec("PRAGMA ignore_check_constraints = ON");
        db.exec("INSERT INTO 当選データ (回数, 第1数字, 第2数字, 第3数字) VALUES (7, 10, 1.5, -1)");
    }
    Database db(cs, Database::Mode::OpenExisting);
    const auto rows = DrawTable(db).readRows();
    QCOMPARE(rows.size(), std::size_t(4));
    QCOMPARE(rowsText({rows.begin(), rows.begin() + 3}), u"1:123 2:4-6 5:--0"_s);
    QVERIFY(rows[1].digits[1].isNull());
    QCOMPARE(rows[3].drawNo, 7);
    QCOMPARE(rows[3].digits[0], u"10"_s);
    QCOMPARE(rows[3].digits[1], u"1.5"_s);
    QCOMPARE(rows[3].digits[2], u"-1"_s);
}

void TestDrawTable::setDigitIsWrittenAtOnce_data() {
    QTest::addColumn<int>("drawNo");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("value"); // -1: empty
    QTest::addColumn<QString>("expected");
    QTest::newRow("first digit") << 1 << 0 << 9 << "1:923 2:4-6";
    QTest::newRow("fill an empty digit") << 2 << 1 << 0 << "1:123 2:406";
    QTest::newRow("clear a digit") << 1 << 2 << -1 << "1:12- 2:4-6";
}

void TestDrawTable::setDigitIsWrittenAtOnce() {
    QFETCH(int, drawNo);
    QFETCH(int, position);
    QFETCH(int, value);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const ConnectString cs = makeDatabase(dir, u"1:123 2:4-6"_s);
    Database db(cs, Database::Mode::OpenExisting);
    DrawTable table(db);
    table.setDigit(drawNo, position, value < 0 ? std::nullopt : std::optional<int>(value));
    // Another connection sees it while this one is still open: committed.
    QCOMPARE(storedText(cs), expected);
}

void TestDrawTable::insertTakesSmallestFreeNumberAbove_data() {
    QTest::addColumn<QString>("history");
    QTest::addColumn<int>("after");
    QTest::addColumn<int>("expected");
    QTest::newRow("after the last row") << "1:123 2:456 3:789" << 3 << 4;
    QTest::newRow("in the middle, run above") << "1:123 2:456 3:789" << 1 << 4;
    QTest::newRow("into a gap") << "1:123 2:456 5:789 6:111" << 2 << 3;
    QTest::newRow("run then gap") << "1:123 2:456 3:789 7:111" << 1 << 4;
    QTest::newRow("gap of one") << "1:123 3:456" << 1 << 2;
    QTest::newRow("empty table") << "" << 0 << 1;
    QTest::newRow("below the first row") << "5:123 6:456" << 0 << 1;
    QTest::newRow("the very last number") << "1:123 32766:456" << 32766 << 32767;
}

void TestDrawTable::insertTakesSmallestFreeNumberAbove() {
    QFETCH(QString, history);
    QFETCH(int, after);
    QFETCH(int, expected);
    QTemporaryDir dir;
    const ConnectString cs = makeDatabase(dir, history);
    Database db(cs, Database::Mode::OpenExisting);
    DrawTable table(db);
    QCOMPARE(table.freeDrawNoAfter(after), expected);
    QCOMPARE(table.insertBlankAfter(after), expected);
    const auto rows = DrawTable(db).readRows();
    const auto it = std::find_if(rows.begin(), rows.end(),
                                 [&](const EntryRow& r) { return r.drawNo == expected; });
    QVERIFY(it != rows.end());
    for (const QString& d : it->digits)
        QVERIFY(d.isNull()); // stored with empty digits: not a valid draw
    QCOMPARE(rows.size(), test::history(history).size() + 1);
}

void TestDrawTable::insertAboveTheLastNumberIsRefused() {
    QTemporaryDir dir;
    const ConnectString cs = makeDatabase(dir, u"32766:123 32767:456"_s);
    Database db(cs, Database::Mode::OpenExisting);
    DrawTable table(db);
    QVERIFY_THROWS_EXCEPTION(DbError, table.insertBlankAfter(32766));
    QCOMPARE(storedText(cs), u"32766:123 32767:456"_s);
}

void TestDrawTable::insertDraw_data() {
    QTest::addColumn<int>("drawNo");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("expected"); // empty: refused, nothing written
    QTest::newRow("first digit into a gap") << 2 << 0 << 7 << "1:123 2:7-- 3:456";
    QTest::newRow("third digit at the end") << 4 << 2 << 0 << "1:123 3:456 4:--0";
    QTest::newRow("number taken") << 3 << 1 << 5 << "";
    QTest::newRow("digit out of range") << 2 << 0 << 10 << "";
    QTest::newRow("position out of range") << 2 << 3 << 1 << "";
    QTest::newRow("number above the highest") << 32768 << 0 << 1 << "";
}

void TestDrawTable::insertDraw() {
    QFETCH(int, drawNo);
    QFETCH(int, position);
    QFETCH(int, value);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const ConnectString cs = makeDatabase(dir, u"1:123 3:456"_s);
    {
        Database db(cs, Database::Mode::OpenExisting);
        DrawTable table(db);
        if (expected.isEmpty())
            QVERIFY_THROWS_EXCEPTION(DbError, table.insertDraw(drawNo, position, value));
        else
            table.insertDraw(drawNo, position, value);
    }
    QCOMPARE(storedText(cs), expected.isEmpty() ? u"1:123 3:456"_s : expected);
}

void TestDrawTable::deleteRemovesOnlyThatRow() {
    QTemporaryDir dir;
    const ConnectString cs = makeDatabase(dir, u"1:123 2:456 3:789"_s);
    Database db(cs, Database::Mode::OpenExisting);
    DrawTable(db).deleteRow(2);
    QCOMPARE(storedText(cs), u"1:123 3:789"_s);
}

void TestDrawTable::writesToMissingRowsAreRefused() {
    QTemporaryDir dir;
    const ConnectString cs = makeDatabase(dir, u"1:123"_s);
    Database db(cs, Database::Mode::OpenExisting);
    DrawTable table(db);
    QVERIFY_THROWS_EXCEPTION(DbError, table.setDigit(2, 0, 5));
    QVERIFY_THROWS_EXCEPTION(DbError, table.deleteRow(2));
    QCOMPARE(storedText(cs), u"1:123"_s);
}

void TestDrawTable::outOfRangeDigitIsRefusedBeforeWriting() {
    QTemporaryDir dir;
    const ConnectString cs = makeDatabase(dir, u"1:123"_s);
    Database db(cs, Database::Mode::OpenExisting);
    DrawTable table(db);
    QVERIFY_THROWS_EXCEPTION(DbError, table.setDigit(1, 0, 10));
    QVERIFY_THROWS_EXCEPTION(DbError, table.setDigit(1, 0, -1));
    QVERIFY_THROWS_EXCEPTION(DbError, table.setDigit(1, 3, 1));
    QCOMPARE(storedText(cs), u"1:123"_s);
}

void TestDrawTable::lockedDatabaseRefusesAndKeepsData() {
    QTemporaryDir dir;
    const ConnectString cs = makeDatabase(dir, u"1:123"_s);
    Database other(cs, Database::Mode::OpenExisting);
    Database db(cs, Database::Mode::OpenExisting);
    DrawTable table(db);
    other.exec("BEGIN IMMEDIATE"); // another program is writing
    try {
        table.setDigit(1, 0, 7);
        QFAIL("a write to a locked database was reported as done");
    } catch (const DbError& e) {
        QCOMPARE(e.code(), SQLITE_BUSY);
        QVERIFY(e.message().contains(u"使用中"_s));
    }
    other.exec("ROLLBACK");
    QCOMPARE(storedText(cs), u"1:123"_s);
    table.setDigit(1, 0, 7); // works again once the lock is gone
    QCOMPARE(storedText(cs), u"1:723"_s);
}

void TestDrawTable::fullDatabaseRefusesAndStaysSound() {
    QTemporaryDir dir;
    const ConnectString cs = makeDatabase(dir, u"1:123"_s);
    Database db(cs, Database::Mode::OpenExisting);
    DrawTable table(db);
    table.setDigit(1, 0, 1);              // writes the backup first
    db.exec("PRAGMA max_page_count = 1"); // as small as it goes: the file is full
    bool refused = false;
    for (int i = 0; i < 5000 && !refused; ++i) {
        try {
            table.insertBlankAfter(1);
        } catch (const DbError& e) {
            refused = true;
            QCOMPARE(e.code(), SQLITE_FULL);
        }
    }
    QVERIFY(refused);
    Statement check = db.prepare("PRAGMA integrity_check");
    QVERIFY(check.step());
    QCOMPARE(check.columnText(0), u"ok"_s);
}

void TestDrawTable::backupHoldsDataFromBeforeFirstWrite() {
    QTemporaryDir dir;
    const ConnectString cs = makeDatabase(dir, u"1:123 2:456"_s);
    const QString bak = dir.filePath(u"Numbers3Peridon.bak"_s);
    QCOMPARE(DrawTable::backupPathFor(cs.path), bak);
    Database db(cs, Database::Mode::OpenExisting);
    DrawTable table(db);
    const auto before = table.readRows(); // reading writes nothing
    QVERIFY(!QFile::exists(bak));
    table.setDigit(1, 0, 9);
    QVERIFY(QFile::exists(DrawTable::backupPathFor(cs.path)));
    table.deleteRow(2); // later writes of the session leave the backup alone
    table.insertBlankAfter(1);
    QVERIFY(QFile::exists(bak));
    QVERIFY(!QFile::exists(bak + u".tmp"_s));
    // The backup is a database of its own with the same key and the old rows.
    QCOMPARE(storedText(connectStringFor(bak)), rowsText(before));
    QCOMPARE(storedText(cs), u"1:923 2:---"_s);
}

void TestDrawTable::backupReplacesOlderBackup() {
    QTemporaryDir dir;
    const ConnectString cs = makeDatabase(dir, u"1:123"_s);
    const QString bak = DrawTable::backupPathFor(cs.path);
    {
        Database db(cs, Database::Mode::OpenExisting);
        DrawTable(db).setDigit(1, 0, 4);
    }
    {
        // The next session backs up again, over the previous file.
        Database db(cs, Database::Mode::OpenExisting);
        DrawTable(db).setDigit(1, 0, 5);
    }
    QCOMPARE(storedText(connectStringFor(bak)), u"1:423"_s);
    QCOMPARE(storedText(cs), u"1:523"_s);
}

// The entry model through every kind of change, watched by Qt's model
// checker, which fails the test on any inconsistency it sees: rows inserted
// and removed without the matching signals, indexes or data that do not
// agree, changes reported for cells that did not change.
void TestDrawTable::entryModelKeepsItsContract() {
    QTemporaryDir dir;
    const ConnectString cs = makeDatabase(dir, u"1:123 2:4-6 5:789 32767:000"_s);
    EntryModel model(cs);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy refused(&model, &EntryModel::writeRefused);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QCOMPARE(model.rowCount(), 4);

    QVERIFY(model.setData(model.index(1, 2), u"5"_s));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.last().at(0).toModelIndex(), model.index(1, 2));
    QVERIFY(model.setData(model.index(0, 3), QString()));
    QVERIFY(!model.setData(model.index(0, 1), u"12"_s)); // not one digit
    QVERIFY(!model.setData(model.index(0, 0), u"9"_s));  // the draw number is not a digit cell
    QCOMPARE(model.addLineAfter(1), 2);                  // draw 3, after draw 2
    QCOMPARE(model.addLineAfter(-1), 3);                 // draw 4: 1 to 3 are taken
    const auto refusals = refused.count();
    QCOMPARE(model.addLineAfter(5), -1); // nothing comes after 32767
    QCOMPARE(refused.count(), refusals + 1);
    QVERIFY(model.deleteLine(0));
    QCOMPARE(model.rowCount(), 5);
    QCOMPARE(model.cellText(0, 0), u"2"_s);
    // Added lines reach the file with their first digit.
    QCOMPARE(storedText(cs), u"2:456 5:789 32767:000"_s);
}

QTEST_GUILESS_MAIN(TestDrawTable)
#include "tst_store_drawtable.moc"
