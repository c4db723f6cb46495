#pragma once

#include "core/history/DrawHistory.h"
#include "core/sheet/Sheet.h"

#include <QString>

namespace peridon::test {

// The sheet an analysis window builds from a history; a window class the
// registry does not know ends the test program.
Sheet buildSheet(const QString& window, const DrawHistory& history);
// The same from a history text (see TestHistory.h).
Sheet buildSheet(const QString& window, const QString& draws);

// A colour as "r,g,b", so that a failed comparison shows readable values.
QString colourText(Rgb c);

} // namespace peridon::test
