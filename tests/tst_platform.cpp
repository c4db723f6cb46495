// What differs between Windows and POSIX systems, checked the same way on
// both: a move that never replaces, standard output as UTF-8 bytes with bare
// line feeds, and a database in a folder with Japanese characters in its name.
#include "core/files/Platform.h"
#include "support/CliRun.h"
#include "support/WorkingDirectory.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace peridon;

namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool isUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

} // namespace

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::useTemporaryWorkingDirectory(); }

    void moveWithoutReplacing_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<bool>("sourceThere");
        QTest::addColumn<bool>("moved");
        QTest::newRow("free name") << u"new.mdb"_s << false << true << true;
        QTest::newRow("free Japanese name") << u"当選データ.mdb"_s << false << true << true;
        QTest::newRow("taken name") << u"new.mdb"_s << true << true << false;
        QTest::newRow("taken Japanese name") << u"当選データ.mdb"_s << true << true << false;
        QTest::newRow("no source") << u"new.mdb"_s << false << false << false;
    }
    void moveWithoutReplacing() {
        QFETCH(QString, target);
        QFETCH(bool, taken);
        QFETCH(bool, sourceThere);
        QFETCH(bool, moved);
        QTemporaryDir dir;
        const QString folder = QDir(dir.path()).filePath(u"フォルダー"_s);
        QVERIFY(QDir().mkpath(folder));
        const QString from = QDir(folder).filePath(u"一時.tmp"_s);
        const QString to = QDir(folder).filePath(target);
        if (sourceThere)
            QVERIFY(writeFile(from, "new contents"));
        if (taken)
            QVERIFY(writeFile(to, "old contents"));
        bool exists = true;
        QString problem;
        QCOMPARE(peridon::moveWithoutReplacing(from, to, exists, problem), moved);
        QCOMPARE(exists, taken);
        QCOMPARE(problem.isEmpty(), moved);
        if (moved) {
            QCOMPARE(readFile(to), QByteArray("new contents"));
            QVERIFY(!QFile::exists(from));
        } else if (taken) {
            // Both files are left as they were.
            QCOMPARE(readFile(to), QByteArray("old contents"));
            QCOMPARE(readFile(from), QByteArray("new contents"));
        }
    }

    // The program's output is the same bytes on every system: UTF-8, with
    // no CR added to a line feed, also when it goes to a file (Windows' C
    // runtime would add one in text mode). Messages are UTF-8 too.
    void outputIsUtf8WithBareLineFeeds() {
        QTemporaryDir dir;
        const QString folder = QDir(dir.path()).filePath(u"ナンバーズ　データ"_s);
        QVERIFY(QDir().mkpath(folder));
        const QString db = QDir(folder).filePath(u"当選番号.mdb"_s);
        QCOMPARE(test::runCli({u"sample"_s, u"--draws"_s, u"40"_s, u"--db"_s, db}).status, 0);

        const test::CliRun piped = test::runCli({u"sheet"_s, u"出現頻度分析"_s, u"--db"_s, db});
        QCOMPARE(piped.status, 0);
        QVERIFY(isUtf8(piped.out));
        QVERIFY(piped.out.contains(u"出現頻度分析"_s.toUtf8()));
        QVERIFY(piped.out.endsWith('\n'));
        QVERIFY(!piped.out.contains('\r'));

        const QString outFile = QDir(folder).filePath(u"出力.txt"_s);
        const test::CliRun toFile = test::runCli({u"export"_s, u"--db"_s, db}, outFile);
        QCOMPARE(toFile.status, 0);
        // The draw CSV ends its lines in CR LF itself; nothing is added.
        const QByteArray exported = readFile(outFile);
        QCOMPARE(exported.count('\n'), 41);
        QCOMPARE(exported.count("\r\n"), 41);
        QVERIFY(!exported.contains("\r\r"));
        QVERIFY(isUtf8(exported));

        const test::CliRun unknown = test::runCli({u"sheet"_s, u"ない分析"_s, u"--db"_s, db});
        QCOMPARE(unknown.status, 2);
        QVERIFY2(unknown.err.contains(u"不明なウィンドウです: ない分析"_s),
                 qPrintable(unknown.err));
        QVERIFY(!unknown.err.contains(u'\r'));
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
