#pragma once

#include <QFont>

namespace peridon {

// Maps the Windows font names the windows ask for ("ＭＳ Ｐゴシック",
// "HGS明朝E", ...) to the Japanese fonts installed here, so that every text
// renders instead of showing empty boxes. Call once after the application
// object exists (main(), peridon-cli's pdf command and the window tests do).
void installFontSubstitutions();

// The font every grid draws its cells in: "ＭＳ Ｐゴシック", 9 point.
QFont gridFont();

} // namespace peridon
