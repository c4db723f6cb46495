// peridon-cli where data could be lost or misreported: imports that must
// round-trip, databases that must be made whole or not at all, names that
// must not be written through, and messages that must say what happened.
#include "support/CliRun.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

namespace {

using peridon::test::CliRun;

CliRun cli(const QStringList& args, const QString& outFile = QString()) {
    return peridon::test::runCli(args, outFile);
}

// Runs script under sh with a small file system of its own mounted at $1,
// in a mount namespace of its own, so nothing is left mounted; nullopt when
// this machine does not allow it.
std::optional<CliRun> onFullDisk(const QString& folder, const QString& size,
                                 const QString& script) {
#ifdef Q_OS_LINUX
    QProcess p;
    p.start(u"unshare"_s, {u"-m"_s, u"sh"_s, u"-c"_s,
                           u"mount -t tmpfs -o size=%1 tmpfs \"$1\" || exit 77\n"
                           "echo mounted >&2\n"_s.arg(size) +
                               script,
                           u"sh"_s, folder});
    CliRun r = peridon::test::finishCli(p);
    // Without the right to mount (or without unshare) the test has no disk
    // to fill.
    if (!r.err.startsWith(u"mounted\n"))
        return std::nullopt;
    return r;
#else
    Q_UNUSED(folder);
    Q_UNUSED(size);
    Q_UNUSED(script);
    return std::nullopt;
#endif
}

} // namespace

class TestCliReliability : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString file(const QString& name, const QByteArray& content) {
        return peridon::test::writeFile(m_dir.filePath(name), content);
    }
    QByteArray read(const QString& name) {
        QFile f(m_dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void initTestCase() { QVERIFY(QFile::exists(qEnvironmentVariable("PERIDON_CLI"))); }

    // What export writes, import takes back without a change; a new draw is
    // added once, after a backup of the database as it was; --replace
    // counts only the rows that differ.
    void importRoundTrips() {
        const QString db = m_dir.filePath(u"実データ.mdb"_s);
        QCOMPARE(cli({u"init"_s, u"--db"_s, db}).status, 0);
        const QString exported = m_dir.filePath(u"書き出し.csv"_s);
        QCOMPARE(cli({u"export"_s, u"--db"_s, db}, exported).status, 0);

        CliRun r = cli({u"import"_s, exported, u"--db"_s, db});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QByteArray("追加 0 行、置き換え 0 行、変更なし 7054 行\n"));
        QVERIFY(!QFile::exists(m_dir.filePath(u"実データ.bak"_s))); // nothing was written

        const QByteArray all = read(u"書き出し.csv"_s);
        file(u"一回多い.csv"_s, all + "7055,1,2,3,2026-08-24\r\n");
        r = cli({u"import"_s, m_dir.filePath(u"一回多い.csv"_s), u"--db"_s, db});
        QCOMPARE(r.out, QByteArray("追加 1 行、置き換え 0 行、変更なし 7054 行\n"));
        QCOMPARE(cli({u"stats"_s, u"--db"_s, m_dir.filePath(u"実データ.bak"_s)}).out.left(20),
                 QByteArray("{\"lastDrawNo\":7054,\""));
        r = cli({u"import"_s, m_dir.filePath(u"一回多い.csv"_s), u"--db"_s, db});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QByteArray("追加 0 行、置き換え 0 行、変更なし 7055 行\n"));

        file(u"訂正.csv"_s, all.left(all.indexOf("\n2,") + 1) + "2,9,9,9\n7055,1,2,3\n");
        r = cli({u"import"_s, m_dir.filePath(u"訂正.csv"_s), u"--db"_s, db, u"--replace"_s});
        QCOMPARE(r.out, QByteArray("追加 0 行、置き換え 1 行、変更なし 2 行\n"));

        // Draws left out after the last one are named, and the import goes on.
        r = cli({u"import"_s, file(u"飛び.csv"_s, "7058,1,1,1\n7070,2,2,2\n"), u"--db"_s, db});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QByteArray("追加 2 行、置き換え 0 行、変更なし 0 行\n"));
        QVERIFY2(r.err.contains(u"第7056回～第7057回、第7059回～第7069回がありません"),
                 qPrintable(r.err));
    }

    // Everything the entry window's paste reads, the import reads too.
    void importReadsThePastedForms() {
        const QString db = m_dir.filePath(u"貼り付け.mdb"_s);
        const CliRun r =
            cli({u"import"_s,
                 file(u"結果.txt"_s, "7055 123\n第7056回 2026/08/25 456\n7057\t7\t8\t9\n"
                                     "第7058回 (2026年8月27日) 1 2 3\n"),
                 u"--db"_s, db});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QByteArray("追加 4 行、置き換え 0 行、変更なし 0 行\n"));
        QVERIFY2(
            r.err.contains(u"新しいデータベースを作成しました: "_s + QDir::toNativeSeparators(db)),
            qPrintable(r.err));
    }

    // A zero-length file is not a database to fill, and a database is made
    // whole or not at all: a full disk leaves no file behind.
    void noHalfMadeDatabases() {
        file(u"空.mdb"_s, QByteArray());
        CliRun r = cli(
            {u"import"_s, file(u"a.csv"_s, "1,1,2,3\n"), u"--db"_s, m_dir.filePath(u"空.mdb"_s)});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(u"空です"), qPrintable(r.err));
        QCOMPARE(QFileInfo(m_dir.filePath(u"空.mdb"_s)).size(), 0);

        const QString small = m_dir.filePath(u"small"_s);
        QVERIFY(QDir(m_dir.path()).mkdir(u"small"_s));
        const auto full = onFullDisk(small, u"64k"_s,
                                     u"\"$PERIDON_CLI\" sample --draws 32767 --db \"$1/s.mdb\"\n"
                                     "echo \"status $?\" >&2; ls -A \"$1\"\n"_s);
        if (!full)
            QSKIP("no small file system can be mounted here");
        QVERIFY2(full->err.contains(u"status 1"), qPrintable(full->err));
        QCOMPARE(full->out, QByteArray());
    }

    // New databases never take a name another user can prepare: a file
    // planted under the old fixed temporary name is neither used nor
    // removed, and of two runs at once one makes the database.
    void initTakesNoPreparedName() {
        const QString db = m_dir.filePath(u"共有.mdb"_s);
        file(u"共有.mdb.init-tmp"_s, "planted");
        QProcess first;
        QProcess second;
        for (QProcess* p : {&first, &second})
            p->start(qEnvironmentVariable("PERIDON_CLI"), {u"init"_s, u"--db"_s, db});
        const CliRun a = peridon::test::finishCli(first);
        const CliRun b = peridon::test::finishCli(second);
        QCOMPARE(QList<int>({a.status, b.status}) == QList<int>({0, 1}) ||
                     QList<int>({a.status, b.status}) == QList<int>({1, 0}),
                 true);
        QVERIFY2((a.status ? a : b).err.contains(u"既にあります"),
                 qPrintable((a.status ? a : b).err));
        QCOMPARE(read(u"共有.mdb.init-tmp"_s), QByteArray("planted"));
        QCOMPARE(cli({u"stats"_s, u"--db"_s, db}).status, 0);
        QStringList left = QDir(m_dir.path()).entryList({u"共有*"_s}, QDir::Files);
        QCOMPARE(left, (QStringList{u"共有.mdb"_s, u"共有.mdb.init-tmp"_s}));
    }

    // Nothing is written through a name that holds anything but a regular
    // file; the message says what is there.
    void namesThatAreNotFiles_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("message");
        QTest::newRow("pdf over a pipe")
            << QStringList{u"pdf"_s, u"出現頻度分析"_s, u"@"_s} << u"fifo"_s << u"名前付きパイプ"_s;
        QTest::newRow("init over a folder")
            << QStringList{u"init"_s, u"--db"_s, u"@"_s} << u"folder"_s << u"フォルダー"_s;
        QTest::newRow("init over a pipe")
            << QStringList{u"init"_s, u"--db"_s, u"@"_s} << u"fifo"_s << u"名前付きパイプ"_s;
    }
    void namesThatAreNotFiles() {
#ifdef Q_OS_WIN
        QSKIP("named pipes are POSIX");
#else
        QFETCH(QStringList, args);
        QFETCH(QString, what);
        QFETCH(QString, message);
        const QString db = m_dir.filePath(u"pdf用.mdb"_s);
        if (!QFile::exists(db))
            QCOMPARE(cli({u"sample"_s, u"--draws"_s, u"50"_s, u"--db"_s, db}).status, 0);
        QTemporaryDir dir;
        const QString name = dir.filePath(u"出力"_s);
        if (what == u"fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(name).constData(), 0600), 0);
        else
            QVERIFY(QDir(dir.path()).mkdir(u"出力"_s));
        args.replaceInStrings(u"@"_s, name);
        if (args.first() == u"pdf")
            args << u"--db"_s << db;
        const CliRun r = cli(args);
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        const QFileInfo after(name);
        QVERIFY(what == u"fifo" ? !after.isFile() && after.exists() : after.isDir());
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                 QStringList{u"出力"_s});
        if (args.first() == u"pdf") {
            // And a full disk is named as such.
            const auto full = onFullDisk(
                dir.path(), u"8k"_s,
                u"\"$PERIDON_CLI\" pdf 出現頻度分析 \"$1/x.pdf\" --db \"%1\"\n"_s.arg(db));
            if (full)
                QVERIFY2(full->err.contains(u"ディスクの空きがありません"), qPrintable(full->err));
        }
#endif
    }

    // Words and lines from the user are quoted with their control
    // characters shown, never passed to the terminal; the bad word is named.
    void messagesQuoteSafely_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("shown");
        QTest::newRow("an unknown short option") << QStringList{u"stats"_s, u"-x"_s} << u"-x"_s;
        QTest::newRow("an escape on the command line")
            << QStringList{u"stats"_s, u"\x1b[31mred"_s} << u"\\x1b[31mred"_s;
        QTest::newRow("an unknown window")
            << QStringList{u"sheet"_s, u"\x1b]0;title\a"_s} << u"\\x1b]0;title\\x07"_s;
        QTest::newRow("a C1 control in a line")
            << QStringList{u"import"_s, u"@csv"_s} << u"\\x9b"_s;
    }
    void messagesQuoteSafely() {
        QFETCH(QStringList, args);
        QFETCH(QString, shown);
        args.replaceInStrings(u"@csv"_s, file(u"制御.csv"_s, "1,1,2,\xC2\x9B"
                                                             "31m\n"));
        args << u"--db"_s << m_dir.filePath(u"無害.mdb"_s);
        const CliRun r = cli(args);
        QVERIFY(r.status != 0);
        QVERIFY2(r.err.contains(shown), qPrintable(r.err));
        for (const QChar c : r.err)
            QVERIFY2(c.unicode() >= 0x20 || c == u'\n', qPrintable(r.err));
        QVERIFY(!r.err.contains(QChar(0x9b)));
    }

    // When the draws were stored and only the report could not be written,
    // the command says so and ends with its own status.
    void storedButNotReported() {
#ifdef Q_OS_LINUX
        const QString db = m_dir.filePath(u"報告.mdb"_s);
        const CliRun r = cli({u"import"_s, file(u"b.csv"_s, "1,1,2,3\n2,4,5,6\n"), u"--db"_s, db},
                             u"/dev/full"_s);
        QCOMPARE(r.status, 3);
        QVERIFY2(r.err.contains(u"取り込みは完了しました。結果の表示に失敗しました"),
                 qPrintable(r.err));
        QCOMPARE(cli({u"export"_s, u"--db"_s, db}).out,
                 QByteArray("回数,第1数字,第2数字,第3数字,抽せん日\r\n1,1,2,3,\r\n2,4,5,6,\r\n"));
#else
        QSKIP("/dev/full is Linux's");
#endif
    }

    // A data folder others may write to is pointed out, and the command
    // goes on.
    void sharedFolderIsPointedOut() {
#ifdef Q_OS_WIN
        QSKIP("permission bits are POSIX");
#else
        QVERIFY(QDir(m_dir.path()).mkdir(u"共有フォルダー"_s));
        const QString folder = m_dir.filePath(u"共有フォルダー"_s);
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0777), 0);
        const QString db = folder + u"/x.mdb"_s;
        CliRun r = cli({u"sample"_s, u"--draws"_s, u"20"_s, u"--db"_s, db});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.err.contains(u"ほかの利用者も書き込めます"), qPrintable(r.err));
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
        r = cli({u"stats"_s, u"--db"_s, db});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
#endif
    }
};

QTEST_GUILESS_MAIN(TestCliReliability)
#include "tst_cli_reliability.moc"
