#pragma once

#include "core/store/DrawCsv.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace peridon {

// Reads winning numbers from text people copy: rows of a spreadsheet or lines
// of a results page. Each line holds one draw in one of these forms, with an
// optional date (see DrawDate.h) anywhere after the draw number:
//   7055<TAB>1<TAB>2<TAB>3     number and three digits, separated by tabs,
//   7055,1,2,3,2026-08-24      commas or spaces
//   7055 123                   number and the three digits written together
//   第7055回 2026/08/24 123     the results pages' forms
//   第7055回 (2026年8月24日) 1 2 3
// Full-width digits and spaces count as their ASCII forms. Empty lines and a
// heading line beginning with 回数 are skipped; every other line that does
// not read as a draw is an error naming its line, and so is a draw number
// given twice.
CsvParse parseDrawText(QStringView text);

// One line of that text; nothing, with reason set, when it is not a draw.
std::optional<CsvDraw> parseDrawLine(QStringView line, QString& reason);

} // namespace peridon
