#include "gui/prediction/PredictionWindow.h"

#include "core/prediction/SettingsLocation.h"
#include "core/store/Store.h"
#include "gui/prediction/PredictionForm.h"
#include "gui/widgets/ChildWindow.h"
#include "gui/widgets/Messages.h"
#include "gui/widgets/Twips.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

// Outer size of the window, in twips.
constexpr int kWidthTwips = 9360;
constexpr int kHeightTwips = 8244;

} // namespace

一発ペリドン::一発ペリドン(ChildHost& host, QObject* parent)
    : QObject(parent), m_host(host), m_engine(std::make_unique<PredictionEngine>()) {}

一発ペリドン::~一発ペリドン() {
    // The process is ending: the visible part goes without reporting to a
    // main window that may already be half gone.
    delete m_subWindow.data();
}

void 一発ペリドン::ReadInitFile() {
    const QString path = settingsFilePath();
    if (path.isEmpty())
        return;
    const SettingsFileState state = loadSettingsFile(path, m_engine->reflectFlags());
    m_settingsNotice = settingsNoticeFor(path, state);
    // When the notice says the settings will not be saved, the failure to
    // save them at exit is not told again.
    m_noticeSaysNotSaved =
        !state.replaceable() || (state.needsBackup() && settingsBackupPath(path).isEmpty());
}

QString 一発ペリドン::settingsNoticeFor(const QString& path, const SettingsFileState& state) {
    const QString shown = u"\nファイル："_s + QDir::toNativeSeparators(path);
    if (!state.replaceable())
        return u"予想の設定ファイルの名前に、通常のファイルではないもの（%1）があります。\n"
               u"%2そのままにしておくため、終了時に設定を保存しません。"_s.arg(
                   fileKindText(state.kind), state.read
                                                 ? u"設定はその先のファイルから読み込みました。"_s
                                                 : u"設定は読み込んでいません。"_s) +
               shown;
    if (state.needsBackup()) {
        const QString backup = settingsBackupPath(path);
        return u"予想の設定ファイルを読み取れませんでした。%1\n"_s.arg(state.problem) +
               (state.read ? u"読み取れた設定だけを使います。"_s
                           : u"設定はすべて「反映しない」で始めます。"_s) +
               (backup.isEmpty()
                    ? u"元のファイルを残す名前がないため、終了時に設定を保存しません。"_s
                    : u"元のファイルは、終了時に「%1」として残し、新しい設定ファイルを書きます。"_s
                          .arg(QFileInfo(backup).fileName())) +
               shown;
    }
    return {};
}

void 一発ペリドン::showSettingsNotice() {
    if (m_settingsNotice.isEmpty())
        return;
    m_settingsNoticeShown = true;
    messages::warning(m_form, std::exchange(m_settingsNotice, QString()));
}

void 一発ペリドン::WriteInitFile() {
    const QString path = settingsFilePath();
    if (path.isEmpty())
        return;
    const SettingsSave saved = saveSettingsFile(path, m_engine->reflectFlags());
    const QString shown = u"\nファイル："_s + QDir::toNativeSeparators(path);
    // What the notice at start said would happen is not said again.
    if (saved.ok) {
        if (!saved.backup.isEmpty() && !m_settingsNoticeShown)
            messages::information(
                nullptr,
                u"予想の設定ファイルを読み取れなかったため、「%1」として残し、"
                u"新しい設定ファイルを書きました。"_s.arg(QFileInfo(saved.backup).fileName()) +
                    shown);
        return;
    }
    if ((saved.refused || saved.backupFailed) && m_settingsNoticeShown && m_noticeSaysNotSaved)
        return;
    // The old file stays whole (it is replaced only once the new one is
    // complete), but the options of this run are lost: say so.
    QString text = u"予想の設定を保存できませんでした。"_s + saved.problem;
    if (!saved.refused && !saved.backupFailed)
        text += u"\n次回の起動時は前回保存した設定になります。"_s;
    if (!saved.backup.isEmpty())
        text += u"\n元の設定ファイルは「%1」として残っています。"_s.arg(
            QFileInfo(saved.backup).fileName());
    messages::stop(nullptr, text + shown);
}

bool 一発ペリドン::isOpen() const {
    return m_subWindow != nullptr;
}

PredictionForm* 一発ペリドン::form() const {
    return m_form.data();
}

QMdiSubWindow* 一発ペリドン::subWindow() const {
    return m_subWindow.data();
}

void 一発ペリドン::showWindow() {
    if (!m_subWindow)
        Form_Load();
    if (!m_subWindow)
        return;
    if (m_subWindow->isMinimized())
        m_subWindow->showNormal();
    m_subWindow->show();
    if (QMdiArea* area = m_host.mdiArea())
        area->setActiveSubWindow(m_subWindow);
    m_subWindow->raise();
    // The options the user now sees are not what the settings file held:
    // say why, once, over the window that shows them.
    showSettingsNotice();
}

void 一発ペリドン::Form_Load() {
    QMdiArea* area = m_host.mdiArea();
    if (!area)
        return;
    WaitCursor wait;
    QCoreApplication::processEvents();
    // A command handled during that pass may have opened the window already.
    if (m_subWindow)
        return;
    m_host.setPropEnd(false);

    auto* form = new PredictionForm(*m_engine, [this] { Form_Unload(); });
    form->ApplyOptionsToButtons(m_engine->reflectFlags());
    const DrawHistory& history = m_host.store().history();
    const int valid = int(std::count_if(history.rows().begin(), history.rows().end(),
                                        [](const DrawRow& r) { return r.valid(); }));
    form->setDataExtent(m_host.store().stats().lastDrawNo, valid);
    m_engine->InitGridsAndScan(m_host.store().input());
    form->refreshGrids();

    QMdiSubWindow* sub = area->addSubWindow(form);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setObjectName(u"一発ペリドンFrame"_s);
    sub->setWindowTitle(form->windowTitle());
    placeChildWindow(sub, twipsToPixels(kWidthTwips, kHeightTwips, area));
    m_form = form;
    m_subWindow = sub;
}

void 一発ペリドン::Form_Unload() {
    // The frame is deleted later by Qt; from now on the window counts as
    // closed, so showWindow loads it again.
    m_form = nullptr;
    m_subWindow = nullptr;
    m_host.setPropEnd(true);
}

} // namespace peridon
