#include "gui/app/MainFrm.h"
#include "gui/widgets/AppIcon.h"
#include "gui/widgets/Fonts.h"
#include "gui/widgets/Messages.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(peridon::kAppTitle);
    peridon::installFontSubstitutions();
    peridon::installApplicationIcon();

    peridon::MainFrm frame;
    if (!frame.Load(peridon::defaultConnectString()))
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
