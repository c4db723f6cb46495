#pragma once

#include "core/store/Database.h"
#include "core/store/DrawTable.h"

#include <QAbstractTableModel>
#include <QSet>

#include <optional>
#include <vector>

namespace peridon {

// The draw table of the entry window: one row per stored draw, columns draw
// number, first, second and third digit, and a fifth column bound to no
// field. It opens a database connection of its own, and every change is
// written through it at once; a change the database refuses is reported
// through writeRefused() and leaves the row as it is stored.
class EntryModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumns = 5;
    static constexpr int kDrawNoColumn = 0;
    static constexpr int kFirstDigitColumn = 1;
    static constexpr int kLastDigitColumn = 3;

    // Opens the database and reads every row. Throws DbError.
    explicit EntryModel(const ConnectString& cs, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Writes one digit: the text must be one character 0-9, or empty to clear
    // the field. True only once the value is stored.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Adds a line with empty digits numbered with the smallest draw number
    // above that of `row` (-1: above 0) that neither the database nor another
    // added line uses, and returns its row, or -1 when there is none. The
    // line is written as a new draw when its first digit is entered; until
    // then it exists only here.
    int addLineAfter(int row);
    // Deletes a row; false when the database refused it. A line not yet
    // written just goes.
    bool deleteLine(int row);
    // Whether a row is an added line not yet written.
    bool isUnsaved(int row) const;
    // Removes the added lines that were never filled (the window closes).
    void dropUnsavedLines();

    // What writing these draws would change; reads only. Throws DbError.
    ImportPlan planDraws(const std::vector<CsvDraw>& draws);
    // The draw numbers writing these draws would leave missing after the
    // last stored draw (missingDrawsAfter). Throws DbError.
    std::vector<DrawRange> missingDraws(const std::vector<CsvDraw>& draws);
    // Writes draws in one transaction (new ones added, stored ones replaced)
    // and shows the table as it is then stored. False, reported through
    // writeRefused(), when nothing was written.
    bool writeDraws(const std::vector<CsvDraw>& draws);
    // The row showing a draw number; -1 when there is none.
    int rowOfDraw(int drawNo) const;

    // Whether anything has been written to the database through this model.
    bool changedData() const { return m_changed; }

    int drawNoAt(int row) const;
    // The text a cell shows.
    QString cellText(int row, int column) const;
    // Whether a text is acceptable for a digit cell: one character 0-9, or none.
    static bool isDigitText(const QString& text);

signals:
    // A change was not stored; the message says why, in Japanese.
    void writeRefused(const QString& message);

private:
    static bool isDigitColumn(int column) {
        return column >= kFirstDigitColumn && column <= kLastDigitColumn;
    }

    Database m_db;
    DrawTable m_table;
    std::vector<EntryRow> m_rows;
    // Draw numbers of the added lines not yet written.
    QSet<int> m_unsaved;
    bool m_changed = false;
};

// The first cell the close check refuses, scanning rows top to bottom and
// columns 2 to 5 left to right: a non-empty text containing "." or whose
// value is not a number from 0 to 9. None when every cell passes.
std::optional<QModelIndex> findBadDigitCell(const QAbstractItemModel& model);

} // namespace peridon
