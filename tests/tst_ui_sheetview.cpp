#include "core/prediction/SettingsLocation.h"
#include "core/sheet/SheetExport.h"
#include "gui/widgets/Fonts.h"
#include "gui/widgets/Messages.h"
#include "gui/widgets/RecentFolders.h"
#include "gui/widgets/SheetView.h"
#include "support/WorkingDirectory.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

using namespace peridon;

namespace {

const Rgb kRed = rgb(255, 0, 0);

// Counts pixels of a colour (roughly: anti-aliased text is reddish) in a rect.
int reddish(const QImage& img, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.red() > 150 && c.green() < 120 && c.blue() < 120)
                ++n;
        }
    return n;
}

QImage render(const SheetView& view, int c1, int r1, int c2, int r2) {
    QImage img(view.rangeSize(c1, r1, c2, r2), QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    view.paint(&p, c1, r1, c2, r2);
    return img;
}

// The centre of a cell in the viewport, for a view scrolled to the top left.
QPoint centre(const SheetView& view, int col, int row) {
    return {view.columnX(col) + view.columnWidthPx(col) / 2,
            view.rowY(row) + view.rowHeightPx(row) / 2};
}

// The centre of a cell where the view shows it now (scrolled or not).
QPoint shownAt(const SheetView& view, int col, int row) {
    QPoint p = centre(view, col, row);
    if (col > view.sheet()->frozenCols())
        p.rx() -= view.horizontalScrollBar()->value();
    if (row > view.sheet()->frozenRows())
        p.ry() -= view.verticalScrollBar()->value();
    return p;
}

void drag(SheetView& view, const QPoint& to) {
    QMouseEvent move(QEvent::MouseMove, QPointF(to), view.viewport()->mapToGlobal(QPointF(to)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view.viewport(), &move);
}

// A numbered sheet with a frozen header row and column.
Sheet numbered(int cols, int rows) {
    Sheet s(cols, rows);
    s.setFrozen(1, 1);
    s.setVisibleExtent(qMin(cols, 6), qMin(rows, 12));
    s.setScrollBars(ScrollBars::Both);
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c)
            s.setText(c, r, u"%1-%2"_s.arg(c).arg(r));
    return s;
}

} // namespace

class TestSheetView : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        test::useTemporaryWorkingDirectory();
        installFontSubstitutions();
    }
    void overflow_data();
    void overflow();
    void unitsRule();
    void sizeHintFollowsVisibleExtent_data();
    void sizeHintFollowsVisibleExtent();
    void frozenRowsStayWhileScrolling();
    void scrollsByWholeRows();
    void bordersPainted();
    void hugeSheetOpensAndScrolls();
    void gridFontIsJapanese();
    void keysSelect_data();
    void keysSelect();
    void mouseSelects();
    void dragUpOverFrozenRowScrolls();
    void rightClickSelectsWhatIsCopied_data();
    void rightClickSelectsWhatIsCopied();
    void dragHeldBeyondEdgeScrolls_data();
    void dragHeldBeyondEdgeScrolls();
    void heldDragStops_data();
    void heldDragStops();
    void selectionDrawnOnlyWhenSelected();
    void copyPutsTextAndHtml_data();
    void copyPutsTextAndHtml();
    void contextMenuSaves();
    void failedSaveIsTold();
    void saveDialogsStartInTheLastFolder();
};

void TestSheetView::overflow_data() {
    QTest::addColumn<bool>("overflow");
    QTest::addColumn<QString>("blocker"); // text in column 3, or empty
    QTest::addColumn<bool>("inCol2");
    QTest::addColumn<bool>("inCol3");
    QTest::newRow("spills over empty cells") << true << QString() << true << true;
    QTest::newRow("stopped by a filled cell") << true << u"x"_s << true << false;
    QTest::newRow("off: clipped to its cell") << false << QString() << false << false;
}

void TestSheetView::overflow() {
    QFETCH(bool, overflow);
    QFETCH(QString, blocker);
    QFETCH(bool, inCol2);
    QFETCH(bool, inCol3);
    Sheet s(5, 1);
    s.setColWidth(-1, 2);
    s.setOverflow(overflow);
    s.setHAlign(CellRange::cell(1, 1), HAlign::Left);
    s.setForeColor(CellRange::cell(1, 1), kRed);
    s.setText(1, 1, u"■■■■■■■■■■■■"_s);
    if (!blocker.isEmpty())
        s.setText(3, 1, blocker);
    SheetView view;
    view.setSheet(&s);
    const QImage img = render(view, 1, 1, 5, 1);
    auto colRect = [&](int c) {
        return QRect(view.columnX(c) + 1, 1, view.columnWidthPx(c) - 2, img.height() - 2);
    };
    QVERIFY(reddish(img, colRect(1)) > 0);
    QCOMPARE(reddish(img, colRect(2)) > 0, inCol2);
    QCOMPARE(reddish(img, colRect(3)) > 0, inCol3);
    // Painting from column 2 on still shows the text spilled from column 1.
    if (inCol2) {
        const QImage part = render(view, 2, 1, 5, 1);
        QVERIFY(reddish(part, QRect(1, 1, view.columnWidthPx(2) - 2, part.height() - 2)) > 0);
    }
}

void TestSheetView::unitsRule() {
    Sheet s(3, 3);
    s.setColWidth(1, 1);
    s.setColWidth(2, 10);
    s.setColWidth(3, 0);
    s.setRowHeight(1, 10);
    s.setRowHeight(2, 20);
    SheetView view;
    view.setSheet(&s);
    // Ten characters are ten times one character (margins aside).
    const int one = view.columnWidthPx(1);
    const int ten = view.columnWidthPx(2);
    QVERIFY(ten - 4 >= 9 * (one - 4) && ten - 4 <= 11 * (one - 4));
    QCOMPARE(view.columnWidthPx(3), 0);
    // Height 10 holds a line of the grid font; 20 is twice that.
    QVERIFY(view.rowHeightPx(1) >= QFontMetrics(gridFont()).height());
    QVERIFY(qAbs(view.rowHeightPx(2) - 2 * view.rowHeightPx(1)) <= 1);
    QCOMPARE(view.columnX(3), one + ten);
}

void TestSheetView::sizeHintFollowsVisibleExtent_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("bars");
    QTest::addColumn<bool>("expectVBar");
    QTest::newRow("fits, no bar") << 5 << int(ScrollBars::Vertical) << false;
    QTest::newRow("taller, vertical bar") << 50 << int(ScrollBars::Vertical) << true;
    QTest::newRow("taller, bars off") << 50 << int(ScrollBars::None) << false;
    QTest::newRow("taller, horizontal only") << 50 << int(ScrollBars::Horizontal) << false;
}

void TestSheetView::sizeHintFollowsVisibleExtent() {
    QFETCH(int, rows);
    QFETCH(int, bars);
    QFETCH(bool, expectVBar);
    Sheet s(4, rows);
    s.setVisibleExtent(4, 5);
    s.setScrollBars(ScrollBars(bars));
    SheetView view;
    view.setSheet(&s);
    const int frame = 2 * view.frameWidth();
    const int vbar = expectVBar ? view.verticalScrollBar()->sizeHint().width() : 0;
    QCOMPARE(view.sizeHint(), QSize(view.columnX(5) + frame + vbar, view.rowY(6) + frame));
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(view.verticalScrollBar()->isVisible(), expectVBar);
    QVERIFY(!view.horizontalScrollBar()->isVisible());
}

void TestSheetView::frozenRowsStayWhileScrolling() {
    Sheet s(3, 200);
    s.setVisibleExtent(3, 10);
    s.setFrozen(1, 1);
    s.setBackColor(CellRange::row(1), kRed); // the frozen header row
    s.setBackColor(CellRange::block(1, 2, 3, 200), rgb(0, 0, 255));
    SheetView view;
    view.setSheet(&s);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    const QImage img = view.viewport()->grab().toImage();
    QCOMPARE(img.pixelColor(view.columnX(2) + 3, 3), QColor(255, 0, 0));
    QCOMPARE(img.pixelColor(view.columnX(2) + 3, view.rowY(2) + 3), QColor(0, 0, 255));
    // The cell under the point below the header is a late row, not row 2.
    QVERIFY(view.cellAt(QPoint(5, view.rowY(2) + 3)).y() > 150);
    QCOMPARE(view.cellAt(QPoint(5, 3)), QPoint(1, 1));
}

void TestSheetView::scrollsByWholeRows() {
    Sheet s(12, 300);
    s.setVisibleExtent(5, 20);
    s.setScrollBars(ScrollBars::Both);
    s.setFrozen(1, 2);
    s.setRowHeight(-1, 10);
    s.setRowHeight(1, 20); // a taller frozen header row
    SheetView view;
    view.setSheet(&s);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QScrollBar* v = view.verticalScrollBar();
    QScrollBar* h = view.horizontalScrollBar();
    const int top = view.rowY(3); // first scrolling row
    for (const int value : {1, view.rowHeightPx(5) / 2 + 1, 1000, v->maximum() - 1}) {
        v->setValue(value);
        const int row = view.cellAt(QPoint(view.columnX(2), top)).y();
        QCOMPARE(view.rowY(row) - top, v->value()); // that row starts right under the header
    }
    // At the end the last row is in view in full.
    v->setValue(v->maximum());
    QVERIFY(view.rowY(301) - top - v->value() <= view.viewport()->height() - top);
    h->setValue(3);
    const int col = view.cellAt(QPoint(view.columnX(2), 5)).x();
    QCOMPARE(view.columnX(col) - view.columnX(2), h->value());
}

void TestSheetView::bordersPainted() {
    Sheet s(3, 3);
    s.setBorder(CellRange::cell(2, 2), BorderLeft | BorderBottom, rgb(0, 0, 255));
    SheetView view;
    view.setSheet(&s);
    const QImage img = render(view, 1, 1, 3, 3);
    const int x = view.columnX(2);
    const int y = view.rowY(2);
    const int w = view.columnWidthPx(2);
    const int h = view.rowHeightPx(2);
    QCOMPARE(img.pixelColor(x, y + h / 2), QColor(0, 0, 255));         // left
    QCOMPARE(img.pixelColor(x + w / 2, y + h - 1), QColor(0, 0, 255)); // bottom
    QVERIFY(img.pixelColor(x + w / 2, y) != QColor(0, 0, 255));        // no top
}

void TestSheetView::hugeSheetOpensAndScrolls() {
    Sheet s(32, 32770);
    s.setVisibleExtent(32, 53);
    s.setFrozen(0, 3);
    s.setScrollBars(ScrollBars::Both);
    s.setColWidth(-1, 2);
    for (int r = 4; r <= s.rows(); ++r) {
        s.setText(1 + r % 32, r, u"●"_s);
        s.setBackColor(CellRange::cell(1 + r % 32, r), kRed);
    }
    SheetView view;
    view.setSheet(&s);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QScrollBar* v = view.verticalScrollBar();
    QVERIFY(v->maximum() > 0);
    v->setValue(v->maximum());
    const QPoint last = view.cellAt(QPoint(view.columnX(2), view.viewport()->height() - 2));
    QCOMPARE(last.y(), 32770);
    QVERIFY(!view.viewport()->grab().isNull());
}

void TestSheetView::gridFontIsJapanese() {
    // The substitution must lead to a font that has Japanese glyphs.
    const QFontMetrics fm(gridFont());
    QVERIFY(fm.inFont(QChar(u'回')));
    QVERIFY(fm.inFont(QChar(u'●')));
}

void TestSheetView::keysSelect_data() {
    QTest::addColumn<QPoint>("clicked");
    QTest::addColumn<QString>("keys"); // R L U D: Shift+arrows; r l u d: arrows; E: Escape
    QTest::addColumn<QRect>("selection");
    QTest::newRow("click selects one cell") << QPoint(3, 4) << QString() << QRect(3, 4, 1, 1);
    QTest::newRow("shift+arrows extend")
        << QPoint(3, 4) << u"RRD"_s << QRect(QPoint(3, 4), QPoint(5, 5));
    QTest::newRow("extend backwards over the frozen column")
        << QPoint(3, 4) << u"LLLU"_s << QRect(QPoint(1, 3), QPoint(3, 4));
    QTest::newRow("stops at the edge") << QPoint(8, 20) << u"RRDD"_s << QRect(8, 20, 1, 1);
    QTest::newRow("arrow moves a single cell") << QPoint(3, 4) << u"RRdr"_s << QRect(6, 5, 1, 1);
    QTest::newRow("hidden row skipped") << QPoint(2, 9) << u"D"_s << QRect(2, 9, 1, 3);
    QTest::newRow("escape clears") << QPoint(3, 4) << u"RE"_s << QRect();
    QTest::newRow("no selection: shift+arrow starts at the top left")
        << QPoint() << u"RD"_s << QRect(QPoint(2, 2), QPoint(3, 3));
}

void TestSheetView::keysSelect() {
    QFETCH(QPoint, clicked);
    QFETCH(QString, keys);
    QFETCH(QRect, selection);
    Sheet s = numbered(8, 20);
    s.setRowHeight(10, 0);
    SheetView view;
    view.setSheet(&s);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    if (!clicked.isNull())
        view.select(clicked, clicked);
    QCOMPARE(view.selection().isEmpty(), clicked.isNull());
    for (const QChar k : keys) {
        const Qt::Key key = k.toUpper() == u'R'   ? Qt::Key_Right
                            : k.toUpper() == u'L' ? Qt::Key_Left
                            : k.toUpper() == u'U' ? Qt::Key_Up
                            : k.toUpper() == u'D' ? Qt::Key_Down
                                                  : Qt::Key_Escape;
        QTest::keyClick(&view, key, k.isUpper() && k != u'E' ? Qt::ShiftModifier : Qt::NoModifier);
    }
    QCOMPARE(view.selection(), selection);
}

void TestSheetView::mouseSelects() {
    Sheet s = numbered(8, 20);
    SheetView view;
    view.setSheet(&s);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, centre(view, 4, 5));
    QCOMPARE(view.selection(), QRect(4, 5, 1, 1));
    drag(view, centre(view, 2, 3));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, centre(view, 2, 3));
    QCOMPARE(view.selection(), QRect(QPoint(2, 3), QPoint(4, 5)));
    // Shift+click extends from the first cell; a click beside the sheet
    // selects nothing.
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, centre(view, 5, 2));
    QCOMPARE(view.selection(), QRect(QPoint(4, 2), QPoint(5, 5)));
    view.resize(view.columnX(9) + 100, view.height());
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(view.columnX(9) + 50, 5));
    QVERIFY(view.selection().isEmpty());
}

// Dragging from the scrolled rows up over the frozen header scrolls back
// instead of jumping into the header.
void TestSheetView::dragUpOverFrozenRowScrolls() {
    Sheet s = numbered(8, 200);
    SheetView view;
    view.setSheet(&s);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QScrollBar* v = view.verticalScrollBar();
    v->setValue(view.rowY(50) - view.rowY(2));
    const int first = view.cellAt(centre(view, 3, 2)).y();
    QCOMPARE(first, 50);
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, centre(view, 3, 4));
    QCOMPARE(view.selection().top(), 52);
    drag(view, centre(view, 3, 1));
    QCOMPARE(view.selection(), QRect(QPoint(3, 49), QPoint(3, 52)));
    QCOMPARE(view.cellAt(centre(view, 3, 2)).y(), 49);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, centre(view, 3, 1));
}

void TestSheetView::rightClickSelectsWhatIsCopied_data() {
    QTest::addColumn<QRect>("selected"); // before the right-click
    QTest::addColumn<QPoint>("clicked"); // a cell; (0, 0): beside the sheet
    QTest::addColumn<QString>("how");    // press, menu event alone, menu key
    QTest::addColumn<QRect>("copied");
    const QRect block(QPoint(2, 2), QPoint(3, 3));
    QTest::newRow("outside the selection: that cell")
        << block << QPoint(5, 6) << u"press"_s << QRect(5, 6, 1, 1);
    QTest::newRow("inside the selection: kept") << block << QPoint(3, 2) << u"press"_s << block;
    QTest::newRow("nothing selected: that cell")
        << QRect() << QPoint(4, 3) << u"press"_s << QRect(4, 3, 1, 1);
    QTest::newRow("header row") << block << QPoint(4, 1) << u"press"_s << QRect(4, 1, 1, 1);
    QTest::newRow("header column") << block << QPoint(1, 5) << u"press"_s << QRect(1, 5, 1, 1);
    QTest::newRow("beside the sheet: kept") << block << QPoint() << u"press"_s << block;
    QTest::newRow("menu opened on release")
        << block << QPoint(5, 6) << u"menu"_s << QRect(5, 6, 1, 1);
    QTest::newRow("menu key: kept") << block << QPoint(5, 6) << u"key"_s << block;
}

// コピー from the context menu takes the right-clicked cell, not a selection
// made before elsewhere.
void TestSheetView::rightClickSelectsWhatIsCopied() {
    QFETCH(QRect, selected);
    QFETCH(QPoint, clicked);
    QFETCH(QString, how);
    QFETCH(QRect, copied);
    Sheet s = numbered(8, 20);
    SheetView view;
    view.setSheet(&s);
    view.resize(view.columnX(9) + 100, view.height());
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    if (!selected.isEmpty())
        view.select(selected.topLeft(), selected.bottomRight());
    const QPoint pos =
        clicked.isNull() ? QPoint(view.columnX(9) + 50, 5) : centre(view, clicked.x(), clicked.y());
    if (how == u"press"_s) {
        QTest::mouseClick(view.viewport(), Qt::RightButton, {}, pos);
    } else {
        const bool key = how == u"key"_s;
        QContextMenuEvent event(key ? QContextMenuEvent::Keyboard : QContextMenuEvent::Mouse, pos,
                                view.viewport()->mapToGlobal(pos));
        QCoreApplication::sendEvent(key ? static_cast<QWidget*>(&view) : view.viewport(), &event);
        QWidget* popup = QApplication::activePopupWidget();
        QVERIFY(popup);
        popup->close();
    }
    QCOMPARE(view.selection(), copied);
    QGuiApplication::clipboard()->clear();
    std::unique_ptr<QMenu> menu(view.createContextMenu(nullptr));
    menu->findChild<QAction*>(u"actionCopy"_s)->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), sheetTsv(s, copied));
}

void TestSheetView::dragHeldBeyondEdgeScrolls_data() {
    QTest::addColumn<QPoint>("direction");
    QTest::addColumn<bool>("overFrozen"); // held over the header instead of outside
    QTest::newRow("below the bottom edge") << QPoint(0, 1) << false;
    QTest::newRow("beyond the right edge") << QPoint(1, 0) << false;
    QTest::newRow("beyond the bottom right corner") << QPoint(1, 1) << false;
    QTest::newRow("above the grid") << QPoint(0, -1) << false;
    QTest::newRow("over the header row") << QPoint(0, -1) << true;
    QTest::newRow("over the header column") << QPoint(-1, 0) << true;
}

// A drag held still beyond the edge goes on scrolling and extending the
// selection until the sheet's end, without any further mouse move.
void TestSheetView::dragHeldBeyondEdgeScrolls() {
    QFETCH(QPoint, direction);
    QFETCH(bool, overFrozen);
    Sheet s = numbered(20, 40);
    SheetView view;
    view.setSheet(&s);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QScrollBar* h = view.horizontalScrollBar();
    QScrollBar* v = view.verticalScrollBar();
    QVERIFY(h->maximum() > 0 && v->maximum() > 0);
    // Going back up (left) starts from rows (columns) scrolled away.
    if (direction.y() < 0)
        v->setValue(view.rowY(8) - view.rowY(2));
    if (direction.x() < 0)
        h->setValue(view.columnX(7) - view.columnX(2));
    QVERIFY(v->value() > 0 || direction.y() >= 0);
    QVERIFY(h->value() > 0 || direction.x() >= 0);
    const QPoint start = view.cellAt(centre(view, 3, 4));
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, shownAt(view, start.x(), start.y()));
    QCOMPARE(view.selection(), QRect(start, start));
    const QSize vp = view.viewport()->size();
    QPoint held = shownAt(view, start.x(), start.y());
    // Farther out scrolls faster; over the header it goes a row at a time.
    const int out = direction.x() > 0 || direction.y() > 0 ? 150 : 30;
    if (direction.x() != 0)
        held.setX(direction.x() > 0 ? vp.width() + out : overFrozen ? view.columnX(2) / 2 : -out);
    if (direction.y() != 0)
        held.setY(direction.y() > 0 ? vp.height() + out : overFrozen ? view.rowY(2) / 2 : -out);
    drag(view, held);
    // The far end in each direction held toward (the first cell beside the
    // header going back).
    const QPoint end(direction.x() > 0   ? 20
                     : direction.x() < 0 ? 2
                                         : start.x(),
                     direction.y() > 0   ? 40
                     : direction.y() < 0 ? 2
                                         : start.y());
    const QRect expected(QPoint(qMin(start.x(), end.x()), qMin(start.y(), end.y())),
                         QPoint(qMax(start.x(), end.x()), qMax(start.y(), end.y())));
    QVERIFY(view.selection() != expected); // the move alone scrolled a little only
    QTRY_COMPARE_WITH_TIMEOUT(view.selection(), expected, 20000);
    QCOMPARE(h->value(), direction.x() > 0 ? h->maximum() : direction.x() < 0 ? 0 : h->value());
    QCOMPARE(v->value(), direction.y() > 0 ? v->maximum() : direction.y() < 0 ? 0 : v->value());
    // At the end it stops by itself.
    auto* timer = view.findChild<QTimer*>(u"autoScrollTimer"_s);
    QVERIFY(timer);
    QTRY_VERIFY(!timer->isActive());
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, held);
}

void TestSheetView::heldDragStops_data() {
    QTest::addColumn<bool>("release"); // or the pointer comes back inside
    QTest::newRow("released") << true;
    QTest::newRow("back inside") << false;
}

void TestSheetView::heldDragStops() {
    QFETCH(bool, release);
    Sheet s = numbered(8, 200);
    SheetView view;
    view.setSheet(&s);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, centre(view, 3, 4));
    const QPoint below(centre(view, 3, 4).x(), view.viewport()->height() + 100);
    drag(view, below);
    const int moved = view.selection().bottom();
    QTRY_VERIFY(view.selection().bottom() > moved + 10);
    auto* timer = view.findChild<QTimer*>(u"autoScrollTimer"_s);
    QVERIFY(timer);
    QScrollBar* v = view.verticalScrollBar();
    const int reached = view.selection().bottom();
    if (release)
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, below);
    else
        drag(view, shownAt(view, 3, reached - 3));
    QVERIFY(!timer->isActive());
    const QRect selection = view.selection();
    QCOMPARE(selection, QRect(QPoint(3, 4), QPoint(3, release ? reached : reached - 3)));
    const int scrolled = v->value();
    QVERIFY(scrolled > 0 && scrolled < v->maximum());
    // Several of its intervals later, nothing has moved.
    int ticks = 0;
    QTimer probe;
    probe.setInterval(timer->interval());
    connect(&probe, &QTimer::timeout, this, [&ticks] { ++ticks; });
    probe.start();
    QTRY_VERIFY(ticks >= 4);
    QCOMPARE(view.selection(), selection);
    QCOMPARE(v->value(), scrolled);
    if (!release)
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, centre(view, 3, 4));
}

void TestSheetView::selectionDrawnOnlyWhenSelected() {
    Sheet s = numbered(4, 6);
    SheetView view;
    view.setSheet(&s);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QImage plain = view.viewport()->grab().toImage();
    view.select(QPoint(2, 2), QPoint(3, 3));
    const QImage selected = view.viewport()->grab().toImage();
    QVERIFY(plain != selected);
    // Highlighted, not covered: the white cell turns light blue.
    const QColor inside = selected.pixelColor(view.columnX(2) + 2, view.rowY(2) + 2);
    QVERIFY(inside.blue() > inside.red());
    QCOMPARE(selected.pixelColor(view.columnX(4) + 2, view.rowY(4) + 2),
             plain.pixelColor(view.columnX(4) + 2, view.rowY(4) + 2));
    view.clearSelection();
    QCOMPARE(view.viewport()->grab().toImage(), plain);
}

void TestSheetView::copyPutsTextAndHtml_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QRect>("block");
    QTest::newRow("nothing selected: all") << QString() << QRect(1, 1, 3, 4);
    QTest::newRow("selection") << u"RD"_s << QRect(QPoint(2, 2), QPoint(3, 3));
    QTest::newRow("ctrl+a") << u"A"_s << QRect(1, 1, 3, 4);
}

void TestSheetView::copyPutsTextAndHtml() {
    QFETCH(QString, keys);
    QFETCH(QRect, block);
    Sheet s = numbered(3, 4);
    s.setBackColor(CellRange::cell(2, 2), rgb(255, 255, 128));
    SheetView view;
    view.setSheet(&s);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QGuiApplication::clipboard()->clear();
    if (keys == u"A"_s)
        QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    else if (!keys.isEmpty()) {
        QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
    }
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    QVERIFY(mime);
    QCOMPARE(mime->text(), sheetTsv(s, block));
    QVERIFY(mime->text().startsWith(u"%1-%2\t"_s.arg(block.left()).arg(block.top())));
    QVERIFY(mime->hasHtml());
    QVERIFY(mime->html().contains(u"bgcolor=\"#ffff80\""_s));
}

void TestSheetView::contextMenuSaves() {
    Sheet s = numbered(3, 4);
    SheetView view;
    view.setSheet(&s);
    view.setExportName(u"分析: 表"_s);
    QTemporaryDir dir;
    QStringList offered;
    QString answer = dir.filePath(u"out"_s);
    SheetView::setSaveNameChooser(
        [&](QWidget*, const QString&, const QString& suggested, const QString&) {
            offered << QFileInfo(suggested).fileName();
            return answer;
        });
    std::unique_ptr<QMenu> menu(view.createContextMenu(nullptr));
    QStringList texts;
    for (QAction* a : menu->actions())
        if (!a->isSeparator())
            texts << a->text();
    QCOMPARE(texts,
             (QStringList{u"コピー"_s, u"すべて選択"_s, u"CSVで保存..."_s, u"画像で保存..."_s}));
    menu->findChild<QAction*>(u"actionSaveCsv"_s)->trigger();
    menu->findChild<QAction*>(u"actionSaveImage"_s)->trigger();
    SheetView::setSaveNameChooser(nullptr);
    QCOMPARE(offered, (QStringList{u"分析_ 表.csv"_s, u"分析_ 表.png"_s}));
    QFile csv(answer + u".csv"_s);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QCOMPARE(csv.readAll(), sheetCsv(s));
    QVERIFY(!QImage(answer + u".png"_s).isNull());
    // Selecting all from the menu.
    menu->findChild<QAction*>(u"actionSelectAll"_s)->trigger();
    QCOMPARE(view.selection(), QRect(1, 1, 3, 4));
}

void TestSheetView::failedSaveIsTold() {
    Sheet s = numbered(3, 4);
    SheetView view;
    view.setSheet(&s);
    QTemporaryDir dir;
    SheetView::setSaveNameChooser([&](QWidget*, const QString&, const QString&, const QString&) {
        return dir.filePath(u"ない/out.csv"_s);
    });
    messages::Recorder recorder;
    view.saveCsv();
    SheetView::setSaveNameChooser(nullptr);
    QCOMPARE(recorder.count(), 1);
    QCOMPARE(recorder.last().icon, messages::Icon::Stop);
    QVERIFY2(recorder.last().text.contains(u"out.csv"_s), qPrintable(recorder.last().text));
    QVERIFY(QDir(dir.path()).isEmpty());
}

// The save dialogs start in the folder last saved to, remembered in a file
// of their own beside the settings file; before that in the documents folder.
// Draw files keep a folder of their own.
void TestSheetView::saveDialogsStartInTheLastFolder() {
    Sheet s = numbered(3, 4);
    SheetView view;
    view.setSheet(&s);
    view.setExportName(u"表"_s);
    QTemporaryDir settings;
    QTemporaryDir dir;
    setSettingsFolder(settings.path());
    QStringList offered;
    SheetView::setSaveNameChooser(
        [&](QWidget*, const QString&, const QString& suggested, const QString&) {
            offered << QFileInfo(suggested).absolutePath();
            return dir.filePath(u"out"_s);
        });
    view.saveCsv();
    view.saveImage();
    SheetView::setSaveNameChooser(nullptr);
    QCOMPARE(offered.size(), 2);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QVERIFY2(offered[0] == QFileInfo(documents).absoluteFilePath() ||
                 offered[0] == QDir::homePath(),
             qPrintable(offered[0]));
    QCOMPARE(offered[1], QFileInfo(dir.path()).absoluteFilePath());
    QCOMPARE(recentFolder(FolderKind::Output), QFileInfo(dir.path()).absoluteFilePath());
    QVERIFY(recentFolder(FolderKind::Data) != recentFolder(FolderKind::Output));
    // Kept for the next run beside the settings file, not in it.
    const QString kept = recentFoldersFilePath();
    QCOMPARE(QFileInfo(kept).absolutePath(), QFileInfo(settings.path()).absoluteFilePath());
    QFile keptFile(kept);
    QVERIFY(keptFile.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(keptFile.readAll())
                .split(u'\n')
                .contains(u"output="_s + QFileInfo(dir.path()).absoluteFilePath()));
    QVERIFY(!QFileInfo::exists(settingsFilePath()));
    setSettingsFolder(QString());
}

QTEST_MAIN(TestSheetView)
#include "tst_ui_sheetview.moc"
