#include "core/prediction/SettingsLocation.h"

#include "core/prediction/PredictionSettings.h"

#include <QDir>

namespace peridon {

namespace {

QString& folderOfThisRun() {
    static QString folder;
    return folder;
}

} // namespace

void setSettingsFolder(const QString& folder) {
    folderOfThisRun() = folder;
}

QString settingsFolder() {
    return folderOfThisRun();
}

QString settingsFilePath() {
    const QString& folder = folderOfThisRun();
    if (folder.isEmpty())
        return {};
    return QDir(folder).filePath(QString::fromUtf16(kSettingsFileName));
}

} // namespace peridon
