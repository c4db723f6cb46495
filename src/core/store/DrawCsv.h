#pragma once

#include "core/store/Database.h"

#include <QByteArray>
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

struct CsvParse {
    std::vector<CsvDraw> draws;
    QStringList errors; // "N行目: reason", in line order
};

// Reads UTF-8 (with or without a BOM) or Shift-JIS, LF or CRLF. The header
// line is optional. Every bad line is reported; nothing is dropped silently.
CsvParse parseDrawCsv(const QByteArray& data);

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

// Every stored row as CSV with the header line, LF line endings, UTF-8.
QByteArray exportDrawCsv(Database& db);

// The header line of the CSV files.
inline constexpr const char* kCsvHeader = "回数,第1数字,第2数字,第3数字,抽せん日";

} // namespace peridon
