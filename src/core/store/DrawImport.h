#pragma once

#include "core/store/Database.h"
#include "core/store/DrawCsv.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace peridon {

// A draw as it is stored now, for showing beside an incoming line.
struct StoredDraw {
    std::array<std::int8_t, 3> digits{-1, -1, -1}; // -1: empty field
    QString date;                                  // empty: none
};

struct DrawDifference {
    CsvDraw incoming;
    StoredDraw stored;
};

// What importing a set of draws would do, read before anything is written.
struct ImportPlan {
    std::vector<CsvDraw> added;            // draw numbers not stored yet
    int identical = 0;                     // stored with the same digits and date
    std::vector<DrawDifference> differing; // stored with other digits or date

    // The draws to write: the new ones, and the differing ones when they are
    // to replace what is stored.
    std::vector<CsvDraw> drawsToWrite(bool replace) const;
};

// Compares the draws with the stored rows; reads only.
ImportPlan planImport(Database& db, const std::vector<CsvDraw>& draws);

// One line per differing draw, for an import that may not replace them:
// "N行目: 回数M は登録済みで数字が異なります…".
QStringList conflictErrors(const ImportPlan& plan);

// Whether a stored row already says what an incoming line says: the same
// digits, and the same date unless the line gives none.
bool holdsSameDraw(const StoredDraw& stored, const CsvDraw& incoming);

// Refuses, with a DbError naming why, a name under which a new database
// cannot be made: a file (or a link) is already there, or a folder, a named
// pipe or another special file.
void checkNewDatabaseName(const QString& dbPath);
// Throws the DbError that says a database is already at dbPath.
[[noreturn]] void throwDatabaseExists(const QString& dbPath);

// Creates a new database at dbPath holding the draws. It is built under a
// unique temporary name and takes dbPath only when complete and only while
// the name is free, so a failure leaves no file behind and an existing file
// is never touched. Returns false when another process took the name while
// the database was built (the new one is then dropped); throws DbError with a
// message for the user on any other failure.
bool createDatabaseWithDraws(const QString& dbPath, const std::vector<CsvDraw>& draws);
// A run of draw numbers, first to last, both included.
struct DrawRange {
    int first = 0;
    int last = 0;
    bool operator==(const DrawRange&) const = default;
};

// The draw numbers that adding `incoming` would leave missing after the last
// stored draw (lastStored; 0 when none is stored): those above it and below
// the highest incoming number that are not incoming themselves, as runs in
// ascending order. With nothing stored the count starts at the lowest
// incoming number. Empty when the incoming draws leave no gap (numbers at or
// below lastStored never do: they fill or replace).
std::vector<DrawRange> missingDrawsAfter(int lastStored, std::vector<int> incoming);
// The same against what the database holds. Throws DbError.
std::vector<DrawRange> missingDrawsAfter(Database& db, const std::vector<CsvDraw>& draws);
// The highest stored draw number; 0 when there is none. Throws DbError.
int lastStoredDrawNo(Database& db);
// "第7058回～第7069回", "第7058回", several runs joined by "、"; past five
// runs the rest are counted ("ほか3か所").
QString missingDrawsText(const std::vector<DrawRange>& ranges);

// "1 2 3" for digits, with "-" for an empty field.
QString digitsText(const std::array<std::int8_t, 3>& digits);

} // namespace peridon
