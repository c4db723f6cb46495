#include "core/sheet/Sheet.h"

#include <algorithm>

namespace peridon {

namespace {
constexpr std::uint8_t kAlignMask = 0x03;
constexpr std::uint8_t kEditFlag = 0x04;
} // namespace

void Sheet::setSize(int cols, int rows) {
    cols = qMax(0, cols);
    rows = qMax(0, rows);
    if (cols == m_cols && rows == m_rows)
        return;
    std::vector<Cell> cells(std::size_t(cols) * std::size_t(rows));
    const int keepCols = qMin(cols, m_cols);
    const int keepRows = qMin(rows, m_rows);
    for (int r = 1; r <= keepRows; ++r)
        std::copy_n(cellAt(1, r), keepCols, &cells[std::size_t(r - 1) * std::size_t(cols)]);
    m_cells.swap(cells);
    m_cols = cols;
    m_rows = rows;
    m_rowHeights.resize(std::size_t(rows), m_defaultRowHeight);
    m_colWidths.resize(std::size_t(cols), m_defaultColWidth);
}

void Sheet::setRowHeight(int row, double height) {
    if (row == -1) {
        m_defaultRowHeight = height;
        std::fill(m_rowHeights.begin(), m_rowHeights.end(), height);
    } else if (row >= 1 && row <= m_rows) {
        m_rowHeights[std::size_t(row - 1)] = height;
    }
}

void Sheet::setColWidth(int col, double width) {
    if (col == -1) {
        m_defaultColWidth = width;
        std::fill(m_colWidths.begin(), m_colWidths.end(), width);
    } else if (col >= 1 && col <= m_cols) {
        m_colWidths[std::size_t(col - 1)] = width;
    }
}

double Sheet::rowHeight(int row) const {
    return (row >= 1 && row <= m_rows) ? m_rowHeights[std::size_t(row - 1)] : m_defaultRowHeight;
}

double Sheet::colWidth(int col) const {
    return (col >= 1 && col <= m_cols) ? m_colWidths[std::size_t(col - 1)] : m_defaultColWidth;
}

Sheet::Block Sheet::clip(int col1, int row1, int col2, int row2) const {
    Block b{col1, row1, col2, row2};
    if (col1 == -1 || col2 == -1) {
        b.c1 = 1;
        b.c2 = m_cols;
    }
    if (row1 == -1 || row2 == -1) {
        b.r1 = 1;
        b.r2 = m_rows;
    }
    if (b.c1 > b.c2)
        std::swap(b.c1, b.c2);
    if (b.r1 > b.r2)
        std::swap(b.r1, b.r2);
    b.c1 = qMax(b.c1, 1);
    b.r1 = qMax(b.r1, 1);
    b.c2 = qMin(b.c2, m_cols);
    b.r2 = qMin(b.r2, m_rows);
    return b;
}

template <typename F> void Sheet::forBlock(int col1, int row1, int col2, int row2, F f) {
    const Block b = clip(col1, row1, col2, row2);
    if (b.empty())
        return;
    for (int r = b.r1; r <= b.r2; ++r) {
        Cell* c = cellAt(b.c1, r);
        for (int col = b.c1; col <= b.c2; ++col, ++c)
            f(*c, col, r, b);
    }
}

std::uint16_t Sheet::colourIndex(Rgb colour) {
    colour &= 0xffffff;
    for (std::size_t i = 0; i < m_palette.size(); ++i)
        if (m_palette[i] == colour)
            return std::uint16_t(i);
    if (m_palette.size() >= 0xffff)
        return 0;
    m_palette.push_back(colour);
    return std::uint16_t(m_palette.size() - 1);
}

std::uint8_t Sheet::borderColourIndex(Rgb colour) {
    colour &= 0xffffff;
    for (std::size_t i = 0; i < m_borderPalette.size(); ++i)
        if (m_borderPalette[i] == colour)
            return std::uint8_t(i);
    if (m_borderPalette.size() >= 0xff)
        return 0;
    m_borderPalette.push_back(colour);
    return std::uint8_t(m_borderPalette.size() - 1);
}

std::uint32_t Sheet::textIndex(const QString& text) {
    if (text.isEmpty())
        return 0;
    auto it = m_textIndex.find(text);
    if (it != m_textIndex.end())
        return it->second;
    const auto index = std::uint32_t(m_texts.size());
    m_texts.push_back(text);
    m_textIndex.emplace(text, index);
    return index;
}

void Sheet::setBackColor(int col1, int row1, int col2, int row2, Rgb colour) {
    const auto i = colourIndex(colour);
    forBlock(col1, row1, col2, row2, [i](Cell& c, int, int, const Block&) { c.back = i; });
}

void Sheet::setForeColor(int col1, int row1, int col2, int row2, Rgb colour) {
    const auto i = colourIndex(colour);
    forBlock(col1, row1, col2, row2, [i](Cell& c, int, int, const Block&) { c.fore = i; });
}

void Sheet::setCellType(int col1, int row1, int col2, int row2, CellType type) {
    forBlock(col1, row1, col2, row2, [type](Cell& c, int, int, const Block&) {
        c.flags =
            std::uint8_t((c.flags & ~kEditFlag) | (type == CellType::EditNumber ? kEditFlag : 0));
    });
}

void Sheet::setHAlign(int col1, int row1, int col2, int row2, HAlign align) {
    forBlock(col1, row1, col2, row2, [align](Cell& c, int, int, const Block&) {
        c.flags = std::uint8_t((c.flags & ~kAlignMask) | std::uint8_t(align));
    });
}

void Sheet::setBorder(int col1, int row1, int col2, int row2, int mask, Rgb colour) {
    if (mask == 0) {
        forBlock(col1, row1, col2, row2, [](Cell& c, int, int, const Block&) { c.borders = 0; });
        return;
    }
    const auto ci = borderColourIndex(colour);
    forBlock(col1, row1, col2, row2, [mask, ci](Cell& c, int col, int row, const Block& b) {
        int sides = mask & BorderAll;
        if (mask & BorderOutline) {
            if (col == b.c1)
                sides |= BorderLeft;
            if (col == b.c2)
                sides |= BorderRight;
            if (row == b.r1)
                sides |= BorderTop;
            if (row == b.r2)
                sides |= BorderBottom;
        }
        for (int s = 0; s < 4; ++s) {
            if (sides & (1 << s))
                c.borderColour[s] = ci;
        }
        c.borders = std::uint8_t(c.borders | sides);
    });
}

void Sheet::clearText(int col1, int row1, int col2, int row2) {
    forBlock(col1, row1, col2, row2, [](Cell& c, int, int, const Block&) { c.text = 0; });
}

void Sheet::setText(int col, int row, const QString& text) {
    if (!contains(col, row))
        return;
    cellAt(col, row)->text = textIndex(text);
}

void Sheet::setTextId(int col, int row, TextId text) {
    if (contains(col, row) && text < m_texts.size())
        cellAt(col, row)->text = text;
}

QString Sheet::text(int col, int row) const {
    return contains(col, row) ? m_texts[cellAt(col, row)->text] : QString();
}

bool Sheet::hasText(int col, int row) const {
    return contains(col, row) && cellAt(col, row)->text != 0;
}

Rgb Sheet::backColor(int col, int row) const {
    return contains(col, row) ? m_palette[cellAt(col, row)->back] : kWhite;
}

Rgb Sheet::foreColor(int col, int row) const {
    return contains(col, row) ? m_palette[cellAt(col, row)->fore] : kBlack;
}

CellType Sheet::cellType(int col, int row) const {
    if (!contains(col, row))
        return CellType::StaticText;
    return (cellAt(col, row)->flags & kEditFlag) ? CellType::EditNumber : CellType::StaticText;
}

HAlign Sheet::hAlign(int col, int row) const {
    return contains(col, row) ? HAlign(cellAt(col, row)->flags & kAlignMask) : HAlign::Center;
}

int Sheet::borderMask(int col, int row) const {
    return contains(col, row) ? cellAt(col, row)->borders : 0;
}

Rgb Sheet::borderColor(int col, int row, BorderSide side) const {
    if (!contains(col, row))
        return kDefaultBorder;
    int s = 0;
    switch (side) {
    case BorderLeft:
        s = 0;
        break;
    case BorderRight:
        s = 1;
        break;
    case BorderTop:
        s = 2;
        break;
    case BorderBottom:
        s = 3;
        break;
    default:
        return kDefaultBorder;
    }
    return m_borderPalette[cellAt(col, row)->borderColour[s]];
}

void Sheet::setActiveCell(int col, int row) {
    m_activeCol = qMax(0, col);
    m_activeRow = qMax(0, row);
}

std::size_t Sheet::memoryUsage() const {
    std::size_t bytes = m_cells.capacity() * sizeof(Cell);
    bytes += (m_rowHeights.capacity() + m_colWidths.capacity()) * sizeof(double);
    for (const QString& t : m_texts)
        bytes += sizeof(QString) + std::size_t(t.capacity()) * sizeof(QChar) + 16;
    bytes += std::size_t(m_textIndex.size()) * (sizeof(QString) + sizeof(std::uint32_t) + 16);
    return bytes;
}

} // namespace peridon
