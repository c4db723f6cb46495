#pragma once

#include <QString>

class QPainter;
class QRect;

namespace peridon {

// Draws a cell text where and as QPainter::drawText(rect, flags, text)
// draws it, from a layout made once per text and font and shared by every
// grid: laying a text out (shaping it) costs more than drawing it, and the
// grids show the same few texts over and over. Anything drawText() would
// place differently (line breaks, tabs, a painter that scales or rotates)
// is left to it.
void drawCellText(QPainter& painter, const QRect& rect, int flags, const QString& text);

} // namespace peridon
