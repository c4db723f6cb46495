#pragma once

#include "core/history/DrawHistory.h"
#include "core/store/Database.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

namespace peridon {

// One line of a draw CSV file: 回数,第1数字,第2数字,第3数字[,抽せん日].
struct CsvDraw {
    int line = 0;
    int drawNo = 0;
    std::array<std::int8_t, 3> digits{-1, -1, -1}; // -1: empty field
    QString date;                                  // empty: none
};

// Limits that keep a wrong or endless input from exhausting memory.
inline constexpr qint64 kCsvFileBytes = qint64(64) << 20;
inline constexpr qsizetype kCsvLineBytes = 1024;
inline constexpr qsizetype kCsvErrorsKept = 100;

struct CsvParse {
    std::vector<CsvDraw> draws;
    QStringList errors;       // "N行目: reason", in line order; the first kCsvErrorsKept
    qsizetype errorCount = 0; // every error, kept or not
    bool unreadable = false;  // the file itself could not be read: errors holds why
};

// Reads UTF-8 (with or without a BOM) or Shift-JIS, with CR, LF or CR LF line
// ends. A first line with no number in the draw-number column is a header
// and skipped. Every bad line is reported; nothing is dropped silently.
CsvParse parseDrawCsv(QByteArrayView data);

// Reads and parses a CSV file. Only a regular file of at most kCsvFileBytes
// is read; anything else is refused (unreadable) without blocking.
CsvParse readDrawCsvFile(const QString& path);

struct ImportResult {
    int added = 0;
    int replaced = 0;
    int unchanged = 0;
    QStringList errors; // non-empty: nothing was written
};

// Writes the draws in one transaction: a draw number already stored with the
// same digits and date (a line without a date agrees with any) is left alone;
// with other digits or another date it is an error unless replace, which
// stores the line's digits and, when it gives one, its date.
ImportResult importDraws(Database& db, const std::vector<CsvDraw>& draws, bool replace);

// Every stored row as CSV with the header line, CR LF line endings, UTF-8:
// what both the menu command and peridon-cli export write.
QByteArray exportDrawCsv(Database& db);

// The header line of the CSV files.
inline constexpr const char* kCsvHeader = "回数,第1数字,第2数字,第3数字,抽せん日";

} // namespace peridon
