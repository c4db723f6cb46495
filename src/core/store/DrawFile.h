#pragma once

#include "core/store/DrawCsv.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace peridon {

// A file of winning numbers read for the import: a CSV file as the export
// writes it, or tab- or space-separated lines and results-page lines as the
// paste accepts them (DrawTextParser.h). Text is UTF-8, with or without a
// BOM, or Shift-JIS.
struct DrawFile {
    // Why the file as a whole cannot be read (missing, not a text file, too
    // large); empty when it was read.
    QString failure;
    std::vector<CsvDraw> draws;
    QStringList errors;       // bad lines, "N行目: reason"; non-empty: import nothing
    qsizetype errorCount = 0; // every bad line, also those not kept in errors
};

// The largest file the import reads, and the most lines and longest line it
// accepts: a history of every possible draw fits many times over, and a file
// beyond these is refused at once instead of being parsed at length.
inline constexpr qint64 kMaxDrawFileBytes = qint64{64} * 1024 * 1024;
inline constexpr int kMaxDrawFileLines = 100000;
inline constexpr int kMaxDrawLineBytes = 256;

DrawFile readDrawFile(const QString& path);
DrawFile readDrawBytes(const QByteArray& bytes);

// The first twenty bad lines, one a line, then how many more there are.
QString listLineErrors(const QStringList& errors);

} // namespace peridon
