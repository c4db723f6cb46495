#pragma once

#include <QFont>
#include <QStringList>

namespace peridon {

// Maps the Windows font names the windows ask for ("ＭＳ Ｐゴシック",
// "HGS明朝E", ...) to the Japanese fonts installed here, so that every text
// renders instead of showing empty boxes. Call once after the application
// object exists (main(), peridon-cli's pdf command and the window tests do).
void installFontSubstitutions();

// The fonts that may stand in for one of those names, best first: its other
// name (Japanese or English), the Windows fonts, then the IPA fonts. Empty
// for a name the windows do not use.
QStringList fontCandidates(const QString& family);

// The font every grid draws its cells in: "ＭＳ Ｐゴシック", 9 point.
QFont gridFont();

} // namespace peridon
