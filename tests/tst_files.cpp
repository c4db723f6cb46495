// Publishing a file: what may stand under the target's name, what is left
// after a failure, the permissions of what is published, and the backup
// names of databases that share a folder.
#include "core/files/Platform.h"
#include "core/files/PublishFile.h"
#include "core/store/DrawTable.h"
#include "core/store/QuotedInput.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

#ifndef Q_OS_WIN
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;
using namespace peridon;

namespace {

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

void write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

#ifndef Q_OS_WIN
unsigned modeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 0777 : 0;
}
#endif

} // namespace

class TestFiles : public QObject {
    Q_OBJECT

private slots:
    // Whatever stands under the name, what may receive the file does, and
    // anything else is left as it was with a message naming what it is. No
    // temporary file is left either way.
    void onlyARegularFileIsReplaced_data() {
        QTest::addColumn<QString>("what");
        QTest::addColumn<bool>("published");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing") << u"missing"_s << true << QString();
        QTest::newRow("a regular file") << u"regular"_s << true << QString();
        QTest::newRow("a folder") << u"folder"_s << false << u"フォルダー"_s;
#ifndef Q_OS_WIN
        QTest::newRow("a link to a file") << u"link"_s << true << QString();
        QTest::newRow("a link to nothing") << u"dangling"_s << true << QString();
        QTest::newRow("a link to a folder") << u"link-folder"_s << false << u"フォルダー"_s;
        QTest::newRow("a named pipe") << u"fifo"_s << false << u"名前付きパイプ"_s;
        QTest::newRow("a link to a pipe") << u"link-fifo"_s << false << u"名前付きパイプ"_s;
        QTest::newRow("a socket") << u"socket"_s << false << u"特殊なファイル"_s;
        QTest::newRow("a device") << u"device"_s << false << u"デバイス"_s;
        QTest::newRow("a link loop") << u"loop"_s << false << u"シンボリックリンク"_s;
#endif
    }
    void onlyARegularFileIsReplaced() {
        QFETCH(QString, what);
        QFETCH(bool, published);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString name = dir.filePath(u"出力.pdf"_s);
        const QString real = dir.filePath(u"本体.pdf"_s);
        [[maybe_unused]] int socketFd = -1; // no sockets on Windows
        if (what == u"regular")
            write(name, "old");
        if (what == u"link" || what == u"dangling") {
            if (what == u"link")
                write(real, "old");
            QVERIFY(QFile::link(u"本体.pdf"_s, name)); // relative to the folder
        }
        if (what == u"folder" || what == u"link-folder")
            QVERIFY(QDir(dir.path()).mkdir(what == u"folder" ? u"出力.pdf"_s : u"本体.pdf"_s));
#ifndef Q_OS_WIN
        if (what == u"link-folder" || what == u"link-fifo")
            QVERIFY(QFile::link(real, name));
        if (what == u"fifo" || what == u"link-fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(what == u"fifo" ? name : real).constData(), 0600),
                     0);
        if (what == u"socket") {
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            const QByteArray path = QFile::encodeName(name);
            QVERIFY(std::size_t(path.size()) < sizeof(address.sun_path));
            std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
            socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            QCOMPARE(::bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        }
        const auto closeSocket = qScopeGuard([&] {
            if (socketFd >= 0)
                ::close(socketFd);
        });
        if (what == u"device" &&
            ::mknod(QFile::encodeName(name).constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
            QSKIP("no right to make a device node here");
        if (what == u"loop") {
            QVERIFY(QFile::link(dir.filePath(u"b"_s), name));
            QVERIFY(QFile::link(name, dir.filePath(u"b"_s)));
        }
#endif
        const QStringList before =
            QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
        const FileKind kindBefore = fileKindAt(name);

        const PublishResult r = publishBytes(name, "new", PublishOptions{.kind = u"PDFファイル"_s});
        QCOMPARE(r.ok(), published);
        QStringList after =
            QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
        if (published) {
            // Through a link the file it names is written; the link stays.
            QCOMPARE(contents(name), QByteArray("new"));
            QCOMPARE(fileKindAt(name), what == u"missing" ? FileKind::Regular : kindBefore);
            after.removeAll(what == u"dangling" ? u"本体.pdf"_s : QString());
            after.removeAll(what == u"missing" ? u"出力.pdf"_s : QString());
        } else {
            QVERIFY2(r.message().startsWith(u"PDFファイルを保存できません。"),
                     qPrintable(r.message()));
            QVERIFY2(r.message().contains(message), qPrintable(r.message()));
            QCOMPARE(fileKindAt(name), kindBefore);
        }
        QCOMPARE(after, before);
    }

    // Documents get what a new file gets; private files and their backups
    // are the owner's alone; a replaced document keeps its permissions.
    void permissions() {
#ifdef Q_OS_WIN
        QSKIP("permission bits are POSIX");
#else
        QTemporaryDir dir;
        const mode_t oldMask = ::umask(022);
        const QString doc = dir.filePath(u"doc.csv"_s);
        QVERIFY(publishBytes(doc, "a").ok());
        QCOMPARE(modeOf(doc), 0644u);
        QVERIFY(QFile::setPermissions(doc, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ReadGroup | QFileDevice::WriteGroup));
        QVERIFY(publishBytes(doc, "b").ok());
        QCOMPARE(modeOf(doc), 0660u);
        const QString priv = dir.filePath(u"settings.ini"_s);
        QVERIFY(publishBytes(priv, "a", PublishOptions{.privateFile = true}).ok());
        QCOMPARE(modeOf(priv), 0600u);
        ::umask(oldMask);
#endif
    }

    // Without replacing, a file under the name is never touched.
    void keepingRefusesATakenName() {
        QTemporaryDir dir;
        const QString name = dir.filePath(u"a.mdb"_s);
        write(name, "theirs");
        const PublishResult r = publishBytes(name, "mine", PublishOptions{.replace = false});
        QVERIFY(!r.ok());
        QVERIFY(r.nameTaken());
        QCOMPARE(contents(name), QByteArray("theirs"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"a.mdb"_s});
    }

    // A writer that gives up leaves what was there; an exception from a
    // builder goes on to the caller and leaves no temporary file.
    void failuresLeaveTheOldFile() {
        QTemporaryDir dir;
        const QString name = dir.filePath(u"a.png"_s);
        write(name, "old");
        const PublishResult r = publishWith(name, [](QFile& f, QString& problem) {
            f.write("half");
            problem = u"途中で失敗"_s;
            return false;
        });
        QVERIFY(!r.ok());
        QVERIFY(r.message().contains(u"途中で失敗"));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 publishBuilt(name, [](const QString&, QString&) -> bool {
                                     throw std::runtime_error("stop");
                                 }));
        QCOMPARE(contents(name), QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"a.png"_s});
    }

    // Each database's backup is its own: the plain name while no other file
    // would get it, else the whole name with .bak added.
    void backupNames_data() {
        QTest::addColumn<QStringList>("others");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("backup");
        QTest::newRow("default") << QStringList{u"Numbers3Peridon.mdb-journal"_s,
                                                u"Numbers3Peridon.bak"_s,
                                                u"Numbers3Peridon.mdb.old"_s}
                                 << u"Numbers3Peridon.mdb"_s << u"Numbers3Peridon.bak"_s;
        QTest::newRow("two names") << QStringList{u"b.mdb"_s} << u"a.mdb"_s << u"a.bak"_s;
        QTest::newRow("same name, other extension")
            << QStringList{u"a.db"_s} << u"a.mdb"_s << u"a.mdb.bak"_s;
        QTest::newRow("the other one") << QStringList{u"a.mdb"_s} << u"a.db"_s << u"a.db.bak"_s;
        QTest::newRow("no extension beside one") << QStringList{u"a.mdb"_s} << u"a"_s << u"a.bak"_s;
        QTest::newRow("one beside no extension")
            << QStringList{u"a"_s} << u"a.mdb"_s << u"a.mdb.bak"_s;
        QTest::newRow("a database named .bak") << QStringList{} << u"a.bak"_s << u"a.bak.bak"_s;
        QTest::newRow("Japanese") << QStringList{u"試験用.mdb"_s} << u"本番.mdb"_s << u"本番.bak"_s;
    }
    void backupNames() {
        QFETCH(QStringList, others);
        QFETCH(QString, database);
        QFETCH(QString, backup);
        QTemporaryDir dir;
        for (const QString& o : others)
            write(dir.filePath(o), "x");
        write(dir.filePath(database), "x");
        QCOMPARE(QFileInfo(DrawTable::backupPathFor(dir.filePath(database))).fileName(), backup);
    }

    // Control and format characters from a file or a command line never
    // reach a terminal or a message as they are, and a long quote is cut.
    void quotedInput_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("plain") << u"7055,1,2,3"_s << u"7055,1,2,3"_s;
        QTest::newRow("escape sequence") << u"\x1b[2J7055"_s << u"\\x1b[2J7055"_s;
        QTest::newRow("C1 control") << u"a\u009bb"_s << u"a\\x9bb"_s;
        QTest::newRow("bell, tab, CR, LF") << u"\a\t\r\n"_s << u"\\x07\\x09\\x0d\\x0a"_s;
        QTest::newRow("right-to-left override") << u"a\u202eb"_s << u"a\\u202eb"_s;
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << u"\\ud800"_s;
        QTest::newRow("emoji stays") << u"当選😀"_s << u"当選😀"_s;
        QTest::newRow("cut at 80") << QString(100, u'あ') << QString(80, u'あ') + u"…"_s;
        QTest::newRow("80 kept") << QString(80, u'1') << QString(80, u'1');
    }
    void quotedInput() {
        QFETCH(QString, input);
        QFETCH(QString, quoted);
        QCOMPARE(quoteInput(input), quoted);
    }
};

QTEST_GUILESS_MAIN(TestFiles)
#include "tst_files.moc"
