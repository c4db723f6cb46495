#include "app/MainFrm.h"
#include "ui/Fonts.h"
#include "ui/Messages.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(peridon::kAppTitle);
    peridon::installFontSubstitutions();

    peridon::MainFrm frame;
    if (!frame.Load(peridon::defaultConnectString()))
        return 1;
    frame.show();
    // The first activation shows the prediction window; ask for it, since
    // without a window manager nothing else activates the frame.
    frame.activateWindow();
    return app.exec();
}
