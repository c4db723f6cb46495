#pragma once

#include <QString>

namespace peridon {

// The folders the file dialogs start in, one per kind of file, remembered
// across runs in a small file of their own beside the settings file (never
// in the prediction settings file, which keeps its fixed ten lines).
enum class FolderKind {
    Data,   // draw files: 取り込み and 書き出し
    Output, // what is saved from a window: PDF, PNG and CSV
};

// The folder last used for this kind of file while it still exists; the
// user's documents folder before the first use.
QString recentFolder(FolderKind kind);
// Remembers the folder of a file just chosen.
void rememberFolder(FolderKind kind, const QString& chosenFile);
// The file that keeps them; empty while no settings folder is set (tests),
// when they are kept for this run only.
QString recentFoldersFilePath();

} // namespace peridon
