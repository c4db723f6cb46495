#pragma once

// The entry window open over a real database file, in a stand-in for the
// main window, with what the entry tests drive and read.
#include "core/entry/EntryModel.h"
#include "core/store/Database.h"
#include "core/store/DrawTable.h"
#include "core/store/Store.h"
#include "gui/entry/EntryWindow.h"
#include "gui/widgets/ChildHost.h"
#include "support/TestDatabase.h"

#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace peridon::test {

using namespace Qt::StringLiterals;

// A main window stand-in: the MDI area, the start-up store and propEnd.
class Host final : public ChildHost {
public:
    explicit Host(Store store) : m_store(std::move(store)) {
        m_area.resize(900, 1000);
        m_area.show();
    }
    void setPropEnd(bool value) override { propEnd = value; }
    QMdiArea* mdiArea() const override { return const_cast<QMdiArea*>(&m_area); }
    const Store& store() const override { return m_store; }

    bool propEnd = true;

private:
    Store m_store;
    QMdiArea m_area;
};

// One database file, a host over its start-up snapshot and the window open
// in the host's area.
struct Fixture {
    explicit Fixture(const QString& history) {
        cs = test::makeDatabase(dir.filePath(u"Numbers3Peridon.mdb"_s), history);
        host = std::make_unique<Host>(Store::open(cs));
        window = static_cast<当選データ入力*>(createEntryWindow(*host));
        sub = host->mdiArea()->addSubWindow(window);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->show();
        QCoreApplication::processEvents();
        table = window->table();
        model = window->model();
    }
    QString stored() const { return test::storedRows(cs); }
    QString shown() const {
        QStringList out;
        for (int r = 0; r < model->rowCount(); ++r) {
            QString digits;
            for (int c = 1; c <= 3; ++c) {
                const QString t = model->cellText(r, c);
                digits += t.isEmpty() ? u"-"_s : t;
            }
            out << u"%1:%2"_s.arg(model->drawNoAt(r)).arg(digits);
        }
        return out.join(u' ');
    }
    // The date stored for a draw, "(none)" when the draw is not stored.
    QString dateOf(int drawNo) const {
        Database db(cs, Database::Mode::OpenExisting);
        Statement st = db.prepare("SELECT 抽せん日 FROM 当選データ WHERE 回数 = ?1");
        st.bind(1, drawNo);
        return st.step() ? st.columnText(0) : u"(none)"_s;
    }
    bool backedUp() const { return QFile::exists(DrawTable::backupPathFor(cs.path)); }
    void select(int row, int column) { table->setCurrentIndex(model->index(row, column)); }
    // Types keys into a cell and presses Enter, as a user does.
    void type(int row, int column, const QString& keys) {
        select(row, column);
        table->setFocus();
        QTest::keyClicks(table, keys.left(1));
        if (QLineEdit* editor = openEditor()) {
            QTest::keyClicks(editor, keys.mid(1));
            QTest::keyClick(editor, Qt::Key_Return);
        }
        settle();
    }
    // Types keys one by one into whatever has the focus in the table: the
    // table, or the editor a key has opened.
    void typeKeys(const QString& keys) {
        for (QChar c : keys) {
            QLineEdit* editor = openEditor();
            QTest::keyClicks(editor ? static_cast<QWidget*>(editor) : table, QString(c));
            settle();
        }
    }
    // The editor open in the table, if any.
    QLineEdit* openEditor() const {
        for (auto* editor : table->findChildren<QLineEdit*>(u"digitEditor"_s))
            if (editor->isVisible())
                return editor;
        return nullptr;
    }
    // Lets the editor commit (queued after its own key handling) and go.
    static void settle() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QTemporaryDir dir;
    ConnectString cs;
    std::unique_ptr<Host> host;
    当選データ入力* window = nullptr;
    QMdiSubWindow* sub = nullptr;
    QTableView* table = nullptr;
    EntryModel* model = nullptr;
};

} // namespace peridon::test
