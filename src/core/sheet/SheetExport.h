#pragma once

#include "core/sheet/Sheet.h"

#include <QByteArray>
#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>

namespace peridon {

// A grid's cells as text for other programs: tab-separated text and an HTML
// table for the clipboard, CSV and PNG files. Cells are taken as the sheet
// stores them: a title that the grid shows spread over empty neighbours is
// the text of its own cell only.
//
// Blocks of cells are QRects of columns (x) and rows (y), clipped to the
// sheet.

// Tab-separated rows ending in "\n". A text holding a tab, a line break or a
// double quote is put in double quotes, with its quotes doubled, as
// spreadsheets read it.
QString sheetTsv(const Sheet& sheet, const QRect& cells);

// An HTML table of the block with each cell's background and text colour and
// its alignment, so that a spreadsheet pasting it keeps the look. A number
// written with a leading zero ("012") is marked as text so that it keeps it.
QString sheetHtml(const Sheet& sheet, const QRect& cells);

// The whole sheet as CSV: UTF-8 with a byte order mark (so that spreadsheets
// on Windows read the Japanese texts), lines ending in CR LF, and fields that
// hold a comma, a double quote or a line break quoted with their quotes
// doubled. Header cells (frozen rows and columns, or the first row) are
// written without the spaces that pad them on screen.
QByteArray sheetCsv(const Sheet& sheet);

// Writes sheetCsv() to path through a temporary file renamed when complete,
// so a failure leaves nothing half-written (an existing file stays as it
// was). On failure returns false with error set to a message for the user.
bool writeSheetCsv(const Sheet& sheet, const QString& path, QString& error);

// The whole sheet painted as on screen in font, as PNG. A sheet taller than
// maxPartHeight pixels is split by rows into parts, each with the frozen
// header rows on top, written as "name-01.png", "name-02.png", ... beside the
// chosen path; a shorter one is written to path itself.
// sheetImagePaths() tells the files that would be written.
constexpr int kMaxImagePartHeight = 8000;
constexpr int kMaxImageWidth = 16000;
QStringList sheetImagePaths(const Sheet& sheet, const QFont& font, const QString& path,
                            int maxPartHeight = kMaxImagePartHeight);
// Every file is written through a temporary one; when one fails, the parts
// already written are removed again. written receives the files written.
bool writeSheetImages(const Sheet& sheet, const QFont& font, const QString& path,
                      QStringList& written, QString& error,
                      int maxPartHeight = kMaxImagePartHeight);

} // namespace peridon
