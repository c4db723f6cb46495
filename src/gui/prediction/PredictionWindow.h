#pragma once

#include "core/prediction/PredictionEngine.h"
#include "core/prediction/PredictionSettings.h"
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
    // (settingsFilePath()). A missing file leaves every option at 反映しない;
    // of a file that cannot be wholly read, the options it does hold are
    // used, and at exit it is kept as a backup before the new one is written.
    // A name that is not a regular file is left alone. The user is told once:
    // when the window is first shown (the notice), or at exit when it never
    // was; a file that cannot be written is reported at exit.
    void ReadInitFile();
    void WriteInitFile();
    // The notice pending from ReadInitFile; empty when there is none or it
    // has been shown.
    const QString& settingsNotice() const { return m_settingsNotice; }

    // Shows the window, loading it first (history scan, four methods) when
    // its visible part is not open; brings it to the front when it is.
    void showWindow();
    bool isOpen() const;

    const PredictionEngine& engine() const { return *m_engine; }
    // The visible part while the window is open, else nullptr.
    PredictionForm* form() const;
    QMdiSubWindow* subWindow() const;

private:
    static QString settingsNoticeFor(const QString& path, const SettingsFileState& state);
    void showSettingsNotice();
    void Form_Load();
    void Form_Unload();

    ChildHost& m_host;
    std::unique_ptr<PredictionEngine> m_engine;
    QPointer<QMdiSubWindow> m_subWindow;
    QPointer<PredictionForm> m_form;
    QString m_settingsNotice;
    bool m_settingsNoticeShown = false;
    bool m_noticeSaysNotSaved = false;
};

} // namespace peridon
