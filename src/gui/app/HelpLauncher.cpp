#include "gui/app/HelpLauncher.h"

#include "gui/app/HelpViewer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace peridon {

HelpLauncher::~HelpLauncher() {
    closeViewer();
}

QString HelpLauncher::findHelpFile() {
    // The current folder first (the program has always opened it by its bare
    // name), then beside the executable (a build folder or a portable
    // folder), then the shared data folder of an installed program.
    const QDir program(QCoreApplication::applicationDirPath());
    const QString candidates[] = {
        QDir::current().filePath(kHelpFileName),
        program.filePath(kHelpFileName),
        program.filePath(u"../share/peridon/"_s + kHelpFileName),
    };
    for (const QString& path : candidates) {
        if (QFileInfo(path).isFile())
            return QDir::cleanPath(path);
    }
    return {};
}

void HelpLauncher::open(QWidget* owner) {
    open(owner, QString());
}

void HelpLauncher::open(QWidget* owner, const QString& topic) {
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
    if (!topic.isEmpty())
        m_viewer->showTopic(topic);
}

void HelpLauncher::closeViewer() {
    if (m_viewer)
        delete m_viewer.data();
}

} // namespace peridon
