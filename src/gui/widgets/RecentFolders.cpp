#include "gui/widgets/RecentFolders.h"

#include "core/prediction/SettingsLocation.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSettings>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

QString keyOf(FolderKind kind) {
    return kind == FolderKind::Data ? u"folders/data"_s : u"folders/output"_s;
}

// This run's choices, also when there is no file to keep them in.
QHash<QString, QString>& remembered() {
    static QHash<QString, QString> folders;
    return folders;
}

} // namespace

QString recentFoldersFilePath() {
    const QString folder = settingsFolder();
    return folder.isEmpty() ? QString()
                            : QDir(folder).filePath(u"ナンバーズ3ペリドン-フォルダー.ini"_s);
}

QString recentFolder(FolderKind kind) {
    const QString key = keyOf(kind);
    QString folder = remembered().value(key);
    const QString file = recentFoldersFilePath();
    if (folder.isEmpty() && !file.isEmpty() && QFileInfo(file).isFile())
        folder = QSettings(file, QSettings::IniFormat).value(key).toString();
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        return folder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void rememberFolder(FolderKind kind, const QString& chosenFile) {
    if (chosenFile.isEmpty())
        return;
    const QString folder = QFileInfo(chosenFile).absolutePath();
    const QString key = keyOf(kind);
    remembered().insert(key, folder);
    const QString file = recentFoldersFilePath();
    if (file.isEmpty())
        return;
    // A folder that cannot be remembered is no reason to trouble the user.
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(key, folder);
    settings.sync();
}

} // namespace peridon
