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
    return app.exec();
}
