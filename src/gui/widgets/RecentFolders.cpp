#include "gui/widgets/RecentFolders.h"

#include "core/files/Platform.h"
#include "core/files/PublishFile.h"
#include "core/prediction/SettingsLocation.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

QString keyOf(FolderKind kind) {
    return kind == FolderKind::Data ? u"data"_s : u"output"_s;
}

// The file holds one "key=folder" line per kind, in UTF-8. Anything else in
// it, or a file far larger than two lines, is passed over.
QHash<QString, QString> readFolders(const QString& path) {
    QHash<QString, QString> folders;
    QFile file;
    QString problem;
    if (!openRegularFileForReading(file, path, problem))
        return folders;
    const QByteArray bytes = file.read(qint64{64} * 1024);
    for (const QString& line : QString::fromUtf8(bytes).split(u'\n', Qt::SkipEmptyParts)) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0)
            folders.insert(line.left(eq), line.mid(eq + 1).trimmed());
    }
    return folders;
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
        folder = readFolders(file).value(key);
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
    // Written as every file is; a folder that cannot be remembered is no
    // reason to trouble the user.
    QHash<QString, QString> folders = readFolders(file);
    folders.insert(key, folder);
    QByteArray bytes;
    for (const FolderKind k : {FolderKind::Data, FolderKind::Output}) {
        if (const QString f = folders.value(keyOf(k)); !f.isEmpty() && !f.contains(u'\n'))
            bytes += (keyOf(k) + u'=' + f + u'\n').toUtf8();
    }
    publishBytes(file, bytes, PublishOptions{.privateFile = true});
}

} // namespace peridon
