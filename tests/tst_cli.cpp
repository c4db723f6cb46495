#include "support/CliRun.h"
#include "support/WorkingDirectory.h"
// peridon-cli run as a user runs it: exit statuses, messages and outputs.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestCli : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    using Run = peridon::test::CliRun;
    static Run cli(const QStringList& args) { return peridon::test::runCli(args); }
    QString file(const QString& name, const QByteArray& content) {
        return peridon::test::writeFile(m_dir.filePath(name), content);
    }

private slots:
    void initTestCase() {
        peridon::test::useTemporaryWorkingDirectory();
        QVERIFY(QFile::exists(qEnvironmentVariable("PERIDON_CLI")));
    }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no command") << QStringList{};
        QTest::newRow("unknown command") << QStringList{"frobnicate"};
        QTest::newRow("unknown option") << QStringList{"stats", "--verbose"};
        QTest::newRow("option without value") << QStringList{"stats", "--db"};
        QTest::newRow("bad draws") << QStringList{"sample", "--draws", "many"};
        QTest::newRow("unknown window") << QStringList{"sheet", "存在しない分析"};
    }
    void usageErrors() {
        QFETCH(QStringList, args);
        const Run r = cli(args);
        QCOMPARE(r.status, 2);
        QVERIFY(!r.err.isEmpty());
        QVERIFY(r.out.isEmpty());
    }

    void failuresAreReported_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing database")
            << QStringList{"stats", "--db", "/nonexistent/x.mdb"} << "見つかりません";
        QTest::newRow("missing csv")
            << QStringList{"import", "/nonexistent/x.csv", "--db", "/tmp/none.mdb"} << "読めません";
    }
    void failuresAreReported() {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const Run r = cli(args);
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
    }

    void importReportsEveryBadLineAndWritesNothing() {
        QByteArray csv = "回数,第1数字,第2数字,第3数字\n1,1,2,3\n";
        for (int i = 0; i < 25; ++i)
            csv += "x,1,2,3\n";
        const QString db = m_dir.filePath("bad.mdb");
        const Run r = cli({"import", file("bad.csv", csv), "--db", db});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.contains(u"25行"));
        QVERIFY(r.err.contains(u"3行目"));
        QVERIFY(r.err.contains(u"22行目"));
        QVERIFY(!r.err.contains(u"23行目")); // only the first twenty are listed
        QVERIFY(!QFile::exists(db));
    }

    void importStatsExportSample() {
        const QString db = m_dir.filePath("good.mdb");
        Run r = cli({"import", file("good.csv", "1,3,3,7\r\n2,1,2,\r\n"), "--db", db});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.contains("追加 2"));
        r = cli({"import", file("again.csv", "1,3,3,7\n"), "--db", db});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.contains("変更なし 1"));
        r = cli({"import", file("clash.csv", "1,3,3,8\n"), "--db", db});
        QCOMPARE(r.status, 1);
        r = cli({"import", file("clash.csv", "1,3,3,8\n"), "--db", db, "--replace"});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.contains("置き換え 1"));

        r = cli({"stats", "--db", db});
        QCOMPARE(r.status, 0);
        const QJsonObject stats = QJsonDocument::fromJson(r.out).object();
        QCOMPARE(stats["lastDrawNo"].toInt(), 1);
        QCOMPARE(stats["maxCount"].toInt(), 2);
        QCOMPARE(stats["countRows"].toInt(), 4);
        QCOMPARE(stats["digitsByCount"].toObject()["2"].toString(), u"3"_s);
        QCOMPARE(stats["digitCount"].toArray().size(), 10);

        r = cli({"export", "--db", db});
        QCOMPARE(r.status, 0);
        // The same writer as the menu command: CR LF.
        QCOMPARE(r.out,
                 QByteArray("回数,第1数字,第2数字,第3数字,抽せん日\r\n1,3,3,8,\r\n2,1,2,,\r\n"));

        const QString sample = m_dir.filePath("sample.mdb");
        QCOMPARE(cli({"sample", "--draws", "50", "--seed", "3", "--db", sample}).status, 0);
        r = cli({"sample", "--db", sample});
        QCOMPARE(r.status, 1); // never overwrites
        QVERIFY(r.err.contains(u"上書きしません"));
        QCOMPARE(QJsonDocument::fromJson(cli({"stats", "--db", sample}).out)["lastDrawNo"].toInt(),
                 50);
    }

    void initBuildsTheShippedHistoryAndNeverOverwrites() {
        QFile shipped(
            QDir(QCoreApplication::applicationDirPath()).filePath("numbers3-history.csv"));
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        const QByteArray history = shipped.readAll();
        QCOMPARE(history.count('\n'), 7055); // the header and draws 1 to 7054

        const QString db = m_dir.filePath("init.mdb");
        Run r = cli({"init", "--db", db});
        QCOMPARE(r.status, 0);
        r = cli({"export", "--db", db});
        QCOMPARE(r.status, 0);
        // Every digit and date, in the same form (lines end in CR LF).
        QCOMPARE(r.out, QByteArray(history).replace("\r\n", "\n").replace("\n", "\r\n"));

        QFile f(db);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray stored = f.readAll();
        f.close();
        r = cli({"init", "--db", db});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(u"上書きしません"), qPrintable(r.err));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), stored);
    }

    void headerOnlyMakesEmptyDatabase() {
        const QString db = m_dir.filePath("empty.mdb");
        QCOMPARE(
            cli({"import", file("h.csv", "回数,第1数字,第2数字,第3数字,抽せん日\n"), "--db", db})
                .status,
            0);
        const Run r = cli({"stats", "--db", db});
        QCOMPARE(r.status, 0);
        QCOMPARE(
            r.out.trimmed(),
            QByteArray(
                R"({"lastDrawNo":0,"digitCount":[0,0,0,0,0,0,0,0,0,0],"maxCount":0,"digitsByCount":{},"countRows":0})"));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
