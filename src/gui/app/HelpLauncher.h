#pragma once

#include "gui/app/HelpViewer.h"

#include <QPointer>
#include <QString>
#include <QWidget>

namespace peridon {

using namespace Qt::StringLiterals;

inline const QString kHelpFileName = u"ナンバーズ3ペリドン.chm"_s;
inline const QString kHelpKeyword = u"ナンバーズ3について"_s;

// Opens the program's help: one viewer, on its index filtered by the keyword
// "ナンバーズ3について", then on the topic filed under it. A second call
// reuses the viewer. No help file: nothing happens.
class HelpLauncher final {
public:
    HelpLauncher() = default;
    ~HelpLauncher();
    HelpLauncher(const HelpLauncher&) = delete;
    HelpLauncher& operator=(const HelpLauncher&) = delete;

    void open(QWidget* owner);
    // Opens the viewer on the page filed under topic (a window's name); the
    // introduction when topic is empty or names no page. The introduction
    // stays where the 目次 button leads.
    void open(QWidget* owner, const QString& topic);
    void closeViewer();
    HelpViewer* viewer() const { return m_viewer.data(); }

    // The help file in the current directory, else beside the executable;
    // empty when there is none.
    static QString findHelpFile();

private:
    QPointer<HelpViewer> m_viewer;
};

} // namespace peridon
