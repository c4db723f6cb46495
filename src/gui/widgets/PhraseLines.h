#pragma once

#include <QFontMetrics>
#include <QString>
#include <QStringList>

class QLabel;

namespace peridon {

// Japanese text broken into lines no wider than `width`: at the end of a
// phrase (after 、。 or a particle before a new word) where one fits, at any
// other place the line-breaking rules allow only where no phrase end does;
// never inside a word when a phrase end is at hand.
QStringList phraseLines(const QString& text, const QFontMetrics& fm, int width);

// A message as rich text whose lines never break inside a word: each line
// of `text` is broken at phrase ends to `width`, and a line that quotes
// something (「…」, a file name, a path) is kept whole. Every character of
// the text is escaped, so nothing in it is taken for markup.
QString messageHtml(const QString& text, const QFontMetrics& fm, int width);

// Shows `text` in a label broken at phrase ends to the label's width (the
// label's own word wrap breaks anywhere between two kana).
void setPhraseWrappedText(QLabel* label, const QString& text);

} // namespace peridon
