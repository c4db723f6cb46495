#include "gui/app/HelpLauncher.h"

#include "gui/app/HelpViewer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace peridon {

HelpLauncher::~HelpLauncher() {
    closeViewer();
}

QString HelpLauncher::findHelpFile() {
    const QString here = QDir::current().filePath(kHelpFileName);
    if (QFileInfo(here).isFile())
        return here;
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(kHelpFileName);
    if (QFileInfo(beside).isFile())
        return beside;
    return {};
}

void HelpLauncher::open(QWidget* owner) {
    if (!m_viewer) {
        const QString file = findHelpFile();
        if (file.isEmpty())
            return;
        // Owned by the main window so that it stays in front of it and goes
        // when the program ends; a window of its own all the same.
        m_viewer = new HelpViewer(file, owner);
        m_viewer->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_viewer->show();
    if (m_viewer->isMinimized())
        m_viewer->showNormal();
    m_viewer->raise();
    m_viewer->activateWindow();
    m_viewer->showKeyword(kHelpKeyword);
}

void HelpLauncher::closeViewer() {
    if (m_viewer)
        delete m_viewer.data();
}

} // namespace peridon
