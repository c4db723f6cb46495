#include "app/MainFrm.h"

#include <QMdiArea>

namespace peridon {

MainFrm::MainFrm(const Store& store, QWidget* parent) : QMainWindow(parent), m_store(store) {
    setObjectName(QStringLiteral("MainFrm"));
    setWindowTitle(QStringLiteral("ナンバーズ3ペリドン"));
    m_mdi = new QMdiArea(this);
    setCentralWidget(m_mdi);
    resize(1024, 768);
}

} // namespace peridon
