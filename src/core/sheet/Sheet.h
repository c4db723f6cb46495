#pragma once

#include <QHash>
#include <QString>
#include <QtGlobal>

#include <cstdint>
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

// The cell model every grid shows: a rectangle of cells addressed by column
// and row from 1. Block operations take the first and last column and row,
// where -1 stands for all; blocks are clipped at the sheet's edge and cells
// outside the sheet ignore writes and read back empty. Storage is one small
// fixed-size record per cell with interned texts and palette indices, so a
// million-cell sheet stays at about 16 MB.
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

    void setBackColor(int col1, int row1, int col2, int row2, Rgb colour);
    void setForeColor(int col1, int row1, int col2, int row2, Rgb colour);
    void setCellType(int col1, int row1, int col2, int row2, CellType type);
    void setHAlign(int col1, int row1, int col2, int row2, HAlign align);
    // mask: BorderSide bits; 0 removes every border of the block's cells.
    void setBorder(int col1, int row1, int col2, int row2, int mask, Rgb colour = kDefaultBorder);
    void clearText(int col1, int row1, int col2, int row2);

    void setText(int col, int row, const QString& text);
    // A text interned once and then written into many cells by its id, so
    // that builders of large sheets do not look the same text up per cell.
    using TextId = std::uint32_t;
    TextId internText(const QString& text) { return textIndex(text); }
    void setTextId(int col, int row, TextId text);
    QString text(int col, int row) const;
    bool hasText(int col, int row) const;

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

private:
    struct Cell {
        std::uint32_t text = 0; // index into m_texts; 0 is the empty text
        std::uint16_t fore = 0; // index into m_palette; 0 is black
        std::uint16_t back = 1; // 1 is white
        std::uint8_t flags = std::uint8_t(HAlign::Center);
        std::uint8_t borders = 0;
        std::uint8_t borderColour[4] = {0, 0, 0, 0}; // left, right, top, bottom
    };
    static_assert(sizeof(Cell) <= 16);

    struct Block {
        int c1, r1, c2, r2;
        bool empty() const { return c1 > c2 || r1 > r2; }
    };
    Block clip(int col1, int row1, int col2, int row2) const;
    Cell* cellAt(int col, int row) {
        return &m_cells[std::size_t(row - 1) * std::size_t(m_cols) + std::size_t(col - 1)];
    }
    const Cell* cellAt(int col, int row) const {
        return &m_cells[std::size_t(row - 1) * std::size_t(m_cols) + std::size_t(col - 1)];
    }
    template <typename F> void forBlock(int col1, int row1, int col2, int row2, F f);
    std::uint16_t colourIndex(Rgb colour);
    std::uint8_t borderColourIndex(Rgb colour);
    std::uint32_t textIndex(const QString& text);

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
    ScrollBars m_scrollBars = ScrollBars::Vertical;
    double m_defaultRowHeight = 10;
    double m_defaultColWidth = 8;
    std::vector<double> m_rowHeights; // index row - 1
    std::vector<double> m_colWidths;  // index col - 1
    std::vector<Cell> m_cells;        // row-major
    std::vector<Rgb> m_palette{kBlack, kWhite};
    std::vector<Rgb> m_borderPalette{kDefaultBorder};
    std::vector<QString> m_texts{QString()};
    // Hashed without Qt's per-process seed: a seeded QHash<QString> falls
    // back to SipHash, which made interning the texts of a large sheet cost
    // more than building all the rest of it.
    struct TextHash {
        std::size_t operator()(const QString& s) const noexcept { return qHash(QStringView(s)); }
    };
    std::unordered_map<QString, std::uint32_t, TextHash> m_textIndex;
};

} // namespace peridon
