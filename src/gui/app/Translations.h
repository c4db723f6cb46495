#pragma once

class QCoreApplication;

namespace peridon {

// Loads Qt's own Japanese texts (the buttons and labels of file dialogs, the
// print preview, message boxes, the help index), so that no English shows
// through a program that speaks Japanese. Looks in Qt's translations folder,
// then in a "translations" folder beside the program (a deployed Windows
// folder). Returns false when they are not installed; the program then
// works with Qt's English texts.
bool installQtTranslations(QCoreApplication& app);

} // namespace peridon
