#include "gui/prediction/PredictionWindow.h"

#include "core/prediction/SettingsLocation.h"
#include "core/store/Store.h"
#include "gui/prediction/PredictionForm.h"
#include "gui/widgets/ChildWindow.h"
#include "gui/widgets/Messages.h"
#include "gui/widgets/Twips.h"

#include <QCoreApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>

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
    if (const QString path = settingsFilePath(); !path.isEmpty())
        readSettingsFile(path, m_engine->reflectFlags());
}

void 一発ペリドン::WriteInitFile() {
    const QString path = settingsFilePath();
    if (path.isEmpty())
        return;
    // The old file stays whole (it is replaced only once the new one is
    // complete), but the options of this run are lost: say so.
    if (!writeSettingsFile(path, m_engine->reflectFlags()))
        messages::stop(
            nullptr,
            u"予想の設定を保存できませんでした。\n次回の起動時は前回保存した設定になります。\n"
            u"ファイル："_s +
                QDir::toNativeSeparators(path));
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
    form->setLastDrawNo(m_host.store().stats().lastDrawNo);
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
