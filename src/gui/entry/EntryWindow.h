#pragma once

#include "gui/widgets/ChildHost.h"

#include <QWidget>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;

namespace peridon {

class EntryModel;

// Creates the winning-data entry window 当選データ入力, not yet shown. Throws
// DbError when its database cannot be opened.
QWidget* createEntryWindow(ChildHost& host);

// The winning-data entry window: the draw table with every edit written to
// the database at once, its menu 編集(&E) (add and delete a line) and the
// close button with its check of the digit cells. moc cannot read a class
// name outside ASCII, so the class has no Q_OBJECT; it needs no signals or
// slots of its own (connections use member function pointers).
class 当選データ入力 final : public QWidget, public HasWindowMenu {
public:
    // Takes ownership of the model, which is already open.
    当選データ入力(ChildHost& host, EntryModel* model, QWidget* parent = nullptr);
    ~当選データ入力() override;

    QList<QMenu*> windowMenus() const override;
    QSize sizeHint() const override;

    EntryModel* model() const { return m_model; }
    QTableView* table() const { return m_table; }

    // The close button: checks the digit cells, then closes the window.
    void Command1_Click();
    void mnuAddLine_Click();
    void mnuDelLine_Click();
    // Copies the rows of the selection as tab-separated lines.
    void mnuCopy_Click();
    // Pastes draws from the clipboard (see pasteText).
    void mnuPaste_Click();
    // Reads draws from copied text; bad lines are listed and nothing is
    // written, otherwise one confirmation and one transaction.
    void pasteText(const QString& text);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createMenus();
    void applyLayout();
    void placeAtOrigin();
    void finishEditing();
    void showNewest();
    void updateEmptyState();
    void showRefusal(const QString& message);
    bool rowHeaderClick(QMouseEvent* event);

    ChildHost& m_host;
    EntryModel* m_model = nullptr;
    QLabel* m_description = nullptr;
    QTableView* m_table = nullptr;
    QPushButton* m_closeButton = nullptr;
    QLabel* m_emptyHint = nullptr;
    QMenu* m_editMenu = nullptr;
    QAction* m_addLineAction = nullptr;
    QAction* m_deleteLineAction = nullptr;
    QAction* m_copyAction = nullptr;
    QAction* m_pasteAction = nullptr;
    bool m_placed = false;
    bool m_unloaded = false;
};

} // namespace peridon
