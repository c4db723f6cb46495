// The import and export commands of the main window as a user drives them:
// the file, the preview and its choice, the messages, the database and its
// backup afterwards, and the offer to restart.
#include "core/store/DrawCsv.h"
#include "core/store/DrawTable.h"
#include "gui/app/MainFrm.h"
#include "gui/prediction/PredictionWindow.h"
#include "gui/widgets/Fonts.h"
#include "gui/widgets/Messages.h"
#include "support/TestDatabase.h"

#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QStringDecoder>
#include <QTableWidget>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace peridon;

namespace {

const QString kRestartQuestion =
    u"分析ウィンドウには再起動後に反映されます。今すぐ再起動しますか？"_s;

QString write(const QString& path, const QByteArray& content) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(content);
    return path;
}

QString dateOf(const ConnectString& cs, int drawNo) {
    Database db(cs, Database::Mode::OpenExisting);
    Statement st = db.prepare("SELECT 抽せん日 FROM 当選データ WHERE 回数 = ?1");
    st.bind(1, drawNo);
    return st.step() ? st.columnText(0) : u"(none)"_s;
}

} // namespace

class TestImportExport : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<messages::Recorder> m_messages;
    std::unique_ptr<MainFrm> m_frame;
    ConnectString m_cs;
    QString m_importPath; // what the file dialog answers
    int m_previews = 0;
    int m_restarts = 0;
    // What the user does in the preview; default: press 取り込む.
    std::function<void(ImportPreviewDialog&)> m_inPreview;

    void openFrame(const QString& history) {
        m_dir = std::make_unique<QTemporaryDir>();
        QDir::setCurrent(m_dir->path()); // the settings file goes there
        m_cs = test::makeDatabase(m_dir->filePath(u"Numbers3Peridon.mdb"_s), history);
        m_messages = std::make_unique<messages::Recorder>(QMessageBox::No);
        m_frame = std::make_unique<MainFrm>();
        QVERIFY(m_frame->Load(m_cs));
        m_frame->show();
        m_frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
        QTRY_VERIFY(m_frame->predictionWindow()->isOpen());
        m_frame->mdiArea()->closeAllSubWindows();
        QTRY_VERIFY(m_frame->mdiArea()->subWindowList().isEmpty());
        m_frame->importHooks().chooseFile = [this](QWidget*) { return m_importPath; };
        m_frame->importHooks().runPreview = [this](ImportPreviewDialog& dialog) {
            ++m_previews;
            if (m_inPreview)
                m_inPreview(dialog);
            else
                dialog.importButton()->click();
            return dialog.result();
        };
        m_frame->setRestartAction([this] { ++m_restarts; });
        m_previews = m_restarts = 0;
        m_inPreview = nullptr;
    }
    void importFile(const QString& path) {
        m_importPath = path;
        m_frame->findChild<QAction*>(u"mnuImport"_s)->trigger();
    }
    bool backedUp() const { return QFile::exists(DrawTable::backupPathFor(m_cs.path)); }

private slots:
    void initTestCase() { installFontSubstitutions(); }
    void cleanup() {
        m_frame.reset();
        m_messages.reset();
        m_dir.reset();
    }

    void newDrawsAreAddedAfterBackupAndRestartIsOffered() {
        openFrame(u"1:123 2:456"_s);
        importFile(write(m_dir->filePath(u"new.csv"_s),
                         "回数,第1数字,第2数字,第3数字,抽せん日\n1,1,2,3,\n2,4,5,6,\n"
                         "3,7,8,9,2026/08/24\n4,0,0,1,2026年8月25日\n"));
        QCOMPARE(m_previews, 1);
        QCOMPARE(test::storedRows(m_cs), u"1:123 2:456 3:789 4:001"_s);
        QCOMPARE(dateOf(m_cs, 3), u"2026-08-24"_s);
        QCOMPARE(dateOf(m_cs, 4), u"2026-08-25"_s);
        QVERIFY(backedUp());
        QCOMPARE(test::storedRows(connectStringFor(DrawTable::backupPathFor(m_cs.path))),
                 u"1:123 2:456"_s);
        // One question: what was written, then the offer; No keeps running.
        QCOMPARE(m_messages->count(), 1);
        QCOMPARE(m_messages->last().buttons, QMessageBox::Yes | QMessageBox::No);
        QVERIFY2(m_messages->last().text.contains(u"追加 2回"),
                 qPrintable(m_messages->last().text));
        QVERIFY(m_messages->last().text.endsWith(kRestartQuestion));
        QCOMPARE(m_restarts, 0);
    }

    void previewShowsDifferencesAndTheChoiceDecides_data() {
        QTest::addColumn<bool>("replace");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("date2");
        QTest::newRow("keep") << false << u"1:123 2:456 3:000"_s << QString();
        QTest::newRow("replace") << true << u"1:123 2:457 3:000"_s << u"2026-01-03"_s;
    }
    void previewShowsDifferencesAndTheChoiceDecides() {
        QFETCH(bool, replace);
        QFETCH(QString, stored);
        QFETCH(QString, date2);
        openFrame(u"1:123 2:456"_s);
        m_messages->setAnswer(QMessageBox::Yes);
        QString summary;
        QStringList row;
        m_inPreview = [&](ImportPreviewDialog& dialog) {
            summary = dialog.summary()->text();
            QTableWidget* t = dialog.differences();
            QCOMPARE(t->rowCount(), 1);
            for (int c = 0; c < t->columnCount(); ++c)
                row << t->item(0, c)->text();
            QVERIFY(dialog.keepOption()->isChecked()); // keeping is the default
            (replace ? dialog.replaceOption() : dialog.keepOption())->click();
            dialog.importButton()->click();
        };
        importFile(write(m_dir->filePath(u"mixed.tsv"_s),
                         "1\t1\t2\t3\n2\t2026/01/03\t4\t5\t7\n3\t0\t0\t0\n"));
        QCOMPARE(m_previews, 1);
        QVERIFY2(summary.contains(u"新しい回：1回（第3回）"), qPrintable(summary));
        QVERIFY2(summary.contains(u"登録済みで同じ回：1回"), qPrintable(summary));
        QVERIFY2(summary.contains(u"登録済みで内容が異なる回：1回"), qPrintable(summary));
        QCOMPARE(row, (QStringList{u"2"_s, u"4 5 6"_s, QString(), u"4 5 7"_s, u"2026-01-03"_s}));
        QCOMPARE(test::storedRows(m_cs), stored);
        QCOMPARE(dateOf(m_cs, 2), date2);
        QCOMPARE(m_restarts, 1); // the offer was answered Yes
    }

    // Every text of the preview is shown whole: no label, choice or button is
    // narrower or lower than its text needs, also with a long file name and
    // many differing draws.
    void previewShowsEveryTextWhole() {
        openFrame(u"1:123 2:456 3:789"_s);
        QStringList clipped;
        m_inPreview = [&](ImportPreviewDialog& dialog) {
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            for (QWidget* w : dialog.findChildren<QWidget*>()) {
                if (!w->isVisible() ||
                    !(qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w)))
                    continue;
                const QSize hint = w->sizeHint();
                const int needed =
                    w->hasHeightForWidth() ? w->heightForWidth(w->width()) : hint.height();
                if ((!w->hasHeightForWidth() && w->width() < hint.width()) || w->height() < needed)
                    clipped << u"%1 %2x%3 < %4x%5"_s.arg(w->objectName())
                                   .arg(w->width())
                                   .arg(w->height())
                                   .arg(hint.width())
                                   .arg(needed);
            }
            // Within the screen, so that the buttons can be reached (the test
            // also runs at 150 %, where the offscreen screen is 533×400).
            // (One point of slack for rounding at a scale of 1.5.)
            const QRect room = dialog.screen()->availableGeometry().adjusted(-1, -1, 1, 1);
            if (!room.contains(dialog.frameGeometry()))
                clipped << u"dialog %1 beyond the screen %2"_s.arg(
                    QDebug::toString(dialog.frameGeometry()), QDebug::toString(room));
            dialog.reject();
        };
        importFile(write(m_dir->filePath(u"2026年の当選番号_結果ページからコピーしたもの.csv"_s),
                         "1,1,2,4,2026-01-01\n2,4,5,7,2026-01-02\n3,7,8,0\n4,0,0,1\n"));
        QCOMPARE(m_previews, 1);
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(u'\n')));
    }

    // The preview works from the keyboard: Tab leaves the table, Alt+R and
    // Alt+K choose, Enter imports wherever the focus is.
    void previewIsKeyboardUsable() {
        openFrame(u"1:123 2:456"_s);
        m_messages->setAnswer(QMessageBox::No);
        m_inPreview = [&](ImportPreviewDialog& dialog) {
            dialog.show();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            dialog.differences()->setFocus();
            QTRY_VERIFY(dialog.differences()->hasFocus());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QVERIFY(!dialog.differences()->hasFocus());
            QTest::keyClick(&dialog, Qt::Key_R, Qt::AltModifier);
            QTRY_VERIFY(dialog.replaceOption()->isChecked());
            QTest::keyClick(&dialog, Qt::Key_K, Qt::AltModifier);
            QTRY_VERIFY(dialog.keepOption()->isChecked());
            QTest::keyClick(&dialog, Qt::Key_R, Qt::AltModifier);
            QTRY_VERIFY(dialog.replaceOption()->isChecked());
            QVERIFY(dialog.replaceOption()->hasFocus());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        };
        importFile(write(m_dir->filePath(u"changed.csv"_s), "2,4,5,7\n3,1,1,1\n"));
        QCOMPARE(m_previews, 1);
        QCOMPARE(test::storedRows(m_cs), u"1:123 2:457 3:111"_s);
    }

    // Draws that leave numbers missing after the last stored one are added
    // only once the user agrees; No (the default) writes nothing.
    void gapIsAskedAbout_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("stored");
        QTest::newRow("one run") << QByteArray("3,1,1,1\n7,2,2,2\n")
                                 << u"第4回～第6回がありません。このまま追加しますか？"_s
                                 << u"1:123 2:456 3:111 7:222"_s;
        QTest::newRow("one draw") << QByteArray("4,1,1,1\n")
                                  << u"第3回がありません。このまま追加しますか？"_s
                                  << u"1:123 2:456 4:111"_s;
        QTest::newRow("two runs") << QByteArray("4,1,1,1\n6,2,2,2\n")
                                  << u"第3回、第5回がありません。このまま追加しますか？"_s
                                  << u"1:123 2:456 4:111 6:222"_s;
        QTest::newRow("no gap") << QByteArray("3,1,1,1\n1,1,2,3\n") << QString()
                                << u"1:123 2:456 3:111"_s;
    }
    void gapIsAskedAbout() {
        QFETCH(QByteArray, file);
        QFETCH(QString, question);
        QFETCH(QString, stored);
        for (const bool yes : {false, true}) {
            cleanup();
            openFrame(u"1:123 2:456"_s);
            m_messages->setAnswer(yes ? QMessageBox::Yes : QMessageBox::No);
            importFile(write(m_dir->filePath(u"gap.csv"_s), file));
            const QList<messages::Request>& asked = m_messages->requests();
            if (question.isEmpty()) {
                QCOMPARE(test::storedRows(m_cs), stored);
                continue;
            }
            QVERIFY(!asked.isEmpty());
            QCOMPARE(asked.first().text, question);
            QCOMPARE(asked.first().defaultButton, QMessageBox::No);
            QCOMPARE(test::storedRows(m_cs), yes ? stored : u"1:123 2:456"_s);
            if (!yes)
                QCOMPARE(asked.size(), 1);
        }
    }

    void keepingWithNothingNewCannotBeChosen() {
        openFrame(u"1:123"_s);
        bool enabledWhenKeeping = true;
        m_inPreview = [&](ImportPreviewDialog& dialog) {
            enabledWhenKeeping = dialog.importButton()->isEnabled();
            dialog.replaceOption()->click();
            QVERIFY(dialog.importButton()->isEnabled());
            dialog.reject();
        };
        importFile(write(m_dir->filePath(u"changed.csv"_s), "1,1,2,4\n"));
        QVERIFY(!enabledWhenKeeping);
        // Cancelled: nothing written, no backup, no question.
        QCOMPARE(test::storedRows(m_cs), u"1:123"_s);
        QVERIFY(!backedUp());
        QCOMPARE(m_messages->count(), 0);
    }

    void nothingNewIsSaidAndNothingWritten() {
        openFrame(u"1:123 2:456"_s);
        importFile(write(m_dir->filePath(u"same.csv"_s), "1,1,2,3\n2,4,5,6\n"));
        QCOMPARE(m_previews, 0);
        QCOMPARE(m_messages->count(), 1);
        QVERIFY(m_messages->last().text.contains(u"すべて登録済み"));
        QVERIFY(!backedUp());
    }

    void badFilesAreRefusedWithoutWriting_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<qint64>("sparseSize"); // > 0: a file of that many zero bytes
        QTest::addColumn<QString>("message");
        QTest::newRow("not a table") << QByteArray("これは表ではありません\nただの文章です\n")
                                     << qint64(0) << u"取り込めない行が"_s;
        QTest::newRow("one bad line")
            << QByteArray("1,1,2,3\n2,x,2,3\n3,7,8,9\n") << qint64(0) << u"2行目"_s;
        QTest::newRow("bad date") << QByteArray("5,1,2,3,2026/02/30\n") << qint64(0)
                                  << u"2026/02/30"_s;
        QTest::newRow("empty") << QByteArray() << qint64(0) << u"当選データがありません"_s;
        QByteArray binary(1 << 20, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char((qint64(i) * 7919) % 251);
        QTest::newRow("binary") << binary << qint64(0) << u"テキストファイルではありません"_s;
        QByteArray manyLines;
        const QByteArray line = "ナンバーズ3ではない行です\n";
        while (manyLines.size() < 50 * 1024 * 1024)
            manyLines += line;
        QTest::newRow("50 MB of text") << manyLines << qint64(0) << u"行が多すぎます"_s;
        QTest::newRow("50 MB in one line")
            << QByteArray(50 * 1024 * 1024, 'a') << qint64(0) << u"1行目が長すぎます"_s;
        QTest::newRow("over 64 MB")
            << QByteArray() << qint64(65 * 1024 * 1024) << u"大きすぎます"_s;
    }
    void badFilesAreRefusedWithoutWriting() {
        QFETCH(QByteArray, content);
        QFETCH(qint64, sparseSize);
        QFETCH(QString, message);
        openFrame(u"1:123"_s);
        const QString path = write(m_dir->filePath(u"bad.csv"_s), content);
        if (sparseSize > 0)
            QVERIFY(QFile(path).resize(sparseSize));
        importFile(path);
        QCOMPARE(m_previews, 0);
        QCOMPARE(m_messages->count(), 1);
        QCOMPARE(m_messages->last().icon, messages::Icon::Stop);
        QVERIFY2(m_messages->last().text.contains(message), qPrintable(m_messages->last().text));
        QVERIFY(m_messages->last().text.contains(u"何も書き込みませんでした"));
        QCOMPARE(test::storedRows(m_cs), u"1:123"_s);
        QVERIFY(!backedUp());
        QCOMPARE(m_restarts, 0);
    }

    void aFolderOrACancelledDialogDoesNothing() {
        openFrame(u"1:123"_s);
        importFile(QString()); // the file dialog was cancelled
        QCOMPARE(m_messages->count(), 0);
        importFile(m_dir->path());
        QCOMPARE(m_messages->count(), 1);
        QVERIFY(m_messages->last().text.contains(u"通常のファイルではありません"));
        QCOMPARE(test::storedRows(m_cs), u"1:123"_s);
    }

    void importWaitsForTheEntryWindow() {
        openFrame(u"1:123"_s);
        m_frame->findChild<QAction*>(u"mnuMasterInput"_s)->trigger();
        QVERIFY(m_frame->childWindow(u"当選データ入力"_s));
        bool asked = false;
        m_frame->importHooks().chooseFile = [&](QWidget*) {
            asked = true;
            return QString();
        };
        m_frame->findChild<QAction*>(u"mnuImport"_s)->trigger();
        QVERIFY(!asked);
        QCOMPARE(m_messages->count(), 1);
        QVERIFY(m_messages->last().text.contains(u"当選データ入力ウィンドウを閉じて"));
    }

    void exportWritesTheCsvInTheChosenEncoding_data() {
        QTest::addColumn<bool>("shiftJis");
        QTest::newRow("UTF-8 with BOM") << false;
        QTest::newRow("Shift-JIS") << true;
    }
    void exportWritesTheCsvInTheChosenEncoding() {
        QFETCH(bool, shiftJis);
        openFrame(u"1:123 2:4-6"_s);
        const QString path = m_dir->filePath(u"書き出し.csv"_s);
        m_frame->exportHooks().chooseFile = [&](QWidget*) {
            return std::optional<ExportTarget>(ExportTarget{path, shiftJis});
        };
        m_frame->findChild<QAction*>(u"mnuExport"_s)->trigger();
        QCOMPARE(m_messages->count(), 1);
        QVERIFY2(m_messages->last().text.contains(u"2回分を書き出しました"),
                 qPrintable(m_messages->last().text));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        // Lines end in CR LF, as in the grids' CSV files.
        const QByteArray expected =
            "回数,第1数字,第2数字,第3数字,抽せん日\r\n1,1,2,3,\r\n2,4,,6,\r\n";
        if (shiftJis) {
            QStringDecoder sjis("Shift_JIS");
            QCOMPARE(QString(sjis.decode(bytes)), QString::fromUtf8(expected));
            QVERIFY(!bytes.contains("\xEF\xBB\xBF"));
        } else {
            QCOMPARE(bytes, "\xEF\xBB\xBF" + expected);
        }
        // And the program reads back what it wrote.
        const DrawFile back = readDrawFile(path);
        QVERIFY(back.failure.isEmpty() && back.errors.isEmpty());
        QCOMPARE(back.draws.size(), std::size_t(2));
    }

    void exportToAnUnwritablePlaceSaysSo() {
        openFrame(u"1:123"_s);
        const QString path = m_dir->filePath(u"no/such/folder/x.csv"_s);
        m_frame->exportHooks().chooseFile = [&](QWidget*) {
            return std::optional<ExportTarget>(ExportTarget{path, false});
        };
        m_frame->findChild<QAction*>(u"mnuExport"_s)->trigger();
        QCOMPARE(m_messages->count(), 1);
        QCOMPARE(m_messages->last().icon, messages::Icon::Stop);
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_MAIN(TestImportExport)
#include "tst_ui_import.moc"
