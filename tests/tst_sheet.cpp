#include "core/sheet/Sheet.h"
#include "core/sheet/SheetJson.h"
#include "support/WorkingDirectory.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <random>

using namespace Qt::StringLiterals;

using namespace peridon;

Q_DECLARE_METATYPE(peridon::CellRange)

class TestSheet : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::useTemporaryWorkingDirectory(); }
    void blockClipping_data();
    void blockClipping();
    void outsideWritesIgnored_data();
    void outsideWritesIgnored();
    void textsReadBackExactly_data();
    void textsReadBackExactly();
    void borderMasks_data();
    void borderMasks();
    void borderColoursPerSide();
    void borderZeroRemoves();
    void sizesOneOrAll();
    void resizeKeepsCells();
    void numberTextsReadBackExactly_data();
    void numberTextsReadBackExactly();
    void cellInsideTallBlock();
    void rowsWrittenUpwards();
    void shrinkThenGrowStartsClean();
    void matchesCellByCellModel_data();
    void matchesCellByCellModel();
    void jsonInPiecesStopsOnFailure();
    void jsonEscapesEveryControlCharacter();
};

// A range of colour applied to a 5 x 4 sheet: which cells changed.
void TestSheet::blockClipping_data() {
    QTest::addColumn<CellRange>("range");
    QTest::addColumn<QRect>("expected"); // cells inside (empty: none)
    QTest::newRow("inside") << CellRange::block(2, 2, 3, 3) << QRect(QPoint(2, 2), QPoint(3, 3));
    QTest::newRow("ends reversed")
        << CellRange::block(3, 3, 2, 2) << QRect(QPoint(2, 2), QPoint(3, 3));
    QTest::newRow("past last col and row")
        << CellRange::block(4, 3, 9, 99) << QRect(QPoint(4, 3), QPoint(5, 4));
    QTest::newRow("one row") << CellRange::row(2) << QRect(QPoint(1, 2), QPoint(5, 2));
    QTest::newRow("rows") << CellRange::rows(3, 9) << QRect(QPoint(1, 3), QPoint(5, 4));
    QTest::newRow("one column") << CellRange::column(3) << QRect(QPoint(3, 1), QPoint(3, 4));
    QTest::newRow("columns") << CellRange::columns(0, 2) << QRect(QPoint(1, 1), QPoint(2, 4));
    QTest::newRow("whole sheet") << CellRange::all() << QRect(QPoint(1, 1), QPoint(5, 4));
    QTest::newRow("starts at 0") << CellRange::block(0, 0, 1, 1)
                                 << QRect(QPoint(1, 1), QPoint(1, 1));
    QTest::newRow("cell at -1") << CellRange::cell(-1, -1) << QRect();
    QTest::newRow("wholly outside") << CellRange::block(6, 1, 8, 4) << QRect();
    QTest::newRow("below") << CellRange::block(1, 5, 5, 9) << QRect();
    QTest::newRow("row below") << CellRange::row(5) << QRect();
}

void TestSheet::blockClipping() {
    QFETCH(CellRange, range);
    QFETCH(QRect, expected);
    Sheet s(5, 4);
    const Rgb colour = rgb(10, 20, 30);
    s.setBackColor(range, colour);
    s.setForeColor(range, colour);
    s.setHAlign(range, HAlign::Right);
    for (int r = 1; r <= 4; ++r) {
        for (int c = 1; c <= 5; ++c) {
            const bool in = expected.contains(QPoint(c, r));
            QCOMPARE(s.backColor(c, r), in ? colour : kWhite);
            QCOMPARE(s.foreColor(c, r), in ? colour : kBlack);
            QCOMPARE(s.hAlign(c, r), in ? HAlign::Right : HAlign::Center);
        }
    }
}

void TestSheet::outsideWritesIgnored_data() {
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::newRow("col 0") << 0 << 1;
    QTest::newRow("row 0") << 1 << 0;
    QTest::newRow("past last col") << 4 << 1;
    QTest::newRow("past last row") << 1 << 3;
    QTest::newRow("far away") << 100 << 40000;
    QTest::newRow("negative") << -5 << -5;
}

void TestSheet::outsideWritesIgnored() {
    QFETCH(int, col);
    QFETCH(int, row);
    Sheet s(3, 2);
    s.setText(col, row, u"7"_s);
    QCOMPARE(s.text(col, row), QString());
    QVERIFY(!s.hasText(col, row));
    for (int r = 1; r <= 2; ++r)
        for (int c = 1; c <= 3; ++c)
            QVERIFY(!s.hasText(c, r));
    QCOMPARE(s.borderMask(col, row), 0);
    QCOMPARE(s.backColor(col, row), kWhite);
}

void TestSheet::textsReadBackExactly_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("digit") << u"0"_s;
    QTest::newRow("spaces kept") << u" 12 "_s;
    QTest::newRow("ideographic spaces") << u"　当選　"_s;
    QTest::newRow("full-width") << u"ＡＢ１２－"_s;
    QTest::newRow("mark") << u"●"_s;
}

void TestSheet::textsReadBackExactly() {
    QFETCH(QString, text);
    Sheet s(2, 2);
    s.setText(2, 2, text);
    s.setText(1, 1, text); // the same text shared by two cells
    QCOMPARE(s.text(2, 2), text);
    QCOMPARE(s.text(1, 1), text);
    s.clearText(CellRange::cell(1, 1));
    QCOMPARE(s.text(1, 1), QString());
    QCOMPARE(s.text(2, 2), text);
}

// Masks over the block (2,2)-(4,3) of a 5 x 4 sheet: the sides each cell gets.
void TestSheet::borderMasks_data() {
    QTest::addColumn<int>("mask");
    QTest::addColumn<QList<int>>("expected"); // per cell of the block, row-major
    const int L = BorderLeft, R = BorderRight, T = BorderTop, B = BorderBottom;
    QTest::newRow("all four sides") << 15 << QList<int>(6, 15);
    QTest::newRow("left only") << 1 << QList<int>(6, L);
    QTest::newRow("bottom and right") << (B | R) << QList<int>(6, B | R);
    QTest::newRow("outline") << 16 << QList<int>{L | T, T, R | T, L | B, B, R | B};
    QTest::newRow("outline plus left")
        << (16 | L) << QList<int>{L | T, L | T, L | R | T, L | B, L | B, L | R | B};
}

void TestSheet::borderMasks() {
    QFETCH(int, mask);
    QFETCH(QList<int>, expected);
    Sheet s(5, 4);
    s.setBorder(CellRange::block(2, 2, 4, 3), mask);
    int i = 0;
    for (int r = 2; r <= 3; ++r)
        for (int c = 2; c <= 4; ++c)
            QCOMPARE(s.borderMask(c, r), expected[i++]);
    // Nothing outside the block.
    for (int c = 1; c <= 5; ++c) {
        QCOMPARE(s.borderMask(c, 1), 0);
        QCOMPARE(s.borderMask(c, 4), 0);
    }
    QCOMPARE(s.borderMask(1, 2), 0);
    QCOMPARE(s.borderMask(5, 3), 0);
}

void TestSheet::borderColoursPerSide() {
    Sheet s(3, 3);
    s.setBorder(CellRange::cell(2, 2), BorderAll, rgb(255, 0, 0));
    s.setBorder(CellRange::cell(2, 2), BorderBottom, rgb(0, 0, 255));
    QCOMPARE(s.borderColor(2, 2, BorderLeft), rgb(255, 0, 0));
    QCOMPARE(s.borderColor(2, 2, BorderBottom), rgb(0, 0, 255));
    QCOMPARE(s.borderMask(2, 2), int(BorderAll));
    // An outline past the sheet's edge is cut there: the edge cells get it.
    s.setBorder(CellRange::block(2, 2, 9, 9), BorderOutline, rgb(0, 128, 0));
    QCOMPARE(s.borderMask(3, 3) & (BorderRight | BorderBottom), BorderRight | BorderBottom);
    QCOMPARE(s.borderColor(3, 3, BorderRight), rgb(0, 128, 0));
}

void TestSheet::borderZeroRemoves() {
    Sheet s(4, 4);
    s.setBorder(CellRange::all(), BorderAll);
    s.setBorder(CellRange::block(2, 2, 3, 3), 0);
    QCOMPARE(s.borderMask(2, 2), 0);
    QCOMPARE(s.borderMask(3, 3), 0);
    QCOMPARE(s.borderMask(1, 1), int(BorderAll));
    QCOMPARE(s.borderMask(4, 2), int(BorderAll));
}

void TestSheet::sizesOneOrAll() {
    Sheet s(3, 3);
    s.setColWidth(-1, 5);
    s.setColWidth(1, 8);
    s.setRowHeight(-1, 10);
    s.setRowHeight(2, 15);
    s.setColWidth(9, 99); // outside: ignored
    QCOMPARE(s.colWidth(1), 8.0);
    QCOMPARE(s.colWidth(3), 5.0);
    QCOMPARE(s.rowHeight(2), 15.0);
    QCOMPARE(s.rowHeight(3), 10.0);
    s.setSize(5, 5); // new rows and columns take the "all" value
    QCOMPARE(s.colWidth(5), 5.0);
    QCOMPARE(s.rowHeight(5), 10.0);
}

void TestSheet::resizeKeepsCells() {
    Sheet s(3, 3);
    s.setText(2, 3, u"x"_s);
    s.setText(3, 1, u"y"_s);
    s.setSize(4, 5);
    QCOMPARE(s.text(2, 3), u"x"_s);
    QCOMPARE(s.text(3, 1), u"y"_s);
    QVERIFY(!s.hasText(4, 5));
    s.setSize(2, 3);
    QCOMPARE(s.text(2, 3), u"x"_s);
    QCOMPARE(s.text(3, 1), QString());
}

// Texts that look like numbers are kept as numbers: each must read back as
// it was written, and only the canonical form may become a number.
void TestSheet::numberTextsReadBackExactly_data() {
    QTest::addColumn<QString>("text");
    for (const QString& t : {u"0"_s, u"7"_s, u"32767"_s, u"-5"_s, u"-0"_s, u"007"_s, u"+3"_s,
                             u"1 "_s, u"-"_s, u"8388607"_s, u"-8388608"_s, u"9999999"_s,
                             u"12345678"_s, u"123456789"_s, u"2147483648"_s, u"１２"_s})
        QTest::newRow(qPrintable(t)) << t;
}

void TestSheet::numberTextsReadBackExactly() {
    QFETCH(QString, text);
    Sheet s(2, 2);
    s.setText(1, 1, text);
    s.setTextId(2, 2, s.internText(text));
    QCOMPARE(s.text(1, 1), text);
    QCOMPARE(s.text(2, 2), text);
    QVERIFY(s.hasText(1, 1));
    // A number with a prefix and suffix reads as the text it stands for.
    const int f = s.numberFormat(u"第"_s, u"回前"_s);
    QVERIFY(f > 0);
    const Sheet::TextId id = s.numberText(-12, f);
    s.setTextId(1, 2, id);
    QCOMPARE(s.text(1, 2), u"第-12回前"_s);
    // Read back as a number, the parts make the same text.
    int n = 0;
    int format = -1;
    QVERIFY(s.numberOf(id, n, format));
    QCOMPARE(s.formatPrefix(format) + QString::number(n) + s.formatSuffix(format), u"第-12回前"_s);
    const Sheet::TextId big = s.numberText(123456789, f); // too large to keep as a number
    s.setTextId(2, 1, big);
    QCOMPARE(s.text(2, 1), u"第123456789回前"_s);
    QVERIFY(!s.numberOf(big, n, format));
    QVERIFY(!s.numberOf(s.internText(u"回数"_s), n, format));
    QCOMPARE(s.numberText(1, 99), Sheet::TextId(0)); // no such format
}

// A cell formatted on its own inside a tall formatted block keeps its own
// formatting when the block changes around it, and the block's edges stay.
void TestSheet::cellInsideTallBlock() {
    Sheet s(3, 3000);
    s.setBackColor(CellRange::block(2, 10, 2, 2500), rgb(1, 2, 3));
    s.setForeColor(CellRange::cell(2, 100), rgb(9, 9, 9));
    s.setText(2, 100, u"x"_s);
    s.setBackColor(CellRange::block(2, 50, 2, 2000), rgb(4, 5, 6));
    QCOMPARE(s.backColor(2, 9), kWhite);
    QCOMPARE(s.backColor(2, 10), rgb(1, 2, 3));
    QCOMPARE(s.backColor(2, 49), rgb(1, 2, 3));
    QCOMPARE(s.backColor(2, 50), rgb(4, 5, 6));
    QCOMPARE(s.backColor(2, 100), rgb(4, 5, 6));
    QCOMPARE(s.foreColor(2, 100), rgb(9, 9, 9));
    QCOMPARE(s.foreColor(2, 101), kBlack);
    QCOMPARE(s.backColor(2, 2000), rgb(4, 5, 6));
    QCOMPARE(s.backColor(2, 2001), rgb(1, 2, 3));
    QCOMPARE(s.backColor(2, 2500), rgb(1, 2, 3));
    QCOMPARE(s.backColor(2, 2501), kWhite);
    QCOMPARE(s.backColor(1, 100), kWhite);
    // Clearing the text keeps the cell's own colour.
    s.clearText(CellRange::all());
    QVERIFY(!s.hasText(2, 100));
    QCOMPARE(s.foreColor(2, 100), rgb(9, 9, 9));
}

void TestSheet::rowsWrittenUpwards() {
    Sheet s(2, 5000);
    for (int r = 5000; r >= 1; --r) {
        s.setText(1, r, QString::number(r * 3));
        if (r % 7 == 0)
            s.setBackColor(CellRange::cell(1, r), rgb(r % 256, 0, 0));
    }
    for (int r = 1; r <= 5000; ++r) {
        QCOMPARE(s.text(1, r), QString::number(r * 3));
        QCOMPARE(s.backColor(1, r), r % 7 == 0 ? rgb(r % 256, 0, 0) : kWhite);
    }
}

// Rows and columns that leave the sheet and come back start unformatted.
void TestSheet::shrinkThenGrowStartsClean() {
    for (const int shrunk : {0, 1, 1024, 1500}) {
        Sheet s(3, 3000);
        s.setBackColor(CellRange::all(), rgb(1, 1, 1));
        s.setBorder(CellRange::block(2, 1, 3, 3000), BorderAll);
        for (int r = 1; r <= 3000; r += 5)
            s.setText(3, r, u"t"_s);
        s.setSize(2, shrunk);
        s.setSize(3, 3000);
        for (int r = 1; r <= 3000; ++r) {
            const bool kept = r <= shrunk;
            QCOMPARE(s.backColor(1, r), kept ? rgb(1, 1, 1) : kWhite);
            QCOMPARE(s.borderMask(2, r), kept ? int(BorderAll) : 0);
            QCOMPARE(s.backColor(3, r), kWhite);
            QVERIFY(!s.hasText(3, r));
        }
    }
}

namespace {

// The plain cell-by-cell model of a sheet the storage must agree with.
struct ModelCell {
    QString text;
    Rgb fore = kBlack;
    Rgb back = kWhite;
    HAlign align = HAlign::Center;
    int borders = 0;
    Rgb borderColour[4] = {kDefaultBorder, kDefaultBorder, kDefaultBorder, kDefaultBorder};
};

struct Model {
    int cols = 0;
    int rows = 0;
    std::vector<ModelCell> cells;
    ModelCell& at(int c, int r) {
        return cells[std::size_t(r - 1) * std::size_t(cols) + std::size_t(c - 1)];
    }
    void resize(int c, int r) {
        std::vector<ModelCell> next(std::size_t(c) * std::size_t(r));
        for (int rr = 1; rr <= qMin(r, rows); ++rr)
            for (int cc = 1; cc <= qMin(c, cols); ++cc)
                next[std::size_t(rr - 1) * std::size_t(c) + std::size_t(cc - 1)] = at(cc, rr);
        cells.swap(next);
        cols = c;
        rows = r;
    }
    template <typename F> void block(int c1, int r1, int c2, int r2, F f) {
        for (int r = qMax(1, r1); r <= qMin(rows, r2); ++r)
            for (int c = qMax(1, c1); c <= qMin(cols, c2); ++c)
                f(at(c, r), c, r);
    }
};

} // namespace

// Random operations of every kind, on a sheet and on the model: every cell
// must read back the same, through the accessors and through a row cursor.
void TestSheet::matchesCellByCellModel_data() {
    QTest::addColumn<int>("seed");
    for (int seed = 1; seed <= 6; ++seed)
        QTest::newRow(qPrintable(u"seed %1"_s.arg(seed))) << seed;
}

void TestSheet::matchesCellByCellModel() {
    QFETCH(int, seed);
    std::mt19937 rng{std::uint32_t(seed)};
    const auto pick = [&rng](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(rng);
    };
    const Rgb palette[] = {kWhite, kBlack, rgb(255, 0, 0), rgb(0, 128, 255), rgb(200, 255, 200)};
    const QString texts[] = {QString(), u"●"_s, u"0"_s, u"42"_s, u"-3"_s, u"回数"_s, u"07"_s};
    Sheet s(6, 2200);
    Model m;
    m.resize(6, 2200);
    for (int step = 0; step < 400; ++step) {
        // Blocks: single cells, single rows, tall blocks over chunk edges,
        // whole columns; sometimes reaching past the edge.
        const int c1 = pick(1, m.cols), c2 = pick(c1, m.cols + 1);
        int mr1 = pick(1, qMax(1, m.rows)), mr2 = mr1;
        bool wholeColumns = false;
        switch (pick(0, 3)) {
        case 0:
            break;
        case 1:
            mr2 = qMin(m.rows + 2, mr1 + pick(1, 40));
            break;
        case 2:
            mr2 = mr1 + pick(500, 2500);
            break;
        default:
            wholeColumns = true;
            mr1 = 1;
            mr2 = m.rows;
            break;
        }
        const CellRange range =
            wholeColumns ? CellRange::columns(c1, c2) : CellRange::block(c1, mr1, c2, mr2);
        const Rgb colour = palette[pick(0, 4)];
        switch (pick(0, 7)) {
        case 0:
            s.setBackColor(range, colour);
            m.block(c1, mr1, c2, mr2, [&](ModelCell& x, int, int) { x.back = colour; });
            break;
        case 1:
            s.setForeColor(range, colour);
            m.block(c1, mr1, c2, mr2, [&](ModelCell& x, int, int) { x.fore = colour; });
            break;
        case 2: {
            const auto a = HAlign(pick(0, 2));
            s.setHAlign(range, a);
            m.block(c1, mr1, c2, mr2, [&](ModelCell& x, int, int) { x.align = a; });
            break;
        }
        case 3: {
            const int mask = pick(0, 31);
            s.setBorder(range, mask, colour);
            const int bc1 = qMax(1, c1), bc2 = qMin(m.cols, c2);
            const int br1 = qMax(1, mr1), br2 = qMin(m.rows, mr2);
            m.block(c1, mr1, c2, mr2, [&](ModelCell& x, int c, int r) {
                if (mask == 0) {
                    x.borders = 0;
                    return;
                }
                int sides = mask & BorderAll;
                if (mask & BorderOutline)
                    sides |= (c == bc1 ? BorderLeft : 0) | (c == bc2 ? BorderRight : 0) |
                             (r == br1 ? BorderTop : 0) | (r == br2 ? BorderBottom : 0);
                for (int i = 0; i < 4; ++i)
                    if (sides & (1 << i))
                        x.borderColour[i] = colour;
                x.borders |= sides;
            });
            break;
        }
        case 4:
        case 5: {
            if (m.rows == 0)
                break;
            const int c = pick(1, m.cols), r = pick(1, m.rows);
            const QString& t = texts[pick(0, 6)];
            s.setText(c, r, t);
            m.at(c, r).text = t;
            break;
        }
        case 6:
            s.clearText(range);
            m.block(c1, mr1, c2, mr2, [&](ModelCell& x, int, int) { x.text.clear(); });
            break;
        default:
            if (pick(0, 9) == 0) {
                const int cols = pick(4, 7), rows = pick(0, 2300);
                s.setSize(cols, rows);
                m.resize(cols, rows);
            }
            break;
        }
    }
    QCOMPARE(s.cols(), m.cols);
    QCOMPARE(s.rows(), m.rows);
    Sheet::RowCursor cursor(s);
    for (int r = 1; r <= m.rows; ++r) {
        cursor.seek(r);
        for (int c = 1; c <= m.cols; ++c) {
            const ModelCell& x = m.at(c, r);
            QCOMPARE(s.text(c, r), x.text);
            QCOMPARE(s.hasText(c, r), !x.text.isEmpty());
            QCOMPARE(s.backColor(c, r), x.back);
            QCOMPARE(s.foreColor(c, r), x.fore);
            QCOMPARE(s.hAlign(c, r), x.align);
            QCOMPARE(s.borderMask(c, r), x.borders);
            for (int i = 0; i < 4; ++i)
                QCOMPARE(s.borderColor(c, r, BorderSide(1 << i)), x.borderColour[i]);
            QCOMPARE(s.textOf(cursor.textId(c)), x.text);
            QCOMPARE(cursor.backColor(c), x.back);
            QCOMPARE(cursor.foreColor(c), x.fore);
        }
    }
    // A cursor moved to rows in any order (back, far ahead, one ahead)
    // reads the same cells.
    Sheet::RowCursor jumping(s);
    for (int i = 0; i < 60 && m.rows > 0; ++i) {
        const int r = pick(1, m.rows);
        for (int row : {r, qMin(r + 1, m.rows)}) {
            jumping.seek(row);
            for (int c = 1; c <= m.cols; ++c) {
                const ModelCell& x = m.at(c, row);
                QCOMPARE(s.textOf(jumping.textId(c)), x.text);
                QCOMPARE(jumping.backColor(c), x.back);
                QCOMPARE(jumping.hAlign(c), x.align);
                QCOMPARE(jumping.borderMask(c), x.borders);
                for (int side = 0; side < 4; ++side)
                    QCOMPARE(jumping.borderColor(c, side), x.borderColour[side]);
            }
        }
    }
    // The texts of a column read down from any row: exactly the cells with
    // a text, in order; nothing for a column outside the sheet.
    for (int c = 0; c <= m.cols + 1; ++c) {
        const int from = pick(0, m.rows + 1);
        QList<int> seen;
        QStringList seenTexts;
        s.forEachText(c, from, [&](int r, Sheet::TextId id) {
            seen << r;
            seenTexts << s.textOf(id);
        });
        QList<int> expectedRows;
        QStringList expectedTexts;
        for (int r = qMax(1, from); c >= 1 && c <= m.cols && r <= m.rows; ++r) {
            if (!m.at(c, r).text.isEmpty()) {
                expectedRows << r;
                expectedTexts << m.at(c, r).text;
            }
        }
        QCOMPARE(seen, expectedRows);
        QCOMPARE(seenTexts, expectedTexts);
    }
    // A cursor may also go back.
    if (m.rows > 0) {
        const int r = pick(1, m.rows);
        cursor.seek(r);
        for (int c = 1; c <= m.cols; ++c) {
            QCOMPARE(s.textOf(cursor.textId(c)), m.at(c, r).text);
            QCOMPARE(cursor.backColor(c), m.at(c, r).back);
        }
    }
}

// The JSON goes out in pieces that together are the whole document; a piece
// that cannot be written ends the writing with a failure.
void TestSheet::jsonInPiecesStopsOnFailure() {
    Sheet s(5, 6000);
    for (int r = 1; r <= 6000; ++r)
        s.setText(1 + r % 5, r, r % 2 ? u"\"引用\"\t"_s : QString::number(r));
    const QByteArray whole = sheetsToJson(u"w"_s, u"c"_s, {&s});
    QByteArray joined;
    int pieces = 0;
    QVERIFY(writeSheetsJson(
        [&](QByteArrayView piece) {
            joined += piece;
            ++pieces;
            return true;
        },
        u"w"_s, u"c"_s, {&s}));
    QCOMPARE(joined, whole);
    QVERIFY(pieces > 1);
    const QByteArray quoted = "{\"col\":2,\"row\":1,\"text\":\"\\\"引用\\\"\\t\","
                              "\"fg\":\"#000000\",\"bg\":\"#ffffff\"}";
    const QByteArray number =
        "{\"col\":3,\"row\":2,\"text\":\"2\",\"fg\":\"#000000\",\"bg\":\"#ffffff\"}";
    QVERIFY(whole.contains(quoted));
    QVERIFY(whole.contains(number));

    int calls = 0;
    QVERIFY(!writeSheetsJson(
        [&](QByteArrayView) {
            ++calls;
            return false;
        },
        u"w"_s, u"c"_s, {&s}));
    QCOMPARE(calls, 1);
}

// Backslashes, quotes and every control character come back from the JSON
// as they went in, and none of them stands raw in the document.
void TestSheet::jsonEscapesEveryControlCharacter() {
    Sheet s(3, 33);
    QStringList texts;
    for (char16_t c = 1; c < 0x20; ++c)
        texts << u"a"_s + QChar(c) + u"b"_s;
    texts << u"\\"_s << u"\""_s << u"\\\"\\n"_s;
    for (int i = 0; i < texts.size(); ++i)
        s.setText(1 + i % 3, 1 + i / 3, texts[i]);
    const QByteArray json = sheetsToJson(u"w"_s, u"c"_s, {&s});
    for (const char c : json)
        QVERIFY2(static_cast<unsigned char>(c) >= 0x20, qPrintable(QString::number(int(c))));
    QJsonParseError error;
    const QJsonArray cells = QJsonDocument::fromJson(json, &error)
                                 .object()[u"grids"_s]
                                 .toArray()[0]
                                 .toObject()[u"cells"_s]
                                 .toArray();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QStringList back;
    for (const QJsonValue& cell : cells)
        back << cell.toObject()[u"text"_s].toString();
    QCOMPARE(back, texts);
}

QTEST_APPLESS_MAIN(TestSheet)
#include "tst_sheet.moc"
