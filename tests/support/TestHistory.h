#pragma once

#include "core/history/DrawHistory.h"

#include <QString>

namespace peridon::test {

// Builds a history from a short text: tokens separated by spaces, each a
// draw of three digits ("123"), numbered from 1 on. "n:123" gives a draw
// its own number (later tokens continue from it); "-" in a digit place
// leaves that digit empty ("1-3"), so the row is not a valid draw.
DrawHistory history(const QString& text);

} // namespace peridon::test
