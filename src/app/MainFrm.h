#pragma once

#include "store/Store.h"

#include <QMainWindow>

class QMdiArea;

namespace peridon {

// The program's multiple-document main window.
class MainFrm final : public QMainWindow {
    Q_OBJECT
public:
    explicit MainFrm(const Store& store, QWidget* parent = nullptr);

    // Child windows report here whether one of them is open (false) or has
    // just closed (true). One flag, not a count.
    void setPropEnd(bool value) { m_propEnd = value; }
    bool propEndForTest() const { return m_propEnd; }

    const Store& store() const { return m_store; }
    QMdiArea* mdiArea() const { return m_mdi; }

private:
    const Store& m_store;
    QMdiArea* m_mdi = nullptr;
    bool m_propEnd = true;
};

} // namespace peridon
