#include "core/entry/EntryModel.h"

#include <QColor>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

const QColor kDrawNoBack(255, 255, 200);
const QColor kDrawNoText(255, 0, 0);

bool isBadDigitText(const QString& text) {
    if (text.isEmpty())
        return false;
    if (text.contains(u'.'))
        return true;
    bool ok = false;
    const double value = text.toDouble(&ok);
    // Text that is no number at all cannot be a digit either.
    return !ok || value < 0 || value > 9;
}

} // namespace

EntryModel::EntryModel(const ConnectString& cs, QObject* parent)
    : QAbstractTableModel(parent), m_db(cs, Database::Mode::OpenExisting), m_table(m_db),
      m_rows(m_table.readRows()) {}

int EntryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int EntryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QString EntryModel::cellText(int row, int column) const {
    if (row < 0 || row >= int(m_rows.size()))
        return {};
    const EntryRow& r = m_rows[std::size_t(row)];
    if (column == kDrawNoColumn)
        return QString::number(r.drawNo);
    if (isDigitColumn(column))
        return r.digits[std::size_t(column - kFirstDigitColumn)];
    return {};
}

int EntryModel::drawNoAt(int row) const {
    return (row >= 0 && row < int(m_rows.size())) ? m_rows[std::size_t(row)].drawNo : 0;
}

QVariant EntryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return cellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    case Qt::BackgroundRole:
        return index.column() == kDrawNoColumn ? QVariant(kDrawNoBack) : QVariant();
    case Qt::ForegroundRole:
        return index.column() == kDrawNoColumn ? QVariant(kDrawNoText) : QVariant();
    case Qt::ToolTipRole:
        if (isUnsaved(index.row()))
            return u"数字を入力すると保存されます。空のまま閉じると、この行は追加されません。"_s;
        return {};
    default:
        return {};
    }
}

QVariant EntryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole)
            return section + 1;
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignCenter);
        return {};
    }
    static const char16_t* const kFields[kColumns] = {u"回数", u"第1数字", u"第2数字", u"第3数字",
                                                      u""};
    if (role == Qt::DisplayRole && section >= 0 && section < kColumns)
        return QString::fromUtf16(kFields[section]);
    return {};
}

Qt::ItemFlags EntryModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (isDigitColumn(index.column()))
        f |= Qt::ItemIsEditable;
    return f;
}

bool EntryModel::isDigitText(const QString& text) {
    return text.isEmpty() || (text.size() == 1 && text[0] >= u'0' && text[0] <= u'9');
}

bool EntryModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || !isDigitColumn(index.column()) ||
        index.row() >= int(m_rows.size()))
        return false;
    const QString text = value.toString();
    EntryRow& row = m_rows[std::size_t(index.row())];
    QString& stored = row.digits[std::size_t(index.column() - kFirstDigitColumn)];
    if (text == stored || (text.isEmpty() && stored.isEmpty()))
        return true; // nothing changed: nothing to write
    if (!isDigitText(text)) {
        emit writeRefused(u"数字は0～9の1文字で入力してください。"_s);
        return false;
    }
    if (m_unsaved.contains(row.drawNo)) {
        // An added line becomes a draw with its first digit; clearing a
        // field of a line never written leaves nothing to write.
        if (text.isEmpty())
            return true;
        try {
            m_table.insertDraw(row.drawNo, index.column() - kFirstDigitColumn, text.toInt());
        } catch (const DbError& e) {
            emit writeRefused(u"入力した数字を保存できませんでした。\n%1"_s.arg(e.message()));
            emit dataChanged(index, index);
            return false;
        }
        m_unsaved.remove(row.drawNo);
        m_changed = true;
        stored = text;
        emit dataChanged(this->index(index.row(), 0), this->index(index.row(), kColumns - 1));
        return true;
    }
    try {
        m_table.setDigit(row.drawNo, index.column() - kFirstDigitColumn,
                         text.isEmpty() ? std::nullopt : std::optional<int>(text.toInt()));
    } catch (const DbError& e) {
        emit writeRefused(u"入力した数字を保存できませんでした。\n%1"_s.arg(e.message()));
        emit dataChanged(index, index); // show the stored value again
        return false;
    }
    stored = text.isEmpty() ? QString() : text;
    m_changed = true;
    emit dataChanged(index, index);
    return true;
}

int EntryModel::addLineAfter(int row) {
    int drawNo = 0;
    try {
        drawNo = m_table.freeDrawNoAfter(row >= 0 ? drawNoAt(row) : 0);
        while (m_unsaved.contains(drawNo))
            drawNo = m_table.freeDrawNoAfter(drawNo);
    } catch (const DbError& e) {
        emit writeRefused(u"行を追加できませんでした。\n%1"_s.arg(e.message()));
        return -1;
    }
    // Rows stay in draw-number order, as they are read back next time.
    const auto at = std::lower_bound(m_rows.begin(), m_rows.end(), drawNo,
                                     [](const EntryRow& r, int no) { return r.drawNo < no; });
    const int newRow = int(at - m_rows.begin());
    beginInsertRows({}, newRow, newRow);
    EntryRow blank;
    blank.drawNo = drawNo;
    m_rows.insert(at, std::move(blank));
    m_unsaved.insert(drawNo);
    endInsertRows();
    return newRow;
}

bool EntryModel::deleteLine(int row) {
    if (row < 0 || row >= int(m_rows.size()))
        return false;
    const int drawNo = m_rows[std::size_t(row)].drawNo;
    if (!m_unsaved.contains(drawNo)) {
        try {
            m_table.deleteRow(drawNo);
        } catch (const DbError& e) {
            emit writeRefused(u"行を削除できませんでした。\n%1"_s.arg(e.message()));
            return false;
        }
        m_changed = true;
    }
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    m_unsaved.remove(drawNo);
    endRemoveRows();
    return true;
}

bool EntryModel::isUnsaved(int row) const {
    return row >= 0 && row < int(m_rows.size()) &&
           m_unsaved.contains(m_rows[std::size_t(row)].drawNo);
}

void EntryModel::dropUnsavedLines() {
    for (int row = int(m_rows.size()) - 1; row >= 0 && !m_unsaved.isEmpty(); --row) {
        if (!isUnsaved(row))
            continue;
        beginRemoveRows({}, row, row);
        m_unsaved.remove(m_rows[std::size_t(row)].drawNo);
        m_rows.erase(m_rows.begin() + row);
        endRemoveRows();
    }
}

ImportPlan EntryModel::planDraws(const std::vector<CsvDraw>& draws) {
    return m_table.plan(draws);
}

std::vector<DrawRange> EntryModel::missingDraws(const std::vector<CsvDraw>& draws) {
    return missingDrawsAfter(m_db, draws);
}

bool EntryModel::writeDraws(const std::vector<CsvDraw>& draws) {
    try {
        const ImportResult r = m_table.writeDraws(draws, true);
        if (!r.errors.isEmpty()) {
            emit writeRefused(u"貼り付けた当選データを保存できませんでした。\n%1"_s.arg(
                r.errors.mid(0, 20).join(u'\n')));
            return false;
        }
    } catch (const DbError& e) {
        emit writeRefused(u"貼り付けた当選データを保存できませんでした。\n%1"_s.arg(e.message()));
        return false;
    }
    m_changed = true;
    std::vector<EntryRow> rows;
    try {
        rows = m_table.readRows();
    } catch (const DbError& e) {
        emit writeRefused(u"保存した当選データを読み直せませんでした。\n%1"_s.arg(e.message()));
        return true;
    }
    // Lines added but not stored yet stay in the table, unless a pasted draw
    // now holds their number.
    for (auto it = m_unsaved.begin(); it != m_unsaved.end();) {
        const int drawNo = *it;
        const auto at = std::lower_bound(rows.begin(), rows.end(), drawNo,
                                         [](const EntryRow& r, int no) { return r.drawNo < no; });
        if (at != rows.end() && at->drawNo == drawNo) {
            it = m_unsaved.erase(it);
            continue;
        }
        EntryRow blank;
        blank.drawNo = drawNo;
        rows.insert(at, std::move(blank));
        ++it;
    }
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
    return true;
}

int EntryModel::rowOfDraw(int drawNo) const {
    const auto at = std::lower_bound(m_rows.begin(), m_rows.end(), drawNo,
                                     [](const EntryRow& r, int no) { return r.drawNo < no; });
    return (at != m_rows.end() && at->drawNo == drawNo) ? int(at - m_rows.begin()) : -1;
}

std::optional<QModelIndex> findBadDigitCell(const QAbstractItemModel& model) {
    const int rows = model.rowCount();
    const int columns = model.columnCount();
    for (int r = 0; r < rows; ++r) {
        for (int c = EntryModel::kFirstDigitColumn; c < columns; ++c) {
            const QModelIndex index = model.index(r, c);
            if (isBadDigitText(model.data(index).toString()))
                return index;
        }
    }
    return std::nullopt;
}

} // namespace peridon
