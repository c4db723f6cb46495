#include "gui/widgets/PhraseLines.h"

#include <QEvent>
#include <QLabel>
#include <QResizeEvent>
#include <QTextBoundaryFinder>

using namespace Qt::StringLiterals;

namespace peridon {

// A text broken into lines no wider than `width`: at the end of a
// phrase (after 、。 or a particle before a new word) where one fits, at any
// other place the line-breaking rules allow only where no phrase end does.
QStringList phraseLines(const QString& text, const QFontMetrics& fm, int width) {
    QList<int> breaks;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Line, text);
    for (qsizetype pos = finder.toNextBoundary(); pos > 0 && pos < text.size();
         pos = finder.toNextBoundary())
        breaks << int(pos);
    const auto isHiragana = [](QChar c) { return c.unicode() >= 0x3041 && c.unicode() <= 0x309F; };
    const auto phraseEnd = [&](int pos) {
        static const QString kMarks = u"、。，．）」』"_s;
        static const QString kParticles = u"はがをにでとのもへやより"_s;
        const QChar before = text.at(pos - 1);
        return kMarks.contains(before) ||
               (kParticles.contains(before) && !isHiragana(text.at(pos)));
    };
    QStringList lines;
    int start = 0;
    while (start < text.size() && fm.horizontalAdvance(text.mid(start)) > width) {
        int phrase = -1;
        int any = -1;
        int overflow = -1;
        for (int pos : std::as_const(breaks)) {
            if (pos <= start)
                continue;
            if (fm.horizontalAdvance(text.mid(start, pos - start)) > width) {
                overflow = pos;
                break;
            }
            any = pos;
            if (phraseEnd(pos))
                phrase = pos;
        }
        const int cut = phrase > 0     ? phrase
                        : any > 0      ? any
                        : overflow > 0 ? overflow
                                       : int(text.size());
        lines << text.mid(start, cut - start);
        start = cut;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

namespace {

// A line that names something the user gave or must find again is never
// split: a quotation, a file name or a path.
bool isQuotedLine(const QString& line) {
    return line.contains(u'「') || line.contains(u'"') || line.contains(u'/') ||
           line.contains(u'\\') || line.startsWith(u"ファイル"_s) ||
           line.startsWith(u"フォルダー"_s);
}

QString noWrap(const QString& line) {
    return u"<span style=\"white-space:pre\">"_s + line.toHtmlEscaped() + u"</span>"_s;
}

} // namespace

QString messageHtml(const QString& text, const QFontMetrics& fm, int width) {
    QStringList out;
    for (const QString& line : text.split(u'\n')) {
        if (line.isEmpty()) {
            out << QString();
            continue;
        }
        if (isQuotedLine(line)) {
            out << noWrap(line);
            continue;
        }
        for (const QString& part : phraseLines(line, fm, width))
            out << noWrap(part);
    }
    return out.join(u"<br>"_s);
}

void setPhraseWrappedText(QLabel* label, const QString& text) {
    const int width = label->contentsRect().width();
    label->setWordWrap(false);
    if (width <= 0) {
        label->setText(text);
        return;
    }
    label->setText(phraseLines(text, QFontMetrics(label->font()), width).join(u'\n'));
}

PhraseLabel::PhraseLabel(const QString& text, QWidget* parent) : QLabel(parent), m_text(text) {
    setWordWrap(false);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    QLabel::setText(text);
}

void PhraseLabel::setPhraseText(const QString& text) {
    m_text = text;
    rebreak();
    updateGeometry();
}

QStringList PhraseLabel::linesFor(int width) const {
    const QMargins m = contentsMargins();
    const int inside = width - m.left() - m.right() - 2 * margin();
    if (m_text.isEmpty() || inside <= 0)
        return {m_text};
    return phraseLines(m_text, fontMetrics(), inside);
}

int PhraseLabel::heightForWidth(int width) const {
    const QMargins m = contentsMargins();
    const qsizetype lines = qMax<qsizetype>(1, linesFor(width).size());
    return int(lines) * fontMetrics().lineSpacing() + m.top() + m.bottom() + 2 * margin();
}

QSize PhraseLabel::sizeHint() const {
    // As wide as the text on one line; the layout narrows it.
    const QMargins m = contentsMargins();
    const int w = fontMetrics().horizontalAdvance(m_text) + m.left() + m.right() + 2 * margin();
    return {w, heightForWidth(w)};
}

QSize PhraseLabel::minimumSizeHint() const {
    // Narrow enough for any window: the text breaks into more lines.
    const int w = 8 * fontMetrics().horizontalAdvance(QChar(0x5B57));
    return {qMin(w, sizeHint().width()), heightForWidth(qMin(w, sizeHint().width()))};
}

void PhraseLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    rebreak();
}

void PhraseLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        rebreak();
        updateGeometry();
    }
}

void PhraseLabel::rebreak() {
    const QString shown = linesFor(width()).join(u'\n');
    if (shown != text())
        QLabel::setText(shown);
}

} // namespace peridon
