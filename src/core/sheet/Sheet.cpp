#include "core/sheet/Sheet.h"

#include <algorithm>
#include <array>

namespace peridon {

namespace {
constexpr std::uint8_t kAlignMask = 0x03;
constexpr std::uint8_t kEditFlag = 0x04;

constexpr int kMaxFormats = 128;
constexpr bool numberFits(int n) {
    return n >= -(1 << 23) && n < (1 << 23);
}

constexpr int kChunkRows = 1 << 10;
constexpr int chunkOf(int row) {
    return (row - 1) >> 10;
}
constexpr std::uint16_t offsetOf(int row) {
    return std::uint16_t((row - 1) & (kChunkRows - 1));
}

// The number a text is the canonical decimal form of (what QString::number
// gives), so that it can be stored as that number; false for any other text.
bool canonicalNumber(const QString& text, int& n) {
    const qsizetype size = text.size();
    if (size == 0 || size > 8)
        return false;
    const QChar* p = text.constData();
    qsizetype i = 0;
    const bool negative = p[0] == u'-';
    if (negative)
        ++i;
    if (i == size)
        return false;
    if (p[i] == u'0' && (size - i > 1 || negative))
        return false;
    int v = 0;
    for (; i < size; ++i) {
        const char16_t c = p[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + (c - u'0');
    }
    n = negative ? -v : v;
    return numberFits(n);
}
} // namespace

const QString& digitText(int digit) {
    static const std::array<QString, 10> texts = [] {
        std::array<QString, 10> t;
        for (int d = 0; d < 10; ++d)
            t[std::size_t(d)] = QString::number(d);
        return t;
    }();
    return texts[std::size_t(digit)];
}

std::size_t Sheet::StyleHash::operator()(const Style& s) const noexcept {
    const std::uint64_t a = (std::uint64_t(s.fore & 0xffffff) << 24) | (s.back & 0xffffff);
    const std::uint64_t b =
        std::uint64_t(s.flags) | (std::uint64_t(s.borders) << 8) |
        (std::uint64_t(s.borderColour[0]) << 16) | (std::uint64_t(s.borderColour[1]) << 24) |
        (std::uint64_t(s.borderColour[2]) << 32) | (std::uint64_t(s.borderColour[3]) << 40);
    return std::size_t((a * 0x9e3779b97f4a7c15ull) ^ (b * 0xc2b2ae3d27d4eb4full));
}

void Sheet::joinCells(int first, int last, int row) {
    if (first >= last || row < 1)
        return;
    // A cell belongs to one run at most: a new run replaces those it meets.
    std::erase_if(m_joined, [&](const JoinedCells& j) {
        return j.row == row && j.first <= last && first <= j.last;
    });
    m_joined.push_back({row, first, last});
}

void Sheet::setSize(int cols, int rows) {
    cols = qMax(0, cols);
    rows = qMax(0, rows);
    if (cols == m_cols && rows == m_rows)
        return;
    m_columns.resize(std::size_t(cols));
    for (Column& column : m_columns) {
        if (rows == 0) {
            column = Column();
        } else if (rows < m_rows) {
            // Runs and entries below the new last row go.
            auto& runs = column.runs;
            while (runs.size() > 1 && runs.back().start > rows)
                runs.pop_back();
            const std::size_t chunks = rows == 0 ? 0 : std::size_t(chunkOf(rows)) + 1;
            if (column.chunks.size() > chunks)
                column.chunks.resize(chunks);
            if (!column.chunks.empty()) {
                auto& last = column.chunks.back();
                const int base = (int(column.chunks.size()) - 1) * kChunkRows;
                while (!last.empty() && base + last.back().row + 1 > rows)
                    last.pop_back();
            }
        } else if (rows > m_rows && column.runs.back().style != 0) {
            // Rows added to the sheet start unformatted.
            column.runs.push_back(Run{m_rows + 1, 0});
        }
    }
    m_cols = cols;
    m_rows = rows;
    while (!m_rowHeights.empty() && m_rowHeights.back().first > rows)
        m_rowHeights.pop_back();
    m_colWidths.resize(std::size_t(cols), m_defaultColWidth);
}

void Sheet::setRowHeight(int row, double height) {
    if (row == -1) {
        m_defaultRowHeight = height;
        m_rowHeights.clear();
        return;
    }
    if (row < 1 || row > m_rows)
        return;
    auto it = std::lower_bound(m_rowHeights.begin(), m_rowHeights.end(), row,
                               [](const auto& e, int r) { return e.first < r; });
    if (it != m_rowHeights.end() && it->first == row)
        it->second = height;
    else
        m_rowHeights.insert(it, {row, height});
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
    if (row < 1 || row > m_rows)
        return m_defaultRowHeight;
    auto it = std::lower_bound(m_rowHeights.begin(), m_rowHeights.end(), row,
                               [](const auto& e, int r) { return e.first < r; });
    return (it != m_rowHeights.end() && it->first == row) ? it->second : m_defaultRowHeight;
}

double Sheet::colWidth(int col) const {
    return (col >= 1 && col <= m_cols) ? m_colWidths[std::size_t(col - 1)] : m_defaultColWidth;
}

Sheet::Block Sheet::clip(const CellRange& cells) const {
    Block b{cells.firstCol, cells.firstRow, cells.lastCol, cells.lastRow};
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

Sheet::StyleId Sheet::styleIndex(const Style& style) {
    auto it = m_styleIndex.find(style);
    if (it != m_styleIndex.end())
        return it->second;
    if (m_styles.size() >= kNoStyle)
        return kNoStyle;
    const auto id = StyleId(m_styles.size());
    m_styles.push_back(style);
    m_styleIndex.emplace(style, id);
    return id;
}

Sheet::StyleId Sheet::edited(StyleId before, const Edit& e) {
    const std::uint64_t key = e.key();
    // The style before goes into the bits the edit leaves free, ahead of the
    // multiplication, so that every (edit, style) pair spreads over the memo
    // instead of one edit's pairs sharing a slot. Each pair may sit in two
    // neighbouring slots, the one used last first: a builder putting two
    // colours on cells of one style by turns missed every time when the two
    // pairs happened to share a single slot.
    const auto slot =
        std::size_t(((key ^ (std::uint64_t(before) << 48)) * 0x9e3779b97f4a7c15ull) >> 56);
    EditMemo& memo = m_editMemo[slot];
    if (memo.editKey == key && memo.before == before)
        return memo.after;
    EditMemo& older = m_editMemo[slot ^ 1];
    if (older.editKey == key && older.before == before) {
        std::swap(memo, older);
        return memo.after;
    }
    Style s = m_styles[before];
    switch (e.kind) {
    case Edit::Back:
        s.back = e.value;
        break;
    case Edit::Fore:
        s.fore = e.value;
        break;
    case Edit::Type:
        s.flags = std::uint8_t((s.flags & ~kEditFlag) | e.value);
        break;
    case Edit::Align:
        s.flags = std::uint8_t((s.flags & ~kAlignMask) | e.value);
        break;
    case Edit::Border:
        for (int side = 0; side < 4; ++side) {
            if (e.sides & (1 << side))
                s.borderColour[side] = e.colour;
        }
        s.borders = std::uint8_t(s.borders | e.sides);
        break;
    case Edit::ClearBorders:
        s.borders = 0;
        break;
    }
    StyleId after = styleIndex(s);
    // A sheet with 65,535 different styles keeps its cells as they are.
    if (after == kNoStyle)
        after = before;
    older = memo;
    memo = EditMemo{key, before, after};
    return after;
}

Sheet::StyleId Sheet::runStyle(const Column& column, int row) {
    const auto& runs = column.runs;
    if (runs.size() == 1 || runs.back().start <= row)
        return runs.back().style;
    auto it = std::upper_bound(runs.begin(), runs.end(), row,
                               [](int r, const Run& run) { return r < run.start; });
    return std::prev(it)->style;
}

const Sheet::Entry* Sheet::findEntry(const Column& column, int row) {
    const auto chunk = std::size_t(chunkOf(row));
    if (chunk >= column.chunks.size())
        return nullptr;
    const auto& entries = column.chunks[chunk];
    const std::uint16_t offset = offsetOf(row);
    auto it = std::lower_bound(entries.begin(), entries.end(), offset,
                               [](const Entry& e, std::uint16_t o) { return e.row < o; });
    return (it != entries.end() && it->row == offset) ? &*it : nullptr;
}

Sheet::Entry& Sheet::entryFor(Column& column, int row) {
    // Builders mostly write down the rows: the entry is new at the end, or
    // the last one.
    const auto chunk = std::size_t(chunkOf(row));
    if (chunk < column.chunks.size()) {
        auto& entries = column.chunks[chunk];
        const std::uint16_t offset = offsetOf(row);
        if (!entries.empty() && entries.back().row == offset)
            return entries.back();
        if (entries.empty() || entries.back().row < offset)
            return entries.emplace_back(Entry{offset, kNoStyle, 0});
    }
    return insertEntry(column, row);
}

Sheet::Entry& Sheet::insertEntry(Column& column, int row) {
    const auto chunk = std::size_t(chunkOf(row));
    if (chunk >= column.chunks.size())
        column.chunks.resize(chunk + 1);
    auto& entries = column.chunks[chunk];
    const std::uint16_t offset = offsetOf(row);
    auto it = std::lower_bound(entries.begin(), entries.end(), offset,
                               [](const Entry& e, std::uint16_t o) { return e.row < o; });
    if (it != entries.end() && it->row == offset)
        return *it;
    return *entries.insert(it, Entry{offset, kNoStyle, 0});
}

void Sheet::dropEntry(Column& column, int row) {
    const auto chunk = std::size_t(chunkOf(row));
    if (chunk >= column.chunks.size())
        return;
    auto& entries = column.chunks[chunk];
    const std::uint16_t offset = offsetOf(row);
    auto it = std::lower_bound(entries.begin(), entries.end(), offset,
                               [](const Entry& e, std::uint16_t o) { return e.row < o; });
    if (it != entries.end() && it->row == offset)
        entries.erase(it);
}

void Sheet::editCell(Column& column, int row, const Edit& e) {
    Entry& entry = entryFor(column, row);
    const StyleId before = entry.style != kNoStyle ? entry.style : runStyle(column, row);
    entry.style = edited(before, e);
}

void Sheet::editRows(Column& column, int r1, int r2, const Edit& e) {
    auto& runs = column.runs;
    // Makes a run start at row and returns its index.
    const auto splitAt = [&runs](int row) {
        auto it = std::upper_bound(runs.begin(), runs.end(), row,
                                   [](int r, const Run& run) { return r < run.start; });
        auto at = std::prev(it);
        if (at->start == row)
            return std::size_t(at - runs.begin());
        const auto index = std::size_t(it - runs.begin());
        runs.insert(it, Run{row, at->style});
        return index;
    };
    if (r2 < m_rows)
        splitAt(r2 + 1);
    const std::size_t first = splitAt(r1);
    std::size_t end = first;
    for (; end < runs.size() && runs[end].start <= r2; ++end)
        runs[end].style = edited(runs[end].style, e);
    // Neighbours that now look alike become one run.
    std::size_t out = qMax<std::size_t>(first, 1);
    for (std::size_t i = out; i < runs.size(); ++i) {
        if (i <= end && runs[i].style == runs[out - 1].style)
            continue;
        runs[out++] = runs[i];
    }
    runs.resize(out);

    // Cells with a style of their own inside the block change as well.
    const std::size_t lastChunk = qMin(std::size_t(chunkOf(r2)) + 1, column.chunks.size());
    for (std::size_t chunk = std::size_t(chunkOf(r1)); chunk < lastChunk; ++chunk) {
        const int base = int(chunk) * kChunkRows + 1;
        for (Entry& entry : column.chunks[chunk]) {
            const int row = base + entry.row;
            if (row >= r1 && row <= r2 && entry.style != kNoStyle)
                entry.style = edited(entry.style, e);
        }
    }
}

// Formatting set on one row is kept per cell; on a taller block it changes
// the runs of its columns (and the cells in it that have a style of their own).
void Sheet::edit(const CellRange& cells, const Edit& e) {
    if (cells.firstCol == cells.lastCol && cells.firstRow == cells.lastRow) {
        // One cell, as builders mark single results: no block to work out.
        if (contains(cells.firstCol, cells.firstRow))
            editCell(m_columns[std::size_t(cells.firstCol - 1)], cells.firstRow, e);
        return;
    }
    const Block b = clip(cells);
    if (b.empty())
        return;
    for (int c = b.c1; c <= b.c2; ++c) {
        Column& column = m_columns[std::size_t(c - 1)];
        if (b.r1 == b.r2)
            editCell(column, b.r1, e);
        else
            editRows(column, b.r1, b.r2, e);
    }
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
    int n = 0;
    if (canonicalNumber(text, n))
        return numberText(n);
    auto it = m_textIndex.find(text);
    if (it != m_textIndex.end())
        return it->second;
    const auto index = std::uint32_t(m_texts.size());
    m_texts.push_back(text);
    m_textIndex.emplace(text, index);
    return index;
}

Sheet::TextId Sheet::numberText(int n, int format) {
    if (format < 0 || std::size_t(format) >= m_formats.size())
        return 0;
    if (!numberFits(n)) {
        const NumberFormat& f = m_formats[std::size_t(format)];
        return internText(f.prefix + QString::number(n) + f.suffix);
    }
    return kNumberFlag | (TextId(format) << kFormatShift) | TextId(n + kNumberOffset);
}

int Sheet::numberFormat(const QString& prefix, const QString& suffix) {
    for (std::size_t i = 0; i < m_formats.size(); ++i) {
        if (m_formats[i].prefix == prefix && m_formats[i].suffix == suffix)
            return int(i);
    }
    if (m_formats.size() >= kMaxFormats)
        return -1;
    m_formats.push_back(NumberFormat{prefix, suffix});
    return int(m_formats.size() - 1);
}

QString Sheet::textOf(TextId text) const {
    if (!validText(text))
        return QString();
    if (text & kNumberFlag) {
        const NumberFormat& f = m_formats[(text & ~kNumberFlag) >> kFormatShift];
        const int n = int(text & 0xffffff) - kNumberOffset;
        if (f.prefix.isEmpty() && f.suffix.isEmpty())
            return QString::number(n);
        return f.prefix + QString::number(n) + f.suffix;
    }
    return m_texts[text];
}

QString Sheet::formatPrefix(int format) const {
    return format >= 0 && std::size_t(format) < m_formats.size()
               ? m_formats[std::size_t(format)].prefix
               : QString();
}

QString Sheet::formatSuffix(int format) const {
    return format >= 0 && std::size_t(format) < m_formats.size()
               ? m_formats[std::size_t(format)].suffix
               : QString();
}

void Sheet::setBackColor(const CellRange& cells, Rgb colour) {
    edit(cells, Edit{Edit::Back, 0, 0, colour & 0xffffff});
}

void Sheet::setForeColor(const CellRange& cells, Rgb colour) {
    edit(cells, Edit{Edit::Fore, 0, 0, colour & 0xffffff});
}

void Sheet::setCellType(const CellRange& cells, CellType type) {
    edit(cells, Edit{Edit::Type, 0, 0, type == CellType::EditNumber ? kEditFlag : 0u});
}

void Sheet::setHAlign(const CellRange& cells, HAlign align) {
    edit(cells, Edit{Edit::Align, 0, 0, std::uint32_t(align) & kAlignMask});
}

void Sheet::setBorder(const CellRange& cells, int mask, Rgb colour) {
    if (mask == 0) {
        edit(cells, Edit{Edit::ClearBorders});
        return;
    }
    const Block b = clip(cells);
    if (b.empty())
        return;
    const auto ci = borderColourIndex(colour);
    const auto sides = [ci](int s) { return Edit{Edit::Border, std::uint8_t(s), ci, 0}; };
    if (mask & BorderAll)
        edit(CellRange::block(b.c1, b.r1, b.c2, b.r2), sides(mask & BorderAll));
    if (mask & BorderOutline) {
        // The outline is the block's edges: sides added to its first and
        // last column and row, in the colour of the rest.
        edit(CellRange::block(b.c1, b.r1, b.c1, b.r2), sides(BorderLeft));
        edit(CellRange::block(b.c2, b.r1, b.c2, b.r2), sides(BorderRight));
        edit(CellRange::block(b.c1, b.r1, b.c2, b.r1), sides(BorderTop));
        edit(CellRange::block(b.c1, b.r2, b.c2, b.r2), sides(BorderBottom));
    }
}

void Sheet::clearText(const CellRange& cells) {
    const Block b = clip(cells);
    if (b.empty())
        return;
    for (int c = b.c1; c <= b.c2; ++c) {
        Column& column = m_columns[std::size_t(c - 1)];
        const std::size_t lastChunk = qMin(std::size_t(chunkOf(b.r2)) + 1, column.chunks.size());
        for (std::size_t chunk = std::size_t(chunkOf(b.r1)); chunk < lastChunk; ++chunk) {
            const int base = int(chunk) * kChunkRows + 1;
            auto& entries = column.chunks[chunk];
            std::erase_if(entries, [&](Entry& e) {
                const int row = base + e.row;
                if (row < b.r1 || row > b.r2)
                    return false;
                e.text = 0;
                return e.style == kNoStyle;
            });
        }
    }
}

void Sheet::setText(int col, int row, const QString& text) {
    if (!contains(col, row))
        return;
    setTextId(col, row, textIndex(text));
}

void Sheet::setTextId(int col, int row, TextId text) {
    if (!contains(col, row) || !validText(text))
        return;
    Column& column = m_columns[std::size_t(col - 1)];
    if (text == 0) {
        // An entry that holds nothing else goes.
        const Entry* e = findEntry(column, row);
        if (!e)
            return;
        if (e->style == kNoStyle)
            dropEntry(column, row);
        else
            entryFor(column, row).text = 0;
        return;
    }
    entryFor(column, row).text = text;
}

QString Sheet::text(int col, int row) const {
    if (!contains(col, row))
        return QString();
    const Entry* e = findEntry(m_columns[std::size_t(col - 1)], row);
    return e ? textOf(e->text) : QString();
}

Sheet::TextId Sheet::textIdAt(int col, int row) const {
    if (!contains(col, row))
        return 0;
    const Entry* e = findEntry(m_columns[std::size_t(col - 1)], row);
    return e ? e->text : 0;
}

bool Sheet::hasText(int col, int row) const {
    if (!contains(col, row))
        return false;
    const Entry* e = findEntry(m_columns[std::size_t(col - 1)], row);
    return e && e->text != 0;
}

Sheet::StyleId Sheet::styleAt(int col, int row) const {
    if (!contains(col, row))
        return 0;
    const Column& column = m_columns[std::size_t(col - 1)];
    const Entry* e = findEntry(column, row);
    if (e && e->style != kNoStyle)
        return e->style;
    return runStyle(column, row);
}

Rgb Sheet::backColor(int col, int row) const {
    return cellStyle(col, row).back;
}

Rgb Sheet::foreColor(int col, int row) const {
    return cellStyle(col, row).fore;
}

CellType Sheet::cellType(int col, int row) const {
    return (cellStyle(col, row).flags & kEditFlag) ? CellType::EditNumber : CellType::StaticText;
}

HAlign Sheet::hAlign(int col, int row) const {
    return HAlign(cellStyle(col, row).flags & kAlignMask);
}

int Sheet::borderMask(int col, int row) const {
    return cellStyle(col, row).borders;
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
    return m_borderPalette[cellStyle(col, row).borderColour[s]];
}

void Sheet::setActiveCell(int col, int row) {
    m_activeCol = qMax(0, col);
    m_activeRow = qMax(0, row);
}

std::size_t Sheet::memoryUsage() const {
    std::size_t bytes = m_columns.capacity() * sizeof(Column);
    for (const Column& column : m_columns) {
        bytes += column.runs.capacity() * sizeof(Run);
        bytes += column.chunks.capacity() * sizeof(std::vector<Entry>);
        for (const auto& entries : column.chunks)
            bytes += entries.capacity() * sizeof(Entry);
    }
    bytes += m_rowHeights.capacity() * sizeof(m_rowHeights[0]);
    bytes += m_colWidths.capacity() * sizeof(double);
    bytes += m_styles.capacity() * sizeof(Style);
    bytes += m_styleIndex.size() * (sizeof(Style) + sizeof(StyleId) + 16);
    bytes += m_editMemo.capacity() * sizeof(EditMemo);
    for (const QString& t : m_texts)
        bytes += sizeof(QString) + std::size_t(t.capacity()) * sizeof(QChar) + 16;
    bytes += std::size_t(m_textIndex.size()) * (sizeof(QString) + sizeof(std::uint32_t) + 16);
    return bytes;
}

Sheet::RowCursor::RowCursor(const Sheet& sheet)
    : m_sheet(sheet), m_cols(std::size_t(sheet.cols())) {}

HAlign Sheet::RowCursor::hAlign(int col) const {
    return HAlign(m_sheet.m_styles[styleId(col)].flags & kAlignMask);
}

void Sheet::RowCursor::seek(int row) {
    // The next row is a step from the current one in every column; any other
    // row is searched for, so that a painter starting far down a long sheet
    // does not walk every run and entry above it.
    const bool step = row == m_row + 1;
    m_row = row;
    const int chunk = chunkOf(row);
    const std::uint16_t offset = offsetOf(row);
    for (std::size_t c = 0; c < m_cols.size(); ++c) {
        Place& p = m_cols[c];
        const Column& column = m_sheet.m_columns[c];
        const auto& runs = column.runs;
        if (step) {
            while (p.run + 1 < runs.size() && runs[p.run + 1].start <= row)
                ++p.run;
        } else {
            const auto after = std::upper_bound(
                runs.begin(), runs.end(), row, [](int r, const Run& run) { return r < run.start; });
            p.run = std::size_t(std::max<std::ptrdiff_t>(0, (after - runs.begin()) - 1));
        }
        p.text = 0;
        p.style = runs[p.run].style;
        if (std::size_t(chunk) >= column.chunks.size())
            continue;
        const auto& entries = column.chunks[std::size_t(chunk)];
        if (!step || p.chunk != chunk) {
            p.chunk = chunk;
            p.entry = std::size_t(
                std::lower_bound(entries.begin(), entries.end(), offset,
                                 [](const Entry& e, std::uint16_t r) { return e.row < r; }) -
                entries.begin());
        }
        while (p.entry < entries.size() && entries[p.entry].row < offset)
            ++p.entry;
        if (p.entry < entries.size() && entries[p.entry].row == offset) {
            const Entry& e = entries[p.entry];
            p.text = e.text;
            if (e.style != kNoStyle)
                p.style = e.style;
        }
    }
}

} // namespace peridon
