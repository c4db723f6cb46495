#pragma once

#include "core/store/Database.h"
#include "core/store/DrawCsv.h"
#include "core/store/DrawImport.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace peridon {

// One row of the draw table as the entry window shows it. Digits are kept as
// the text of the stored value so that whatever the file holds is shown and
// checked as it is; an empty (null) field is a null string.
struct EntryRow {
    int drawNo = 0;
    std::array<QString, 3> digits;
};

// The entry window's reads and writes of the draw table. Every write runs in
// a transaction of its own, so a crash loses at most the write under way, and
// the first write of a session is preceded by a copy of the whole database to
// the backup file beside it.
class DrawTable final {
public:
    // The backup file written before the first change, beside the database:
    // its name with .bak for its extension (Numbers3Peridon.bak), or its whole
    // name with .bak added (a.mdb.bak) when another file beside it would be
    // given the same name.
    static QString backupPathFor(const QString& databasePath);

    explicit DrawTable(Database& db);

    // Every row of 全データ選択クエリ in draw-number order.
    std::vector<EntryRow> readRows();

    // Stores one digit (position 0..2) of a draw; no value stores an empty
    // field. Throws DbError when the draw is gone or the write is refused.
    void setDigit(int drawNo, int position, std::optional<int> value);

    // Inserts a row with empty digits under the smallest unused draw number
    // above afterDrawNo (0: from the start) and returns that number.
    int insertBlankAfter(int afterDrawNo);

    // The smallest draw number above afterDrawNo (0: from the start) that no
    // row uses. Throws DbError when it would pass the highest draw number.
    int freeDrawNoAfter(int afterDrawNo);
    // Inserts the row of a new draw holding one digit (position 0..2), the
    // other two empty. Throws DbError when the number is taken or the write
    // is refused.
    void insertDraw(int drawNo, int position, int value);

    // Deletes the row of a draw. Throws DbError when there is no such row.
    void deleteRow(int drawNo);

    // What writing these draws would change; reads only.
    ImportPlan plan(const std::vector<CsvDraw>& draws);
    // Writes draws (new ones added, stored ones with other digits or date
    // replaced when replace is set) in one transaction, after the backup. A
    // non-empty errors list means nothing was written. Throws DbError when
    // the backup or the write fails; nothing is written then either.
    ImportResult writeDraws(const std::vector<CsvDraw>& draws, bool replace);

private:
    void ensureBackup();

    Database& m_db;
    bool m_backedUp = false;
};

} // namespace peridon
