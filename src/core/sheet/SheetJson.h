#pragma once

#include "core/sheet/Sheet.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace peridon {

// The JSON form of a window's grids that `peridon-cli sheet` prints:
// {"window":..., "caption":..., "grids":[{"index":0,"cols":N,"rows":N,
//  "cells":[{"col":c,"row":r,"text":"..","fg":"#rrggbb","bg":"#rrggbb"},...]}]}
// Cells come in row-major order and are listed when they hold text or their
// background is not white. Other tools read this format: keep it stable.
QByteArray sheetsToJson(const QString& window, const QString& caption,
                        const std::vector<const Sheet*>& grids);

} // namespace peridon
