// peridon-cli when things go wrong around it: output that cannot be written,
// damaged or edited databases, odd command lines, imports racing each other.
#include "core/store/Database.h"
#include "support/CliRun.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace peridon;

class TestCliFaults : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_db; // a sample database shared by the read-only cases

    using Run = peridon::test::CliRun;
    static Run finish(QProcess& p) { return peridon::test::finishCli(p); }
    static Run cli(const QStringList& args, const QString& outFile = QString()) {
        return peridon::test::runCli(args, outFile);
    }
    QString file(const QString& name, const QByteArray& content) {
        return peridon::test::writeFile(m_dir.filePath(name), content);
    }

private slots:
    void initTestCase() {
        QVERIFY(QFile::exists(qEnvironmentVariable("PERIDON_CLI")));
        m_db = m_dir.filePath(u"sample.mdb"_s);
        QCOMPARE(cli({u"sample"_s, u"--draws"_s, u"2000"_s, u"--db"_s, m_db}).status, 0);
    }

    void helpIsNotAnError_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("--help") << QStringList{"--help"};
        QTest::newRow("-h") << QStringList{"-h"};
        QTest::newRow("command --help") << QStringList{"export", "--help"};
        QTest::newRow("--version") << QStringList{"--version"};
    }
    void helpIsNotAnError() {
        QFETCH(QStringList, args);
        const Run r = cli(args);
        QCOMPARE(r.status, 0);
        QVERIFY(r.err.isEmpty());
        if (args.first() == u"--version") {
            QCOMPARE(r.out, QByteArray("peridon-cli " PERIDON_VERSION "\n"));
            return;
        }
        QVERIFY(r.out.startsWith("使い方:"));
        // Every command and each of its options, from the table the parsers use.
        for (const char* line : {"peridon-cli import FILE [--replace] [--db PATH]",
                                 "peridon-cli backtest [--from N] [--to M] [--reflect R,R,...|all] "
                                 "[--db PATH] [--json]",
                                 "peridon-cli --version"})
            QVERIFY2(r.out.contains(line), line);
    }

    void doubtfulOptions_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty --db") << QStringList{"stats", "--db", ""} << "値が空";
        QTest::newRow("--db twice")
            << QStringList{"stats", "--db", "a.mdb", "--db", "b.mdb"} << "2回";
        QTest::newRow("flag twice")
            << QStringList{"import", "x.csv", "--replace", "--replace"} << "2回";
    }
    void doubtfulOptions() {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const Run r = cli(args);
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
    }

    void outputThatCannotBeWrittenFails_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("export") << QStringList{"export"};
        QTest::newRow("stats") << QStringList{"stats"};
        QTest::newRow("sheet") << QStringList{"sheet", "出現頻度分析"};
        QTest::newRow("help") << QStringList{"--help"};
    }
    void outputThatCannotBeWrittenFails() {
        if (!QFile::exists(u"/dev/full"_s))
            QSKIP("needs /dev/full (a device that is always full)");
        QFETCH(QStringList, args);
        QStringList full = args;
        if (args[0] != u"--help")
            full << u"--db"_s << m_db;
        const Run r = cli(full, u"/dev/full"_s);
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(u"書き込めませんでした"), qPrintable(r.err));
    }

    void closedPipeFails() {
        // The reader exits at once; the sheet is far larger than a pipe's
        // buffer, so the writer must meet the closed end.
#ifdef Q_OS_WIN
        // Under Wine /bin/bash exists (drive Z: is the Unix file system), but
        // the pipe it builds is no Windows pipe: the test would hang there.
        QSKIP("needs a POSIX shell to build the pipe");
#endif
        if (!QFile::exists(u"/bin/bash"_s))
            QSKIP("needs bash to build the pipe");
        QProcess p;
        p.start(u"/bin/bash"_s,
                {u"-c"_s, u"\"$0\" sheet 出現頻度分析 --db \"$1\" | true; exit ${PIPESTATUS[0]}"_s,
                 qEnvironmentVariable("PERIDON_CLI"), m_db});
        const Run r = finish(p);
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(u"書き込めませんでした"), qPrintable(r.err));
    }

    void importIntoDamagedDatabaseWritesNothing() {
        const QString db = m_dir.filePath(u"damaged.mdb"_s);
        QCOMPARE(cli({u"sample"_s, u"--draws"_s, u"7000"_s, u"--db"_s, db}).status, 0);
        {
            QFile f(db);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.seek(f.size() / 2 + 100));
            f.write(QByteArray(64, '\x5A'));
        }
        QFile f(db);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();
        const Run r = cli({u"import"_s, file(u"more.csv"_s, "9000,1,2,3\n"), u"--db"_s, db});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QString::fromUtf16(kDamagedMessage)), qPrintable(r.err));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }

    void exportNamesRowsItCannotWrite() {
        const QString db = m_dir.filePath(u"edited.mdb"_s);
        QCOMPARE(cli({u"import"_s, file(u"two.csv"_s, "1,1,2,3\n2,4,5,6\n"), u"--db"_s, db}).status,
                 0);
        {
            Database d(connectStringFor(db), Database::Mode::OpenExisting);
            d.exec("PRAGMA ignore_check_constraints = ON");
            d.exec("UPDATE 当選データ SET 第2数字 = 'x' WHERE 回数 = 2");
        }
        const Run r = cli({u"export"_s, u"--db"_s, db});
        QCOMPARE(r.status, 1);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(r.err.contains(u"回数2の第2数字「x」"), qPrintable(r.err));
    }

    void importRefusesWhatIsNotAFile() {
        const QString db = m_dir.filePath(u"never.mdb"_s);
        const Run r = cli({u"import"_s, m_dir.path(), u"--db"_s, db});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(u"通常のファイルではありません"), qPrintable(r.err));
        QVERIFY(!QFile::exists(db));
    }

    // Two imports making the same new database: each either succeeds or is
    // told the database is busy; neither sees a half-made file.
    void parallelImportsIntoNewDatabase() {
        QByteArray csv;
        for (int no = 1; no <= 2000; ++no)
            csv += QByteArray::number(no) + ",1,2,3\n";
        const QString source = file(u"many.csv"_s, csv);
        for (int round = 0; round < 5; ++round) {
            const QString db = m_dir.filePath(u"race%1.mdb"_s.arg(round));
            QProcess a, b;
            a.start(qEnvironmentVariable("PERIDON_CLI"), {u"import"_s, source, u"--db"_s, db});
            b.start(qEnvironmentVariable("PERIDON_CLI"), {u"import"_s, source, u"--db"_s, db});
            for (QProcess* p : {&a, &b}) {
                const Run r = finish(*p);
                QVERIFY2(r.status == 0 || r.err.contains(u"使用中"), qPrintable(r.err));
                QVERIFY2(!r.err.contains(u"パスワード"), qPrintable(r.err));
            }
            const Run stats = cli({u"stats"_s, u"--db"_s, db});
            QCOMPARE(stats.status, 0);
            QVERIFY(stats.out.contains("\"lastDrawNo\":2000"));
            QCOMPARE(QDir(m_dir.path()).entryList({u"race%1.mdb.*"_s.arg(round)}, QDir::Files),
                     QStringList());
        }
    }
};

QTEST_GUILESS_MAIN(TestCliFaults)
#include "tst_cli_faults.moc"
