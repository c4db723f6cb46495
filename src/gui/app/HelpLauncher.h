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
    void closeViewer();
    HelpViewer* viewer() const { return m_viewer.data(); }

    // The help file in the current directory, else beside the executable;
    // empty when there is none.
    static QString findHelpFile();

private:
    QPointer<HelpViewer> m_viewer;
};

} // namespace peridon
