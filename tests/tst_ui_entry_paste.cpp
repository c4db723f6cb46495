// Pasting draws into the entry window and copying rows out of it: each
// accepted line form, the confirmation, bad lines, changed draws, the
// keyboard and the menu, against a real database file.
#include "core/entry/EntryModel.h"
#include "core/store/DrawTable.h"
#include "core/store/Store.h"
#include "gui/entry/EntryWindow.h"
#include "gui/widgets/Fonts.h"
#include "gui/widgets/Messages.h"
#include "support/EntryFixture.h"
#include "support/TestDatabase.h"

#include <QAction>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace peridon;

using test::Fixture;

class TestEntryPaste : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontSubstitutions(); }

    void eachFormIsWrittenAfterOneConfirmation_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("date"); // of draw 3
        QTest::newRow("tabs") << u"3\t7\t8\t9\n"_s << QString();
        QTest::newRow("commas") << u"3,7,8,9"_s << QString();
        QTest::newRow("number and string") << u"3 789"_s << QString();
        QTest::newRow("results page") << u"第3回 2026/08/24 789"_s << u"2026-08-24"_s;
        QTest::newRow("results page, japanese date")
            << u"第3回 (2026年8月24日) 7 8 9\r\n"_s << u"2026-08-24"_s;
        QTest::newRow("spreadsheet with date") << u"3\t2026-08-24\t7\t8\t9"_s << u"2026-08-24"_s;
    }
    void eachFormIsWrittenAfterOneConfirmation() {
        QFETCH(QString, text);
        QFETCH(QString, date);
        Fixture f(u"1:123 2:456"_s);
        messages::Recorder box(QMessageBox::Yes);
        f.window->pasteText(text);
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().buttons, QMessageBox::Yes | QMessageBox::No);
        QVERIFY2(box.last().text.contains(u"新しい回：1回"), qPrintable(box.last().text));
        QCOMPARE(test::storedRows(f.cs), u"1:123 2:456 3:789"_s);
        QCOMPARE(f.shown(), u"1:123 2:456 3:789"_s);
        QCOMPARE(f.dateOf(3), date);
        QCOMPARE(f.table->currentIndex().row(), 2); // the pasted row is in view
        QVERIFY(f.backedUp());
    }

    // Pasted draws that leave numbers missing after the last stored draw are
    // asked about once, No being the default; No writes nothing.
    void gapIsAskedAbout_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("written");
        QTest::newRow("after the last")
            << u"7\t1\t1\t1"_s << u"第3回～第6回がありません。このまま追加しますか？"_s
            << u"1:123 2:456 7:111"_s;
        QTest::newRow("inside the pasted lines")
            << u"3\t1\t1\t1\n5\t2\t2\t2"_s << u"第4回がありません。このまま追加しますか？"_s
            << u"1:123 2:456 3:111 5:222"_s;
        QTest::newRow("none") << u"3\t1\t1\t1\n4\t2\t2\t2"_s << QString()
                              << u"1:123 2:456 3:111 4:222"_s;
    }
    void gapIsAskedAbout() {
        QFETCH(QString, text);
        QFETCH(QString, question);
        QFETCH(QString, written);
        for (const bool yes : {false, true}) {
            Fixture f(u"1:123 2:456"_s);
            messages::Recorder box(yes ? QMessageBox::Yes : QMessageBox::No);
            f.window->pasteText(text);
            if (question.isEmpty()) {
                QCOMPARE(box.count(), 1); // only the confirmation
                QCOMPARE(test::storedRows(f.cs), yes ? written : u"1:123 2:456"_s);
                continue;
            }
            QCOMPARE(box.requests().first().text, question);
            QCOMPARE(box.requests().first().defaultButton, QMessageBox::No);
            QCOMPARE(box.count(), yes ? 2 : 1);
            QCOMPARE(test::storedRows(f.cs), yes ? written : u"1:123 2:456"_s);
        }
    }

    // After a paste of many rows the cursor stands on the first digit of the
    // last pasted row, and that row is wholly in view.
    void cursorAfterAMultiRowPaste_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("pasted");
        QTest::newRow("a few after a few") << 3 << 4;
        QTest::newRow("many after many") << 120 << 80;
        QTest::newRow("many into an empty table") << 0 << 200;
    }
    void cursorAfterAMultiRowPaste() {
        QFETCH(int, stored);
        QFETCH(int, pasted);
        QStringList history;
        for (int i = 1; i <= stored; ++i)
            history << u"%1:123"_s.arg(i);
        Fixture f(history.join(u' '));
        f.sub->resize(500, 400);
        f.select(0, 3);
        messages::Recorder box(QMessageBox::Yes);
        QString text;
        for (int i = stored + 1; i <= stored + pasted; ++i)
            text += u"%1\t4\t5\t6\n"_s.arg(i);
        f.window->pasteText(text);
        QCoreApplication::processEvents();
        const QModelIndex expected = f.model->index(stored + pasted - 1, 1);
        QCOMPARE(f.table->currentIndex(), expected);
        const QRect cell = f.table->visualRect(expected);
        QVERIFY2(
            f.table->viewport()->rect().contains(cell),
            qPrintable(
                u"%1,%2 %3x%4"_s.arg(cell.x()).arg(cell.y()).arg(cell.width()).arg(cell.height())));
    }

    void aBadLineIsListedAndNothingWritten() {
        Fixture f(u"1:123"_s);
        messages::Recorder box(QMessageBox::Yes);
        f.window->pasteText(u"2 456\n当選番号\n3 7 8\n4 000"_s);
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().icon, messages::Icon::Stop);
        QVERIFY2(box.last().text.contains(u"2行"), qPrintable(box.last().text));
        QVERIFY(box.last().text.contains(u"2行目"));
        QVERIFY(box.last().text.contains(u"3行目"));
        QVERIFY(!box.last().text.contains(u"4行目"));
        QCOMPARE(test::storedRows(f.cs), u"1:123"_s);
        QVERIFY(!f.backedUp());
    }

    void aChangedDrawIsShownAndWrittenOnlyOnYes_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("no") << false;
        QTest::newRow("yes") << true;
    }
    void aChangedDrawIsShownAndWrittenOnlyOnYes() {
        QFETCH(bool, yes);
        Fixture f(u"1:123 2:4-6"_s);
        messages::Recorder box(yes ? QMessageBox::Yes : QMessageBox::No);
        f.window->pasteText(u"1\t1\t2\t4\n2\t4\t5\t6\n3\t0\t0\t0\n"_s);
        QCOMPARE(box.count(), 1);
        const QString q = box.last().text;
        QVERIFY2(q.contains(u"新しい回：1回") && q.contains(u"変更する回：2回"), qPrintable(q));
        QVERIFY2(q.contains(u"第1回　1 2 3 → 1 2 4"), qPrintable(q));
        QVERIFY2(q.contains(u"第2回　4 - 6 → 4 5 6"), qPrintable(q));
        const QString expected = yes ? u"1:124 2:456 3:000"_s : u"1:123 2:4-6"_s;
        QCOMPARE(test::storedRows(f.cs), expected);
        QCOMPARE(f.shown(), expected);
    }

    void copiedRowsPasteBackAsTheSame() {
        Fixture f(u"1:123 2:4-6 3:789"_s);
        messages::Recorder box(QMessageBox::Yes);
        f.table->setFocus();
        f.table->selectionModel()->select(
            QItemSelection(f.model->index(0, 2), f.model->index(1, 3)),
            QItemSelectionModel::ClearAndSelect);
        QTest::keyClick(f.table, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"1\t1\t2\t3\n2\t4\t\t6\n"_s);

        // Ctrl+V reads the clipboard: the copied complete row is stored as
        // it is; a row with an empty digit is not a draw to paste.
        QGuiApplication::clipboard()->setText(u"1\t1\t2\t3\n"_s);
        QTest::keyClick(f.table, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box.count(), 1);
        QVERIFY2(box.last().text.contains(u"すべて登録済み"), qPrintable(box.last().text));
        QVERIFY(!f.backedUp());
    }

    void pasteFromTheMenuUsesTheClipboard() {
        Fixture f(u"1:123"_s);
        messages::Recorder box(QMessageBox::Yes);
        QGuiApplication::clipboard()->setText(u"第2回 2026年8月24日(月) 5 5 5"_s);
        QAction* paste = f.window->findChild<QAction*>(u"mnuPaste"_s);
        QVERIFY(paste);
        QCOMPARE(paste->text(), u"貼り付け(&P)"_s);
        paste->trigger();
        QCOMPARE(test::storedRows(f.cs), u"1:123 2:555"_s);
        QCOMPARE(f.dateOf(2), u"2026-08-24"_s);

        QGuiApplication::clipboard()->setText(QString());
        box.clear();
        paste->trigger();
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().icon, messages::Icon::Stop);
    }
};

QTEST_MAIN(TestEntryPaste)
#include "tst_ui_entry_paste.moc"
