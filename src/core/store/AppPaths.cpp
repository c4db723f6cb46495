#include "core/store/AppPaths.h"

#include "core/files/Platform.h"
#include "core/store/Database.h"
#include "core/store/ShippedHistory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

using namespace Qt::StringLiterals;

namespace peridon {

bool isWritableFolder(const QString& folder) {
    if (!QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(u".peridon-write-test-XXXXXX"_s));
    return probe.open();
}

AppPaths resolveAppPaths(const QString& programFolder, bool programFolderWritable,
                         const QString& userFolder, const QString& databaseOverride) {
    const QDir program(programFolder);
    const QString dbName = QString::fromUtf16(kDatabaseFileName);
    AppPaths p;
    p.portable = QFileInfo::exists(program.filePath(dbName)) ||
                 (programFolderWritable &&
                  QFileInfo::exists(program.filePath(QString::fromUtf16(kPortableMarkerName))));
    p.dataFolder = QDir::cleanPath(p.portable ? program.absolutePath() : userFolder);
    p.databaseGiven = !databaseOverride.isEmpty();
    p.databasePath = p.databaseGiven ? QFileInfo(databaseOverride).absoluteFilePath()
                                     : QDir(p.dataFolder).filePath(dbName);
    p.settingsFolder = p.databaseGiven ? QFileInfo(p.databasePath).absolutePath() : p.dataFolder;
    return p;
}

QString userDataFolder() {
    // A fixed name under the system's data location rather than one derived
    // from the application name, so the GUI and the command-line program
    // (and every version of them) find the same folder.
#ifdef Q_OS_WIN
    // %LOCALAPPDATA% as this process's environment has it: Qt asks the shell
    // for the folder, which a variable set for one run (a script, a test)
    // does not move.
    const QString local = QDir::fromNativeSeparators(qEnvironmentVariable("LOCALAPPDATA"));
    if (!local.isEmpty() && QDir::isAbsolutePath(local))
        return QDir(local).filePath(QString::fromUtf16(kUserFolderName));
#endif
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        return {};
    return QDir(base).filePath(QString::fromUtf16(kUserFolderName));
}

AppPaths appPaths(const QString& databaseOverride) {
    const QString program =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    // Writing is tried only when the marker asks for it.
    const bool marker =
        QFileInfo::exists(QDir(program).filePath(QString::fromUtf16(kPortableMarkerName)));
    return resolveAppPaths(program, marker && isWritableFolder(program), userDataFolder(),
                           databaseOverride);
}

void prepareDataFolder(const AppPaths& paths) {
    if (paths.portable)
        return;
    if (paths.dataFolder.isEmpty() || !QDir().mkpath(paths.dataFolder))
        throw DbError(u"データを保存するフォルダーを作成できません。\nフォルダー：%1"_s.arg(
            QDir::toNativeSeparators(paths.dataFolder)));
}

bool prepareDatabase(const AppPaths& paths) {
    prepareDataFolder(paths);
    if (paths.databaseGiven || QFileInfo::exists(paths.databasePath))
        return false;
    createDatabaseFromShippedHistory(paths.databasePath);
    return true;
}

QString firstStartMessage(const AppPaths& paths) {
    return u"初めての起動のため、付属の当選番号の履歴からデータベースを作成しました。\n"
           u"ファイル：%1"_s.arg(QDir::toNativeSeparators(paths.databasePath));
}

QStringList sharedPlaceWarnings(const AppPaths& paths) {
    QStringList warnings;
    QStringList seen;
    const auto check = [&](const QString& path, const QString& what) {
        const QString clean = QDir::cleanPath(path);
        if (path.isEmpty() || seen.contains(clean))
            return;
        seen << clean;
        const QString problem = sharedPlaceProblem(clean);
        if (!problem.isEmpty())
            warnings
                << u"%1は%2。ほかの利用者がデータベースやバックアップを置き換えられます。\n%3"_s
                       .arg(what, problem, QDir::toNativeSeparators(clean));
    };
    check(paths.dataFolder, u"データのフォルダー"_s);
    check(QFileInfo(paths.databasePath).absolutePath(), u"データベースのフォルダー"_s);
    check(paths.databasePath, u"データベースファイル"_s);
    return warnings;
}

bool parseDatabaseArgument(const QStringList& arguments, QString& database, QString& problem) {
    const QString option = u"--db"_s;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& word = arguments[i];
        QString value;
        if (word == option) {
            if (i + 1 >= arguments.size() || arguments[i + 1].startsWith(u"--"_s)) {
                problem = u"--db にはデータベースのファイルを指定します。"_s;
                return false;
            }
            value = arguments[++i];
        } else if (word.startsWith(option + u'=')) {
            value = word.mid(option.size() + 1);
        } else {
            problem = u"不明な指定です: %1"_s.arg(word);
            return false;
        }
        if (value.isEmpty()) {
            problem = u"--db にはデータベースのファイルを指定します。"_s;
            return false;
        }
        database = value;
    }
    return true;
}

} // namespace peridon
