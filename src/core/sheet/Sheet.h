#pragma once

#include <QHash>
#include <QString>
#include <QtGlobal>

#include <cstdint>
#include <limits>
#include <unordered_map>
#include <vector>

namespace peridon {

// A colour as 0xRRGGBB.
using Rgb = std::uint32_t;
constexpr Rgb rgb(int r, int g, int b) {
    return (Rgb(r & 0xff) << 16) | (Rgb(g & 0xff) << 8) | Rgb(b & 0xff);
}
constexpr int red(Rgb c) {
    return int((c >> 16) & 0xff);
}
constexpr int green(Rgb c) {
    return int((c >> 8) & 0xff);
}
constexpr int blue(Rgb c) {
    return int(c & 0xff);
}

constexpr Rgb kBlack = rgb(0, 0, 0);
constexpr Rgb kWhite = rgb(255, 255, 255);
// Colour of a cell border drawn without a colour of its own.
constexpr Rgb kDefaultBorder = rgb(128, 128, 128);

enum class HAlign : std::uint8_t { Left = 0, Right = 1, Center = 2 };
enum class CellType : std::uint8_t { StaticText = 0, EditNumber = 1 };
enum class ScrollBars : std::uint8_t { None, Horizontal, Vertical, Both };

// The texts "0" to "9", built once so that a million-cell sheet does not
// build a string per digit cell.
const QString& digitText(int digit);

// Side mask of a border operation.
enum BorderSide : int {
    BorderNone = 0,
    BorderLeft = 1,
    BorderRight = 2,
    BorderTop = 4,
    BorderBottom = 8,
    BorderOutline = 16,
    BorderAll = 15,
};

// The cells a block operation of a sheet works on: from column firstCol and
// row firstRow to column lastCol and row lastRow, counted from 1 (ends given
// the wrong way round are swapped). A range may reach past the sheet's edge,
// where the operation clips it; kEnd reaches the sheet's last column or row,
// whatever its size.
struct CellRange {
    static constexpr int kEnd = std::numeric_limits<int>::max();

    int firstCol;
    int firstRow;
    int lastCol;
    int lastRow;

    static constexpr CellRange all() { return {1, 1, kEnd, kEnd}; }
    // Every row of one column, or of the columns first..last.
    static constexpr CellRange column(int col) { return {col, 1, col, kEnd}; }
    static constexpr CellRange columns(int first, int last) { return {first, 1, last, kEnd}; }
    // Every column of one row, or of the rows first..last.
    static constexpr CellRange row(int row) { return {1, row, kEnd, row}; }
    static constexpr CellRange rows(int first, int last) { return {1, first, kEnd, last}; }
    static constexpr CellRange cell(int col, int row) { return {col, row, col, row}; }
    static constexpr CellRange block(int col1, int row1, int col2, int row2) {
        return {col1, row1, col2, row2};
    }
};

// The cell model every grid shows: a rectangle of cells addressed by column
// and row from 1. Block operations take a CellRange, clipped at the sheet's
// edge; cells outside the sheet ignore writes and read back empty.
//
// Storage follows what grids hold: formatting set over blocks many rows tall
// (a colour per column band, borders over whole tables) is kept per column as
// runs of rows sharing one style, and only cells with a text or formatting of
// their own (set on a single row) take an entry of eight bytes. Styles and
// texts are interned; whole numbers written as texts are kept as the number
// itself. A sheet of a million cells with a few texts per row thus holds a
// couple of megabytes instead of sixteen.
class Sheet final {
public:
    Sheet() = default;
    Sheet(int cols, int rows) { setSize(cols, rows); }

    // Resizes the sheet, keeping cells that stay inside it.
    void setSize(int cols, int rows);
    int cols() const { return m_cols; }
    int rows() const { return m_rows; }
    bool contains(int col, int row) const {
        return col >= 1 && row >= 1 && col <= m_cols && row <= m_rows;
    }

    void setVisibleExtent(int cols, int rows) {
        m_visibleCols = qMax(0, cols);
        m_visibleRows = qMax(0, rows);
    }
    int visibleCols() const { return m_visibleCols; }
    int visibleRows() const { return m_visibleRows; }

    void setScrollBars(ScrollBars s) { m_scrollBars = s; }
    ScrollBars scrollBars() const { return m_scrollBars; }

    void setFrozen(int cols, int rows) {
        m_frozenCols = qMax(0, cols);
        m_frozenRows = qMax(0, rows);
    }
    int frozenCols() const { return m_frozenCols; }
    int frozenRows() const { return m_frozenRows; }

    void setColumnHeadersVisible(bool on) { m_colHeaders = on; }
    void setRowHeadersVisible(bool on) { m_rowHeaders = on; }
    bool columnHeadersVisible() const { return m_colHeaders; }
    bool rowHeadersVisible() const { return m_rowHeaders; }

    // Sizes in the grid's own units: a column width counts characters of the
    // grid font, a row height of 10 is one ordinary text line. -1 sets all
    // (and becomes the default for rows and columns added later).
    void setRowHeight(int row, double height);
    void setColWidth(int col, double width);
    double rowHeight(int row) const;
    double colWidth(int col) const;

    // Lets a text spill over the empty cells to its right.
    void setOverflow(bool on) { m_overflow = on; }
    bool overflow() const { return m_overflow; }

    // Cells first..last of one row drawn as one cell, as a title over several
    // columns: no grid lines between them, and the text of the first cell
    // centred over all of them without the spaces around it. The cells keep
    // their own texts, colours and borders.
    struct JoinedCells {
        int row;
        int first;
        int last;
    };
    void joinCells(int first, int last, int row);
    const std::vector<JoinedCells>& joinedCells() const { return m_joined; }

    void setBackColor(const CellRange& cells, Rgb colour);
    void setForeColor(const CellRange& cells, Rgb colour);
    void setCellType(const CellRange& cells, CellType type);
    void setHAlign(const CellRange& cells, HAlign align);
    // mask: BorderSide bits; 0 removes every border of the range's cells.
    void setBorder(const CellRange& cells, int mask, Rgb colour = kDefaultBorder);
    void clearText(const CellRange& cells);

    void setText(int col, int row, const QString& text);
    // A text interned once and then written into many cells by its id, so
    // that builders of large sheets do not look the same text up per cell.
    // 0 is the empty text.
    using TextId = std::uint32_t;
    TextId internText(const QString& text) { return textIndex(text); }
    // The text of the whole number n with the given prefix and suffix (see
    // numberFormat; 0 is none), without making or storing a string: the same
    // text as internText(prefix + QString::number(n) + suffix).
    TextId numberText(int n, int format = 0);
    // A prefix and suffix for numberText ("+3", "12回", "3回前"); -1 when the
    // sheet holds too many formats already (intern the texts instead).
    int numberFormat(const QString& prefix, const QString& suffix);
    void setTextId(int col, int row, TextId text);
    QString text(int col, int row) const;
    bool hasText(int col, int row) const;
    // The id of a cell's text; 0 for none.
    TextId textIdAt(int col, int row) const;
    // The text an id stands for.
    QString textOf(TextId text) const;

    Rgb backColor(int col, int row) const;
    Rgb foreColor(int col, int row) const;
    CellType cellType(int col, int row) const;
    HAlign hAlign(int col, int row) const;
    // Border sides drawn on this cell (BorderLeft..BorderBottom bits) and the
    // colour of one side (BorderLeft, BorderRight, BorderTop or BorderBottom).
    int borderMask(int col, int row) const;
    Rgb borderColor(int col, int row, BorderSide side) const;

    // (0, 0) is allowed and leaves no cell current.
    void setActiveCell(int col, int row);
    int activeCol() const { return m_activeCol; }
    int activeRow() const { return m_activeRow; }

    // Bytes held by the cell storage, for the memory benchmark.
    std::size_t memoryUsage() const;

    // Cells that look alike (colours, alignment, type, borders) share a
    // style id.
    using StyleId = std::uint16_t;

    // Reads the cells of a sheet row after row, for code that visits every
    // cell (the JSON output): a step to the next row costs a little per
    // column instead of a search per cell. The sheet must not change while a
    // cursor reads it.
    class RowCursor {
    public:
        explicit RowCursor(const Sheet& sheet);
        // Moves to a row of the sheet; moving to the next row is cheapest.
        void seek(int row);
        TextId textId(int col) const { return m_cols[std::size_t(col - 1)].text; }
        StyleId styleId(int col) const { return m_cols[std::size_t(col - 1)].style; }
        Rgb foreColor(int col) const { return m_sheet.m_styles[styleId(col)].fore; }
        Rgb backColor(int col) const { return m_sheet.m_styles[styleId(col)].back; }
        HAlign hAlign(int col) const;
        int row() const { return m_row; }
        int borderMask(int col) const { return m_sheet.m_styles[styleId(col)].borders; }
        // The colour of one side: 0 left, 1 right, 2 top, 3 bottom.
        Rgb borderColor(int col, int side) const {
            return m_sheet.m_borderPalette[m_sheet.m_styles[styleId(col)].borderColour[side]];
        }

    private:
        struct Place {
            std::size_t run = 0;
            int chunk = -1;
            std::size_t entry = 0;
            TextId text = 0;
            StyleId style = 0;
        };
        const Sheet& m_sheet;
        int m_row = 0;
        std::vector<Place> m_cols;
    };

    // Calls f(row, textId) for every cell of column col from row `from`
    // down that holds a text, in row order: for code that looks at the texts
    // of a whole sheet (column widths) without a search per cell. The sheet
    // must not change meanwhile.
    template <class F> void forEachText(int col, int from, F&& f) const;

    // Whether a text id stands for a whole number (see numberText); if so,
    // the number and its format.
    bool numberOf(TextId text, int& n, int& format) const {
        if (!(text & kNumberFlag) || ((text & ~kNumberFlag) >> kFormatShift) >= m_formats.size())
            return false;
        format = int((text & ~kNumberFlag) >> kFormatShift);
        n = int(text & 0xffffff) - kNumberOffset;
        return true;
    }
    QString formatPrefix(int format) const;
    QString formatSuffix(int format) const;

private:
    struct Style {
        Rgb fore = kBlack;
        Rgb back = kWhite;
        std::uint8_t flags = std::uint8_t(HAlign::Center);
        std::uint8_t borders = 0;
        std::uint8_t borderColour[4] = {0, 0, 0, 0}; // left, right, top, bottom
        bool operator==(const Style&) const = default;
    };
    struct StyleHash {
        std::size_t operator()(const Style& s) const noexcept;
    };
    // One change to the style of every cell of a block.
    struct Edit {
        enum Kind : std::uint8_t { Back, Fore, Type, Align, Border, ClearBorders };
        Kind kind;
        std::uint8_t sides = 0;
        std::uint8_t colour = 0; // border palette index
        std::uint32_t value = 0;
        std::uint64_t key() const {
            return std::uint64_t(kind) | (std::uint64_t(sides) << 8) |
                   (std::uint64_t(colour) << 16) | (std::uint64_t(value & 0xffffff) << 24);
        }
    };
    // Rows start..(the next run's start - 1) of a column share one style.
    struct Run {
        int start;
        StyleId style;
    };
    // A cell with a text or a style of its own; row is the offset in its chunk.
    struct Entry {
        std::uint16_t row;
        StyleId style; // kNoStyle: the run's
        TextId text;
    };
    static constexpr StyleId kNoStyle = 0xffff;
    // A number text id: the top bit set, the number's format in the next
    // seven bits and the number itself, offset to be positive, in the low 24
    // bits.
    static constexpr TextId kNumberFlag = 0x80000000u;
    static constexpr int kFormatShift = 24;
    static constexpr int kNumberOffset = 1 << 23;
    static constexpr int kChunkShift = 10; // entries are kept in chunks of 1024 rows
    struct Column {
        std::vector<Run> runs{Run{1, 0}};
        std::vector<std::vector<Entry>> chunks;
    };

    struct Block {
        int c1, r1, c2, r2;
        bool empty() const { return c1 > c2 || r1 > r2; }
    };
    Block clip(const CellRange& cells) const;
    void edit(const CellRange& cells, const Edit& e);
    void editRows(Column& column, int r1, int r2, const Edit& e);
    void editCell(Column& column, int row, const Edit& e);
    StyleId edited(StyleId style, const Edit& e);
    StyleId styleIndex(const Style& style);
    static StyleId runStyle(const Column& column, int row);
    static const Entry* findEntry(const Column& column, int row);
    static Entry& entryFor(Column& column, int row);
    static Entry& insertEntry(Column& column, int row);
    static void dropEntry(Column& column, int row);
    StyleId styleAt(int col, int row) const;
    const Style& cellStyle(int col, int row) const { return m_styles[styleAt(col, row)]; }
    std::uint8_t borderColourIndex(Rgb colour);
    std::uint32_t textIndex(const QString& text);
    bool validText(TextId text) const {
        if (text & kNumberFlag)
            return ((text & ~kNumberFlag) >> kFormatShift) < m_formats.size();
        return text < m_texts.size();
    }

    int m_cols = 0;
    int m_rows = 0;
    int m_visibleCols = 0;
    int m_visibleRows = 0;
    int m_frozenCols = 0;
    int m_frozenRows = 0;
    int m_activeCol = 0;
    int m_activeRow = 0;
    bool m_colHeaders = false;
    bool m_rowHeaders = false;
    bool m_overflow = false;
    std::vector<JoinedCells> m_joined;
    ScrollBars m_scrollBars = ScrollBars::Vertical;
    double m_defaultRowHeight = 10;
    double m_defaultColWidth = 8;
    // Rows whose height differs from the default, by row.
    std::vector<std::pair<int, double>> m_rowHeights;
    std::vector<double> m_colWidths; // index col - 1
    std::vector<Column> m_columns;   // index col - 1
    std::vector<Style> m_styles{Style()};
    std::unordered_map<Style, StyleId, StyleHash> m_styleIndex{{Style(), 0}};
    // Recent style edits: (edit, style before) -> style after.
    struct EditMemo {
        std::uint64_t editKey = ~std::uint64_t(0);
        StyleId before = 0;
        StyleId after = 0;
    };
    std::vector<EditMemo> m_editMemo = std::vector<EditMemo>(256);
    std::vector<Rgb> m_borderPalette{kDefaultBorder};
    std::vector<QString> m_texts{QString()};
    struct NumberFormat {
        QString prefix;
        QString suffix;
    };
    std::vector<NumberFormat> m_formats{NumberFormat()};
    // Hashed without Qt's per-process seed: a seeded QHash<QString> falls
    // back to SipHash, which made interning the texts of a large sheet cost
    // more than building all the rest of it.
    struct TextHash {
        std::size_t operator()(const QString& s) const noexcept { return qHash(QStringView(s)); }
    };
    std::unordered_map<QString, std::uint32_t, TextHash> m_textIndex;
};

template <class F> void Sheet::forEachText(int col, int from, F&& f) const {
    if (col < 1 || col > m_cols)
        return;
    const Column& column = m_columns[std::size_t(col - 1)];
    from = qMax(from, 1);
    for (auto chunk = std::size_t((from - 1) >> kChunkShift); chunk < column.chunks.size();
         ++chunk) {
        const int base = (int(chunk) << kChunkShift) + 1;
        for (const Entry& e : column.chunks[chunk]) {
            if (e.text != 0 && base + e.row >= from)
                f(base + e.row, e.text);
        }
    }
}

} // namespace peridon
