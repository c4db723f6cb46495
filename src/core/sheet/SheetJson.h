#pragma once

#include "core/sheet/Sheet.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <vector>

namespace peridon {

// The JSON form of a window's grids that `peridon-cli sheet` prints:
// {"window":..., "caption":..., "grids":[{"index":0,"cols":N,"rows":N,
//  "cells":[{"col":c,"row":r,"text":"..","fg":"#rrggbb","bg":"#rrggbb"},...]}]}
// Cells come in row-major order and are listed when they hold text or their
// background is not white. Other tools read this format: keep it stable.

// Takes the output a piece at a time; returns false when the piece could not
// be written, which ends the writing.
using ByteWriter = std::function<bool(QByteArrayView piece)>;

// Writes the document through write in pieces of some tens of kilobytes
// while it walks the cells, so that a sheet of a million cells never exists
// as one document in memory. Returns false as soon as a write fails.
bool writeSheetsJson(const ByteWriter& write, const QString& window, const QString& caption,
                     const std::vector<const Sheet*>& grids);

// The same document as one byte array.
QByteArray sheetsToJson(const QString& window, const QString& caption,
                        const std::vector<const Sheet*>& grids);

} // namespace peridon
