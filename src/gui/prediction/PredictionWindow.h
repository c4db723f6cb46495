#pragma once

#include "core/prediction/PredictionEngine.h"
#include "gui/widgets/ChildHost.h"

#include <QObject>
#include <QPointer>

#include <memory>

class QMdiSubWindow;

namespace peridon {

class PredictionForm;

// The prediction window object 一発ペリドン. It lives for the whole process
// (created by the main window's load, before the statistics pass): closing
// the window unloads only its visible part, so the option flags and the
// tables survive a close and reopen.
// moc cannot read a class name outside ASCII, so this class has no Q_OBJECT
// (it needs no signals of its own; connect with lambdas).
class 一発ペリドン final : public QObject {
public:
    explicit 一発ペリドン(ChildHost& host, QObject* parent = nullptr);
    ~一発ペリドン() override;

    // Settings file "ナンバーズ3ペリドン.ini" in the data folder of this run
    // (settingsFilePath()). A missing or unreadable file leaves every option
    // at 反映しない; a file that cannot be written is left as it was and the
    // user is told.
    void ReadInitFile();
    void WriteInitFile();

    // Shows the window, loading it first (history scan, four methods) when
    // its visible part is not open; brings it to the front when it is.
    void showWindow();
    bool isOpen() const;

    const PredictionEngine& engine() const { return *m_engine; }
    // The visible part while the window is open, else nullptr.
    PredictionForm* form() const;
    QMdiSubWindow* subWindow() const;

private:
    void Form_Load();
    void Form_Unload();

    ChildHost& m_host;
    std::unique_ptr<PredictionEngine> m_engine;
    QPointer<QMdiSubWindow> m_subWindow;
    QPointer<PredictionForm> m_form;
};

} // namespace peridon
