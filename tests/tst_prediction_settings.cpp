// The prediction options' settings file: what is read from it, the exact
// bytes written to it and how it is replaced.
#include "core/prediction/PredictionSettings.h"
#include "core/store/TextEncoding.h"
#include "support/WorkingDirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

using namespace peridon;

namespace {

QByteArray sjis(const QString& text) {
    return encodeShiftJis(text).value();
}

ReflectFlags flagsFrom(const QString& bits) {
    ReflectFlags f{};
    for (int i = 0; i < kOptionCount && i < bits.size(); ++i)
        f[std::size_t(i)] = bits[i] == u'1';
    return f;
}

QString bitsOf(const ReflectFlags& f) {
    QString s;
    for (bool b : f)
        s += b ? u'1' : u'0';
    return s;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool writeRaw(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QString settingsIn(const QTemporaryDir& dir) {
    return dir.filePath(QString::fromUtf16(kSettingsFileName));
}

// The same options as a file this program writes, and as an editor saves it.
const QString kThreeOn =
    u"頻度分析Opt=True\r\n出現回数分析Opt=True\r\n分割データ分析Opt=True\r\n"_s;

// Puts what a case names under the settings file's name; the target of a
// link is "target.ini" beside it. False when this system cannot make it.
bool makeSettings(const QTemporaryDir& dir, const QString& what) {
    const QString path = settingsIn(dir);
    if (what == u"missing")
        return true;
    if (what == u"Shift-JIS")
        return writeRaw(path, sjis(kThreeOn));
    if (what == u"UTF-8")
        return writeRaw(path, QString(kThreeOn).replace(u"\r\n"_s, u"\n"_s).toUtf8());
    if (what == u"UTF-8 with BOM")
        return writeRaw(path, "\xEF\xBB\xBF" + kThreeOn.toUtf8());
    if (what == u"unknown line")
        return writeRaw(path, sjis(kThreeOn + u"[色]\r\n背景=青\r\n"_s));
    if (what == u"unreadable value")
        return writeRaw(path, sjis(kThreeOn + u"間隔分析Opt=はい\r\n"_s));
    if (what == u"undecodable")
        return writeRaw(path, sjis(kThreeOn) + QByteArray("\x82\xFF\xFF\r\n"));
    if (what == u"oversize") {
        QByteArray big = sjis(kThreeOn);
        while (big.size() <= kMaxSettingsBytes)
            big += big;
        return writeRaw(path, big);
    }
    if (what == u"folder")
        return QDir(dir.path()).mkdir(QString::fromUtf16(kSettingsFileName));
#ifdef Q_OS_UNIX
    if (what == u"symlink")
        return writeRaw(dir.filePath(u"target.ini"_s), sjis(kThreeOn)) &&
               QFile::link(dir.filePath(u"target.ini"_s), path);
    if (what == u"dangling symlink")
        return QFile::link(dir.filePath(u"target.ini"_s), path);
    if (what == u"FIFO")
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
#endif
    return false;
}

// Runs work on a thread of its own and waits a bounded time for it, so that
// a call that blocks fails the test instead of hanging it. A FIFO under
// path is opened for writing afterwards to release a blocked reader.
bool finishesWithoutBlocking(const std::function<void()>& work, const QString& fifo = {}) {
    auto done = std::make_shared<std::atomic_bool>(false);
    std::unique_ptr<QThread> thread(QThread::create([work, done] {
        work();
        *done = true;
    }));
    thread->start();
    const bool finished = QTest::qWaitFor([&] { return done->load(); }, 5000);
#ifdef Q_OS_UNIX
    if (!finished && !fifo.isEmpty()) {
        const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
    }
#else
    Q_UNUSED(fifo);
#endif
    thread->wait();
    return finished;
}

} // namespace

class TestPredictionSettings : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::useTemporaryWorkingDirectory(); }
    void missingFileLeavesEveryFlagFalse();
    void decode_data();
    void decode();
    void decodeKeepsEarlierFlags();
    void writesExactShiftJisBytes();
    void roundTrip();
    void replaceGoesThroughANewFile();
    void failedWriteKeepsTheOldFile();
    void load_data();
    void load();
    void save_data();
    void save();
    void devicesAreReadWithoutBlocking();
    void backupIsNeverReplaced();
};

void TestPredictionSettings::missingFileLeavesEveryFlagFalse() {
    QTemporaryDir dir;
    ReflectFlags flags{};
    QVERIFY(!readSettingsFile(dir.filePath(QString::fromUtf16(kSettingsFileName)), flags));
    QCOMPARE(bitsOf(flags), u"0000000000"_s);
}

void TestPredictionSettings::decode_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("all ten in order")
        << u"頻度分析Opt=True\r\n間隔分析Opt=False\r\n出現回数分析Opt=True\r\n"
           "バラツキ分析Opt=False\r\n引っ張り分析Opt=True\r\n連番飛び石分析Opt=False\r\n"
           "数字合計分析Opt=True\r\n組合せパターン分析Opt=False\r\n5分割傾向分析Opt=True\r\n"
           "分割データ分析Opt=True\r\n"_s
        << "1010101011";
    QTest::newRow("other order")
        << u"分割データ分析Opt=True\r\n頻度分析Opt=True\r\n引っ張り分析Opt=True\r\n"_s
        << "1000100001";
    QTest::newRow("last line wins") << u"間隔分析Opt=True\r\n間隔分析Opt=False\r\nバラツキ分析Opt="
                                       "False\r\nバラツキ分析Opt=True\r\n"_s
                                    << "0001000000";
    QTest::newRow("unknown and extra lines")
        << u"[設定]\r\n\r\n不明Opt=True\r\n頻度分析=True\r\n出現回数分析Opt=True\r\n"_s
        << "0010000000";
    // The caption of option 8 says 4 groups but its key says 5.
    QTest::newRow("key of option 8")
        << u"4分割傾向分析Opt=True\r\n5分割傾向分析Opt=True\r\n"_s << "0000000010";
    QTest::newRow("keys are case-sensitive and exact")
        << u"頻度分析opt=True\r\n 間隔分析Opt=True\r\n出現回数分析Opt =True\r\n"_s << "0000000000";
    QTest::newRow("numbers")
        << u"頻度分析Opt=-1\r\n間隔分析Opt=0\r\n出現回数分析Opt=1\r\nバラツキ分析Opt=2.5\r\n"_s
        << "1011000000";
    QTest::newRow("malformed values change nothing")
        << u"頻度分析Opt=Yes\r\n間隔分析Opt=\r\n出現回数分析Opt\r\nバラツキ分析Opt=True\r\n"_s
        << "0001000000";
    QTest::newRow("LF and CR line ends")
        << u"頻度分析Opt=True\n間隔分析Opt=True\r引っ張り分析Opt=True"_s << "1100100000";
}

void TestPredictionSettings::decode() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    ReflectFlags flags{};
    decodeSettings(sjis(text), flags);
    QCOMPARE(bitsOf(flags), expected);
}

// A key missing from the file, or a line that cannot be read, leaves the
// flag as it was.
void TestPredictionSettings::decodeKeepsEarlierFlags() {
    ReflectFlags flags = flagsFrom("1111111111");
    decodeSettings(sjis(u"間隔分析Opt=False\r\n頻度分析Opt=abc\r\n"_s), flags);
    QCOMPARE(bitsOf(flags), u"1011111111"_s);
}

void TestPredictionSettings::writesExactShiftJisBytes() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromUtf16(kSettingsFileName));
    QVERIFY(saveSettingsFile(path, flagsFrom("1000000010")).ok);
    const QByteArray expected = QByteArray::fromHex(
        "9570937895aa90cd4f70743d547275650d0a8ad48a7595aa90cd4f70743d46616c73650d0a8f6f8cbb89f190"
        "9495aa90cd4f70743d46616c73650d0a836f83898363834c95aa90cd4f70743d46616c73650d0a88f882c192"
        "a382e895aa90cd4f70743d46616c73650d0a984194d494f282d190ce95aa90cd4f70743d46616c73650d0a90"
        "948e9a8d878c7695aa90cd4f70743d46616c73650d0a91678d8782b98370835e815b839395aa90cd4f70743d"
        "46616c73650d0a3595aa8a848c588cfc95aa90cd4f70743d547275650d0a95aa8a848366815b835e95aa90cd"
        "4f70743d46616c73650d0a");
    QCOMPARE(readAll(path), expected);
}

void TestPredictionSettings::roundTrip() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"設定.ini"_s);
    // A file read in any order is written back as ten lines in index order.
    QVERIFY(writeRaw(path, sjis(u"分割データ分析Opt=True\r\n数字合計分析Opt=1\r\n"_s)));
    ReflectFlags flags{};
    QVERIFY(readSettingsFile(path, flags));
    QVERIFY(saveSettingsFile(path, flags).ok);
    const QByteArray written = readAll(path);
    QCOMPARE(written.count("\r\n"), 10);
    QVERIFY(written.startsWith(sjis(u"頻度分析Opt=False\r\n"_s)));
    QVERIFY(written.endsWith(sjis(u"分割データ分析Opt=True\r\n"_s)));
    ReflectFlags again{};
    QVERIFY(readSettingsFile(path, again));
    QCOMPARE(bitsOf(again), u"0000001001"_s);
}

// The old file is never truncated in place: a second name for it still holds
// the old contents after the write, and no temporary file is left behind.
void TestPredictionSettings::replaceGoesThroughANewFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromUtf16(kSettingsFileName));
    const QByteArray old = sjis(u"頻度分析Opt=True\r\n"_s);
    QVERIFY(writeRaw(path, old));
    const QString link = dir.filePath(u"old.lnk"_s);
#ifdef Q_OS_UNIX
    QVERIFY(::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()) == 0);
#endif
    QVERIFY(saveSettingsFile(path, flagsFrom("0000000001")).ok);
    QCOMPARE(readAll(path).count("\r\n"), 10);
#ifdef Q_OS_UNIX
    QCOMPARE(readAll(link), old);
    QVERIFY(QFile::remove(link));
#endif
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void TestPredictionSettings::failedWriteKeepsTheOldFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"missing/"_s + QString::fromUtf16(kSettingsFileName));
    QVERIFY(!saveSettingsFile(path, flagsFrom("1111111111")).ok);
    QVERIFY(!QFile::exists(path));
    // A folder standing where the file should be cannot be replaced.
    const QString blocked = dir.filePath(QString::fromUtf16(kSettingsFileName));
    QVERIFY(QDir(dir.path()).mkdir(QString::fromUtf16(kSettingsFileName)));
    QVERIFY(!saveSettingsFile(blocked, flagsFrom("1111111111")).ok);
    QVERIFY(QFileInfo(blocked).isDir());
}

void TestPredictionSettings::load_data() {
    QTest::addColumn<QString>("what");
    QTest::addColumn<FileKind>("kind");
    QTest::addColumn<bool>("read");
    QTest::addColumn<bool>("understood");
    QTest::addColumn<QString>("flags");   // after loading into 0100000000
    QTest::addColumn<QString>("problem"); // part of the reason; empty: none

    // The flag of option 1 is not in any file: it stays as it was.
    QTest::newRow("missing") << "missing" << FileKind::Missing << false << true << "0100000000"
                             << "";
    QTest::newRow("Shift-JIS") << "Shift-JIS" << FileKind::Regular << true << true << "1110000001"
                               << "";
    QTest::newRow("UTF-8") << "UTF-8" << FileKind::Regular << true << true << "1110000001"
                           << "";
    QTest::newRow("UTF-8 with BOM")
        << "UTF-8 with BOM" << FileKind::Regular << true << true << "1110000001"
        << "";
    // Options the file holds are kept even when other lines cannot be read.
    QTest::newRow("unknown line") << "unknown line" << FileKind::Regular << true << false
                                  << "1110000001"
                                  << "4行目";
    QTest::newRow("unreadable value")
        << "unreadable value" << FileKind::Regular << true << false << "1110000001"
        << "4行目";
    QTest::newRow("undecodable") << "undecodable" << FileKind::Regular << false << false
                                 << "0100000000"
                                 << "文字コード";
    QTest::newRow("oversize") << "oversize" << FileKind::Regular << false << false << "0100000000"
                              << "大きすぎます";
    QTest::newRow("folder") << "folder" << FileKind::Directory << false << false << "0100000000"
                            << "フォルダー";
#ifdef Q_OS_UNIX
    QTest::newRow("symlink") << "symlink" << FileKind::SymbolicLink << true << true << "1110000001"
                             << "";
    QTest::newRow("dangling symlink")
        << "dangling symlink" << FileKind::SymbolicLink << false << false << "0100000000"
        << "シンボリックリンク";
    QTest::newRow("FIFO") << "FIFO" << FileKind::Fifo << false << false << "0100000000"
                          << "名前付きパイプ";
#endif
}

void TestPredictionSettings::load() {
    QFETCH(QString, what);
    QFETCH(FileKind, kind);
    QFETCH(bool, read);
    QFETCH(bool, understood);
    QFETCH(QString, flags);
    QFETCH(QString, problem);
    QTemporaryDir dir;
    QVERIFY(makeSettings(dir, what));
    ReflectFlags loaded = flagsFrom("0100000000");
    SettingsFileState state;
    QVERIFY(finishesWithoutBlocking([&] { state = loadSettingsFile(settingsIn(dir), loaded); },
                                    settingsIn(dir)));
    QCOMPARE(state.kind, kind);
    QCOMPARE(state.read, read);
    QCOMPARE(state.understood, understood);
    QCOMPARE(bitsOf(loaded), flags);
    if (problem.isEmpty())
        QCOMPARE(state.problem, QString());
    else
        QVERIFY2(state.problem.contains(problem), qPrintable(state.problem));
}

void TestPredictionSettings::save_data() {
    QTest::addColumn<QString>("what");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("backup"); // the old file was kept as .bak

    QTest::newRow("missing") << "missing" << true << false;
    QTest::newRow("Shift-JIS") << "Shift-JIS" << true << false;
    // Read wholly, so written back as the program writes it: Shift-JIS, CR LF.
    QTest::newRow("UTF-8") << "UTF-8" << true << false;
    QTest::newRow("unknown line") << "unknown line" << true << true;
    QTest::newRow("unreadable value") << "unreadable value" << true << true;
    QTest::newRow("undecodable") << "undecodable" << true << true;
    QTest::newRow("oversize") << "oversize" << true << true;
    QTest::newRow("folder") << "folder" << false << false;
#ifdef Q_OS_UNIX
    QTest::newRow("symlink") << "symlink" << false << false;
    QTest::newRow("dangling symlink") << "dangling symlink" << false << false;
    QTest::newRow("FIFO") << "FIFO" << false << false;
#endif
}

void TestPredictionSettings::save() {
    QFETCH(QString, what);
    QFETCH(bool, ok);
    QFETCH(bool, backup);
    QTemporaryDir dir;
    QVERIFY(makeSettings(dir, what));
    const QString path = settingsIn(dir);
    const FileKind kindBefore = fileKindAt(path);
    const QByteArray before = kindBefore == FileKind::Regular ? readAll(path) : QByteArray();
    const QByteArray targetBefore = readAll(dir.filePath(u"target.ini"_s));
    const QStringList entriesBefore =
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);

    const ReflectFlags flags = flagsFrom("0000000011");
    SettingsSave saved;
    QVERIFY(finishesWithoutBlocking([&] { saved = saveSettingsFile(path, flags); }, path));
    QCOMPARE(saved.ok, ok);
    QCOMPARE(saved.refused, !ok);
    QCOMPARE(saved.ok, saved.problem.isEmpty());
    if (!ok) {
        // Left alone: the same kind of thing under the name, the target of
        // a link untouched, nothing added beside it.
        QVERIFY2(saved.problem.contains(fileKindText(kindBefore)), qPrintable(saved.problem));
        QCOMPARE(fileKindAt(path), kindBefore);
        QCOMPARE(readAll(dir.filePath(u"target.ini"_s)), targetBefore);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                 entriesBefore);
        return;
    }
    QCOMPARE(fileKindAt(path), FileKind::Regular);
    QCOMPARE(readAll(path), encodeSettings(flags));
    QCOMPARE(saved.backup.isEmpty(), !backup);
    if (backup) {
        QCOMPARE(saved.backup, path + u".bak"_s);
        QCOMPARE(readAll(saved.backup), before);
#ifndef Q_OS_WIN
        // Owner-only like every file the program makes, whatever the old
        // file allowed.
        QCOMPARE(QFileInfo(saved.backup).permissions() &
                     (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther |
                      QFileDevice::WriteOther),
                 QFileDevice::Permissions());
#endif
    }
    // Nothing else is left beside it (no temporary file).
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), backup ? 2 : 1);
}

// Reading a device or a FIFO by its own name neither blocks nor reads
// without end (the CLI and tests may pass any path).
void TestPredictionSettings::devicesAreReadWithoutBlocking() {
#ifdef Q_OS_UNIX
    for (const QString& device : {u"/dev/zero"_s, u"/dev/null"_s}) {
        if (!QFileInfo::exists(device))
            continue;
        ReflectFlags flags{};
        SettingsFileState state;
        QVERIFY(finishesWithoutBlocking([&] { state = loadSettingsFile(device, flags); }));
        QCOMPARE(state.kind, FileKind::Device);
        QVERIFY(!state.read);
        QVERIFY(!state.replaceable());
    }
#else
    QSKIP("Devices under a path are a POSIX matter.");
#endif
}

// A backup is never replaced: a second file that cannot be read goes to the
// next free name, a file that was read wholly is not backed up at all, and
// with no free name left nothing is written.
void TestPredictionSettings::backupIsNeverReplaced() {
    QTemporaryDir dir;
    const QString path = settingsIn(dir);
    const QByteArray first = sjis(u"古い設定\r\n"_s);
    const QByteArray second = sjis(u"別の古い設定\r\n"_s);
    QVERIFY(writeRaw(path, first));
    SettingsSave saved = saveSettingsFile(path, flagsFrom("1000000000"));
    QVERIFY(saved.ok);
    QCOMPARE(saved.backup, path + u".bak"_s);
    // The file just written reads wholly: saving again keeps no backup.
    saved = saveSettingsFile(path, flagsFrom("0100000000"));
    QVERIFY(saved.ok);
    QVERIFY(saved.backup.isEmpty());
    QCOMPARE(readAll(path + u".bak"_s), first);

    QVERIFY(writeRaw(path, second));
    saved = saveSettingsFile(path, flagsFrom("0010000000"));
    QVERIFY(saved.ok);
    QCOMPARE(saved.backup, path + u".bak2"_s);
    QCOMPARE(readAll(path + u".bak"_s), first);
    QCOMPARE(readAll(path + u".bak2"_s), second);

    for (int n = 3; n <= 9; ++n)
        QVERIFY(writeRaw(u"%1.bak%2"_s.arg(path).arg(n), "x"));
    QVERIFY(settingsBackupPath(path).isEmpty());
    QVERIFY(writeRaw(path, second));
    saved = saveSettingsFile(path, flagsFrom("0001000000"));
    QVERIFY(!saved.ok);
    QVERIFY(!saved.refused);
    QVERIFY(!saved.problem.isEmpty());
    QCOMPARE(readAll(path), second);
    QCOMPARE(readAll(path + u".bak"_s), first);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 10);
}

QTEST_GUILESS_MAIN(TestPredictionSettings)
#include "tst_prediction_settings.moc"
