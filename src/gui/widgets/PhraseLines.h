#pragma once

#include <QFontMetrics>
#include <QLabel>
#include <QString>
#include <QStringList>

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

// A label in a layout whose text breaks at phrase ends to whatever width the
// layout gives it, and which asks for the height those lines take. Its own
// width never pushes the window wider.
class PhraseLabel final : public QLabel {
public:
    explicit PhraseLabel(const QString& text, QWidget* parent = nullptr);
    void setPhraseText(const QString& text);
    // The text without the line breaks put in.
    const QString& phraseText() const { return m_text; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QStringList linesFor(int width) const;
    void rebreak();

    QString m_text;
};

} // namespace peridon
