#pragma once

#include <QString>
#include <QStringView>

namespace peridon {

// Text read from a file or the command line, made safe to quote in a
// message: control and format characters (an escape sequence meant for the
// terminal, a right-to-left override) become visible escapes such as \x1b or
// \u202e, and with maxChars >= 0 the text is cut after that many characters
// with "…". Line breaks are escaped too unless keepLineBreaks.
QString quoteInput(QStringView text, qsizetype maxChars = 80, bool keepLineBreaks = false);

// The same, never cut: for a message as a whole (its own line breaks kept)
// and for file names, which must stay whole to be of use.
inline QString visibleText(QStringView text) {
    return quoteInput(text, -1, true);
}

} // namespace peridon
