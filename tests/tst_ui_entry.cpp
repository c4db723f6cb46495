// The winning-data entry window as a user drives it: typing digits, the
// editor's refusals, adding and deleting lines, the pop-up menu, the close
// check and the close box, all against a real database file.

#include "core/entry/EntryModel.h"
#include "core/store/Store.h"
#include "gui/app/MainFrm.h"
#include "gui/entry/EntryWindow.h"
#include "gui/widgets/Fonts.h"
#include "gui/widgets/Messages.h"
#include "support/EntryFixture.h"
#include "support/TestDatabase.h"
#include "support/WorkingDirectory.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

using namespace peridon;
using messages::Recorder;
using test::Fixture;
using test::Host;

namespace {

void storeForeignValues(const ConnectString& cs, const char* sql) {
    Database db(cs, Database::Mode::OpenExisting);
    db.exec("PRAGMA ignore_check_constraints = ON");
    db.exec(sql);
}

} // namespace

class TestEntryWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        test::useTemporaryWorkingDirectory();
        installFontSubstitutions();
    }
    void loadsTheTableAndControls();
    void typedDigitIsWrittenAtOnce();
    void editorRefusesAnythingButOneDigit_data();
    void editorRefusesAnythingButOneDigit();
    void pastedTextIsRefused();
    void typingADrawFillsItsRow_data();
    void typingADrawFillsItsRow();
    void arrowKeysWriteWhatIsTyped_data();
    void arrowKeysWriteWhatIsTyped();
    void invalidTextIsNeverWritten_data();
    void invalidTextIsNeverWritten();
    void refusedWriteShowsMessageAndStoredValue();
    void refusalIsShownOnceWhenTheBoxTakesFocus();
    void addLine_data();
    void addLine();
    void addLineByShortcutWhileEditing();
    void addedLineIsWrittenWithItsFirstDigit();
    void addedLineLeftEmptyIsNeverWritten_data();
    void addedLineLeftEmptyIsNeverWritten();
    void addedLinesTakeDistinctNumbers();
    void emptyTableShowsHintAndMenu();
    void opensAtTheNewestDraw();
    void deleteLine_data();
    void deleteLine();
    void popupMenuConditions_data();
    void popupMenuConditions();
    void closeCheck_data();
    void closeCheck();
    void closeCheckCoversTheFifthColumn();
    void closeBoxSkipsTheCheck();
    void backupIsWrittenBeforeTheFirstChangeOnly();
    void startupSnapshotIsUnchanged();
    void menuBarWhileActive();
};

void TestEntryWindow::loadsTheTableAndControls() {
    Fixture f(u"1:123 2:4-6 3:789"_s);
    QCOMPARE(f.window->windowTitle(), u"当選データ入力"_s);
    QVERIFY(!f.host->propEnd);
    QCOMPARE(f.sub->pos(), QPoint(0, 0));
    QCOMPARE(f.window->findChild<QLabel*>(u"Label1"_s)->text(),
             u"当選数字を開催回数毎に入力します（分析対象データとなります）"_s);
    QCOMPARE(f.window->findChild<QPushButton*>(u"Command1"_s)->text(), u"閉じる"_s);
    QCOMPARE(f.table->objectName(), u"fpSpread1"_s);
    QVERIFY(f.table->horizontalHeader()->isHidden());
    QVERIFY(!f.table->verticalHeader()->isHidden());
    QCOMPARE(f.model->columnCount(), 5);
    QCOMPARE(f.shown(), u"1:123 2:4-6 3:789"_s);

    const QModelIndex drawNo = f.model->index(1, 0);
    QCOMPARE(drawNo.data().toString(), u"2"_s);
    QCOMPARE(drawNo.data(Qt::BackgroundRole).value<QColor>(), QColor(255, 255, 200));
    QCOMPARE(drawNo.data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
    QVERIFY(!(f.model->flags(drawNo) & Qt::ItemIsEditable));
    QVERIFY(!(f.model->flags(f.model->index(0, 4)) & Qt::ItemIsEditable));
    QVERIFY(f.model->index(0, 4).data().toString().isEmpty());
    for (int c = 1; c <= 3; ++c) {
        QVERIFY(f.model->flags(f.model->index(0, c)) & Qt::ItemIsEditable);
        QCOMPARE(f.model->index(0, c).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    }
    // Digit columns are wider than the draw-number column, which is wider
    // than the fifth.
    QVERIFY(f.table->columnWidth(1) > f.table->columnWidth(0));
    QVERIFY(f.table->columnWidth(0) > f.table->columnWidth(4));

    const QList<QMenu*> menus = f.window->windowMenus();
    QCOMPARE(menus.size(), 1);
    QCOMPARE(menus[0]->objectName(), u"mnuEdit"_s);
    QCOMPARE(menus[0]->title(), u"編集(&E)"_s);
    auto* add = f.window->findChild<QAction*>(u"mnuAddLine"_s);
    auto* del = f.window->findChild<QAction*>(u"mnuDelLine"_s);
    QCOMPARE(add->text(), u"行追加"_s);
    QCOMPARE(add->shortcut(), QKeySequence(u"Ctrl+A"_s));
    QCOMPARE(del->text(), u"行削除"_s);
    QCOMPARE(del->shortcut(), QKeySequence(u"Ctrl+D"_s));
}

void TestEntryWindow::typedDigitIsWrittenAtOnce() {
    Fixture f(u"1:123 2:4-6"_s);
    f.type(1, 2, u"5"_s);
    QCOMPARE(f.stored(), u"1:123 2:456"_s); // while the window is still open
    f.type(0, 2, u"0"_s);                   // a typed digit replaces the one shown
    QCOMPARE(f.stored(), u"1:103 2:456"_s);
    // Delete clears a digit: an empty field, the row no longer a valid draw.
    f.select(0, 3);
    QTest::keyClick(f.table, Qt::Key_Delete);
    QCOMPARE(f.stored(), u"1:10- 2:456"_s);
    QCOMPARE(f.shown(), f.stored());
    // A new session reads back what was written.
    EntryModel reopened(f.cs);
    QCOMPARE(reopened.cellText(1, 2), u"5"_s);
    QCOMPARE(reopened.cellText(0, 2), u"0"_s);
    QVERIFY(reopened.cellText(0, 3).isEmpty());
}

void TestEntryWindow::editorRefusesAnythingButOneDigit_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("column"); // where the cursor stands after the keys
    // Each digit typed is written and the cursor goes on: "10" is two digits.
    QTest::newRow("10") << "10"
                        << "1:110" << 3;
    QTest::newRow("1.5") << "1.5"
                         << "1:115" << 3;
    QTest::newRow("-1") << "-1"
                        << "1:113" << 3;
    QTest::newRow("a letter") << "a"
                              << "1:123" << 2;
    QTest::newRow("letter then digit") << "x7"
                                       << "1:173" << 3;
}

void TestEntryWindow::editorRefusesAnythingButOneDigit() {
    QFETCH(QString, keys);
    QFETCH(QString, expected);
    QFETCH(int, column);
    Fixture f(u"1:123"_s);
    Recorder rec;
    f.select(0, 2);
    f.table->setFocus();
    f.typeKeys(keys);
    if (QLineEdit* editor = f.openEditor()) {
        QVERIFY(editor->text().size() <= 1);
        QTest::keyClick(editor, Qt::Key_Return);
    }
    f.settle();
    QCOMPARE(f.stored(), expected);
    QCOMPARE(f.table->currentIndex().column(), column);
    QCOMPARE(rec.count(), 0);
}

// "123" typed on a first digit cell writes the whole draw, cell by cell,
// and the cursor goes on to the next row's first digit (or stays on the
// last cell of the last row).
void TestEntryWindow::typingADrawFillsItsRow_data() {
    QTest::addColumn<QString>("history");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("endRow");
    QTest::addColumn<int>("endColumn");
    QTest::newRow("added line") << "1:123" << -1 << "1:123 2:456" << 1 << 3;
    QTest::newRow("stored row, next below") << "1:123 2:789" << 0 << "1:456 2:789" << 1 << 1;
    QTest::newRow("two draws in a row") << "1:--- 2:---" << 0 << "1:456 2:456" << 1 << 3;
}

void TestEntryWindow::typingADrawFillsItsRow() {
    QFETCH(QString, history);
    QFETCH(int, row);
    QFETCH(QString, expected);
    QFETCH(int, endRow);
    QFETCH(int, endColumn);
    Fixture f(history);
    Recorder rec(QMessageBox::Yes);
    if (row < 0) {
        f.select(0, 1);
        f.window->mnuAddLine_Click();
        row = f.table->currentIndex().row();
    }
    f.select(row, 1);
    f.table->setFocus();
    f.typeKeys(QTest::currentDataTag() == QByteArray("two draws in a row") ? u"456456"_s
                                                                           : u"456"_s);
    f.settle();
    QCOMPARE(f.stored(), expected);
    QCOMPARE(f.table->currentIndex(), f.model->index(endRow, endColumn));
    QVERIFY(!f.openEditor());
}

// The arrow keys write what the editor holds, as Tab does, then move.
void TestEntryWindow::arrowKeysWriteWhatIsTyped_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::newRow("down") << int(Qt::Key_Down) << 2 << 2;
    QTest::newRow("up") << int(Qt::Key_Up) << 0 << 2;
    QTest::newRow("left") << int(Qt::Key_Left) << 1 << 1;
    QTest::newRow("right") << int(Qt::Key_Right) << 1 << 3;
}

void TestEntryWindow::arrowKeysWriteWhatIsTyped() {
    QFETCH(int, key);
    QFETCH(int, row);
    QFETCH(int, column);
    Fixture f(u"1:123 2:456 3:789"_s);
    Recorder rec;
    f.select(1, 2);
    f.table->setFocus();
    QTest::keyClick(f.table, Qt::Key_F2);
    QLineEdit* editor = f.openEditor();
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_Backspace); // the field is emptied
    QTest::keyClick(editor, Qt::Key(key));
    f.settle();
    QCOMPARE(f.stored(), u"1:123 2:4-6 3:789"_s);
    QCOMPARE(f.table->currentIndex(), f.model->index(row, column));
    QCOMPARE(rec.count(), 0);
}

void TestEntryWindow::pastedTextIsRefused() {
    Fixture f(u"1:123"_s);
    f.select(0, 1);
    f.table->edit(f.model->index(0, 1));
    QLineEdit* editor = f.openEditor();
    QVERIFY(editor);
    for (const QString& text : {u"12"_s, u"1.5"_s, u"-1"_s, u"abc"_s}) {
        editor->selectAll();
        editor->insert(text); // what a paste does
        QCOMPARE(editor->text(), u"1"_s);
    }
}

void TestEntryWindow::invalidTextIsNeverWritten_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("10") << "10";
    QTest::newRow("1.5") << "1.5";
    QTest::newRow("-1") << "-1";
    QTest::newRow("letter") << "a";
    QTest::newRow("space") << " 4";
}

void TestEntryWindow::invalidTextIsNeverWritten() {
    QFETCH(QString, text);
    Fixture f(u"1:123"_s);
    Recorder rec;
    QVERIFY(!f.model->setData(f.model->index(0, 1), text));
    QCOMPARE(f.stored(), u"1:123"_s);
    QCOMPARE(f.shown(), u"1:123"_s);
    QCOMPARE(rec.count(), 1);
    QCOMPARE(rec.last().icon, messages::Icon::Stop);
    QCOMPARE(rec.last().title, u"メッセ－ジ"_s);
}

void TestEntryWindow::refusedWriteShowsMessageAndStoredValue() {
    Fixture f(u"1:123"_s);
    Recorder rec;
    f.type(0, 1, u"4"_s); // the session's backup is written now
    QCOMPARE(rec.count(), 0);
    Database other(f.cs, Database::Mode::OpenExisting);
    other.exec("BEGIN IMMEDIATE"); // another program holds the file
    f.type(0, 2, u"9"_s);
    QCOMPARE(rec.count(), 1);
    QCOMPARE(rec.last().icon, messages::Icon::Stop);
    QCOMPARE(rec.last().title, u"メッセ－ジ"_s);
    QVERIFY(rec.last().text.contains(u"使用中"_s));
    QCOMPARE(f.model->cellText(0, 2), u"2"_s);
    other.exec("ROLLBACK");
    QCOMPARE(f.stored(), u"1:423"_s);
}

void TestEntryWindow::refusalIsShownOnceWhenTheBoxTakesFocus() {
    Fixture f(u"1:123"_s);
    f.type(0, 1, u"4"_s);
    Database other(f.cs, Database::Mode::OpenExisting);
    other.exec("BEGIN IMMEDIATE");
    // A real message box takes the focus from the editor while it is shown.
    int shown = 0;
    auto* button = f.window->findChild<QPushButton*>(u"Command1"_s);
    messages::setTestHandler([&](const messages::Request&) {
        ++shown;
        button->setFocus(Qt::ActiveWindowFocusReason);
        return QMessageBox::Ok;
    });
    f.select(0, 2);
    f.table->setFocus();
    f.table->edit(f.model->index(0, 2));
    QLineEdit* editor = f.openEditor();
    QVERIFY(editor);
    editor->setText(u"9"_s);
    editor->setFocus();
    QVERIFY(editor->hasFocus());
    QTest::keyClick(editor, Qt::Key_Return);
    f.settle();
    messages::setTestHandler({});
    QVERIFY(button->hasFocus());
    other.exec("ROLLBACK");
    QCOMPARE(shown, 1);
    QCOMPARE(f.model->cellText(0, 2), u"2"_s);
    QCOMPARE(f.stored(), u"1:423"_s);
}

void TestEntryWindow::addLine_data() {
    QTest::addColumn<QString>("history");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("newRow");
    QTest::newRow("after the last row")
        << "1:123 2:456" << 1 << 2 << true << "1:123 2:456 3:---" << 2;
    QTest::newRow("into a gap") << "1:123 2:456 5:789" << 1 << 3 << true
                                << "1:123 2:456 3:--- 5:789" << 2;
    QTest::newRow("middle, before a gap")
        << "1:123 3:456 4:789" << 0 << 1 << true << "1:123 2:--- 3:456 4:789" << 1;
    QTest::newRow("middle of a run")
        << "1:123 2:456 3:789 9:111" << 0 << 0 << true << "1:123 2:456 3:789 4:--- 9:111" << 3;
    QTest::newRow("No") << "1:123 2:456" << 0 << 1 << false << "1:123 2:456" << 0;
    QTest::newRow("empty table") << "" << -1 << 1 << true << "1:---" << 0;
}

void TestEntryWindow::addLine() {
    QFETCH(QString, history);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(bool, yes);
    QFETCH(QString, expected);
    QFETCH(int, newRow);
    Fixture f(history);
    Recorder rec(yes ? QMessageBox::Yes : QMessageBox::No);
    f.select(row, column);
    f.window->findChild<QAction*>(u"mnuAddLine"_s)->trigger();
    QCOMPARE(rec.count(), 1);
    const messages::Request& ask = rec.last();
    QCOMPARE(ask.text, u"選択された行のうしろに行を追加します。よろしいですか？"_s);
    QCOMPARE(ask.icon, messages::Icon::Warning);
    QCOMPARE(ask.title, kAppTitle);
    QCOMPARE(ask.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(ask.defaultButton, QMessageBox::No);
    QCOMPARE(f.shown(), expected);
    // The line is written only with its first digit.
    QCOMPARE(f.stored(), history);
    QCOMPARE(f.table->currentIndex(), f.model->index(yes ? newRow : row, column));
}

void TestEntryWindow::addLineByShortcutWhileEditing() {
    Fixture f(u"1:123"_s);
    Recorder rec(QMessageBox::Yes);
    f.select(0, 3);
    f.table->setFocus();
    f.table->edit(f.model->index(0, 3));
    QLineEdit* editor = f.openEditor();
    QVERIFY(editor);
    editor->setText(u"8"_s);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(rec.count(), 1);
    // The digit being typed is kept, then the line is added below.
    QCOMPARE(f.stored(), u"1:128"_s);
    QCOMPARE(f.shown(), u"1:128 2:---"_s);
    QCOMPARE(f.table->currentIndex(), f.model->index(1, 3));
}

void TestEntryWindow::addedLineIsWrittenWithItsFirstDigit() {
    Fixture f(u"1:123 2:456"_s);
    Recorder rec(QMessageBox::Yes);
    f.select(1, 2);
    f.window->findChild<QAction*>(u"mnuAddLine"_s)->trigger();
    QVERIFY(f.model->isUnsaved(2));
    QCOMPARE(f.stored(), u"1:123 2:456"_s);
    f.type(2, 2, u"5"_s);
    QCOMPARE(f.stored(), u"1:123 2:456 3:-5-"_s);
    QVERIFY(!f.model->isUnsaved(2));
    f.type(2, 1, u"7"_s);
    f.type(2, 3, u"0"_s);
    QCOMPARE(f.stored(), u"1:123 2:456 3:750"_s);
    QVERIFY(f.sub->close());
    QCOMPARE(f.stored(), u"1:123 2:456 3:750"_s);
    QCOMPARE(rec.count(), 1); // the question only
}

void TestEntryWindow::addedLineLeftEmptyIsNeverWritten_data() {
    QTest::addColumn<QString>("then");
    QTest::addColumn<QString>("history");
    QTest::addColumn<QString>("added"); // the table with the line added
    QTest::addColumn<int>("row");       // where the added line stands
    const QString two = u"1:123 3:456"_s;
    const QString inserted = u"1:123 2:--- 3:456"_s;
    QTest::newRow("close box") << u"close box"_s << two << inserted << 1;
    QTest::newRow("閉じる") << u"button"_s << two << inserted << 1;
    QTest::newRow("deleted") << u"delete"_s << two << inserted << 1;
    QTest::newRow("field cleared") << u"clear"_s << two << inserted << 1;
    // The first row of an empty table is dropped like any other.
    QTest::newRow("first row, close box") << u"close box"_s << QString() << u"1:---"_s << 0;
    QTest::newRow("first row, 閉じる") << u"button"_s << QString() << u"1:---"_s << 0;
}

void TestEntryWindow::addedLineLeftEmptyIsNeverWritten() {
    QFETCH(QString, then);
    QFETCH(QString, history);
    QFETCH(QString, added);
    QFETCH(int, row);
    Fixture f(history);
    const QString bak = f.dir.filePath(u"Numbers3Peridon.bak"_s);
    Recorder rec(QMessageBox::Yes);
    if (row > 0)
        f.select(row - 1, 1);
    f.window->findChild<QAction*>(u"mnuAddLine"_s)->trigger();
    QCOMPARE(f.shown(), added);
    QVERIFY(f.model->isUnsaved(row));
    // The line leaves the table itself, not only the database.
    QSignalSpy removed(f.model, &QAbstractItemModel::rowsRemoved);
    QPointer<QMdiSubWindow> sub = f.sub;
    if (then == u"close box"_s) {
        QVERIFY(f.sub->close());
    } else if (then == u"button"_s) {
        QTest::mouseClick(f.window->findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
        QTRY_VERIFY(!sub);
    } else if (then == u"delete"_s) {
        f.select(1, 1);
        f.window->findChild<QAction*>(u"mnuDelLine"_s)->trigger();
        QCOMPARE(f.shown(), u"1:123 3:456"_s);
    } else {
        f.select(1, 2);
        QTest::keyClick(f.table, Qt::Key_Delete);
        QVERIFY(f.model->isUnsaved(1));
        QVERIFY(f.sub->close());
    }
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.first().at(1).toInt(), row);
    QCOMPARE(f.stored(), history);
    QVERIFY(!QFile::exists(bak)); // nothing was written at all
    QCOMPARE(EntryModel(f.cs).rowCount(), row == 0 ? 0 : 2);
}

void TestEntryWindow::addedLinesTakeDistinctNumbers() {
    Fixture f(u"1:123 5:456"_s);
    Recorder rec(QMessageBox::Yes);
    for (int i = 0; i < 2; ++i) {
        f.select(0, 1);
        f.window->findChild<QAction*>(u"mnuAddLine"_s)->trigger();
    }
    QCOMPARE(f.shown(), u"1:123 2:--- 3:--- 5:456"_s);
    f.type(2, 1, u"9"_s);
    QCOMPARE(f.stored(), u"1:123 3:9-- 5:456"_s);
    QVERIFY(f.model->isUnsaved(1));
    QVERIFY(!f.model->isUnsaved(2));
}

void TestEntryWindow::emptyTableShowsHintAndMenu() {
    Fixture f(QString{});
    auto* hint = f.table->viewport()->findChild<QLabel*>(u"emptyHint"_s);
    QVERIFY(hint);
    QVERIFY(hint->isVisible());
    QVERIFY(hint->text().startsWith(u"行追加 (Ctrl+A) で最初の回を追加"_s));
    QVERIFY(hint->text().contains(u"貼り付け"_s) && hint->text().contains(u"取り込み"_s));
    QVERIFY(!f.window->findChild<QAction*>(u"mnuDelLine"_s)->isEnabled());
    // With no row header to click, a right click anywhere on the table
    // opens the menu.
    auto* menu = f.window->findChild<QMenu*>(u"mnuEdit"_s);
    QTest::mousePress(f.table->viewport(), Qt::RightButton, {}, QPoint(30, 30));
    QVERIFY(menu->isVisible());
    menu->hide();
    QTest::mousePress(f.table->verticalHeader()->viewport(), Qt::RightButton, {}, QPoint(5, 5));
    QVERIFY(menu->isVisible());
    menu->hide();
    Recorder rec(QMessageBox::Yes);
    f.window->findChild<QAction*>(u"mnuAddLine"_s)->trigger();
    QCOMPARE(f.shown(), u"1:---"_s);
    QVERIFY(!hint->isVisible());
    QVERIFY(f.window->findChild<QAction*>(u"mnuDelLine"_s)->isEnabled());
    // Back to empty: the hint returns.
    f.window->findChild<QAction*>(u"mnuDelLine"_s)->trigger();
    QCOMPARE(f.model->rowCount(), 0);
    QVERIFY(hint->isVisible());
}

void TestEntryWindow::opensAtTheNewestDraw() {
    QStringList draws;
    for (int no = 1; no <= 300; ++no)
        draws << u"%1:%2%3%4"_s.arg(no).arg(no % 10).arg(no / 10 % 10).arg(no % 7);
    Fixture f(draws.join(u' '));
    const QModelIndex last = f.model->index(299, 1);
    QCOMPARE(f.table->currentIndex(), last);
    QScrollBar* bar = f.table->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QTRY_COMPARE(bar->value(), bar->maximum());
    QVERIFY(f.table->viewport()->rect().contains(f.table->visualRect(last)));
}

void TestEntryWindow::deleteLine_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("middle row") << 1 << true << "1:123 3:789";
    QTest::newRow("last row") << 2 << true << "1:123 2:456";
    QTest::newRow("No") << 1 << false << "1:123 2:456 3:789";
}

void TestEntryWindow::deleteLine() {
    QFETCH(int, row);
    QFETCH(bool, yes);
    QFETCH(QString, expected);
    Fixture f(u"1:123 2:456 3:789"_s);
    Recorder rec(yes ? QMessageBox::Yes : QMessageBox::No);
    f.select(row, 2);
    f.table->setFocus();
    QTest::keyClick(f.table, Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(rec.count(), 1);
    QCOMPARE(rec.last().text, u"選択された行を削除します。よろしいですか？"_s);
    QCOMPARE(rec.last().icon, messages::Icon::Warning);
    QCOMPARE(rec.last().defaultButton, QMessageBox::No);
    QCOMPARE(f.stored(), expected);
    QCOMPARE(f.shown(), expected);
    QVERIFY(f.table->currentIndex().isValid());
}

void TestEntryWindow::popupMenuConditions_data() {
    QTest::addColumn<QString>("where"); // header, cell
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("doubleClick");
    QTest::addColumn<int>("selectionRows");
    QTest::addColumn<bool>("shown");
    QTest::newRow("row header, one row selected") << "header" << 1 << false << 1 << true;
    QTest::newRow("row header of another row") << "header" << 2 << false << 1 << true;
    QTest::newRow("double click") << "header" << 1 << true << 1 << false;
    QTest::newRow("data cell") << "cell" << 1 << false << 1 << false;
    QTest::newRow("below the last row") << "header" << 5 << false << 1 << false;
    QTest::newRow("selection over two rows") << "header" << 1 << false << 2 << false;
}

void TestEntryWindow::popupMenuConditions() {
    QFETCH(QString, where);
    QFETCH(int, row);
    QFETCH(bool, doubleClick);
    QFETCH(int, selectionRows);
    QFETCH(bool, shown);
    Fixture f(u"1:123 2:456 3:789"_s);
    f.select(1, 1);
    if (selectionRows > 1)
        f.table->selectionModel()->select(
            QItemSelection(f.model->index(1, 1), f.model->index(selectionRows, 2)),
            QItemSelectionModel::ClearAndSelect);
    QHeaderView* header = f.table->verticalHeader();
    const int y = header->sectionViewportPosition(0) + (row * header->defaultSectionSize()) +
                  header->defaultSectionSize() / 2;
    QWidget* target = where == QLatin1String("header") ? header->viewport() : f.table->viewport();
    const QPoint pos(where == QLatin1String("header") ? header->width() / 2 : 20, y);
    if (doubleClick)
        QTest::mouseDClick(target, Qt::RightButton, {}, pos);
    else
        QTest::mousePress(target, Qt::RightButton, {}, pos);
    auto* menu = f.window->findChild<QMenu*>(u"mnuEdit"_s);
    QCOMPARE(menu->isVisible(), shown);
    menu->hide();
}

void TestEntryWindow::closeCheck_data() {
    QTest::addColumn<QString>("foreign"); // values stored past the schema's checks
    QTest::addColumn<int>("badRow");      // -1: the window closes
    QTest::addColumn<int>("badColumn");
    QTest::newRow("all digits or empty") << "" << -1 << -1;
    QTest::newRow("10") << "UPDATE 当選データ SET 第2数字 = 10 WHERE 回数 = 2" << 1 << 2;
    QTest::newRow("1.5") << "UPDATE 当選データ SET 第1数字 = 1.5 WHERE 回数 = 3" << 2 << 1;
    QTest::newRow("negative") << "UPDATE 当選データ SET 第3数字 = -1 WHERE 回数 = 1" << 0 << 3;
    QTest::newRow("not a number") << "UPDATE 当選データ SET 第1数字 = 'x' WHERE 回数 = 1" << 0 << 1;
    QTest::newRow("top-most wins") << "UPDATE 当選データ SET 第1数字 = 12 WHERE 回数 = 3; "
                                      "UPDATE 当選データ SET 第3数字 = 10 WHERE 回数 = 2"
                                   << 1 << 3;
    QTest::newRow("then left-most")
        << "UPDATE 当選データ SET 第3数字 = 10, 第2数字 = -5 WHERE 回数 = 2" << 1 << 2;
}

void TestEntryWindow::closeCheck() {
    QFETCH(QString, foreign);
    QFETCH(int, badRow);
    QFETCH(int, badColumn);
    Fixture f(u"1:123 2:4-6 3:--- 4:000"_s);
    if (!foreign.isEmpty()) {
        // Reopen the window over the altered file.
        f.sub->close();
        storeForeignValues(f.cs, foreign.toUtf8().constData());
        f.window = static_cast<当選データ入力*>(createEntryWindow(*f.host));
        f.sub = f.host->mdiArea()->addSubWindow(f.window);
        f.sub->show();
        f.table = f.window->table();
        f.model = f.window->model();
    }
    QPointer<QMdiSubWindow> sub = f.sub;
    Recorder rec;
    f.select(3, 0);
    f.window->findChild<QPushButton*>(u"Command1"_s)->click();
    QCoreApplication::processEvents();
    if (badRow < 0) {
        QCOMPARE(rec.count(), 0);
        QVERIFY(sub.isNull() || !sub->isVisible());
        QVERIFY(f.host->propEnd);
        return;
    }
    QCOMPARE(rec.count(), 1);
    QCOMPARE(rec.last().text, u"結果マスタの数字に誤りがあります。"_s);
    QCOMPARE(rec.last().icon, messages::Icon::Stop);
    QCOMPARE(rec.last().title, u"メッセ－ジ"_s);
    QVERIFY(!sub.isNull() && sub->isVisible());
    QVERIFY(!f.host->propEnd);
    QCOMPARE(f.table->currentIndex(), f.model->index(badRow, badColumn));
}

void TestEntryWindow::closeCheckCoversTheFifthColumn() {
    QStandardItemModel table(3, 5);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 5; ++c)
            table.setItem(r, c, new QStandardItem(c == 0 ? QString::number(r + 1) : QString()));
    QVERIFY(!findBadDigitCell(table));
    table.item(1, 4)->setText(u"10"_s);
    table.item(2, 1)->setText(u"-3"_s);
    const auto bad = findBadDigitCell(table);
    QVERIFY(bad);
    QCOMPARE(bad->row(), 1);
    QCOMPARE(bad->column(), 4);
    // The draw-number column is not checked.
    table.item(1, 4)->setText(QString());
    table.item(2, 1)->setText(QString());
    table.item(0, 0)->setText(u"99"_s);
    QVERIFY(!findBadDigitCell(table));
}

void TestEntryWindow::closeBoxSkipsTheCheck() {
    Fixture f(u"1:123"_s);
    f.sub->close();
    storeForeignValues(f.cs, "UPDATE 当選データ SET 第1数字 = 10");
    f.window = static_cast<当選データ入力*>(createEntryWindow(*f.host));
    f.sub = f.host->mdiArea()->addSubWindow(f.window);
    f.sub->show();
    QVERIFY(!f.host->propEnd);
    Recorder rec;
    QVERIFY(f.sub->close());
    QCOMPARE(rec.count(), 0);
    QVERIFY(f.host->propEnd);
}

void TestEntryWindow::backupIsWrittenBeforeTheFirstChangeOnly() {
    Fixture f(u"1:123 2:456"_s);
    const QString bak = f.dir.filePath(u"Numbers3Peridon.bak"_s);
    Recorder rec(QMessageBox::No);
    f.select(0, 1);
    f.window->findChild<QAction*>(u"mnuAddLine"_s)->trigger();
    f.window->findChild<QAction*>(u"mnuDelLine"_s)->trigger();
    QVERIFY(!QFile::exists(bak)); // nothing was written: no backup either
    f.type(0, 1, u"9"_s);
    f.type(1, 1, u"9"_s);
    QCOMPARE(test::storedRows(connectStringFor(bak)), u"1:123 2:456"_s);
}

void TestEntryWindow::startupSnapshotIsUnchanged() {
    Fixture f(u"1:123 2:456 3:789"_s);
    const std::vector<DrawRow> before = f.host->store().history().rows();
    const StartupStats stats = f.host->store().stats();
    Recorder rec(QMessageBox::Yes);
    f.type(0, 1, u"0"_s);
    f.select(2, 1);
    f.window->findChild<QAction*>(u"mnuAddLine"_s)->trigger();
    f.select(1, 1);
    f.window->findChild<QAction*>(u"mnuDelLine"_s)->trigger();
    f.sub->close();
    QCOMPARE(f.stored(), u"1:023 3:789"_s);
    // The analyses read the start-up snapshot until the program restarts.
    const auto& after = f.host->store().history().rows();
    QCOMPARE(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        QCOMPARE(after[i].drawNo, before[i].drawNo);
        QVERIFY(after[i].digits == before[i].digits);
    }
    QCOMPARE(f.host->store().stats().lastDrawNo, stats.lastDrawNo);
    QVERIFY(f.host->store().stats().digitCount == stats.digitCount);
    // A restart sees the changes.
    QCOMPARE(Store::open(f.cs).history().size(), std::size_t(2));
}

// While the entry window is the active child its menu takes the main
// window's menu bar, and closing it hands propEnd back.
void TestEntryWindow::menuBarWhileActive() {
    QTemporaryDir dir;
    const ConnectString cs =
        test::makeDatabase(dir.filePath(u"Numbers3Peridon.mdb"_s), "1:123 2:456");
    MainFrm frm;
    frm.Load(Store::open(cs));
    Recorder rec;
    frm.findChild<QAction*>(u"mnuMasterInput"_s)->trigger();
    QMdiSubWindow* sub = frm.childWindow(u"当選データ入力"_s);
    QVERIFY(sub);
    QVERIFY(!frm.propEndForTest());
    frm.mdiArea()->setActiveSubWindow(sub);
    QTRY_COMPARE(frm.menuBar()->actions().value(0) ? frm.menuBar()->actions().value(0)->text()
                                                   : QString(),
                 u"編集(&E)"_s);
    sub->close();
    QVERIFY(frm.propEndForTest());
    QCOMPARE(rec.count(), 0);
}

QTEST_MAIN(TestEntryWindow)
#include "tst_ui_entry.moc"
