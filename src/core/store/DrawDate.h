#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace peridon {

// A draw date as people write it: 2026-08-24, 2026/08/24 or 2026年8月24日
// (months and days with or without a leading zero, surrounding spaces
// ignored). Returns the stored form YYYY-MM-DD, or nothing when the text is
// not one of these forms or not a real calendar date.
std::optional<QString> normaliseDrawDate(QStringView text);

// Why a date text was refused, for a message that also names its line.
QString badDrawDateReason(const QString& text);

} // namespace peridon
