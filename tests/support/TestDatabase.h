#pragma once

#include "core/store/Database.h"

#include <QString>

namespace peridon::test {

// Opens the database at cs.path, first creating an empty one there as the
// program does (createDatabaseWithDraws) when none exists.
Database openOrCreateDatabase(const ConnectString& cs);

// Creates (or fills) an encrypted draw database at path with the rows of a
// history text (see TestHistory.h) and returns its connection string.
ConnectString makeDatabase(const QString& path, const QString& historyText);

// Every stored row as one text in the same notation ("1:123 2:4-6"), read
// through a connection of its own.
QString storedRows(const ConnectString& cs);

} // namespace peridon::test
