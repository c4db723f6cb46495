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

using namespace Qt::StringLiterals;

#ifdef Q_OS_UNIX
#endif

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
    QVERIFY(writeSettingsFile(path, flagsFrom("1000000010")));
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
    QVERIFY(writeSettingsFile(path, flags));
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
    QVERIFY(writeRaw(path, QByteArrayLiteral("old\r\n")));
    const QString link = dir.filePath(u"old.lnk"_s);
#ifdef Q_OS_UNIX
    QVERIFY(::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()) == 0);
#endif
    QVERIFY(writeSettingsFile(path, flagsFrom("0000000001")));
    QCOMPARE(readAll(path).count("\r\n"), 10);
#ifdef Q_OS_UNIX
    QCOMPARE(readAll(link), QByteArrayLiteral("old\r\n"));
    QVERIFY(QFile::remove(link));
#endif
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void TestPredictionSettings::failedWriteKeepsTheOldFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"missing/"_s + QString::fromUtf16(kSettingsFileName));
    QVERIFY(!writeSettingsFile(path, flagsFrom("1111111111")));
    QVERIFY(!QFile::exists(path));
    // A folder standing where the file should be cannot be replaced.
    const QString blocked = dir.filePath(QString::fromUtf16(kSettingsFileName));
    QVERIFY(QDir(dir.path()).mkdir(QString::fromUtf16(kSettingsFileName)));
    QVERIFY(!writeSettingsFile(blocked, flagsFrom("1111111111")));
    QVERIFY(QFileInfo(blocked).isDir());
}

QTEST_GUILESS_MAIN(TestPredictionSettings)
#include "tst_prediction_settings.moc"
