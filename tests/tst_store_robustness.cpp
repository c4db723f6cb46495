// The store against odd files and faults: damaged databases, values another
// program wrote, new files that must appear whole and private, Japanese
// paths, and CSV input that is huge, endless or not a file at all.
#include "core/files/Platform.h"
#include "core/store/Database.h"
#include "core/store/DrawCsv.h"
#include "core/store/DrawImport.h"
#include "core/store/Generator.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "core/store/Sqlite.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;
using namespace peridon;
using peridon::test::openOrCreateDatabase;

namespace {

std::vector<CsvDraw> sampleDraws(int count) {
    GeneratorOptions opt;
    opt.draws = count;
    opt.seed = 11;
    std::vector<CsvDraw> draws;
    for (const GeneratedDraw& g : generateDraws(opt)) {
        CsvDraw d;
        d.drawNo = g.row.drawNo;
        d.digits = g.row.digits;
        draws.push_back(d);
    }
    return draws;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Overwrites bytes in the middle of the file: a data page, not the first.
void damage(const QString& path) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    const qint64 size = f.size();
    QVERIFY(size > 64 * 1024);
    QVERIFY(f.seek(size / 2 + 100));
    f.write(QByteArray(64, '\x5A'));
}

bool ownerOnly(const QString& path) {
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    return (st.st_mode & 0777) == 0600;
#else
    Q_UNUSED(path);
    return true;
#endif
}

} // namespace

class TestStoreRobustness : public QObject {
    Q_OBJECT

private slots:
    // A new file takes its name only when the name is free: a file another
    // process made there meanwhile is never replaced or truncated.
    void moveNeverReplacesAFile_data() {
        QTest::addColumn<bool>("taken");
        QTest::newRow("name free") << false;
        QTest::newRow("name taken") << true;
    }
    void moveNeverReplacesAFile() {
        QFETCH(bool, taken);
        QTemporaryDir dir;
        const QString from = dir.filePath(u"new.tmp"_s);
        const QString to = dir.filePath(u"Numbers3Peridon.mdb"_s);
        const auto write = [](const QString& path, const QByteArray& bytes) {
            QFile f(path);
            return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
        };
        QVERIFY(write(from, "new"));
        if (taken)
            QVERIFY(write(to, "someone else's database"));
        bool exists = false;
        QString problem;
        QCOMPARE(moveWithoutReplacing(from, to, exists, problem), !taken);
        QCOMPARE(exists, taken);
        QCOMPARE(problem.isEmpty(), !taken);
        QCOMPARE(readAll(to), taken ? QByteArray("someone else's database") : QByteArray("new"));
        QCOMPARE(QFile::exists(from), taken);
    }

    void damagedDatabaseIsNeitherReadNorWritten() {
        QTemporaryDir dir;
        const ConnectString cs = connectStringFor(dir.filePath(u"damaged.mdb"_s));
        {
            Database db = openOrCreateDatabase(cs);
            importDraws(db, sampleDraws(7000), false);
        }
        damage(cs.path);
        const QByteArray before = readAll(cs.path);

        QString readMessage;
        try {
            Database db(cs, Database::Mode::OpenExisting);
            db.readHistory();
        } catch (const DbError& e) {
            readMessage = e.message();
        }
        QVERIFY2(readMessage.contains(QString::fromUtf16(kDamagedMessage)),
                 qPrintable(readMessage));

        try {
            Database db(cs, Database::Mode::OpenExisting);
            std::vector<CsvDraw> more = sampleDraws(1);
            more[0].drawNo = 9000;
            importDraws(db, more, false);
            QFAIL("imported into a damaged database");
        } catch (const DbError& e) {
            QCOMPARE(e.message(), QString::fromUtf16(kDamagedMessage));
        }
        QCOMPARE(readAll(cs.path), before);
    }

    // Rows another program wrote past the table's checks are named, never
    // exported as something else.
    void exportRefusesValuesTheTableDoesNotAllow_data() {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<QString>("expected");
        QTest::newRow("digit 12") << QByteArray("7, 12, 1, 2, NULL") << "回数7の第1数字「12」";
        QTest::newRow("digit -1") << QByteArray("8, 1, -1, 2, NULL") << "回数8の第2数字「-1」";
        QTest::newRow("text digit") << QByteArray("9, 1, 2, 'x', NULL") << "回数9の第3数字「x」";
        QTest::newRow("real digit") << QByteArray("10, 2.5, 1, 2, NULL") << "回数10の第1数字";
        QTest::newRow("draw number 0") << QByteArray("0, 1, 2, 3, NULL") << "回数0";
        QTest::newRow("date with a line break")
            << QByteArray("11, 1, 2, 3, '2020-01-01' || char(10) || '99,9,9,9'")
            << "回数11の抽せん日";
        QTest::newRow("date as bytes") << QByteArray("12, 1, 2, 3, X'00FF'") << "回数12の抽せん日";
    }
    void exportRefusesValuesTheTableDoesNotAllow() {
        QFETCH(QByteArray, row);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        Database db = openOrCreateDatabase(connectStringFor(dir.filePath(u"edited.mdb"_s)));
        db.exec("INSERT INTO 当選データ VALUES (1, 1, 2, 3, '2020-01-01')");
        db.exec("PRAGMA ignore_check_constraints = ON");
        db.exec(("INSERT INTO 当選データ VALUES (" + row + ")").constData());
        db.exec("PRAGMA ignore_check_constraints = OFF");
        try {
            exportDrawCsv(db);
            QFAIL("exported");
        } catch (const DbError& e) {
            QVERIFY2(e.message().contains(expected), qPrintable(e.message()));
            QVERIFY(!e.message().contains(u"回数1の"));
        }
    }

    void newDatabaseAppearsWholeAndPrivate() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"new.mdb"_s);
        {
            QVERIFY(createDatabaseWithDraws(path, {}));
            Database db(connectStringFor(path), Database::Mode::OpenExisting);
            db.exec("INSERT INTO 当選データ VALUES (1, 1, 2, 3, NULL)");
            QVERIFY(ownerOnly(path));
            db.backupTo(dir.filePath(u"new.bak"_s));
        }
        QVERIFY(ownerOnly(dir.filePath(u"new.bak"_s)));
        // No temporary file is left behind.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
                 (QStringList{u"new.bak"_s, u"new.mdb"_s}));
        // An existing database is never replaced.
        QVERIFY_THROWS_EXCEPTION(DbError, createDatabaseWithDraws(path, {}));
        Database again(connectStringFor(path), Database::Mode::OpenExisting);
        QCOMPARE(again.readHistory().size(), std::size_t(1));
    }

    void createFailureLeavesNothing() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"missing-folder/new.mdb"_s);
        QVERIFY_THROWS_EXCEPTION(DbError, createDatabaseWithDraws(path, {}));
        QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    }

    // SQLite takes UTF-8 names: the file must exist under exactly the name
    // given, Japanese folders included.
    void japanesePath() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(u"当選データ フォルダ"_s));
        const QString folder = dir.filePath(u"当選データ フォルダ"_s);
        const QString path = QDir(folder).filePath(u"当選データ.mdb"_s);
        {
            Database db = openOrCreateDatabase(connectStringFor(path));
            importDraws(db, sampleDraws(3), false);
            db.backupTo(QDir(folder).filePath(u"控え.bak"_s));
        }
        QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name),
                 (QStringList{u"当選データ.mdb"_s, u"控え.bak"_s}));
        Database db(connectStringFor(path), Database::Mode::OpenExisting);
        QCOMPARE(db.readHistory().size(), std::size_t(3));
        Database bak(connectStringFor(QDir(folder).filePath(u"控え.bak"_s)),
                     Database::Mode::OpenExisting);
        QCOMPARE(bak.readHistory().size(), std::size_t(3));
    }

    void csvLineEnds_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("LF") << QByteArray("1,1,2,3\n2,4,5,6\n");
        QTest::newRow("CR LF") << QByteArray("1,1,2,3\r\n2,4,5,6\r\n");
        QTest::newRow("CR") << QByteArray("1,1,2,3\r2,4,5,6\r");
        QTest::newRow("mixed, no final end") << QByteArray("1,1,2,3\r2,4,5,6\r\n\n");
    }
    void csvLineEnds() {
        QFETCH(QByteArray, data);
        const CsvParse p = parseDrawCsv(data);
        QVERIFY2(p.errors.isEmpty(), qPrintable(p.errors.join(u'\n')));
        QCOMPARE(p.draws.size(), std::size_t(2));
        QCOMPARE(p.draws[1].drawNo, 2);
        QCOMPARE(p.draws[1].line, 2);
    }

    void csvHeaderOnlyWhenNoNumber_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("draws");
        QTest::addColumn<int>("errors");
        QTest::newRow("usual header")
            << QByteArray("回数,第1数字,第2数字,第3数字\n1,1,2,3\n") << 1 << 0;
        QTest::newRow("other header") << QByteArray("No.,a,b,c,date\n1,1,2,3\n") << 1 << 0;
        QTest::newRow("first line is data") << QByteArray("5,1,2,3\n6,4,5,6\n") << 2 << 0;
        QTest::newRow("header after blank lines")
            << QByteArray("\n\n回数,a,b,c\n1,1,2,3\n") << 1 << 0;
        QTest::newRow("second header is an error")
            << QByteArray("回数,a,b,c\n1,1,2,3\n回数,a,b,c\n") << 1 << 1;
        QTest::newRow("header after data is an error")
            << QByteArray("1,1,2,3\n回数,a,b,c\n") << 1 << 1;
    }
    void csvHeaderOnlyWhenNoNumber() {
        QFETCH(QByteArray, data);
        QFETCH(int, draws);
        QFETCH(int, errors);
        const CsvParse p = parseDrawCsv(data);
        QCOMPARE(int(p.draws.size()), draws);
        QCOMPARE(int(p.errorCount), errors);
    }

    void csvLimits() {
        // An overlong line is one error; the lines after it are still read.
        QByteArray data = "1,1,2,3\n" + QByteArray(kCsvLineBytes + 1, '7') + "\n2,4,5,6\n";
        CsvParse p = parseDrawCsv(data);
        QCOMPARE(p.draws.size(), std::size_t(2));
        QCOMPARE(p.errors, QStringList{u"2行目: 行が長すぎます（1024バイトまで）"_s});

        // Many bad lines: all are counted, only the first are kept.
        data = "1,1,2,3\n";
        for (int i = 0; i < 5000; ++i)
            data += "x,1,2,3\n";
        p = parseDrawCsv(data);
        QCOMPARE(p.errorCount, qsizetype(5000));
        QCOMPARE(p.errors.size(), kCsvErrorsKept);
        QVERIFY(p.errors.first().startsWith(u"2行目"));

        // A line that is neither UTF-8 nor Shift-JIS is named.
        p = parseDrawCsv("1,1,2,3\n2,4,5,6,\x81\n3,7,8,9\n");
        QCOMPARE(p.draws.size(), std::size_t(2));
        QCOMPARE(p.errors.size(), 1);
        QVERIFY2(p.errors[0].startsWith(u"2行目: 文字コード"), qPrintable(p.errors[0]));
    }

    void csvFileRefusals_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing") << "missing"
                                 << "ファイルがありません";
        QTest::newRow("folder") << "folder"
                                << "通常のファイルではありません";
        QTest::newRow("too big") << "big"
                                 << "大きすぎます";
#ifdef Q_OS_UNIX
        QTest::newRow("FIFO") << "fifo"
                              << "通常のファイルではありません";
        QTest::newRow("device") << "device"
                                << "通常のファイルではありません";
#endif
    }
    void csvFileRefusals() {
        QFETCH(QString, kind);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QString path = dir.filePath(u"draws.csv"_s);
        if (kind == u"folder") {
            QVERIFY(QDir(dir.path()).mkdir(u"draws.csv"_s));
        } else if (kind == u"big") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(kCsvFileBytes + 1)); // sparse: no real disk space
        } else if (kind == u"fifo") {
#ifdef Q_OS_UNIX
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
        } else if (kind == u"device") {
            path = u"/dev/zero"_s;
        }
        // A FIFO with no writer would block a plain open for ever.
        const CsvParse p = readDrawCsvFile(path);
        QVERIFY(p.unreadable);
        QVERIFY(p.draws.empty());
        QCOMPARE(p.errors.size(), 1);
        QVERIFY2(p.errors[0].contains(expected), qPrintable(p.errors[0]));
    }

    void csvFileIsRead() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"抽せん結果.csv"_s);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\xEF\xBB\xBF回数,第1数字,第2数字,第3数字\r1,1,2,3\r2,4,5,6\r");
        f.close();
        const CsvParse p = readDrawCsvFile(path);
        QVERIFY(!p.unreadable);
        QCOMPARE(p.errorCount, qsizetype(0));
        QCOMPARE(p.draws.size(), std::size_t(2));
    }
};

QTEST_GUILESS_MAIN(TestStoreRobustness)
#include "tst_store_robustness.moc"
