// Where the program keeps its files: the portable folder, the per-user
// folder of an installed program, --db, and folders that cannot be written.
#include "core/prediction/PredictionSettings.h"
#include "core/prediction/SettingsLocation.h"
#include "core/store/AppPaths.h"
#include "core/store/Database.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <stdlib.h>
#endif

using namespace Qt::StringLiterals;
using namespace peridon;

class TestAppPaths : public QObject {
    Q_OBJECT
private slots:
    void rules_data();
    void rules();
    void writableFolder_data();
    void writableFolder();
    void userFolderIsFixed();
    void settingsFileFollowsTheFolder();
    void databaseArgument_data();
    void databaseArgument();
    void portableFolderKeepsItsFiles();
    void portableMarkerBesideTheProgram();
    void settingsComeFromTheDataFolder();
    void installedFirstStart();
    void installedWithDbOption();
    void userFolderCannotBeMade();
};

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QString err;
};

// The per-user data folder's parent that runCli gives the program.
QString userBase(const QString& root) {
    return QDir(root).filePath(u"xdg"_s);
}

// Runs a copy of peridon-cli with its own per-user folders (XDG_DATA_HOME,
// or %LOCALAPPDATA% on Windows, under root), from root as the current folder.
Run runCli(const QString& program, const QStringList& args, const QString& root) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"HOME"_s, QDir(root).filePath(u"home"_s));
    env.insert(u"XDG_DATA_HOME"_s, userBase(root));
    env.insert(u"LOCALAPPDATA"_s, QDir::toNativeSeparators(userBase(root)));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(root);
    p.start(program, args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            QString::fromUtf8(p.readAllStandardError())};
}

// A copy of peridon-cli in folder (made when missing).
QString copyCli(const QString& folder) {
    QDir().mkpath(folder);
    const QString target =
        QDir(folder).filePath(QFileInfo(qEnvironmentVariable("PERIDON_CLI")).fileName());
    if (!QFile::copy(qEnvironmentVariable("PERIDON_CLI"), target))
        return {};
    return target;
}

// An installed layout in root: bin/peridon-cli and share/peridon with the
// shipped history. Returns the program.
QString installedLayout(const QString& root) {
    const QDir dir(root);
    const QString cli = copyCli(dir.filePath(u"usr/bin"_s));
    dir.mkpath(u"usr/share/peridon"_s);
    const QString history =
        QFileInfo(qEnvironmentVariable("PERIDON_CLI")).dir().filePath(u"numbers3-history.csv"_s);
    if (cli.isEmpty() ||
        !QFile::copy(history, dir.filePath(u"usr/share/peridon/numbers3-history.csv"_s)))
        return {};
    return cli;
}

} // namespace

static void touch(const QString& path) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

void TestAppPaths::rules_data() {
    QTest::addColumn<bool>("databaseBeside");
    QTest::addColumn<bool>("marker");
    QTest::addColumn<bool>("writable");
    QTest::addColumn<QString>("override"); // relative to the test's folder
    QTest::addColumn<bool>("portable");
    QTest::addColumn<QString>("expectedDatabase"); // "program/...", "user/..." or "other/..."
    QTest::addColumn<QString>("expectedData");
    QTest::addColumn<QString>("expectedSettings");

    const QString db = u"/Numbers3Peridon.mdb"_s;
    QTest::newRow("installed") << false << false << true << QString() << false << u"user"_s + db
                               << u"user"_s << u"user"_s;
    QTest::newRow("database beside") << true << false << true << QString() << true
                                     << u"program"_s + db << u"program"_s << u"program"_s;
    QTest::newRow("database beside, read-only folder")
        << true << false << false << QString() << true << u"program"_s + db << u"program"_s
        << u"program"_s;
    QTest::newRow("marker, writable") << false << true << true << QString() << true
                                      << u"program"_s + db << u"program"_s << u"program"_s;
    QTest::newRow("marker, unwritable folder")
        << false << true << false << QString() << false << u"user"_s + db << u"user"_s << u"user"_s;
    QTest::newRow("no marker, writable")
        << false << false << true << QString() << false << u"user"_s + db << u"user"_s << u"user"_s;
    QTest::newRow("--db, installed") << false << false << true << u"other/当選データ.mdb"_s << false
                                     << u"other/当選データ.mdb"_s << u"user"_s << u"other"_s;
    QTest::newRow("--db, portable") << true << false << true << u"other/当選データ.mdb"_s << true
                                    << u"other/当選データ.mdb"_s << u"program"_s << u"other"_s;
}

void TestAppPaths::rules() {
    QFETCH(bool, databaseBeside);
    QFETCH(bool, marker);
    QFETCH(bool, writable);
    QFETCH(QString, override);
    QFETCH(bool, portable);
    QFETCH(QString, expectedDatabase);
    QFETCH(QString, expectedData);
    QFETCH(QString, expectedSettings);

    QTemporaryDir root;
    const QDir dir(root.path());
    QVERIFY(dir.mkpath(u"program"_s));
    QVERIFY(dir.mkpath(u"other"_s));
    const QString program = dir.filePath(u"program"_s);
    if (databaseBeside)
        touch(dir.filePath(u"program/Numbers3Peridon.mdb"_s));
    if (marker)
        touch(dir.filePath(u"program/portable"_s));
    // A --db path is taken relative to the current folder.
    const QString old = QDir::currentPath();
    QVERIFY(QDir::setCurrent(root.path()));
    const AppPaths p = resolveAppPaths(program, writable, dir.filePath(u"user"_s), override);
    QVERIFY(QDir::setCurrent(old));

    QCOMPARE(p.portable, portable);
    QCOMPARE(p.databaseGiven, !override.isEmpty());
    QCOMPARE(p.databasePath, dir.filePath(expectedDatabase));
    QCOMPARE(p.dataFolder, dir.filePath(expectedData));
    QCOMPARE(p.settingsFolder, dir.filePath(expectedSettings));
}

void TestAppPaths::writableFolder_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("writable");
    QTest::newRow("folder") << u"folder"_s << true;
    QTest::newRow("missing folder") << u"missing"_s << false;
    QTest::newRow("a file, not a folder") << u"file"_s << false;
    QTest::newRow("read-only folder") << u"read-only"_s << false;
}

void TestAppPaths::writableFolder() {
    QFETCH(QString, kind);
    QFETCH(bool, writable);
    QTemporaryDir root;
    const QDir dir(root.path());
    QString path = dir.filePath(u"フォルダー"_s);
    if (kind == u"folder"_s || kind == u"read-only"_s)
        QVERIFY(dir.mkdir(u"フォルダー"_s));
    if (kind == u"file"_s)
        touch(path);
    if (kind == u"read-only"_s) {
#ifdef Q_OS_WIN
        // The read-only attribute of a folder does not stop Windows from
        // creating files in it; only an access list would.
        QSKIP("a folder's read-only attribute does not keep files out on Windows");
#endif
#ifdef Q_OS_UNIX
        if (geteuid() == 0)
            QSKIP("permission bits do not stop the superuser");
#endif
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner));
    }
    QCOMPARE(isWritableFolder(path), writable);
    if (kind == u"read-only"_s)
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // The probe leaves nothing behind.
    if (writable)
        QVERIFY(QDir(path).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

void TestAppPaths::userFolderIsFixed() {
    // The same folder whatever the program calls itself, so the GUI and the
    // command-line program share it.
    const QString before = userDataFolder();
    QCoreApplication::setApplicationName(u"別の名前"_s);
    QCOMPARE(userDataFolder(), before);
    QCOMPARE(QDir(before).dirName(), u"peridon"_s);
    QCOMPARE(QFileInfo(before).absolutePath(),
             QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
#ifdef Q_OS_WIN
    // %LOCALAPPDATA%\peridon, also when the variable names another folder.
    const QString old = qEnvironmentVariable("LOCALAPPDATA");
    QCOMPARE(QDir::toNativeSeparators(before), old + u"\\peridon"_s);
    QCOMPARE(_wputenv_s(L"LOCALAPPDATA", L"C:\\ユーザー\\データ"), 0);
    QCOMPARE(userDataFolder(), u"C:/ユーザー/データ/peridon"_s);
    QCOMPARE(_wputenv_s(L"LOCALAPPDATA", reinterpret_cast<const wchar_t*>(old.utf16())), 0);
#endif
}

void TestAppPaths::settingsFileFollowsTheFolder() {
    setSettingsFolder({});
    QVERIFY(settingsFilePath().isEmpty());
    QTemporaryDir dir;
    setSettingsFolder(dir.path());
    QCOMPARE(settingsFilePath(), QDir(dir.path()).filePath(u"ナンバーズ3ペリドン.ini"_s));
    setSettingsFolder({});
}

void TestAppPaths::databaseArgument_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("database");
    QTest::newRow("none") << QStringList{u"peridon"_s} << true << QString();
    QTest::newRow("--db PATH") << QStringList{u"peridon"_s, u"--db"_s, u"当選.mdb"_s} << true
                               << u"当選.mdb"_s;
    QTest::newRow("--db=PATH") << QStringList{u"peridon"_s, u"--db=/tmp/a b.mdb"_s} << true
                               << u"/tmp/a b.mdb"_s;
    QTest::newRow("--db without a path")
        << QStringList{u"peridon"_s, u"--db"_s} << false << QString();
    QTest::newRow("--db= empty") << QStringList{u"peridon"_s, u"--db="_s} << false << QString();
    QTest::newRow("--db followed by an option")
        << QStringList{u"peridon"_s, u"--db"_s, u"--help"_s} << false << QString();
    QTest::newRow("unknown") << QStringList{u"peridon"_s, u"--data"_s, u"x"_s} << false
                             << QString();
}

void TestAppPaths::databaseArgument() {
    QFETCH(QStringList, args);
    QFETCH(bool, ok);
    QFETCH(QString, database);
    QString got;
    QString problem;
    QCOMPARE(parseDatabaseArgument(args, got, problem), ok);
    QCOMPARE(got, database);
    QCOMPARE(problem.isEmpty(), ok);
}

// A folder holding the program and its database is used as it is, whatever
// the current folder, and nothing is written to the per-user folder.
void TestAppPaths::portableFolderKeepsItsFiles() {
    QTemporaryDir root;
    const QDir dir(root.path());
    const QString cli = copyCli(dir.filePath(u"持ち運び"_s));
    QVERIFY(!cli.isEmpty());
    const QString db = dir.filePath(u"持ち運び/Numbers3Peridon.mdb"_s);
    QCOMPARE(runCli(cli, {u"sample"_s, u"--draws"_s, u"5"_s, u"--db"_s, db}, root.path()).status,
             0);
    const Run r = runCli(cli, {u"stats"_s}, root.path());
    QCOMPARE(r.status, 0);
    QVERIFY2(r.out.startsWith("{\"lastDrawNo\":5,"), r.out.constData());
    QVERIFY(!QFileInfo::exists(dir.filePath(u"xdg/peridon"_s)));
    QVERIFY(!QFileInfo::exists(dir.filePath(u"Numbers3Peridon.mdb"_s)));
}

// The marker beside the program keeps a new database and the settings file
// there, before any database exists; without it they go to the per-user
// folder.
void TestAppPaths::portableMarkerBesideTheProgram() {
    QTemporaryDir root;
    const QDir dir(root.path());
    const QString marked = copyCli(dir.filePath(u"印あり"_s));
    const QString plain = copyCli(dir.filePath(u"印なし"_s));
    QVERIFY(!marked.isEmpty() && !plain.isEmpty());
    touch(dir.filePath(u"印あり/portable"_s));
    const Run m = runCli(marked, {u"sample"_s, u"--draws"_s, u"4"_s}, root.path());
    QCOMPARE(m.status, 0);
    QVERIFY(QFileInfo::exists(dir.filePath(u"印あり/Numbers3Peridon.mdb"_s)));
    QVERIFY(!QFileInfo::exists(dir.filePath(u"xdg/peridon/Numbers3Peridon.mdb"_s)));
    const Run p = runCli(plain, {u"sample"_s, u"--draws"_s, u"6"_s}, root.path());
    QCOMPARE(p.status, 0);
    QVERIFY(!QFileInfo::exists(dir.filePath(u"印なし/Numbers3Peridon.mdb"_s)));
    QVERIFY(QFileInfo::exists(dir.filePath(u"xdg/peridon/Numbers3Peridon.mdb"_s)));
    QVERIFY(runCli(marked, {u"stats"_s}, root.path()).out.startsWith("{\"lastDrawNo\":4,"));
    QVERIFY(runCli(plain, {u"stats"_s}, root.path()).out.startsWith("{\"lastDrawNo\":6,"));
}

// Without --reflect the prediction sheets take their options from the
// settings file of the data folder, not from the current folder.
void TestAppPaths::settingsComeFromTheDataFolder() {
    QTemporaryDir root;
    const QDir dir(root.path());
    const QString cli = copyCli(dir.filePath(u"アプリ"_s));
    QVERIFY(!cli.isEmpty());
    const QString db = dir.filePath(u"アプリ/Numbers3Peridon.mdb"_s);
    QCOMPARE(runCli(cli, {u"sample"_s, u"--draws"_s, u"300"_s, u"--db"_s, db}, root.path()).status,
             0);
    ReflectFlags three{};
    three[0] = three[1] = three[2] = true;
    QVERIFY(saveSettingsFile(dir.filePath(u"アプリ/ナンバーズ3ペリドン.ini"_s), three).ok);
    ReflectFlags all{};
    all.fill(true);
    QVERIFY(saveSettingsFile(dir.filePath(u"ナンバーズ3ペリドン.ini"_s), all).ok);
    const Run fromFile = runCli(cli, {u"sheet"_s, u"一発ペリドン"_s}, root.path());
    const Run reflect3 =
        runCli(cli, {u"sheet"_s, u"一発ペリドン"_s, u"--reflect"_s, u"3"_s}, root.path());
    const Run reflect10 =
        runCli(cli, {u"sheet"_s, u"一発ペリドン"_s, u"--reflect"_s, u"10"_s}, root.path());
    QCOMPARE(fromFile.status, 0);
    QCOMPARE(fromFile.out, reflect3.out);
    QVERIFY(fromFile.out != reflect10.out);
    QVERIFY2(!fromFile.err.contains(u"設定ファイル"_s), qPrintable(fromFile.err));

    // A file read only in part gives the options it holds and a note; the
    // command never rewrites it. With --reflect the file does not matter.
    const QString inData = dir.filePath(u"アプリ/ナンバーズ3ペリドン.ini"_s);
    QFile edited(inData);
    QVERIFY(edited.open(QIODevice::Append));
    QVERIFY(edited.write("[x]\r\n") == 5);
    edited.close();
    const QByteArray before = [&] {
        QFile f(inData);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    const Run partly = runCli(cli, {u"sheet"_s, u"一発ペリドン"_s}, root.path());
    QCOMPARE(partly.status, 0);
    QCOMPARE(partly.out, reflect3.out);
    QVERIFY2(partly.err.contains(u"11行目"_s) && partly.err.contains(u"読み取れたオプションだけ"_s),
             qPrintable(partly.err));
    QVERIFY(edited.open(QIODevice::ReadOnly));
    QCOMPARE(edited.readAll(), before);
    edited.close();
    QVERIFY(!QFileInfo::exists(inData + u".bak"_s));
    const Run given =
        runCli(cli, {u"sheet"_s, u"一発ペリドン"_s, u"--reflect"_s, u"3"_s}, root.path());
    QVERIFY2(given.err.isEmpty(), qPrintable(given.err));

    // A folder under the name: nothing read, said so.
    QVERIFY(QFile::remove(inData));
    QVERIFY(QDir().mkdir(inData));
    const Run folder = runCli(cli, {u"sheet"_s, u"一発ペリドン"_s}, root.path());
    QCOMPARE(folder.status, 0);
    QCOMPARE(folder.out,
             runCli(cli, {u"sheet"_s, u"一発ペリドン"_s, u"--reflect"_s, u"0"_s}, root.path()).out);
    QVERIFY2(folder.err.contains(u"フォルダー"_s), qPrintable(folder.err));
    QVERIFY(QFileInfo(inData).isDir());
}

// Installed, the first start makes the per-user database from the shipped
// history and says so once; the next start uses it silently.
void TestAppPaths::installedFirstStart() {
    QTemporaryDir root;
    const QString cli = installedLayout(root.path());
    QVERIFY(!cli.isEmpty());
    const QString db = QDir(root.path()).filePath(u"xdg/peridon/Numbers3Peridon.mdb"_s);
    const Run first = runCli(cli, {u"stats"_s}, root.path());
    QCOMPARE(first.status, 0);
    QVERIFY2(first.err.contains(u"初めての起動"_s), qPrintable(first.err));
    QVERIFY(first.err.contains(QDir::toNativeSeparators(db)));
    QVERIFY(QFileInfo::exists(db));
    QVERIFY(!first.out.startsWith("{\"lastDrawNo\":0,"));
    const Run second = runCli(cli, {u"stats"_s}, root.path());
    QCOMPARE(second.status, 0);
    QCOMPARE(second.err, QString());
    QCOMPARE(second.out, first.out);
}

// --db opens that file and makes no per-user database.
void TestAppPaths::installedWithDbOption() {
    QTemporaryDir root;
    const QString cli = installedLayout(root.path());
    QVERIFY(!cli.isEmpty());
    const QString other = QDir(root.path()).filePath(u"別の場所/当選データ.mdb"_s);
    QVERIFY(QDir().mkpath(QFileInfo(other).absolutePath()));
    QCOMPARE(runCli(cli, {u"sample"_s, u"--draws"_s, u"7"_s, u"--db"_s, other}, root.path()).status,
             0);
    const Run r = runCli(cli, {u"stats"_s, u"--db"_s, other}, root.path());
    QCOMPARE(r.status, 0);
    QVERIFY2(r.out.startsWith("{\"lastDrawNo\":7,"), r.out.constData());
    QVERIFY(!QFileInfo::exists(QDir(root.path()).filePath(u"xdg/peridon/Numbers3Peridon.mdb"_s)));
}

// A per-user folder that cannot be made is a clear failure, not a crash.
void TestAppPaths::userFolderCannotBeMade() {
    QTemporaryDir root;
    const QString cli = installedLayout(root.path());
    QVERIFY(!cli.isEmpty());
    touch(QDir(root.path()).filePath(u"xdg"_s)); // a file where the folder would be
    const Run r = runCli(cli, {u"stats"_s}, root.path());
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.contains(u"フォルダーを作成できません"_s), qPrintable(r.err));
}

QTEST_GUILESS_MAIN(TestAppPaths)
#include "tst_app_paths.moc"
