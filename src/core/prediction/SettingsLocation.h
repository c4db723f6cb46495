#pragma once

#include <QString>

namespace peridon {

// The folder of the settings file for this run. The programs set it at start
// (the data folder); until then settingsFilePath() is empty and the settings
// file is neither read nor written, so windows built without a start-up (in
// tests) touch no real folder.
void setSettingsFolder(const QString& folder);
QString settingsFolder();
// The settings file in that folder; empty while no folder is set.
QString settingsFilePath();

} // namespace peridon
