#include "app/MainFrm.h"
#include "store/Store.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ナンバーズ3ペリドン"));

    peridon::Store store;
    try {
        store = peridon::Store::open(peridon::defaultConnectString());
    } catch (const peridon::DbError& e) {
        QMessageBox::critical(nullptr, QStringLiteral("メッセ－ジ"), e.message());
        return 1;
    }
    peridon::MainFrm frame(store);
    frame.show();
    return app.exec();
}
