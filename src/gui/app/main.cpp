#include "core/prediction/SettingsLocation.h"
#include "core/store/AppPaths.h"
#include "gui/app/MainFrm.h"
#include "gui/app/Translations.h"
#include "gui/widgets/AppIcon.h"
#include "gui/widgets/Fonts.h"
#include "gui/widgets/Messages.h"

#include <QApplication>
#include <QScreen>

using namespace Qt::StringLiterals;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(peridon::kAppTitle);
    // Lets the desktop match the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(u"jp.peridon.Numbers3Peridon"_s);
    peridon::installFontSubstitutions();
    peridon::installApplicationIcon();
    peridon::installQtTranslations(app);

    QString database;
    QString problem;
    if (!peridon::parseDatabaseArgument(QApplication::arguments(), database, problem)) {
        peridon::messages::stop(nullptr, problem + u"\n\n使い方: peridon [--db ファイル]"_s);
        return 2;
    }
    const peridon::AppPaths paths = peridon::appPaths(database);
    peridon::setSettingsFolder(paths.settingsFolder);
    bool created = false;
    try {
        created = peridon::prepareDatabase(paths);
    } catch (const peridon::DbError& e) {
        peridon::messages::stop(nullptr, e.message());
        return 1;
    }
    if (created)
        peridon::messages::information(nullptr, peridon::firstStartMessage(paths),
                                       peridon::kAppTitle);
    // Told once a start; the program goes on, since the place is the user's
    // choice.
    if (const QStringList warnings = peridon::sharedPlaceWarnings(paths); !warnings.isEmpty())
        peridon::messages::warning(nullptr, warnings.join(u"\n\n"_s));

    peridon::MainFrm frame;
    if (!frame.Load(peridon::connectStringFor(paths.databasePath)))
        return 1;
    // The analysis windows are tall: open on the whole work area.
    if (const QScreen* screen = frame.screen())
        frame.resize(screen->availableSize());
    frame.showMaximized();
    // The first activation shows the prediction window; ask for it, since
    // without a window manager nothing else activates the frame.
    frame.activateWindow();
    return app.exec();
}
