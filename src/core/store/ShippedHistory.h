#pragma once

#include <QString>

namespace peridon {

// The file name of the winning-number history that ships with the program.
inline constexpr const char16_t* kShippedHistoryFileName = u"numbers3-history.csv";

// Where the shipped history is: beside the executable (a build folder, a
// Windows install), else <exe dir>/../share/peridon (an installed Linux
// layout). Empty when neither holds it.
QString shippedHistoryPath();

// Creates a new draw database at dbPath from the shipped history. Throws
// DbError with a message for the user when dbPath already exists (it is never
// overwritten), when the history cannot be found or read, or when writing
// fails; on failure no file is left at dbPath.
void createDatabaseFromShippedHistory(const QString& dbPath);

// The same from a given history file (CSV as written by the export).
void createDatabaseFromHistoryFile(const QString& dbPath, const QString& csvPath);

} // namespace peridon
